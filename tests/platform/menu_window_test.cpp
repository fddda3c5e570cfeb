// The menu bar of a window: geometry, drawing, and choosing commands with keyboard and mouse.
// Written against the Win32 API alone. The real platform runs a modal menu loop inside
// DefWindowProcW, so every wait here pumps messages up to a time bound and never blocks, and
// a scripted step that must happen while a menu is open runs from a timer callback, which
// that loop dispatches too.
#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

#ifndef _WIN32
#include <zerlo/headless.h>
#endif

namespace {

constexpr UINT kExitId = 2;
constexpr UINT kHomeId = 3;

struct Seen {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

std::vector<Seen>& Log() {
  static std::vector<Seen> log;
  return log;
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      Log().push_back({message, wParam, lParam});
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

INPUT Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

// Keys go in one stroke per timer tick, so that the real platform's menu loop, which a stroke
// may start, is running before the next one arrives; its loop dispatches the timer too.
struct Stroke {
  WORD vk;
  bool withAlt;  // Alt held down around the key
};

std::deque<Stroke>& Feed() {
  static std::deque<Stroke> feed;
  return feed;
}

HWND g_feedWindow = nullptr;
constexpr UINT_PTR kFeedTimer = 41;

void CALLBACK FeedTick(HWND hwnd, UINT, UINT_PTR id, DWORD) {
  if (Feed().empty()) {
    KillTimer(hwnd, id);
    return;
  }
  Stroke k = Feed().front();
  Feed().pop_front();
  std::vector<INPUT> inputs;
  if (k.withAlt) inputs.push_back(Key(VK_MENU, false));
  inputs.push_back(Key(k.vk, false));
  inputs.push_back(Key(k.vk, true));
  if (k.withAlt) inputs.push_back(Key(VK_MENU, true));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Presses and releases each key in turn.
void Type(std::initializer_list<WORD> keys) {
  for (WORD vk : keys) Feed().push_back({vk, false});
  SetTimer(g_feedWindow, kFeedTimer, 40, FeedTick);
}

// Alt held down around one key: Alt+F and the like.
void AltChord(WORD vk) {
  Feed().push_back({vk, true});
  SetTimer(g_feedWindow, kFeedTimer, 40, FeedTick);
}

INPUT MouseAt(int x, int y, DWORD flags) {
  int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>((x * 65536LL + cx / 2) / cx);
  in.mi.dy = static_cast<LONG>((y * 65536LL + cy / 2) / cy);
  in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return in;
}

void ClickAt(POINT p) {
  INPUT inputs[] = {MouseAt(p.x, p.y, 0), MouseAt(p.x, p.y, MOUSEEVENTF_LEFTDOWN),
                    MouseAt(p.x, p.y, MOUSEEVENTF_LEFTUP)};
  SendInput(3, inputs, sizeof(INPUT));
}

POINT Center(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

int Count(UINT message) {
  int n = 0;
  for (const Seen& s : Log()) n += s.message == message;
  return n;
}

bool SawKey(UINT message, WPARAM vk) {
  for (const Seen& s : Log())
    if (s.message == message && s.wParam == vk) return true;
  return false;
}

// Pumps messages until `done` holds or `boundMs` passes; true when `done` held.
bool PumpUntil(const std::function<bool()>& done, DWORD boundMs) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (done()) return true;
    }
    if (done()) return true;
    if (GetTickCount() - start > boundMs) return false;
    Sleep(5);
  }
}

void Pump(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

// Pumps until every key has gone in, then `ms` longer.
void Drain(DWORD ms) {
  PumpUntil([] { return Feed().empty(); }, 5000);
  Pump(ms);
}

// Ends a menu loop that a failed expectation left open, so that a test can never hang.
void CALLBACK Rescue(HWND hwnd, UINT, UINT_PTR id, DWORD) {
  KillTimer(hwnd, id);
  EndMenu();
}

class MenuWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = L"ZerloMenuTest";
    RegisterClassW(&wc);
    // No system menu: on the real platform it would join the bar's keyboard cycle.
    hwnd = CreateWindowExW(0, L"ZerloMenuTest", L"Menu", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 40, 40,
                           400, 300, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);
    g_feedWindow = hwnd;
    // The toolkit's bar: each drop-down filled first, then appended to the bar.
    bar = CreateMenu();
    file = CreateMenu();
    AppendMenuW(file, MF_STRING, kExitId, L"&Esci\tEsc");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    help = CreateMenu();
    AppendMenuW(help, MF_STRING, kHomeId, L"&Home");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&?");
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    // Under Wine, focus follows the X server's events: wait until keys will come here.
    PumpUntil([this] { return GetFocus() == hwnd && GetForegroundWindow() == hwnd; }, 1000);
    Pump(50);
    Log().clear();
  }

