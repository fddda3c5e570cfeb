// Painting: update region, erase with the class brush, BeginPaint/EndPaint, scrolling.
#include "user_test_support.h"

#include <gtest/gtest.h>

using namespace usertest;

namespace {

const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kBlack = RGB(0, 0, 0);

COLORREF PixelAt(HWND h, int x, int y) {
  HDC dc = GetDC(h);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(h, dc);
  return c;
}

void FillClient(HWND h, const RECT& r, COLORREF color) {
  HDC dc = GetDC(h);
  HBRUSH b = CreateSolidBrush(color);
  FillRect(dc, &r, b);
  DeleteObject(b);
  ReleaseDC(h, dc);
}

// A shown window (blue class brush) with its first paint done, then painted red all over.
// Its paint handler counts the paints, keeps the PAINTSTRUCT and may fill what it paints.
struct PaintedWindow {
  Windows ws;
  HWND h = nullptr;
  int paints = 0;
  PAINTSTRUCT lastPaint{};
  bool fillGreen = false;
  PaintedWindow() {
    Rec().handlers[WM_PAINT] = [this](HWND hwnd, UINT, WPARAM, LPARAM) -> LRESULT {
      ++paints;
      HDC dc = BeginPaint(hwnd, &lastPaint);
      if (fillGreen) {
        HBRUSH b = CreateSolidBrush(kGreen);
        RECT all{0, 0, 1000, 1000};
        FillRect(dc, &all, b);
        DeleteObject(b);
      }
      EndPaint(hwnd, &lastPaint);
      return 0;
    };
    h = ws.Top();
    UpdateWindow(h);
    Pump();
    paints = 0;
    FillClient(h, RECT{0, 0, 250, 180}, kRed);
  }
};

TEST(UserPaint, FirstPaintErasesWithTheClassBrush) {
  Windows ws;
  HWND h = ws.Top();
  UpdateWindow(h);
  EXPECT_EQ(PixelAt(h, 10, 10), kBlue);
  EXPECT_EQ(PixelAt(h, 150, 100), kBlue);
}

// Invalidations accumulate; a pending erase survives a later invalidation without erase.
TEST(UserPaint, EraseRequestsAccumulate) {
  struct Case {
    const char* name;
    std::vector<BOOL> erases;
    COLORREF expected;
  };
  const Case cases[] = {
      {"no erase", {FALSE}, kRed},
      {"erase", {TRUE}, kBlue},
      {"erase then no erase", {TRUE, FALSE}, kBlue},
      {"no erase then erase", {FALSE, TRUE}, kBlue},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PaintedWindow w;
    for (BOOL e : c.erases) InvalidateRect(w.h, nullptr, e);
    UpdateWindow(w.h);
    EXPECT_EQ(w.paints, 1);
    EXPECT_EQ(PixelAt(w.h, 20, 20), c.expected);
  }
}

TEST(UserPaint, UpdateRegionIsTheUnionOfInvalidRectangles) {
  PaintedWindow w;
  RECT a{10, 10, 20, 20}, b{30, 5, 40, 15};
  InvalidateRect(w.h, &a, FALSE);
  InvalidateRect(w.h, &b, FALSE);
  RECT u;
  EXPECT_TRUE(GetUpdateRect(w.h, &u, FALSE));
  EXPECT_EQ(u.left, 10);
  EXPECT_EQ(u.top, 5);
  EXPECT_EQ(u.right, 40);
  EXPECT_EQ(u.bottom, 20);
  UpdateWindow(w.h);
  EXPECT_EQ(w.paints, 1);
  EXPECT_EQ(w.lastPaint.rcPaint.left, 10);
  EXPECT_EQ(w.lastPaint.rcPaint.top, 5);
  EXPECT_EQ(w.lastPaint.rcPaint.right, 40);
  EXPECT_EQ(w.lastPaint.rcPaint.bottom, 20);
  EXPECT_FALSE(GetUpdateRect(w.h, &u, FALSE)) << "BeginPaint validates";
}

TEST(UserPaint, PaintingIsClippedToTheUpdateRegion) {
  PaintedWindow w;
  w.fillGreen = true;
  RECT r{0, 0, 10, 10};
  InvalidateRect(w.h, &r, FALSE);
  UpdateWindow(w.h);
  EXPECT_EQ(PixelAt(w.h, 5, 5), kGreen);
  EXPECT_EQ(PixelAt(w.h, 30, 30), kRed);
}

TEST(UserPaint, ErasedPartIsOnlyTheUpdateRegion) {
  PaintedWindow w;
  RECT r{50, 50, 60, 60};
  InvalidateRect(w.h, &r, TRUE);
  UpdateWindow(w.h);
  EXPECT_EQ(PixelAt(w.h, 55, 55), kBlue);
  EXPECT_EQ(PixelAt(w.h, 45, 55), kRed);
  EXPECT_EQ(PixelAt(w.h, 65, 55), kRed);
}

TEST(UserPaint, ValidatedWindowGetsNoPaint) {
  PaintedWindow w;
  InvalidateRect(w.h, nullptr, TRUE);
  ValidateRect(w.h, nullptr);
  UpdateWindow(w.h);
  Pump();
  EXPECT_EQ(w.paints, 0);
  EXPECT_EQ(PixelAt(w.h, 20, 20), kRed);
}

TEST(UserPaint, RedrawWindowUpdateNowPaintsSynchronously) {
  PaintedWindow w;
  RedrawWindow(w.h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(w.paints, 1);
  EXPECT_EQ(PixelAt(w.h, 20, 20), kBlue);
  RedrawWindow(w.h, nullptr, nullptr, RDW_INVALIDATE);
  EXPECT_EQ(w.paints, 1) << "without RDW_UPDATENOW the paint waits for the queue";
  Pump();
  EXPECT_EQ(w.paints, 2);
}

TEST(UserPaint, BeginPaintWithoutUpdateRegionPaintsNothing) {
  PaintedWindow w;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w.h, &ps);
  EXPECT_NE(dc, nullptr);
  EXPECT_TRUE(IsRectEmpty(&ps.rcPaint));
  EndPaint(w.h, &ps);
}

TEST(UserPaint, ScrollWindowMovesPixelsAndInvalidatesTheUncoveredPart) {
  PaintedWindow w;
  FillClient(w.h, RECT{10, 10, 20, 20}, kBlack);
  EXPECT_TRUE(ScrollWindow(w.h, 5, 0, nullptr, nullptr));
  EXPECT_EQ(PixelAt(w.h, 12, 15), kRed);
  EXPECT_EQ(PixelAt(w.h, 16, 15), kBlack);
  EXPECT_EQ(PixelAt(w.h, 24, 15), kBlack);
  EXPECT_EQ(PixelAt(w.h, 26, 15), kRed);
  RECT u;
  ASSERT_TRUE(GetUpdateRect(w.h, &u, FALSE));
  EXPECT_EQ(u.left, 0);
  EXPECT_EQ(u.right, 5);
}

TEST(UserPaint, CaretPositionAndLifetime) {
  Windows ws;
  HWND h = ws.Top();
  EXPECT_TRUE(CreateCaret(h, nullptr, 2, 19));
  EXPECT_TRUE(SetCaretPos(10, 20));
  POINT p{};
  EXPECT_TRUE(GetCaretPos(&p));
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.y, 20);
  EXPECT_TRUE(ShowCaret(h));
  EXPECT_TRUE(HideCaret(h));
  EXPECT_TRUE(DestroyCaret());
#ifndef _WIN32
  // The stand-in blinks at the real platform's default; Wine's default is 500.
  EXPECT_EQ(GetCaretBlinkTime(), 530u);
#endif
}

}  // namespace
