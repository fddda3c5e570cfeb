// Message order of window creation, showing, geometry changes, focus and destruction, and the
// message queue (sent, posted, paint, timer, quit).
#include "user_test_support.h"

#include <gtest/gtest.h>

using namespace usertest;

namespace {

const std::initializer_list<UINT> kLifecycle = {
    WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW, WM_WINDOWPOSCHANGING,
    WM_WINDOWPOSCHANGED, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS, WM_NCPAINT,
    WM_ERASEBKGND, WM_DESTROY, WM_NCDESTROY, WM_CLOSE};

// The window got one WM_SIZE, and it carries the size of its client area.
void ExpectOneSizeOfTheClientArea(HWND h) {
  RECT rc;
  GetClientRect(h, &rc);
  auto sizes = Records(h, WM_SIZE);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(LOWORD(sizes[0].lParam), rc.right);
  EXPECT_EQ(HIWORD(sizes[0].lParam), rc.bottom);
}

TEST(UserMessageOrder, VisibleTopLevelIsCreatedShownAndActivatedInsideTheCall) {
  Windows ws;
  HWND h = ws.Top();
  ASSERT_NE(h, nullptr);
  std::vector<UINT> expected = {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SHOWWINDOW,
                                WM_WINDOWPOSCHANGING, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS,
                                WM_NCPAINT, WM_ERASEBKGND, WM_WINDOWPOSCHANGED, WM_SIZE, WM_MOVE};
  EXPECT_EQ(Messages(h, kLifecycle), expected);
  EXPECT_EQ(GetForegroundWindow(), h);
  EXPECT_EQ(GetActiveWindow(), h);
  EXPECT_EQ(GetFocus(), h);
  EXPECT_TRUE(IsWindowVisible(h));
}

TEST(UserMessageOrder, CreateMessagesArriveBeforeTheHandleIsReturned) {
  Windows ws;
  HWND seen = nullptr;
  Rec().handlers[WM_CREATE] = [&](HWND hwnd, UINT, WPARAM, LPARAM lp) -> LRESULT {
    seen = hwnd;
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    EXPECT_EQ(cs->cx, 300);
    EXPECT_EQ(cs->cy, 200);
    return 0;
  };
  HWND h = ws.Top();
  EXPECT_EQ(seen, h);
}

TEST(UserMessageOrder, HiddenTopLevelGetsSizeAndMoveWhenFirstShown) {
  Windows ws;
  HWND h = ws.Top(WS_OVERLAPPEDWINDOW);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(Messages(h, kLifecycle), (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE}));
  EXPECT_FALSE(IsWindowVisible(h));
  Rec().log.clear();
  ShowWindow(h, SW_SHOW);
  std::vector<UINT> expected = {WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_NCACTIVATE, WM_ACTIVATE,
                                WM_SETFOCUS, WM_NCPAINT, WM_ERASEBKGND, WM_WINDOWPOSCHANGED,
                                WM_SIZE, WM_MOVE};
  EXPECT_EQ(Messages(h, kLifecycle), expected);
  ASSERT_NO_FATAL_FAILURE(ExpectOneSizeOfTheClientArea(h));
}

TEST(UserMessageOrder, ChildGetsSizeAndMoveRightAfterCreate) {
  Windows ws;
  HWND parent = ws.Top();
  Rec().log.clear();
  HWND child = ws.Child(parent, 7);
  ASSERT_NE(child, nullptr);
  std::vector<UINT> expected = {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE,
                                WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED};
  // Whether the child's background is erased inside the call depends on its parent's own
  // pending paint on the reference platform, so erasing is left out here.
  EXPECT_EQ(Messages(child, {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW,
                             WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_ACTIVATE, WM_SETFOCUS}),
            expected);
  auto moves = Records(child, WM_MOVE);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(LOWORD(moves[0].lParam), 5);
  EXPECT_EQ(HIWORD(moves[0].lParam), 6);
  EXPECT_EQ(GetParent(child), parent);
  EXPECT_EQ(GetDlgCtrlID(child), 7);
  EXPECT_EQ(GetFocus(), parent) << "showing a child does not take the focus";
}

