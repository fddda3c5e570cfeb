#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "toolkit/drawing/FontDescription.h"
#include "toolkit/drawing/PaintSurface.h"
#include "toolkit/elements/GUIElement.h"
#include "tests/toolkit/test_support.h"

using TivraUtility::FontDescription;
using TivraUtility::GUIElement;
using TivraUtility::PaintSurface;

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

using Probe = zerlo_test::ProbeElement;

struct Bounds {
  bool any = false;
  int left = 0, top = 0, right = 0, bottom = 0;  // inclusive
};

// A white window and a surface that paints it.
class PaintSurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = zerlo_test::CreateProbeWindow(L"ZerloPaintProbe", zerlo_test::WhiteBrush(), L"",
                                            WS_POPUP | WS_VISIBLE, 50, 50, 400, 300);
    ASSERT_NE(window_, nullptr);
    UpdateWindow(window_);
    owner_.handle = window_;
    owner_.created = true;
    GetClientRect(window_, &client_);
    ASSERT_EQ(Pixel(5, 5), kWhite);
  }
  void TearDown() override { DestroyWindow(window_); }

  // Opens the surface the way a window's paint handler does.
  void Open() {
    InvalidateRect(window_, nullptr, FALSE);
    surface_.dc = BeginPaint(window_, &surface_.paintInfo);
    ASSERT_NE(surface_.dc, nullptr);
  }
  COLORREF Pixel(int px, int py) const {
    HDC dc = GetDC(window_);
    const COLORREF c = GetPixel(dc, px, py);
    ReleaseDC(window_, dc);
    return c;
  }
  // Where pixels other than `background` are, within [left, right) x [top, bottom).
  Bounds Ink(int left, int top, int right, int bottom, COLORREF background) const {
    Bounds b;
    HDC dc = GetDC(window_);
    for (int py = top; py < bottom; ++py) {
      for (int px = left; px < right; ++px) {
        if (GetPixel(dc, px, py) == background) continue;
        if (!b.any) b = Bounds{true, px, py, px, py};
        if (px < b.left) b.left = px;
        if (px > b.right) b.right = px;
        if (py < b.top) b.top = py;
        if (py > b.bottom) b.bottom = py;
      }
    }
    ReleaseDC(window_, dc);
    return b;
  }
  void ExpectIdle() const {
    EXPECT_EQ(surface_.dc, nullptr);
    EXPECT_EQ(surface_.windowDc, nullptr);
    EXPECT_EQ(surface_.bitmap, nullptr);
  }

  HWND window_ = nullptr;
  RECT client_{};
  Probe owner_;
  PaintSurface surface_{&owner_};
  FontDescription font_{"Lucida Console", 16};
};

TEST_F(PaintSurfaceTest, IdleSurfaceDrawsNothing) {
  ExpectIdle();
  surface_.BeginBuffering();
  surface_.DrawWideText(0, 0, 0, 0, L"XXXX", kRed, &font_, TivraUtility::TextAlignLeft);
  surface_.DrawNarrowText(0, 20, 100, 20, "XXXX", kRed, nullptr, TivraUtility::TextAlignLeft);
  surface_.DrawRectangle(0, 0, 50, 50, kRed);
  surface_.FillRectangle(1, kRed, 0, 0, 50, 50, kRed);
  surface_.EndDrawing();
  ExpectIdle();
  EXPECT_FALSE(Ink(0, 0, 60, 60, kWhite).any);
}

TEST_F(PaintSurfaceTest, BufferedDrawingReachesTheWindowOnlyAtEndDrawingAndAsAWhole) {
  Open();
  const HDC windowDc = surface_.dc;
  surface_.BeginBuffering();
  EXPECT_EQ(surface_.windowDc, windowDc);
  EXPECT_NE(surface_.dc, windowDc);
  EXPECT_NE(surface_.bitmap, nullptr);

  surface_.FillRectangle(1, kRed, 10, 10, 20, 20, kRed);
  EXPECT_EQ(Pixel(15, 15), kWhite);  // nothing reached the window yet

  surface_.EndDrawing();
  ExpectIdle();
  // Exactly 20 by 20 pixels of red...
  EXPECT_EQ(Pixel(10, 10), kRed);
  EXPECT_EQ(Pixel(29, 29), kRed);
  EXPECT_EQ(Pixel(30, 29), kBlack);
  EXPECT_EQ(Pixel(29, 30), kBlack);
  EXPECT_EQ(Pixel(9, 10), kBlack);
  // ...and everything not drawn is black, to the last pixel of the client area.
  EXPECT_EQ(Pixel(0, 0), kBlack);
  EXPECT_EQ(Pixel(client_.right - 1, client_.bottom - 1), kBlack);
  EXPECT_EQ(Pixel(client_.right / 2, client_.bottom - 1), kBlack);
}

