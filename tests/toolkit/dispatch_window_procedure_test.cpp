// The window procedure and the message loop, driven through real windows: messages sent with
// SendMessageW, keys with SendInput, element calls recorded in order.
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/dispatch/Controls.h"
#include "toolkit/dispatch/Dispatch.h"
#include "toolkit/dispatch/MessageLoop.h"
#include "toolkit/dispatch/WindowProcedure.h"
#include "toolkit/elements/Form.h"
#include "tests/toolkit/test_support.h"

using namespace TivraUtility;

namespace {

using zerlo_test::Calls;
using zerlo_test::Log;

std::string Args(int a) { return "(" + std::to_string(a) + ")"; }
std::string Args(int a, int b) { return "(" + std::to_string(a) + "," + std::to_string(b) + ")"; }

// Records every event operation the window procedure calls, then runs the element's own.
template <class Base>
class Recording : public Base {
 public:
  template <class... A>
  explicit Recording(std::string elementName, A&&... args)
      : Base(std::forward<A>(args)...), name(std::move(elementName)) {}

  std::string name;

  int LeftButtonUp(int x, int y) override { Note("LeftButtonUp" + Args(x, y)); return Base::LeftButtonUp(x, y); }
  int LeftButtonDown(int x, int y) override { Note("LeftButtonDown" + Args(x, y)); return Base::LeftButtonDown(x, y); }
  int LeftDoubleClick(int x, int y) override { Note("LeftDoubleClick" + Args(x, y)); return Base::LeftDoubleClick(x, y); }
  int RightButtonUp(int x, int y) override { Note("RightButtonUp" + Args(x, y)); return Base::RightButtonUp(x, y); }
  int RightButtonDown(int x, int y) override { Note("RightButtonDown" + Args(x, y)); return Base::RightButtonDown(x, y); }
  int RightDoubleClick(int x, int y) override { Note("RightDoubleClick" + Args(x, y)); return Base::RightDoubleClick(x, y); }
  int KeyUp(UINT key) override { Note("KeyUp" + Args(static_cast<int>(key))); return Base::KeyUp(key); }
  int KeyDown(UINT key) override { Note("KeyDown" + Args(static_cast<int>(key))); return Base::KeyDown(key); }
  bool CharTyped(UINT c) override { Note("CharTyped" + Args(static_cast<int>(c))); return Base::CharTyped(c); }
  int MouseMove(int x, int y) override { Note("MouseMove" + Args(x, y)); return Base::MouseMove(x, y); }
  int MouseHover() override { Note("MouseHover"); return Base::MouseHover(); }
  int MouseLeave() override { Note("MouseLeave"); return Base::MouseLeave(); }
  void TakeFocus() override { Note("TakeFocus"); Base::TakeFocus(); }
  int Moved() override { Note("Moved"); return Base::Moved(); }
  int Resized() override { Note("Resized"); return Base::Resized(); }
  int Paint() override { Note("Paint"); return Base::Paint(); }
  HBRUSH ControlColor(HDC dc) override { Note("ControlColor"); return brush != nullptr ? brush : Base::ControlColor(dc); }
  bool CloseRequested() override { Note("CloseRequested"); return Base::CloseRequested(); }
  void Destroyed() override { Note("Destroyed"); Base::Destroyed(); }
  int GotFocus() override { Note("GotFocus"); return Base::GotFocus(); }
  int LostFocus() override { Note("LostFocus"); return Base::LostFocus(); }
  void Created(HWND h) override {
    Note(this->handle == nullptr ? "Created(before handle)" : "Created");
    Base::Created(h);
  }

  HBRUSH brush = nullptr;