// WM_SIZE and WM_MOVE come from WM_WINDOWPOSCHANGED, synchronously, and only on a change.
TEST(UserMessageOrder, SizeAndMoveOnlyWhenChanged) {
  struct Case {
    const char* name;
    int x, y, cx, cy;
    UINT flags;
    std::vector<UINT> expected;
  };
  const std::initializer_list<UINT> wanted = {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE, WM_MOVE};
  const Case cases[] = {
      {"new size", 0, 0, 320, 220, SWP_NOMOVE | SWP_NOZORDER,
       {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE}},
      {"same size", 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER, {WM_WINDOWPOSCHANGING}},
      {"new place", 110, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER,
       {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}},
      {"same place", 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER, {WM_WINDOWPOSCHANGING}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Windows ws;
    HWND h = ws.Settled();
    Rec().log.clear();
    EXPECT_TRUE(SetWindowPos(h, nullptr, c.x, c.y, c.cx, c.cy, c.flags));
    EXPECT_EQ(Messages(h, wanted), c.expected);
  }
}

TEST(UserMessageOrder, SizeReportsTheNewClientArea) {
  Windows ws;
  HWND h = ws.Top();
  Rec().log.clear();
  MoveWindow(h, 100, 100, 350, 260, TRUE);
  ASSERT_NO_FATAL_FAILURE(ExpectOneSizeOfTheClientArea(h));
  RECT wr;
  GetWindowRect(h, &wr);
  EXPECT_EQ(wr.right - wr.left, 350);
  EXPECT_EQ(wr.bottom - wr.top, 260);
}

TEST(UserMessageOrder, DestroySendsDestroyParentFirstAndNcDestroyChildFirst) {
  Windows ws;
  HWND parent = ws.Top();
  HWND child = ws.Child(parent, 1);
  Pump();
  Rec().log.clear();
  EXPECT_TRUE(DestroyWindow(parent));
  std::vector<HWND> order;
  std::vector<UINT> msgs;
  for (const Record& r : Rec().log) {
    if (r.msg == WM_DESTROY || r.msg == WM_NCDESTROY) {
      order.push_back(r.hwnd);
      msgs.push_back(r.msg);
    }
  }
  EXPECT_EQ(order, (std::vector<HWND>{parent, child, child, parent}));
  EXPECT_EQ(msgs, (std::vector<UINT>{WM_DESTROY, WM_DESTROY, WM_NCDESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(IsWindow(parent));
  EXPECT_FALSE(IsWindow(child));
}

TEST(UserMessageOrder, CloseIsHandledBeforeSendMessageReturns) {
  Windows ws;
  HWND h = ws.Top();
  Rec().log.clear();
  SendMessageW(h, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(Messages(h, {WM_CLOSE, WM_DESTROY, WM_NCDESTROY}),
            (std::vector<UINT>{WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST(UserMessageOrder, SysCommandCloseBecomesClose) {
  Windows ws;
  HWND h = ws.Top();
  Rec().log.clear();
  SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(Messages(h, {WM_CLOSE, WM_DESTROY}), (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
}

TEST(UserFocus, SetFocusSendsKillFocusThenSetFocus) {
  Windows ws;
  HWND parent = ws.Top();
  HWND child = ws.Child(parent, 1);
  Rec().log.clear();
  EXPECT_EQ(SetFocus(child), parent);
  std::vector<std::pair<HWND, UINT>> seen;
  for (const Record& r : Rec().log)
    if (r.msg == WM_KILLFOCUS || r.msg == WM_SETFOCUS) seen.emplace_back(r.hwnd, r.msg);
  EXPECT_EQ(seen, (std::vector<std::pair<HWND, UINT>>{{parent, WM_KILLFOCUS}, {child, WM_SETFOCUS}}));
  EXPECT_EQ(Records(parent, WM_KILLFOCUS)[0].wParam, reinterpret_cast<WPARAM>(child));
  EXPECT_EQ(Records(child, WM_SETFOCUS)[0].wParam, reinterpret_cast<WPARAM>(parent));
  EXPECT_EQ(GetFocus(), child);
}

TEST(UserFocus, ShowingASecondWindowMovesActivationToIt) {
  Windows ws;
  HWND first = ws.Top();
  HWND second = ws.Top(WS_OVERLAPPEDWINDOW, RECT{150, 150, 350, 300});
  Rec().log.clear();
  ShowWindow(second, SW_SHOW);
  EXPECT_EQ(GetActiveWindow(), second);
  EXPECT_EQ(GetForegroundWindow(), second);
  EXPECT_EQ(GetFocus(), second);
  auto firstActivate = Records(first, WM_ACTIVATE);
  ASSERT_EQ(firstActivate.size(), 1u);
  EXPECT_EQ(LOWORD(firstActivate[0].wParam), WA_INACTIVE);
  auto secondActivate = Records(second, WM_ACTIVATE);
  ASSERT_EQ(secondActivate.size(), 1u);
  EXPECT_NE(LOWORD(secondActivate[0].wParam), WA_INACTIVE);
  EXPECT_EQ(Messages(first, {WM_KILLFOCUS}).size(), 1u);
  DestroyWindow(second);
  Pump();
#ifndef _WIN32
  // Destroying the active window hands activation back to the other one. (Under Wine on a bare
  // X server without a window manager which window becomes active next is not settled.)
  EXPECT_EQ(GetActiveWindow(), first);
  EXPECT_EQ(GetFocus(), first);
#endif
}

TEST(UserFocus, EnableWindowReportsThePreviousState) {
  Windows ws;
  HWND h = ws.Top();
  EXPECT_TRUE(IsWindowEnabled(h));
  EXPECT_FALSE(EnableWindow(h, FALSE));
  EXPECT_FALSE(IsWindowEnabled(h));
  EXPECT_TRUE(EnableWindow(h, TRUE));
  EXPECT_TRUE(IsWindowEnabled(h));
}

TEST(UserQueue, SendMessageIsSynchronousAndReentrant) {
  Windows ws;
  HWND h = ws.Top();
  std::vector<int> trace;
  Rec().handlers[WM_USER] = [&](HWND hwnd, UINT, WPARAM, LPARAM) -> LRESULT {
    trace.push_back(1);
    LRESULT inner = SendMessageW(hwnd, WM_USER + 1, 0, 0);
    trace.push_back(3);
    return inner + 1;
  };
  Rec().handlers[WM_USER + 1] = [&](HWND, UINT, WPARAM, LPARAM) -> LRESULT {
    trace.push_back(2);
    return 41;
  };
  EXPECT_EQ(SendMessageW(h, WM_USER, 0, 0), 42);
  EXPECT_EQ(trace, (std::vector<int>{1, 2, 3}));
}

TEST(UserQueue, PostedMessagesComeBeforePaint) {
  Windows ws;
  HWND h = ws.Settled();
  InvalidateRect(h, nullptr, FALSE);
  PostMessageW(h, WM_USER, 1, 2);
  PostMessageW(h, WM_USER + 1, 3, 4);
  std::vector<UINT> got;
  MSG m;
  while (PeekMessageW(&m, h, 0, 0, PM_REMOVE)) {
    got.push_back(m.message);
    DispatchMessageW(&m);
  }
  EXPECT_EQ(got, (std::vector<UINT>{WM_USER, WM_USER + 1, WM_PAINT}));
}

TEST(UserQueue, PaintThatIsNotValidatedByItsHandlerDoesNotRepeat) {
  Windows ws;
  HWND h = ws.Settled();
  int paints = 0;
  // The handler draws nothing and leaves the message to the default procedure.
  Rec().handlers[WM_PAINT] = [&](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    ++paints;
    return DefWindowProcW(hwnd, msg, wp, lp);
  };
  InvalidateRect(h, nullptr, TRUE);
  Pump();
  EXPECT_EQ(paints, 1);
  MSG m;
  EXPECT_FALSE(PeekMessageW(&m, h, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

TEST(UserQueue, QuitEndsGetMessageAfterThePostedMessages) {
  Windows ws;
  HWND h = ws.Settled();
  PostMessageW(h, WM_USER, 0, 0);
  PostQuitMessage(3);
  MSG m;
  EXPECT_EQ(GetMessageW(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
  EXPECT_EQ(GetMessageW(&m, nullptr, 0, 0), FALSE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(m.wParam, 3u);
}

TEST(UserQueue, TimerArrivesAsWmTimerAndStopsWhenKilled) {
  Windows ws;
  HWND h = ws.Settled();
  EXPECT_NE(SetTimer(h, 7, 15, nullptr), 0u);
  MSG m;
  ASSERT_EQ(GetMessageW(&m, h, WM_TIMER, WM_TIMER), TRUE);
  EXPECT_EQ(m.hwnd, h);
  EXPECT_EQ(m.wParam, 7u);
  DispatchMessageW(&m);
  EXPECT_EQ(Records(h, WM_TIMER).size(), 1u);
  EXPECT_TRUE(KillTimer(h, 7));
  EXPECT_FALSE(KillTimer(h, 7));
  Sleep(30);
  EXPECT_FALSE(PeekMessageW(&m, h, WM_TIMER, WM_TIMER, PM_REMOVE));
}

// A null or destroyed window handle fails quietly.
TEST(UserBadHandles, CallsOnMissingWindowsFail) {
  HWND gone;
  {
    Windows ws;
    gone = ws.Top(WS_OVERLAPPEDWINDOW);
  }
  ASSERT_FALSE(IsWindow(gone));
  for (HWND h : {static_cast<HWND>(nullptr), gone}) {
    SCOPED_TRACE(h ? "destroyed window" : "null window");
    RECT r{1, 2, 3, 4};
    POINT p{5, 6};
    wchar_t text[8] = L"x";
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(DestroyWindow(h));
    SetLastError(0);
    EXPECT_FALSE(GetWindowRect(h, &r));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(GetClientRect(h, &r));
    EXPECT_FALSE(ShowWindow(h, SW_SHOW));
    EXPECT_FALSE(SetWindowPos(h, nullptr, 0, 0, 10, 10, SWP_NOZORDER));
    EXPECT_FALSE(SetWindowTextW(h, L"t"));
    EXPECT_EQ(GetWindowTextW(h, text, 8), 0);
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_EQ(GetWindowLongPtrW(h, GWLP_USERDATA), 0);
    EXPECT_FALSE(ClientToScreen(h, &p));
  }
  PAINTSTRUCT ps;
  EXPECT_FALSE(ValidateRect(gone, nullptr));
  EXPECT_FALSE(EnableWindow(gone, TRUE));
  EXPECT_EQ(BeginPaint(gone, &ps), nullptr);
  EXPECT_EQ(SetTimer(gone, 1, 10, nullptr), 0u);
  EXPECT_FALSE(CreateCaret(gone, nullptr, 2, 10));
  EXPECT_EQ(SendMessageW(gone, WM_USER, 0, 0), 0);
  EXPECT_FALSE(PostMessageW(gone, WM_USER, 0, 0));
  EXPECT_FALSE(InvalidateRect(gone, nullptr, TRUE));
  EXPECT_FALSE(RegisterHotKey(gone, 1, MOD_CONTROL, 'Q'));
}

TEST(UserBadHandles, UnknownClassFailsToCreate) {
  HWND h = CreateWindowExW(0, L"NoSuchClassHere", L"", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                           nullptr, nullptr, nullptr);
  EXPECT_EQ(h, nullptr);
}

}  // namespace