  void TearDown() override {
    Feed().clear();
    if (hwnd) DestroyWindow(hwnd);
    Pump(20);
    Log().clear();
  }

  void AttachBar() {
    ASSERT_TRUE(SetMenu(hwnd, bar));
    Pump(30);
    Log().clear();
  }

  // Waits for a command; then a little longer, so that a second one would be seen too.
  bool WaitForCommand(DWORD boundMs = 3000) {
    SetTimer(hwnd, 99, boundMs + 500, Rescue);
    bool got = PumpUntil([] { return Count(WM_COMMAND) > 0; }, boundMs);
    Pump(100);
    KillTimer(hwnd, 99);
    return got;
  }

  // Pumps a while, rescuing a menu loop left open.
  void Settle(DWORD ms = 300) {
    SetTimer(hwnd, 99, static_cast<UINT>(Feed().size() * 40 + ms + 500), Rescue);
    Drain(ms);
    KillTimer(hwnd, 99);
  }

  bool AnyBarItemHighlighted() {
    for (int i = 0; i < GetMenuItemCount(bar); ++i)
      if (GetMenuState(bar, i, MF_BYPOSITION) & MF_HILITE) return true;
    return false;
  }

  // The menus are closed: Enter reaches the window as a plain key press.
  void ExpectMenusClosed() {
    EXPECT_FALSE(AnyBarItemHighlighted());
    // Under Wine the desktop's focus events after a menu loop can arrive late: focus again.
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    Pump(30);
    Log().clear();
    Type({VK_RETURN});
    EXPECT_TRUE(PumpUntil([] { return SawKey(WM_KEYDOWN, VK_RETURN); }, 1000))
        << "Enter did not reach the window: a menu is still active";
    EXPECT_EQ(Count(WM_COMMAND), 0);
  }

  HWND hwnd = nullptr;
  HMENU bar = nullptr;
  HMENU file = nullptr;
  HMENU help = nullptr;
};

TEST_F(MenuWindow, BarTakesItsRowFromTheClientArea) {
  RECT windowBefore{}, clientBefore{};
  GetWindowRect(hwnd, &windowBefore);
  GetClientRect(hwnd, &clientBefore);
  AttachBar();
  EXPECT_EQ(GetMenu(hwnd), bar);
  RECT window{}, client{};
  GetWindowRect(hwnd, &window);
  GetClientRect(hwnd, &client);
  EXPECT_EQ(window.left, windowBefore.left);
  EXPECT_EQ(window.top, windowBefore.top);
  EXPECT_EQ(window.right, windowBefore.right);
  EXPECT_EQ(window.bottom, windowBefore.bottom);
  EXPECT_LT(client.bottom, clientBefore.bottom);
  EXPECT_EQ(client.right, clientBefore.right);
#ifndef _WIN32
  // Here the bar is the only non-client area: one row of the default font's height plus 3.
  TEXTMETRICW tm{};
  HDC dc = GetDC(hwnd);
  GetTextMetricsW(dc, &tm);
  ReleaseDC(hwnd, dc);
  EXPECT_EQ((window.bottom - window.top) - client.bottom, tm.tmHeight + 3);
  EXPECT_EQ(window.right - window.left, client.right);
#endif
  RECT item{};
  ASSERT_TRUE(GetMenuItemRect(hwnd, bar, 0, &item));
  EXPECT_GE(item.top, window.top);
  EXPECT_GT(item.right, item.left);
  POINT clientOrigin{0, 0};
  ClientToScreen(hwnd, &clientOrigin);
  EXPECT_LE(item.bottom, clientOrigin.y) << "the bar lies above the client area";
  RECT second{};
  ASSERT_TRUE(GetMenuItemRect(hwnd, bar, 1, &second));
  EXPECT_GE(second.left, item.right) << "bar items are laid out left to right";
  EXPECT_FALSE(GetMenuItemRect(hwnd, bar, 2, &item));

  // Taking the bar away gives the row back.
  ASSERT_TRUE(SetMenu(hwnd, nullptr));
  Pump(30);
  EXPECT_EQ(GetMenu(hwnd), nullptr);
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.bottom, clientBefore.bottom);
  DestroyMenu(bar);
}