 private:
  void Note(const std::string& what) { Calls().push_back(name + "." + what); }
};

using RecordingForm = Recording<Form>;
using RecordingButton = Recording<Button>;

// The calls of the log that contain one of the fragments, in order.
Log Only(const Log& log, std::initializer_list<const char*> fragments) {
  Log kept;
  for (const std::string& call : log) {
    for (const char* fragment : fragments) {
      if (call.find(fragment) != std::string::npos) {
        kept.push_back(call);
        break;
      }
    }
  }
  return kept;
}

// Delivers what is queued, giving input injected a moment before the time to arrive.
void Pump() {
  for (int round = 0; round < 5; ++round) {
    zerlo_test::PumpMessages();
    Sleep(10);
  }
}

// Makes window the foreground window; the platform may take a moment to agree.
bool BringToFront(HWND window) { return zerlo_test::BringToFront(window, Pump); }

void Key(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof(INPUT));
}

// Ends a message loop that would otherwise wait for ever, and tells that it had to.
class Watchdog {
 public:
  explicit Watchdog(UINT milliseconds) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"DispatchTestWatchdog";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, L"DispatchTestWatchdog", L"", 0, 0, 0, 1, 1, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    fired_ = false;
    SetTimer(window_, 1, milliseconds, nullptr);
  }
  ~Watchdog() { DestroyWindow(window_); }
  bool Fired() const { return fired_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
      KillTimer(window, 1);
      fired_ = true;
      PostQuitMessage(1);
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  static inline bool fired_ = false;
  HWND window_ = nullptr;
};

class DispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedMainWindow_ = MainWindow;
    MainWindow = nullptr;  // the first form of each test is the main window
    Calls().clear();
  }

  void TearDown() override {
    for (auto& form : forms_) {
      if (form->handle != nullptr && IsWindow(form->handle)) DestroyWindow(form->handle);
    }
    zerlo_test::DrainMessages();
    controls_.clear();
    forms_.clear();
    MainWindow = savedMainWindow_;
  }

  RecordingForm& MakeForm(const std::string& name, bool dialogMode = false) {
    forms_.push_back(std::make_unique<RecordingForm>(name, GetModuleHandleW(nullptr)));
    RecordingForm& form = *forms_.back();
    form.x = 40;
    form.y = 30;
    form.width = 300;
    form.height = 200;
    form.dialogMode = dialogMode;
    form.Create();
    return form;
  }

  RecordingButton& MakeButton(const std::string& name, Form& parent, int left) {
    controls_.push_back(std::make_unique<RecordingButton>(name, &parent));
    RecordingButton& button = *controls_.back();
    button.x = left;
    button.y = 10;
    button.width = 40;
    button.height = 20;
    button.Create();
    return button;
  }

  std::vector<std::unique_ptr<RecordingButton>> controls_;
  std::vector<std::unique_ptr<RecordingForm>> forms_;

 private:
  HWND savedMainWindow_ = nullptr;
};

using DispatchWindowProcedure = DispatchTest;

TEST_F(DispatchWindowProcedure, CreateMessageReachesTheFormBeforeItsHandleIsStored) {
  static int creations;
  creations = 0;
  forms_.push_back(std::make_unique<RecordingForm>("form", GetModuleHandleW(nullptr)));
  RecordingForm& form = *forms_.back();
  form.onCreate = [](GUIElement*, HWND) { ++creations; return 0; };
  form.Create();

  EXPECT_EQ(creations, 1);
  EXPECT_EQ(Only(Calls(), {"Created"}), (Log{"form.Created(before handle)", "form.Created"}));
  EXPECT_EQ(FindElementByHandle(form.handle), &form);
}

