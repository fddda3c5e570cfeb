// Window attributes, scroll bars, cursors and colours, tool tips, the shell, and (on the
// stand-in only) the headless screen's picture of the desktop.
#include "user_test_support.h"

#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

#ifndef _WIN32
#include <zerlo/headless.h>
#endif

using namespace usertest;

namespace {

TEST(UserScroll, PositionIsClampedToTheRangeMinusThePage) {
  struct Case {
    int min, max;
    UINT page;
    int pos, expected;
  };
  const Case cases[] = {
      {0, 100, 10, 50, 50},  {0, 100, 10, 95, 91}, {0, 100, 10, -5, 0}, {0, 100, 0, 150, 100},
      {0, 100, 1, 150, 100}, {10, 20, 5, 0, 10},   {10, 20, 5, 30, 16}, {0, 9, 10, 5, 0},
  };
  Windows ws;
  HWND h = ws.Top(WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_VISIBLE);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.min << ".." << c.max << " page " << c.page << " pos " << c.pos);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = c.min;
    si.nMax = c.max;
    si.nPage = c.page;
    si.nPos = c.pos;
    EXPECT_EQ(SetScrollInfo(h, SB_VERT, &si, TRUE), c.expected);
    SCROLLINFO out{};
    out.cbSize = sizeof out;
    out.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(h, SB_VERT, &out));
    EXPECT_EQ(out.nPos, c.expected);
    EXPECT_EQ(out.nMin, c.min);
    EXPECT_EQ(out.nMax, c.max);
  }
}

TEST(UserWindow, TextRoundTripsAndIsCutToTheBuffer) {
  Windows ws;
  HWND h = ws.Top();
  wchar_t buf[32];
  EXPECT_EQ(GetWindowTextW(h, buf, 32), 4);
  EXPECT_EQ(std::wstring(buf), L"test");
  EXPECT_TRUE(SetWindowTextW(h, L"Zerlo01"));
  EXPECT_EQ(GetWindowTextLengthW(h), 7);
  EXPECT_EQ(GetWindowTextW(h, buf, 4), 3);
  EXPECT_EQ(std::wstring(buf), L"Zer");
}

LRESULT CALLBACK Subclass(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER) return 77;
  auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(h, GWLP_USERDATA));
  return CallWindowProcW(old, h, m, w, l);
}

TEST(UserWindow, WindowProcedureCanBeReplacedAndChained) {
  Windows ws;
  HWND h = ws.Top();
  LONG_PTR old = SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass));
  EXPECT_EQ(old, reinterpret_cast<LONG_PTR>(&RecordingProc));
  SetWindowLongPtrW(h, GWLP_USERDATA, old);
  EXPECT_EQ(GetWindowLongPtrW(h, GWLP_USERDATA), old);
  EXPECT_EQ(SendMessageW(h, WM_USER, 0, 0), 77);
  Rec().log.clear();
  SendMessageW(h, WM_USER + 2, 0, 0);
  EXPECT_EQ(Records(h, WM_USER + 2).size(), 1u) << "the old procedure still gets the rest";
}

TEST(UserWindow, ClientAndScreenCoordinatesConvertBothWays) {
  Windows ws;
  HWND h = ws.Top();
  HWND child = ws.Child(h, 1, WS_CHILD | WS_VISIBLE, RECT{20, 30, 60, 70});
  POINT p{0, 0};
  ClientToScreen(child, &p);
  POINT q{20, 30};
  ClientToScreen(h, &q);
  EXPECT_EQ(p.x, q.x);
  EXPECT_EQ(p.y, q.y);
  ScreenToClient(h, &p);
  EXPECT_EQ(p.x, 20);
  EXPECT_EQ(p.y, 30);
  RECT wr;
  GetWindowRect(child, &wr);
  EXPECT_EQ(wr.left, q.x);
  EXPECT_EQ(wr.right - wr.left, 40);
}

TEST(UserResources, StockCursorsIconsAndColours) {
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
  HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
  EXPECT_NE(arrow, nullptr);
  EXPECT_NE(hand, nullptr);
  EXPECT_NE(wait, nullptr);
  EXPECT_NE(hand, wait);
  EXPECT_NE(LoadIconW(nullptr, IDI_APPLICATION), nullptr);
  SetCursor(hand);
  EXPECT_EQ(SetCursor(wait), hand);
  EXPECT_EQ(GetCursor(), wait);
  EXPECT_NE(GetSysColorBrush(COLOR_BTNFACE), nullptr);
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
  EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);
}

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }

TEST(UserResources, SystemColourClassBrushErasesInThatColour) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PlainProc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = L"ZerloFaceClass";
  ASSERT_NE(RegisterClassW(&wc), 0);
  EXPECT_EQ(RegisterClassW(&wc), 0) << "a class name is registered once";
  {
    Windows ws;
    HWND h = ws.Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 300, 250}, L"ZerloFaceClass");
    UpdateWindow(h);
    HDC dc = GetDC(h);
    EXPECT_EQ(GetPixel(dc, 10, 10), GetSysColor(COLOR_BTNFACE));
    ReleaseDC(h, dc);
  }
  EXPECT_TRUE(UnregisterClassW(L"ZerloFaceClass", nullptr));
}

