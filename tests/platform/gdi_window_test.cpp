// GDI conformance on window device contexts: the default font, WindowFromDC, drawing that
// reaches the window, clipping to the client area, and the off-screen paint path (a memory
// bitmap compatible with the window, copied onto it with BitBlt). Win32 API only.
#include <windows.h>

#include <gtest/gtest.h>

#include "gdi_test_support.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A shown top-level window with a black class brush, already painted once; one for the
// whole suite, since showing a window is slow on the reference platform.
class GdiWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"ZerloGdiTestWindow";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, L"ZerloGdiTestWindow", L"gdi", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                            20, 20, 320, 240, nullptr, nullptr, GetModuleHandleW(nullptr),
                            nullptr);
    if (hwnd_) UpdateWindow(hwnd_);
  }
  static void TearDownTestSuite() {
    if (hwnd_) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(hwnd_, nullptr);
    ASSERT_TRUE(GetClientRect(hwnd_, &client_));
    ASSERT_GT(client_.right, 100);
    ASSERT_GT(client_.bottom, 60);
  }

  // Reads a pixel through a fresh DC of the window's client area.
  COLORREF Pixel(int x, int y) {
    HDC dc = GetDC(hwnd_);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd_, dc);
    return c;
  }

  void Fill(const RECT& r, COLORREF color) {
    HDC dc = GetDC(hwnd_);
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(hwnd_, dc);
  }

  static HWND hwnd_;
  RECT client_{};
};

HWND GdiWindow::hwnd_ = nullptr;

TEST_F(GdiWindow, DefaultFontIsTheSystemFontWithTheScreenMetrics) {
  HDC dc = GetDC(hwnd_);
  ASSERT_NE(dc, nullptr);
  TEXTMETRICW tm{};
  ASSERT_NO_FATAL_FAILURE(gditest::ExpectSystemFont(dc, tm));
  EXPECT_GT(tm.tmAveCharWidth, 0);

  // Text in that font lands inside its cell.
  Fill(client_, kBlack);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kWhite);
  SIZE ext{};
  ASSERT_TRUE(GetTextExtentPoint32W(dc, L"Hg", 2, &ext));
  ASSERT_TRUE(TextOutW(dc, 30, 20, L"Hg", 2));
  ReleaseDC(hwnd_, dc);
  HDC reader = GetDC(hwnd_);
  int inked = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x) {
      if (GetPixel(reader, x, y) == kBlack) continue;
      ++inked;
      EXPECT_TRUE(x >= 30 && x < 30 + ext.cx && y >= 20 && y < 20 + tm.tmHeight) << x << "," << y;
    }
  ReleaseDC(hwnd_, reader);
  EXPECT_GT(inked, 4);
}

TEST_F(GdiWindow, WindowFromDcNamesTheWindowOfAWindowDcOnly) {
  HDC client = GetDC(hwnd_);
  HDC whole = GetWindowDC(hwnd_);
  HDC memory = CreateCompatibleDC(client);
  EXPECT_EQ(WindowFromDC(client), hwnd_);
  EXPECT_EQ(WindowFromDC(whole), hwnd_);
  EXPECT_EQ(WindowFromDC(memory), nullptr);
  EXPECT_EQ(WindowFromDC(nullptr), nullptr);
  DeleteDC(memory);
  EXPECT_EQ(ReleaseDC(hwnd_, whole), 1);
  EXPECT_EQ(ReleaseDC(hwnd_, client), 1);
}

TEST_F(GdiWindow, DrawingReachesTheClientAreaAndStopsAtItsEdge) {
  Fill(client_, kBlack);
  Fill(RECT{10, 10, 20, 15}, kRed);
  EXPECT_EQ(Pixel(10, 10), kRed);
  EXPECT_EQ(Pixel(19, 14), kRed);
  EXPECT_EQ(Pixel(20, 14), kBlack);
  EXPECT_EQ(Pixel(19, 15), kBlack);
  EXPECT_EQ(Pixel(9, 10), kBlack);

  // A fill running past the client area leaves no trace outside it, and reading there fails.
  Fill(RECT{client_.right - 5, client_.bottom - 5, client_.right + 50, client_.bottom + 50}, kBlue);
  EXPECT_EQ(Pixel(client_.right - 1, client_.bottom - 1), kBlue);
  EXPECT_EQ(Pixel(client_.right, client_.bottom - 1), CLR_INVALID);
  EXPECT_EQ(Pixel(client_.right - 1, client_.bottom), CLR_INVALID);
  EXPECT_EQ(Pixel(-1, 0), CLR_INVALID);
}

// The toolkit's full redraw: a black bitmap of the client area's size, cells drawn into it,
// then one copy onto the window.
TEST_F(GdiWindow, OffScreenBitmapIsBlackAndBitBltCopiesItOntoTheWindow) {
  Fill(client_, kWhite);
  HDC window = GetDC(hwnd_);
  HDC memory = CreateCompatibleDC(window);
  HBITMAP bitmap = CreateCompatibleBitmap(window, client_.right, client_.bottom);
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  for (int y = 0; y < client_.bottom; y += 7)
    for (int x = 0; x < client_.right; x += 5) EXPECT_EQ(GetPixel(memory, x, y), kBlack);

  HPEN pen = CreatePen(PS_SOLID, 1, kBlue);
  HBRUSH brush = CreateSolidBrush(kBlue);
  HGDIOBJ oldPen = SelectObject(memory, pen);
  HGDIOBJ oldBrush = SelectObject(memory, brush);
  Rectangle(memory, 10, 19, 20, 38);  // one console cell
  SelectObject(memory, oldPen);
  SelectObject(memory, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);

  ASSERT_TRUE(BitBlt(window, 0, 0, client_.right, client_.bottom, memory, 0, 0, SRCCOPY));
  SelectObject(memory, oldBitmap);
  DeleteDC(memory);
  DeleteObject(bitmap);
  ReleaseDC(hwnd_, window);

  EXPECT_EQ(Pixel(10, 19), kBlue);
  EXPECT_EQ(Pixel(19, 37), kBlue);
  EXPECT_EQ(Pixel(20, 37), kBlack);
  EXPECT_EQ(Pixel(19, 38), kBlack);
  EXPECT_EQ(Pixel(0, 0), kBlack);
  EXPECT_EQ(Pixel(client_.right - 1, client_.bottom - 1), kBlack);
}

}  // namespace