TEST_F(MenuWindow, BarIsDrawnWithItsCaptions) {
  AttachBar();
  RECT window{}, item{};
  GetWindowRect(hwnd, &window);
  ASSERT_TRUE(GetMenuItemRect(hwnd, bar, 0, &item));
  HDC dc = GetWindowDC(hwnd);
  ASSERT_NE(dc, nullptr);
  // The bar's empty right end shows its background; the caption's pixels differ from it.
  COLORREF back = GetPixel(dc, window.right - window.left - 3, item.top - window.top + 2);
  int inked = 0;
  for (int y = item.top; y < item.bottom; ++y)
    for (int x = item.left; x < item.right; ++x)
      inked += GetPixel(dc, x - window.left, y - window.top) != back;
  ReleaseDC(hwnd, dc);
  EXPECT_GT(inked, 10) << "no caption drawn in the first bar item";
}

// Each key sequence ends with a command chosen: it arrives once, as WM_COMMAND with the item's
// identifier in the low word, zero in the high word and zero in lParam, and the menus close.
struct KeyCase {
  const char* name;
  std::function<void()> keys;
  UINT id;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class MenuKeyboard : public MenuWindow, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(MenuKeyboard, ChoosesTheCommandOnce) {
  AttachBar();
  GetParam().keys();
  ASSERT_TRUE(WaitForCommand()) << "no WM_COMMAND";
  ASSERT_EQ(Count(WM_COMMAND), 1);
  for (const Seen& s : Log()) {
    if (s.message != WM_COMMAND) continue;
    EXPECT_EQ(LOWORD(s.wParam), GetParam().id);
    EXPECT_EQ(HIWORD(s.wParam), 0);
    EXPECT_EQ(s.lParam, 0);
  }
  ExpectMenusClosed();
}

const KeyCase kKeyCases[] = {
    {"F10_Down_Enter", [] { Type({VK_F10, VK_DOWN, VK_RETURN}); }, kExitId},
    {"F10_Enter_Enter", [] { Type({VK_F10, VK_RETURN, VK_RETURN}); }, kExitId},
    {"F10_Right_Down_Enter", [] { Type({VK_F10, VK_RIGHT, VK_DOWN, VK_RETURN}); }, kHomeId},
    {"F10_RightWrapsAround", [] { Type({VK_F10, VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN}); }, kExitId},
    {"F10_LeftWrapsAround", [] { Type({VK_F10, VK_LEFT, VK_DOWN, VK_RETURN}); }, kHomeId},
    {"F10_DownWrapsInMenu", [] { Type({VK_F10, VK_DOWN, VK_DOWN, VK_UP, VK_DOWN, VK_RETURN}); }, kExitId},
    {"AltTap_Down_Enter", [] { Type({VK_MENU, VK_DOWN, VK_RETURN}); }, kExitId},
    {"AltF_Enter", [] { AltChord('F'); Type({VK_RETURN}); }, kExitId},
    {"AltF_Mnemonic", [] { AltChord('F'); Type({'E'}); }, kExitId},
    {"AltF_RightToNextMenu", [] { AltChord('F'); Type({VK_RIGHT, VK_RETURN}); }, kHomeId},
    {"AltF_Esc_BackInBar", [] { AltChord('F'); Type({VK_ESCAPE, VK_RIGHT, VK_RETURN, VK_RETURN}); }, kHomeId},
    {"F10_BarMnemonic", [] { Type({VK_F10, 'F', VK_RETURN}); }, kExitId},
};

INSTANTIATE_TEST_SUITE_P(MenuKeys, MenuKeyboard, ::testing::ValuesIn(kKeyCases),
                         [](const ::testing::TestParamInfo<KeyCase>& info) { return info.param.name; });

TEST_F(MenuWindow, EscapeClosesWithoutCommand) {
  AttachBar();
  for (int levels : {1, 2}) {
    SCOPED_TRACE(levels);
    Log().clear();
    if (levels == 1) {
      Type({VK_F10, VK_ESCAPE});  // the bar, then nothing
    } else {
      AltChord('F');
      Type({VK_ESCAPE, VK_ESCAPE});  // the drop-down, then the bar
    }
    Settle();
    EXPECT_EQ(Count(WM_COMMAND), 0);
#ifndef _WIN32
    // The menu system takes the Esc presses; the window sees only the final release.
    EXPECT_FALSE(SawKey(WM_KEYDOWN, VK_ESCAPE));
    EXPECT_TRUE(SawKey(WM_KEYUP, VK_ESCAPE));
#endif
    ExpectMenusClosed();
  }
}

TEST_F(MenuWindow, DisabledItemIsNotChosen) {
  AttachBar();
  EnableMenuItem(file, kExitId, MF_BYCOMMAND | MF_GRAYED);
  Type({VK_F10, VK_DOWN, VK_RETURN, VK_ESCAPE, VK_ESCAPE});
  Settle();
  EXPECT_EQ(Count(WM_COMMAND), 0);
  ExpectMenusClosed();
}

TEST_F(MenuWindow, KeysWithoutMenuModeReachTheWindow) {
  AttachBar();
  Type({VK_DOWN, VK_RETURN});
  AltChord('Q');  // no bar item has this mnemonic
  Settle();
  EXPECT_TRUE(SawKey(WM_KEYDOWN, VK_DOWN));
  EXPECT_TRUE(SawKey(WM_KEYDOWN, VK_RETURN));
  EXPECT_TRUE(SawKey(WM_SYSKEYDOWN, 'Q'));
  EXPECT_EQ(Count(WM_COMMAND), 0);
}

#ifndef _WIN32
// Reading pixels while a menu is active needs the menu mode to leave the test running, which
// the real platform's modal loop does not.
TEST_F(MenuWindow, HighlightedBarItemIsDrawnDifferently) {
  AttachBar();
  RECT window{}, item{};
  GetWindowRect(hwnd, &window);
  ASSERT_TRUE(GetMenuItemRect(hwnd, bar, 0, &item));
  POINT corner{item.left + 1 - window.left, item.top + 1 - window.top};
  HDC dc = GetWindowDC(hwnd);
  COLORREF plain = GetPixel(dc, corner.x, corner.y);
  Type({VK_F10});
  Drain(50);
  EXPECT_TRUE(GetMenuState(bar, 0, MF_BYPOSITION) & MF_HILITE);
  EXPECT_NE(GetPixel(dc, corner.x, corner.y), plain);
  Type({VK_ESCAPE});
  Drain(50);
  EXPECT_EQ(GetPixel(dc, corner.x, corner.y), plain);
  ReleaseDC(hwnd, dc);
}

// The screen shows what changed when the queue goes idle inside GetMessageW: drain the queue,
// then wait there for a short timer.
void LetScreenShow(HWND hwnd) {
  Drain(20);
  SetTimer(hwnd, 55, 10, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0)) {
    DispatchMessageW(&msg);
    if (msg.message == WM_TIMER && msg.wParam == 55) break;
  }
  KillTimer(hwnd, 55);
}