TEST_F(DispatchWindowProcedure, MessagesReachTheMatchingOperation) {
  RecordingForm& form = MakeForm("form");
  const struct {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    Log expected;
  } rows[] = {
      {WM_MOVE, 0, MAKELPARAM(40, 30), {"form.Moved"}},
      {WM_SIZE, 0, MAKELPARAM(300, 200), {"form.Resized"}},
      {WM_SETFOCUS, 0, 0, {"form.GotFocus"}},
      {WM_KILLFOCUS, 0, 0, {"form.LostFocus"}},
      {WM_PAINT, 0, 0, {"form.Paint"}},
      {WM_KEYDOWN, 'A', 0, {"form.KeyDown(65)"}},
      {WM_KEYUP, 'A', 0, {"form.KeyUp(65)"}},
      {WM_CHAR, 'a', 0, {"form.CharTyped(97)"}},
      {WM_MOUSEMOVE, 0, MAKELPARAM(-3, 5), {"form.MouseMove(-3,5)"}},
      {WM_MOUSEHOVER, 0, 0, {"form.MouseHover"}},
      {WM_MOUSELEAVE, 0, 0, {"form.MouseLeave"}},
      {WM_CTLCOLORSTATIC, 0, 0, {"form.ControlColor"}},
      {WM_USER + 7, 0, 0, {}},
  };
  for (const auto& row : rows) {
    Calls().clear();
    SendMessageW(form.handle, row.message, row.wParam, row.lParam);
    EXPECT_EQ(Calls(), row.expected) << "message 0x" << std::hex << row.message;
  }
}

TEST_F(DispatchWindowProcedure, MouseButtonsCarryScreenCoordinates) {
  RecordingForm& form = MakeForm("form");
  POINT origin{0, 0};
  ClientToScreen(form.handle, &origin);
  const std::string at = Args(origin.x + 10, origin.y + 20);
  const struct {
    UINT message;
    std::string expected;
  } rows[] = {
      {WM_LBUTTONDOWN, "form.LeftButtonDown" + at},  {WM_LBUTTONUP, "form.LeftButtonUp" + at},
      {WM_LBUTTONDBLCLK, "form.LeftDoubleClick" + at}, {WM_RBUTTONDOWN, "form.RightButtonDown" + at},
      {WM_RBUTTONUP, "form.RightButtonUp" + at},     {WM_RBUTTONDBLCLK, "form.RightDoubleClick" + at},
  };
  for (const auto& row : rows) {
    Calls().clear();
    SendMessageW(form.handle, row.message, 0, MAKELPARAM(10, 20));
    EXPECT_EQ(Calls(), Log{row.expected});
  }
}

TEST_F(DispatchWindowProcedure, ControlColourAnswersTheElementsBrush) {
  RecordingForm& form = MakeForm("form");
  HBRUSH brush = CreateSolidBrush(0x00FF00);
  form.brush = brush;
  EXPECT_EQ(SendMessageW(form.handle, WM_CTLCOLOREDIT, 0, 0), reinterpret_cast<LRESULT>(brush));
  form.brush = nullptr;
  DeleteObject(brush);
}

TEST_F(DispatchWindowProcedure, CallbackAnswersDecideCloseAndCharacter) {
  enum class Answer { No, Yes, Unset };
  const struct {
    UINT message;
    Answer answer;
    bool mainWindow;
    LRESULT expectedResult;  // checked where the procedure answers by itself
    bool windowKept;
  } rows[] = {
      {WM_CLOSE, Answer::No, true, 1, true},
      {WM_CLOSE, Answer::Yes, true, 0, false},
      {WM_CLOSE, Answer::Unset, false, 0, false},
      {WM_CHAR, Answer::No, true, 1, true},
      {WM_CHAR, Answer::Yes, true, 0, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << "message " << row.message << " answer " << static_cast<int>(row.answer));
    MainWindow = nullptr;
    RecordingForm& form = MakeForm("form");
    if (!row.mainWindow) MainWindow = nullptr;
    const bool yes = row.answer == Answer::Yes;
    if (row.answer != Answer::Unset) {
      form.onClose = yes ? +[](GUIElement*) { return true; } : +[](GUIElement*) { return false; };
      form.onChar = yes ? +[](GUIElement*, UINT) { return true; } : +[](GUIElement*, UINT) { return false; };
    }
    Calls().clear();
    const LRESULT result = SendMessageW(form.handle, row.message, 'x', 0);
    if (row.windowKept) {
      EXPECT_EQ(result, row.expectedResult);
    }
    EXPECT_EQ(IsWindow(form.handle) != FALSE, row.windowKept);
    EXPECT_EQ(Only(Calls(), {"Destroyed"}).size(), row.windowKept ? 0u : 1u);

    MSG quit{};
    const bool quitPosted = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    EXPECT_EQ(quitPosted, !row.windowKept && row.mainWindow);
    if (quitPosted) {
      EXPECT_EQ(quit.wParam, 0u);
    }
  }
}

