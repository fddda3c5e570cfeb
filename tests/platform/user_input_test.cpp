// Keyboard and mouse input: keys to the focus window, WM_CHAR translation, hot keys, clicks,
// dialog navigation.
#include "user_test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace usertest;

namespace {

std::vector<WPARAM> CharsTo(HWND h) {
  std::vector<WPARAM> out;
  for (const Record& r : Records(h, WM_CHAR)) out.push_back(r.wParam);
  return out;
}

TEST(UserKeyboard, KeysGoToTheFocusWindow) {
  Windows ws;
  HWND parent = ws.Top();
  HWND child = ws.Child(parent, 1);
  SetFocus(child);
  Pump();
  Rec().log.clear();
  Press(VK_DOWN);
  Pump();
  EXPECT_EQ(Messages(nullptr, {WM_KEYDOWN, WM_KEYUP, WM_CHAR}), (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP}));
  auto downs = Records(child, WM_KEYDOWN);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0].wParam, static_cast<WPARAM>(VK_DOWN));
  auto ups = Records(child, WM_KEYUP);
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_NE(ups[0].lParam & (1LL << 31), 0) << "a key-up has the transition bit";
}

// TranslateMessage makes WM_CHAR for character keys only.
TEST(UserKeyboard, CharacterTranslation) {
  struct Case {
    const char* name;
    WORD vk;
    bool shift;
    std::vector<WPARAM> chars;
  };
  const Case cases[] = {
      {"letter", 'A', false, {'a'}},
      {"shifted letter", 'A', true, {'A'}},
      {"digit", '5', false, {'5'}},
      {"shifted digit", '1', true, {'!'}},
      {"space", VK_SPACE, false, {' '}},
      {"enter", VK_RETURN, false, {13}},
      {"escape", VK_ESCAPE, false, {27}},
      {"backspace", VK_BACK, false, {8}},
      {"tab", VK_TAB, false, {9}},
      {"minus", VK_OEM_MINUS, false, {'-'}},
      {"up arrow", VK_UP, false, {}},
      {"left arrow", VK_LEFT, false, {}},
      {"function key", VK_F1, false, {}},
      {"delete", VK_DELETE, false, {}},
      {"home", VK_HOME, false, {}},
      {"shift alone", VK_SHIFT, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Windows ws;
    HWND h = ws.Settled();
    Rec().log.clear();
    if (c.shift) Press(c.vk, {VK_SHIFT});
    else Press(c.vk);
    Pump();
    EXPECT_EQ(CharsTo(h), c.chars);
  }
}

TEST(UserKeyboard, KeyStateFollowsDeliveredKeys) {
  Windows ws;
  HWND h = ws.Settled();
  SHORT during = 0;
  Rec().handlers[WM_KEYDOWN] = [&](HWND hwnd, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (w == 'X') during = GetKeyState(VK_SHIFT);
    return DefWindowProcW(hwnd, m, w, l);
  };
  Press('X', {VK_SHIFT});
  Pump();
  EXPECT_NE(during & 0x8000, 0);
  EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);
  EXPECT_EQ(Records(h, WM_KEYDOWN).size(), 2u);
}

TEST(UserKeyboard, AltCombinationArrivesAsSystemKey) {
  Windows ws;
  HWND h = ws.Settled();
  Rec().handlers[WM_SYSKEYDOWN] = [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; };
  Rec().handlers[WM_SYSKEYUP] = [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; };
  Rec().handlers[WM_SYSCHAR] = [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; };
  Rec().log.clear();
  Press('Q', {VK_MENU});
  Pump();
  bool sawQ = false;
  for (const Record& r : Records(h, WM_SYSKEYDOWN)) sawQ = sawQ || r.wParam == 'Q';
  EXPECT_TRUE(sawQ);
  for (const Record& r : Records(h, WM_KEYDOWN)) EXPECT_NE(r.wParam, static_cast<WPARAM>('Q'));
}

TEST(UserKeyboard, RegisteredHotKeyArrivesInsteadOfTheKeyPress) {
  Windows ws;
  HWND h = ws.Settled();
  ASSERT_TRUE(RegisterHotKey(h, 5, MOD_CONTROL, 'K'));
  Rec().log.clear();
  Press('K', {VK_CONTROL});
  Pump();
  auto hot = Records(h, WM_HOTKEY);
  ASSERT_EQ(hot.size(), 1u);
  EXPECT_EQ(hot[0].wParam, 5u);
  EXPECT_EQ(LOWORD(hot[0].lParam), MOD_CONTROL);
  EXPECT_EQ(HIWORD(hot[0].lParam), 'K');
  for (const Record& r : Records(h, WM_KEYDOWN)) EXPECT_NE(r.wParam, static_cast<WPARAM>('K'));

  EXPECT_TRUE(UnregisterHotKey(h, 5));
  EXPECT_FALSE(UnregisterHotKey(h, 5));
  Rec().log.clear();
  Press('K', {VK_CONTROL});
  Pump();
  EXPECT_TRUE(Records(h, WM_HOTKEY).empty());
  bool sawK = false;
  for (const Record& r : Records(h, WM_KEYDOWN)) sawK = sawK || r.wParam == 'K';
  EXPECT_TRUE(sawK);
}