// What the screen shows: an open drop-down is drawn over the desktop below its bar item, its
// highlighted item in the same colour as the highlighted bar item; closing it restores the
// window's pixels.
TEST_F(MenuWindow, OpenDropDownIsComposedOverTheDesktop) {
  AttachBar();
  LetScreenShow(hwnd);
  zerlo::headless::PresentedFrame before, open, after;
  ASSERT_TRUE(zerlo::headless::LastFrame(&before));
  RECT barItem{}, item{};
  ASSERT_TRUE(GetMenuItemRect(hwnd, bar, 0, &barItem));
  EXPECT_FALSE(GetMenuItemRect(hwnd, file, 0, &item)) << "a closed drop-down has no place";
  AltChord('F');
  LetScreenShow(hwnd);
  ASSERT_TRUE(GetMenuItemRect(hwnd, file, 0, &item));
  EXPECT_GE(item.top, barItem.bottom);
  EXPECT_GE(item.left, barItem.left);
  ASSERT_TRUE(zerlo::headless::LastFrame(&open));
  int changed = 0, total = 0;
  for (int y = item.top; y < item.bottom; ++y)
    for (int x = item.left; x < item.right; ++x, ++total) changed += open.Pixel(x, y) != before.Pixel(x, y);
  EXPECT_GT(changed, total / 2) << "the drop-down is not on the screen";
  EXPECT_EQ(open.Pixel(item.left + 1, item.top + 1), open.Pixel(barItem.left + 1, barItem.top + 1));
  EXPECT_NE(open.Pixel(barItem.left + 1, barItem.top + 1), before.Pixel(barItem.left + 1, barItem.top + 1));
  Type({VK_ESCAPE, VK_ESCAPE});
  LetScreenShow(hwnd);
  ASSERT_TRUE(zerlo::headless::LastFrame(&after));
  for (int y = item.top; y < item.bottom; ++y)
    for (int x = item.left; x < item.right; ++x)
      ASSERT_EQ(after.Pixel(x, y), before.Pixel(x, y)) << x << "," << y;
}
#endif