TEST_F(PaintSurfaceTest, RectanglesFillAndOutlineAsAsked) {
  Open();
  surface_.BeginBuffering();
  // No pen: the fill only, never the pen's colour.
  surface_.FillRectangle(0, kGreen, 40, 10, 20, 20, kBlue);
  // An outline over a filled block keeps the block's inside.
  surface_.FillRectangle(1, kBlue, 100, 10, 30, 30, kBlue);
  surface_.DrawRectangle(100, 10, 30, 30, kWhite);
  surface_.EndDrawing();

  EXPECT_EQ(Pixel(40, 10), kBlue);
  EXPECT_EQ(Pixel(50, 20), kBlue);
  EXPECT_EQ(Pixel(60, 30), kBlack);
  const Bounds filled = Ink(36, 6, 64, 34, kBlack);
  ASSERT_TRUE(filled.any);
  HDC dc = GetDC(window_);
  int greenPixels = 0;
  for (int py = 6; py < 34; ++py)
    for (int px = 36; px < 64; ++px) greenPixels += GetPixel(dc, px, py) == kGreen;
  ReleaseDC(window_, dc);
  EXPECT_EQ(greenPixels, 0);

  EXPECT_EQ(Pixel(100, 10), kWhite);
  EXPECT_EQ(Pixel(129, 39), kWhite);
  EXPECT_EQ(Pixel(115, 10), kWhite);
  EXPECT_EQ(Pixel(115, 25), kBlue);
  EXPECT_EQ(Pixel(101, 11), kBlue);
  EXPECT_EQ(Pixel(130, 40), kBlack);
}

TEST_F(PaintSurfaceTest, TextWithoutABoxStartsAtItsPointWhateverTheAlignment) {
  Open();
  surface_.BeginBuffering();
  surface_.DrawWideText(20, 10, 0, 0, L"MM", kWhite, &font_, TivraUtility::TextAlignCenter);
  surface_.DrawWideText(0, 50, 400, 30, L"MM", kWhite, &font_, TivraUtility::TextAlignCenter);
  surface_.DrawNarrowText(0, 90, 400, 30, "MM", kWhite, &font_, TivraUtility::TextAlignRight);
  surface_.EndDrawing();

  const Bounds point = Ink(0, 0, client_.right, 40, kBlack);
  ASSERT_TRUE(point.any);
  EXPECT_GE(point.left, 20);
  EXPECT_LT(point.left, 26);
  EXPECT_GE(point.top, 10);
  EXPECT_LT(point.bottom, 10 + 16);

  const Bounds centred = Ink(0, 45, client_.right, 85, kBlack);
  ASSERT_TRUE(centred.any);
  EXPECT_NEAR((centred.left + centred.right) / 2.0, 200.0, 4.0);
  EXPECT_GE(centred.top, 50);  // top-aligned in its box
  EXPECT_LT(centred.top, 50 + 8);

  const Bounds right = Ink(0, 85, client_.right, 125, kBlack);
  ASSERT_TRUE(right.any);
  EXPECT_LT(right.right, 400);
  EXPECT_GT(right.right, 400 - 6);
}

TEST_F(PaintSurfaceTest, OnlyTheFirst1023CharactersOfATextAreDrawn) {
  // Spaces push the first visible character off to the left: with the text placed so that
  // character k (from 0) would start at x = 10, only k < 1023 may leave ink.
  SIZE spaces1022{}, spaces1023{}, letter{};
  {
    HDC dc = GetDC(window_);
    HGDIOBJ old = SelectObject(dc, font_.GetFont());
    const std::wstring spaces(1023, L' ');
    GetTextExtentPoint32W(dc, spaces.c_str(), 1022, &spaces1022);
    GetTextExtentPoint32W(dc, spaces.c_str(), 1023, &spaces1023);
    GetTextExtentPoint32W(dc, L"X", 1, &letter);
    SelectObject(dc, old);
    ReleaseDC(window_, dc);
  }
  ASSERT_GT(spaces1023.cx, spaces1022.cx);
  const std::wstring lastDrawn = std::wstring(1022, L' ') + std::wstring(478, L'X');
  const std::wstring firstCut = std::wstring(1023, L' ') + std::wstring(477, L'X');
  ASSERT_EQ(lastDrawn.size(), 1500u);
  ASSERT_EQ(firstCut.size(), 1500u);

  Open();
  surface_.BeginBuffering();
  surface_.DrawWideText(10 - spaces1022.cx, 10, 0, 0, lastDrawn, kWhite, &font_,
                        TivraUtility::TextAlignLeft);
  surface_.DrawWideText(10 - spaces1023.cx, 60, 0, 0, firstCut, kWhite, &font_,
                        TivraUtility::TextAlignLeft);
  surface_.EndDrawing();

  const Bounds drawn = Ink(0, 5, client_.right, 40, kBlack);
  ASSERT_TRUE(drawn.any);
  EXPECT_GE(drawn.left, 10);
  EXPECT_LT(drawn.right, 10 + letter.cx + 1);  // one letter only
  EXPECT_FALSE(Ink(0, 55, client_.right, 90, kBlack).any);
}

TEST_F(PaintSurfaceTest, DirectDrawingGoesStraightToTheWindowAndTheSurfaceCanBeReused) {
  Open();
  surface_.FillRectangle(1, kRed, 0, 0, 10, 10, kRed);
  EXPECT_EQ(Pixel(5, 5), kRed);  // no buffer: already on the window
  EXPECT_EQ(Pixel(20, 20), kWhite);
  surface_.EndDrawing();
  ExpectIdle();

  Open();
  surface_.DrawNarrowText(30, 30, 0, 0, "A", kBlue, &font_, TivraUtility::TextAlignLeft);
  surface_.EndDrawing();
  ExpectIdle();
  EXPECT_TRUE(Ink(30, 30, 60, 60, kWhite).any);
}

}  // namespace