TEST_F(DispatchWindowProcedure, ClientAreaShowsTheCursorTheElementWants) {
  RecordingForm& form = MakeForm("form");
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
  HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
  const struct {
    WORD hitTest;
    bool wantsHand;
    bool wantsWait;
    HCURSOR expected;  // null: neither the hand nor the wait cursor
  } rows[] = {
      {HTCLIENT, true, true, hand},     {HTCLIENT, false, true, wait},
      {HTCLIENT, true, false, hand},    {HTCLIENT, false, false, nullptr},
      {HTCAPTION, true, true, nullptr}, {HTCAPTION, false, true, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << "hit " << row.hitTest << " hand " << row.wantsHand << " wait " << row.wantsWait);
    form.SetHandCursor(row.wantsHand);
    form.SetWaitCursor(row.wantsWait);
    SetCursor(arrow);
    const LRESULT result = SendMessageW(form.handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(form.handle),
                                        MAKELPARAM(row.hitTest, WM_MOUSEMOVE));
    if (row.expected != nullptr) {
      EXPECT_EQ(result, 1);
      EXPECT_EQ(GetCursor(), row.expected);
    } else {
      EXPECT_NE(GetCursor(), hand);
      EXPECT_NE(GetCursor(), wait);
    }
  }
}

TEST_F(DispatchWindowProcedure, TabMovesTheFocusBeforeTheKeyArrives) {
  const struct {
    bool shift;
    const char* expectedTarget;
  } rows[] = {{true, "first"}, {false, "third"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.shift ? "Shift+Tab" : "Tab");
    RecordingForm& form = MakeForm("form");
    MakeButton("first", form, 10);
    RecordingButton& second = MakeButton("second", form, 60);
    MakeButton("third", form, 110);
    ASSERT_TRUE(BringToFront(form.handle));
    SetFocus(second.handle);
    Pump();
    Calls().clear();

    if (row.shift) Key(VK_SHIFT, false);
    Key(VK_TAB, false);
    Key(VK_TAB, true);
    if (row.shift) Key(VK_SHIFT, true);
    Pump();

    const std::string target = row.expectedTarget;
    EXPECT_EQ(Only(Calls(), {"TakeFocus", "GotFocus", "KeyDown(9)"}),
              (Log{target + ".TakeFocus", target + ".GotFocus", "second.KeyDown(9)"}));
    DestroyWindow(form.handle);
    Pump();
  }
}

// A probe: whether the combination is registered by some window right now.
bool HotKeyTaken(UINT modifiers, UINT key) {
  if (!RegisterHotKey(nullptr, 0xBFF0, modifiers, key)) return true;
  UnregisterHotKey(nullptr, 0xBFF0);
  return false;
}

using DispatchHotKeys = DispatchTest;

TEST_F(DispatchHotKeys, OnlyTheForegroundFormHoldsItsHotKeys) {
  RecordingForm& first = MakeForm("first");
  first.hotKeys.push_back({MOD_CONTROL | MOD_ALT, VK_F5, nullptr});
  RecordingForm& second = MakeForm("second");
  second.hotKeys.push_back({MOD_CONTROL | MOD_ALT, VK_F6, nullptr});

  ASSERT_TRUE(BringToFront(first.handle));
  EXPECT_EQ(ActiveHotKeyForm, &first);
  EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, VK_F5));
  EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, VK_F6));

  ASSERT_TRUE(BringToFront(second.handle));
  EXPECT_EQ(ActiveHotKeyForm, &second);
  EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, VK_F5));
  EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, VK_F6));

  DestroyWindow(second.handle);
  EXPECT_NE(ActiveHotKeyForm, &second);
  EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, VK_F6));
}