// Runs `step` from a timer callback once `ready` holds: on the real platform the menu loop
// dispatches the timer while a menu is open.
struct Script {
  std::function<bool()> ready;
  std::function<void()> step;
  bool done = false;
};

Script* g_script = nullptr;

void CALLBACK RunScript(HWND hwnd, UINT, UINT_PTR id, DWORD) {
  if (!g_script || g_script->done || !g_script->ready()) return;
  g_script->done = true;
  KillTimer(hwnd, id);
  g_script->step();
}

TEST_F(MenuWindow, MouseClicksOnBarItemThenOnItem) {
  AttachBar();
  for (int menu : {0, 1}) {
    SCOPED_TRACE(menu);
    Log().clear();
    HMENU dropDown = menu == 0 ? file : help;
    RECT barItem{};
    ASSERT_TRUE(GetMenuItemRect(hwnd, bar, menu, &barItem));
    Script script;
    RECT item{};
    // Open means: its bar item is highlighted and its first item lies below the bar.
    script.ready = [&] {
      return (GetMenuState(bar, menu, MF_BYPOSITION) & MF_HILITE) &&
             GetMenuItemRect(hwnd, dropDown, 0, &item) && item.bottom > item.top &&
             item.right > item.left && item.top >= barItem.bottom - 2;
    };
    script.step = [&] { ClickAt(Center(item)); };
    g_script = &script;
    SetTimer(hwnd, 7, 30, RunScript);
    ClickAt(Center(barItem));
    bool got = WaitForCommand();
    KillTimer(hwnd, 7);
    g_script = nullptr;
    EXPECT_TRUE(script.done) << "the drop-down menu did not open";
    ASSERT_TRUE(got);
    ASSERT_EQ(Count(WM_COMMAND), 1);
    for (const Seen& s : Log())
      if (s.message == WM_COMMAND) {
        EXPECT_EQ(s.wParam, static_cast<WPARAM>(menu == 0 ? kExitId : kHomeId));
        EXPECT_EQ(s.lParam, 0);
      }
    EXPECT_FALSE(AnyBarItemHighlighted());
  }
}

