// Private state of the windows-and-messages part of the core: window classes, windows, the
// message and input queues, focus, caret, timers and hot keys. Only core/user_*.cpp include it.
#pragma once

#include "internal.h"
#include "screen.h"

#include <commctrl.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace winplat::user {

// Internal WINDOWPOS flags: the client area kept its size / position.
constexpr UINT kNoClientSize = 0x0800;
constexpr UINT kNoClientMove = 0x1000;

struct WindowClass {
  std::wstring name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int clsExtra = 0;
  int wndExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HICON iconSmall = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH brush = nullptr;
  std::wstring menuName;
  std::vector<unsigned char> extra;
  bool system = false;
};

struct ScrollBarInfo {
  bool used = false;
  int min = 0, max = 0;
  UINT page = 0;
  int pos = 0;
};

struct Tool {
  UINT flags = 0;
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  RECT rect{};
  HINSTANCE instance = nullptr;
  bool callbackText = false;
  std::wstring text;
  LPARAM lParam = 0;
};

struct Window {
  HWND hwnd = nullptr;
  std::shared_ptr<WindowClass> cls;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;  // child windows only
  HWND owner = nullptr;   // top-level windows only
  UINT_PTR id = 0;
  HINSTANCE instance = nullptr;
  WNDPROC proc = nullptr;
  LONG_PTR userData = 0;
  std::vector<unsigned char> extra;
  std::wstring text;
  HFONT font = nullptr;
  HICON icon = nullptr;
  RECT rect{};    // window rectangle: screen coordinates for top-level windows, parent
                  // client coordinates for child windows
  RECT client{};  // client rectangle relative to the window's top-left corner
  bool destroying = false;
  bool needSize = false;   // a top-level window gets WM_SIZE/WM_MOVE when first shown
  bool hasUpdate = false;  // update region (bounding box, client coordinates)
  RECT update{};
  bool erase = false;
  bool ncPaint = false;
  bool internalPaint = false;
  int paintHidCaret = 0;
  Surface surface;
  std::vector<HWND> children;  // z-order, top first (creation order)
  ScrollBarInfo bars[2];
  UINT buttonState = 0;  // BM_GETCHECK of the button class
  std::vector<Tool> tools;  // the tool-tip class
};

// Raw input as it arrives from SendInput or the screen, turned into messages when taken.
struct InputEvent {
  enum Kind { Key, Mouse, Wheel, Close, Size } kind = Key;  // Size: x, y are the new width, height
  unsigned vk = 0;
  bool down = false;
  wchar_t ch = 0;
  int x = 0, y = 0;
  int button = 0;  // 0 move, 1 left, 2 right, 3 middle
  int delta = 0;
};

struct Timer {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT elapse = 0;
  TIMERPROC proc = nullptr;
  unsigned long long due = 0;
};

struct HotKey {
  HWND hwnd = nullptr;
  int id = 0;
  UINT mods = 0;
  UINT vk = 0;
};

struct Caret {
  HWND hwnd = nullptr;
  int width = 0, height = 0;
  POINT pos{0, 0};
  int hideCount = 1;
};

struct State {
  std::map<std::uintptr_t, std::unique_ptr<Window>> windows;
  std::vector<std::shared_ptr<WindowClass>> classes;
  std::vector<HWND> topLevels;  // z-order, top first
  HWND desktop = nullptr;
  HWND active = nullptr;
  HWND focus = nullptr;
  HWND capture = nullptr;
  std::deque<MSG> posted;
  std::deque<InputEvent> input;
  std::deque<MSG> inputMessages;  // input already turned into messages, not yet removed
  bool quitPending = false;
  int quitCode = 0;
  std::vector<Timer> timers;
  UINT_PTR nextThreadTimerId = 1;
  std::vector<HotKey> hotKeys;
  unsigned char keyState[256] = {};   // bit 0x80 down, bit 0x01 toggled
  unsigned char asyncState[256] = {};
  POINT cursorPos{0, 0};
  HCURSOR cursor = nullptr;
  Caret caret;
  bool desktopDirty = true;
  RECT dirty{};
  // The screen's picture must be sent again even if no pixel changed: the user resized the
  // screen's window and the program set the size back, so the screen must fit to it again.
  bool presentWanted = false;
  bool lastMenuOpen = false;
  // The last key message handed out, with the character the screen attached to it.
  MSG lastKey{};
  wchar_t lastKeyChar = 0;
  ATOM nextAtom = 0xC000;
  // Last click for double clicks.
  HWND lastClickHwnd = nullptr;
  UINT lastClickMsg = 0;
  unsigned long long lastClickTime = 0;
  POINT lastClickPos{0, 0};
};

State& S();
void EnsureInitialized();
Window* Find(HWND hwnd);           // live window (also while being destroyed), or null
Window* FindValid(HWND hwnd);      // as Find, sets ERROR_INVALID_WINDOW_HANDLE when missing
HWND ToHwnd(std::uintptr_t v);
std::shared_ptr<WindowClass> FindClass(LPCWSTR name);
void RegisterSystemClasses();

// Geometry helpers.
POINT ClientOriginOnScreen(const Window* w);
RECT WindowRectOnScreen(const Window* w);
bool IsVisibleOnScreen(const Window* w);  // the window and all its ancestors are visible
HWND RootOf(HWND hwnd);
void MarkDirty(const RECT& screenRect);
void MarkAllDirty();

// Window management used across files.
BOOL SetWindowPosInternal(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags);
void ActivateWindow(HWND hwnd, UINT how);
void ActivateOtherThan(HWND hwnd);
LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Painting helpers.
void InvalidateClient(Window* w, const RECT* rc, bool erase, bool children);
void ValidateClient(Window* w, const RECT* rc);
void EraseNow(HWND hwnd);  // WM_NCPAINT / WM_ERASEBKGND for what is pending, outside BeginPaint
bool NeedsPaint(const Window* w);
void PresentIfChanged();

// Timers.
unsigned long long NowMs();
void DropWindowResources(HWND hwnd);  // timers, hot keys, queued messages, caret of a window

// Input queue.
void QueueInput(const InputEvent& e);

// Tool tips and buttons (system classes).
LRESULT CALLBACK ToolTipProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ButtonProc(HWND, UINT, WPARAM, LPARAM);

}  // namespace winplat::user
