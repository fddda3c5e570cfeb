// The console's window half on a real window: fitting and centring, single cells reaching the
// window's pixels at once, the erase after Clear, the buffered full redraw.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "toolkit/console/FormWinMsDos.h"
#include "toolkit/elements/Form.h"
#include "tests/toolkit/test_support.h"

namespace {

using TivraUtility::FormWinMsDos;

constexpr COLORREF Black = 0x000000;
constexpr COLORREF Red = 0x0000FF;
constexpr COLORREF Blue = 0xFF0000;

// A console form that does not become the program's main window, so closing it posts no quit
// message into the other tests' queue.
class WindowedConsole : public testing::Test {
 protected:
  void SetUp() override {
    const HWND savedMain = TivraUtility::MainWindow;
    form = new FormWinMsDos(GetModuleHandleW(nullptr), "Console");
    if (savedMain == nullptr) TivraUtility::MainWindow = nullptr;
    ASSERT_NE(form->handle, nullptr);
    Pump();
  }
  void TearDown() override {
    delete form;
    Pump();
  }
  static void Pump() { zerlo_test::PumpMessages(); }
  COLORREF Pixel(int x, int y) {
    HDC dc = GetDC(form->handle);
    const COLORREF c = GetPixel(dc, x, y) & 0xFFFFFF;
    ReleaseDC(form->handle, dc);
    return c;
  }
  // True when some pixel of the cell satisfies the predicate.
  bool AnyPixelInCell(int column, int row, const std::function<bool(COLORREF)>& pred) {
    HDC dc = GetDC(form->handle);
    bool found = false;
    for (int y = 0; y < form->cellHeight && !found; ++y) {
      for (int x = 0; x < form->cellWidth && !found; ++x) {
        found = pred(GetPixel(dc, column * form->cellWidth + x, row * form->cellHeight + y) & 0xFFFFFF);
      }
    }
    ReleaseDC(form->handle, dc);
    return found;
  }
  static bool Reddish(COLORREF c) { return (c & 0xFF) >= 0x80 && ((c >> 16) & 0xFF) < 0x60; }
  void ExpectFittedAndCentred() {
    RECT client{};
    GetClientRect(form->handle, &client);
    EXPECT_EQ(client.right - client.left, 80 * form->cellWidth);
    EXPECT_EQ(client.bottom - client.top, 25 * form->cellHeight);
    RECT window{};
    GetWindowRect(form->handle, &window);
    EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2);
    EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2);
  }

  FormWinMsDos* form = nullptr;
};

TEST_F(WindowedConsole, TheCellIsTheDefaultFontPlusThreePixels) {
  HDC dc = GetDC(form->handle);
  TEXTMETRICW metrics{};
  ASSERT_TRUE(GetTextMetricsW(dc, &metrics));
  ReleaseDC(form->handle, dc);
  EXPECT_EQ(form->cellHeight, metrics.tmHeight + 3);
  EXPECT_EQ(form->cellWidth, metrics.tmAveCharWidth + 3);
}

TEST_F(WindowedConsole, ClientAreaIsTheGridAndTheWindowIsCentred) { ExpectFittedAndCentred(); }

TEST_F(WindowedConsole, AnyResizeIsUndone) {
  SetWindowPos(form->handle, nullptr, 10, 20, 500, 300, SWP_NOZORDER);
  Pump();
  ExpectFittedAndCentred();
  SetWindowPos(form->handle, nullptr, 0, 0, 1200, 900, SWP_NOZORDER | SWP_NOMOVE);
  Pump();
  ExpectFittedAndCentred();
}

TEST_F(WindowedConsole, APrintedCharacterReachesThePixelsAtOnceInItsCellColours) {
  form->textColor = Red;
  form->backColor = Blue;
  form->GotoCell(2, 3);
  form->Print("M");
  // No message is handled in between: the cell was painted by Print itself.
  const int left = 2 * form->cellWidth;
  const int top = 3 * form->cellHeight;
  EXPECT_EQ(Pixel(left + form->cellWidth - 1, top + form->cellHeight - 1), Blue);
  EXPECT_TRUE(AnyPixelInCell(2, 3, Reddish));
  EXPECT_EQ(Pixel(left - 1, top + 1), Black);  // the cell to the left is untouched
}