TEST(UserMouse, ClickArrivesWithClientCoordinates) {
  Windows ws;
  HWND h = ws.Settled();
  POINT p{40, 30};
  ClientToScreen(h, &p);
  INPUT in[3] = {MouseAt(p, 0), MouseAt(p, MOUSEEVENTF_LEFTDOWN), MouseAt(p, MOUSEEVENTF_LEFTUP)};
  Rec().log.clear();
  ASSERT_EQ(SendInput(3, in, sizeof(INPUT)), 3u);
  Pump();
  auto downs = Records(h, WM_LBUTTONDOWN);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(static_cast<short>(LOWORD(downs[0].lParam)), 40);
  EXPECT_EQ(static_cast<short>(HIWORD(downs[0].lParam)), 30);
  EXPECT_EQ(Records(h, WM_LBUTTONUP).size(), 1u);
  EXPECT_FALSE(Records(h, WM_SETCURSOR).empty());
}

TEST(UserMouse, ClickOnAChildGoesToTheChild) {
  Windows ws;
  HWND parent = ws.Top();
  HWND child = ws.Child(parent, 3, WS_CHILD | WS_VISIBLE, RECT{50, 50, 100, 90});
  Pump();
  POINT p{60, 55};
  ClientToScreen(parent, &p);
  INPUT in[2] = {MouseAt(p, MOUSEEVENTF_LEFTDOWN), MouseAt(p, MOUSEEVENTF_LEFTUP)};
  Rec().log.clear();
  SendInput(2, in, sizeof(INPUT));
  Pump();
  auto downs = Records(child, WM_LBUTTONDOWN);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(static_cast<short>(LOWORD(downs[0].lParam)), 10);
  EXPECT_EQ(static_cast<short>(HIWORD(downs[0].lParam)), 5);
  EXPECT_TRUE(Records(parent, WM_LBUTTONDOWN).empty());
}

// A dialog-like window with tab stops A, C, F; B is no tab stop, D disabled, E hidden.
struct TabDialog {
  Windows ws;
  HWND dlg, a, b, c, d, e, f;
  TabDialog() {
    dlg = ws.Top();
    const DWORD tab = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    a = ws.Child(dlg, 1, tab, RECT{0, 0, 20, 20});
    b = ws.Child(dlg, 2, WS_CHILD | WS_VISIBLE, RECT{20, 0, 40, 20});
    c = ws.Child(dlg, 3, tab, RECT{40, 0, 60, 20});
    d = ws.Child(dlg, 4, tab | WS_DISABLED, RECT{60, 0, 80, 20});
    e = ws.Child(dlg, 5, WS_CHILD | WS_TABSTOP, RECT{80, 0, 100, 20});
    f = ws.Child(dlg, 6, tab, RECT{100, 0, 120, 20});
  }
};

TEST(UserDialog, NextTabItemVisitsTabStopsInOrderAndWraps) {
  TabDialog t;
  struct Case {
    HWND from;
    BOOL previous;
    HWND expected;
  };
  const Case cases[] = {
      {t.a, FALSE, t.c}, {t.c, FALSE, t.f}, {t.f, FALSE, t.a}, {t.b, FALSE, t.c},
      {t.a, TRUE, t.f},  {t.f, TRUE, t.c},  {t.c, TRUE, t.a},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "from id " << GetDlgCtrlID(k.from) << (k.previous ? " back" : " forward"));
    EXPECT_EQ(GetNextDlgTabItem(t.dlg, k.from, k.previous), k.expected);
  }
  EXPECT_EQ(GetDlgItem(t.dlg, 3), t.c);
  EXPECT_EQ(GetDlgItem(t.dlg, 99), nullptr);
}

TEST(UserDialog, IsDialogMessageMovesTheFocusWithTab) {
  TabDialog t;
  SetFocus(t.a);
  Pump();
  auto run = [&](std::initializer_list<WORD> modifiers) {
    Press(VK_TAB, modifiers);
    MSG m;
    int handled = 0;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (IsDialogMessageW(t.dlg, &m)) {
        ++handled;
        continue;
      }
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    return handled;
  };
  EXPECT_GT(run({}), 0);
  EXPECT_EQ(GetFocus(), t.c);
  run({});
  EXPECT_EQ(GetFocus(), t.f);
  run({VK_SHIFT});
  EXPECT_EQ(GetFocus(), t.c);
  MSG other{};
  other.hwnd = nullptr;
  other.message = WM_USER;
  EXPECT_FALSE(IsDialogMessageW(t.dlg, &other)) << "a message for no window of the dialog";
}

TEST(UserDialog, CheckDlgButtonKeepsTheStatePerButton) {
  Windows ws;
  HWND dlg = ws.Top();
  ws.Child(dlg, 11, WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, RECT{0, 0, 80, 20}, L"BUTTON");
  ws.Child(dlg, 12, WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, RECT{0, 20, 80, 40}, L"BUTTON");
  EXPECT_EQ(IsDlgButtonChecked(dlg, 11), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_TRUE(CheckDlgButton(dlg, 11, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dlg, 11), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dlg, 12), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_TRUE(CheckDlgButton(dlg, 11, BST_UNCHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dlg, 11), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dlg, 99), 0u);
}

}  // namespace