void NoteHotKey(const char* record, Form* form, UINT modifiers, UINT key) {
  Calls().push_back(std::string(record) + ":" + static_cast<RecordingForm*>(form)->name +
                    Args(static_cast<int>(modifiers), static_cast<int>(key)));
}

TEST_F(DispatchHotKeys, HotKeyReachesTheForegroundFormsRecord) {
  RecordingForm& other = MakeForm("other");
  other.hotKeys = {{MOD_CONTROL, VK_F5, [](Form* f, UINT m, UINT k) { NoteHotKey("O1", f, m, k); }},
                   {MOD_SHIFT, VK_F7, [](Form* f, UINT m, UINT k) { NoteHotKey("O2", f, m, k); }}};
  RecordingForm& active = MakeForm("active");
  active.hotKeys = {{MOD_ALT, VK_F1, [](Form* f, UINT m, UINT k) { NoteHotKey("A1", f, m, k); }},
                    {MOD_CONTROL, VK_F5, nullptr},
                    {MOD_CONTROL, VK_F5, [](Form* f, UINT m, UINT k) { NoteHotKey("A3", f, m, k); }}};
  ASSERT_TRUE(BringToFront(active.handle));

  const struct {
    HWND target;
    WPARAM id;
    Log expected;
  } rows[] = {
      {active.handle, 1, {"A1:active(1,112)"}},
      {active.handle, 2, {}},  // a record without handler
      {active.handle, 0, {}},
      {active.handle, 4, {}},
      {other.handle, 1, {"A3:active(2,116)"}},  // same keys, first record with a handler
      {other.handle, 2, {}},                    // the foreground form has no such keys
      {other.handle, 3, {}},
  };
  for (const auto& row : rows) {
    Calls().clear();
    SendMessageW(row.target, WM_HOTKEY, row.id, 0);
    EXPECT_EQ(Only(Calls(), {":"}), row.expected) << "id " << row.id;
  }
}

using DispatchMessageLoop = DispatchTest;

TEST_F(DispatchMessageLoop, EndsWhenTheMainWindowIsDestroyed) {
  RecordingForm& form = MakeForm("main");
  RecordingForm& second = MakeForm("second");
  ASSERT_EQ(MainWindow, form.handle);
  Watchdog watchdog(5000);
  PostMessageW(second.handle, WM_CLOSE, 0, 0);
  PostMessageW(form.handle, WM_CLOSE, 0, 0);
  RunMessageLoop(&form);
  EXPECT_FALSE(watchdog.Fired());
  EXPECT_FALSE(IsWindow(form.handle));
  EXPECT_EQ(Only(Calls(), {"Destroyed"}), (Log{"second.Destroyed", "main.Destroyed"}));
}

TEST_F(DispatchMessageLoop, DialogModeHandsKeysToDialogNavigation) {
  const struct {
    bool dialogMode;
    bool passForm;
    bool keyReachesElement;
  } rows[] = {{false, true, true}, {true, true, false}, {true, false, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << "dialog " << row.dialogMode << " form " << row.passForm);
    MainWindow = nullptr;
    RecordingForm& form = MakeForm("form", row.dialogMode);
    RecordingButton& first = MakeButton("first", form, 10);
    MakeButton("second", form, 60);
    Calls().clear();
    Watchdog watchdog(5000);
    PostMessageW(first.handle, WM_KEYDOWN, VK_TAB, 0);
    PostMessageW(form.handle, WM_CLOSE, 0, 0);
    RunMessageLoop(row.passForm ? &form : nullptr);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(Only(Calls(), {"first.KeyDown(9)"}).size(), row.keyReachesElement ? 1u : 0u);
  }
}

}  // namespace