TEST_F(WindowedConsole, AfterClearTheFirstPrintedCellErasesTheWholeClientArea) {
  form->backColor = Blue;
  form->GotoCell(0, 10);
  form->Print("          ");
  const int probeX = 5 * form->cellWidth + 2;
  const int probeY = 10 * form->cellHeight + 2;
  ASSERT_EQ(Pixel(probeX, probeY), Blue);

  form->Clear();
  form->backColor = Black;
  form->GotoCell(30, 0);
  form->Print("A");

  EXPECT_EQ(Pixel(probeX, probeY), Black);
}

TEST_F(WindowedConsole, AFullRedrawDrawsFromTheGridAndLeavesTheCaretWhereItWas) {
  const int cw = form->cellWidth;
  const int ch = form->cellHeight;
  auto put = [&](int column, int row, unsigned char c, COLORREF text, COLORREF back) {
    const int i = FormWinMsDos::CellIndex(column, row);
    form->cellChars[i] = c;
    form->cellTextColors[i] = text;
    form->cellBackColors[i] = back;
  };
  put(1, 1, 200, Red, Black);  // above 127: drawn although on the default background
  put(2, 1, ' ', Red, Blue);   // a blank on another background: drawn
  put(3, 1, 'X', Red, Black);  // a letter on black: drawn
  // Cell (5, 1) stays a blank on the default background. Paint it white behind the form's back:
  // the redraw must show it black again, from the off-screen image, without drawing it.
  HDC dc = GetDC(form->handle);
  RECT white{5 * cw, 1 * ch, 6 * cw, 2 * ch};
  HBRUSH brush = CreateSolidBrush(0xFFFFFF);
  FillRect(dc, &white, brush);
  DeleteObject(brush);
  ReleaseDC(form->handle, dc);
  ASSERT_EQ(Pixel(5 * cw + 3, ch + 3), 0xFFFFFFu);

  form->GotoCell(7, 9);
  InvalidateRect(form->handle, nullptr, TRUE);
  UpdateWindow(form->handle);

  EXPECT_TRUE(AnyPixelInCell(1, 1, Reddish));
  EXPECT_EQ(Pixel(2 * cw + 3, ch + 3), Blue);
  EXPECT_TRUE(AnyPixelInCell(3, 1, Reddish));
  EXPECT_EQ(Pixel(5 * cw + 3, ch + 3), Black);
  EXPECT_EQ(form->cursorX, 7 * cw);
  EXPECT_EQ(form->cursorY, 9 * ch);
  POINT caret{};
  GetCaretPos(&caret);
  EXPECT_EQ(caret.x, 7 * cw);
  EXPECT_EQ(caret.y, 9 * ch);
}

TEST_F(WindowedConsole, TypedCharactersArriveThroughTheWindowMessages) {
  SendMessageW(form->handle, WM_CHAR, 'h', 0);
  SendMessageW(form->handle, WM_CHAR, 'i', 0);
  EXPECT_EQ(form->cellChars[0], 'h');
  EXPECT_EQ(form->cellChars[1], 'i');
  EXPECT_EQ(form->cursorCol, 2);
}

TEST_F(WindowedConsole, EscAsAHotKeyClosesTheWindowOtherKeysDoNot) {
  form->OnHotKey(0, VK_RETURN);
  EXPECT_TRUE(form->created);
  EXPECT_TRUE(IsWindow(form->handle));
  form->OnHotKey(0, VK_ESCAPE);
  EXPECT_FALSE(form->created);
  EXPECT_FALSE(IsWindow(form->handle));
  EXPECT_TRUE(form->destroyed);
}

}  // namespace