#ifndef _WIN32
// The command that a click posts is fetched by a blocking GetMessageW at once, with no further
// input behind it. (The real platform chooses inside its own modal menu loop instead.)
TEST_F(MenuWindow, CommandPostedByAClickIsFetchedWithoutMoreInput) {
  AttachBar();
  RECT barItem{}, item{};
  ASSERT_TRUE(GetMenuItemRect(hwnd, bar, 0, &barItem));
  ClickAt(Center(barItem));
  ASSERT_TRUE(PumpUntil([&] { return GetMenuItemRect(hwnd, file, 0, &item) && item.bottom > item.top; }, 1000));
  ClickAt(Center(item));
  SetTimer(hwnd, 98, 3000, nullptr);  // a bound, should the command never come
  const DWORD start = GetTickCount();
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_COMMAND || (msg.message == WM_TIMER && msg.wParam == 98)) break;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  KillTimer(hwnd, 98);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(LOWORD(msg.wParam), kExitId);
  // Not left waiting for the next input or timer (the bound) first.
  EXPECT_LT(GetTickCount() - start, 1500u);
}
#endif

TEST_F(MenuWindow, SecondClickOnBarItemCloses) {
  AttachBar();
  RECT barItem{};
  ASSERT_TRUE(GetMenuItemRect(hwnd, bar, 0, &barItem));
  ClickAt(Center(barItem));
  ClickAt(Center(barItem));
  Settle();
  EXPECT_EQ(Count(WM_COMMAND), 0);
  ExpectMenusClosed();
}

TEST_F(MenuWindow, ClickElsewhereClosesAndIsConsumed) {
  AttachBar();
  RECT barItem{}, window{};
  ASSERT_TRUE(GetMenuItemRect(hwnd, bar, 0, &barItem));
  GetWindowRect(hwnd, &window);
  Script script;
  script.ready = [&] {
    RECT item{};
    return (GetMenuState(bar, 0, MF_BYPOSITION) & MF_HILITE) &&
           GetMenuItemRect(hwnd, file, 0, &item) && item.top >= barItem.bottom - 2;
  };
  // Far from the drop-down, in the lower right of the client area.
  script.step = [&] { ClickAt(POINT{window.right - 20, window.bottom - 20}); };
  g_script = &script;
  SetTimer(hwnd, 7, 30, RunScript);
  ClickAt(Center(barItem));
  Settle(600);
  KillTimer(hwnd, 7);
  g_script = nullptr;
  EXPECT_TRUE(script.done) << "the drop-down menu did not open";
  EXPECT_EQ(Count(WM_COMMAND), 0);
#ifndef _WIN32
  EXPECT_EQ(Count(WM_LBUTTONDOWN), 0) << "the closing click reached the window";
#endif
  ExpectMenusClosed();
}

TEST_F(MenuWindow, DestroyedWindowFailsQuietlyAndTakesItsMenu) {
  AttachBar();
  HWND gone = hwnd;
  DestroyWindow(hwnd);
  hwnd = nullptr;
  EXPECT_FALSE(IsMenu(bar)) << "a window's menu goes with it";
  EXPECT_EQ(GetMenu(gone), nullptr);
  EXPECT_FALSE(DrawMenuBar(gone));
}

}  // namespace