TEST(UserToolTips, ToolTipWindowKeepsItsTools) {
  INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  EXPECT_TRUE(InitCommonControlsEx(&icc));
  Windows ws;
  HWND owner = ws.Top();
  HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                             0, 0, 0, 0, owner, nullptr, nullptr, nullptr);
  ASSERT_NE(tip, nullptr);
  SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  wchar_t text[64] = L"first";
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_SUBCLASS;
  ti.hwnd = owner;
  ti.uId = reinterpret_cast<UINT_PTR>(owner);
  GetClientRect(owner, &ti.rect);
  ti.lpszText = text;
  EXPECT_TRUE(SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);

  wchar_t second[] = L"second";
  ti.lpszText = second;
  SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
  ti.rect = RECT{1, 2, 30, 40};
  SendMessageW(tip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));

  wchar_t back[128] = L"";
  TOOLINFOW q{};
  q.cbSize = sizeof q;
  q.hwnd = owner;
  q.uId = reinterpret_cast<UINT_PTR>(owner);
  q.lpszText = back;
  EXPECT_TRUE(SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&q)));
  EXPECT_EQ(std::wstring(back), L"second");
  EXPECT_EQ(q.rect.left, 1);
  EXPECT_EQ(q.rect.bottom, 40);
  EXPECT_EQ(q.uFlags & TTF_SUBCLASS, static_cast<UINT>(TTF_SUBCLASS));

  SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 0);
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(tip)) << "the tool tip goes with its owner";
}

#ifndef _WIN32
// What follows relies on the stand-in's own model: the non-client area is only the menu bar,
// and the headless screen shows the composed desktop.

TEST(UserStandIn, NonClientAreaIsOnlyTheMenuBar) {
  Windows ws;
  HWND h = ws.Top();
  RECT wr, cr;
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  EXPECT_EQ(wr.right - wr.left, cr.right);
  EXPECT_EQ(wr.bottom - wr.top, cr.bottom);
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, 100, L"&Esci\tEsc");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  SetMenu(h, bar);
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  EXPECT_EQ(wr.right - wr.left, cr.right);
  EXPECT_GT(wr.bottom - wr.top, cr.bottom);
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  EXPECT_EQ(origin.x, wr.left);
  EXPECT_EQ(origin.y, wr.top + ((wr.bottom - wr.top) - cr.bottom));
}

// The stand-in's default procedure keeps the font sent with WM_SETFONT (the real one leaves
// that to controls).
TEST(UserStandIn, FontIsStoredPerWindow) {
  Windows ws;
  HWND a = ws.Top();
  HWND b = ws.Child(a, 1);
  HFONT f = CreateFontW(16, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, L"Lucida Console");
  SendMessageW(a, WM_SETFONT, reinterpret_cast<WPARAM>(f), TRUE);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(a, WM_GETFONT, 0, 0)), f);
  EXPECT_EQ(SendMessageW(b, WM_GETFONT, 0, 0), 0);
  DestroyWindow(a);
  DeleteObject(f);
}

TEST(UserStandIn, VirtualScreenAndDefaultWindowPlace) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  HWND h = CreateWindowExW(0, RecordingClass(), L"default", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  RECT wr;
  GetWindowRect(h, &wr);
  EXPECT_GT(wr.right - wr.left, 0);
  EXPECT_LE(wr.right, 1024);
  DestroyWindow(h);
}

TEST(UserStandIn, IdleQueuePresentsTheDesktopWithTheCaret) {
  Windows ws;
  HWND h = ws.Top();
  CreateCaret(h, nullptr, 2, 19);
  SetCaretPos(14, 38);
  PumpUntilIdle();
  zerlo::headless::PresentedFrame f;
  ASSERT_TRUE(zerlo::headless::LastFrame(&f));
  RECT wr;
  GetWindowRect(h, &wr);
  EXPECT_EQ(f.Pixel(wr.left + 5, wr.top + 5), 0x0000FFu) << "the window's blue background";
  EXPECT_EQ(f.activeCaption, L"test");
  EXPECT_FALSE(f.caretVisible) << "a new caret is hidden";

  struct Step {
    bool show;
    bool visibleAfter;
  };
  // Hide and show nest: the caret shows when every hide has been undone.
  const Step steps[] = {{true, true}, {false, false}, {false, false}, {true, false}, {true, true}};
  for (const Step& s : steps) {
    if (s.show) ShowCaret(h);
    else HideCaret(h);
    PumpUntilIdle();
    ASSERT_TRUE(zerlo::headless::LastFrame(&f));
    EXPECT_EQ(f.caretVisible, s.visibleAfter);
  }
  EXPECT_EQ(f.caretLeft, wr.left + 14);
  EXPECT_EQ(f.caretTop, wr.top + 38);
  EXPECT_EQ(f.caretRight - f.caretLeft, 2);
  EXPECT_EQ(f.caretBottom - f.caretTop, 19);

  int before = zerlo::headless::PresentCount();
  PumpUntilIdle();
  EXPECT_EQ(zerlo::headless::PresentCount(), before) << "nothing changed, nothing presented";
  DestroyCaret();
}

TEST(UserStandIn, ShellOpenIsRecordedByTheHeadlessScreen) {
  zerlo::headless::ClearShellRequests();
  HINSTANCE r = ShellExecuteW(nullptr, L"open", L"https://example.org/home", nullptr, nullptr, SW_SHOW);
  EXPECT_GT(reinterpret_cast<INT_PTR>(r), 32);
  auto requests = zerlo::headless::ShellRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].verb, L"open");
  EXPECT_EQ(requests[0].target, L"https://example.org/home");
}

TEST(UserStandInDeathTest, WaitingForeverOnTheHeadlessScreenAborts) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        MSG m;
        GetMessageW(&m, nullptr, 0, 0);
      },
      "wait forever");
}
#endif

}  // namespace
