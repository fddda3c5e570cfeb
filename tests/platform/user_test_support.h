// Shared helpers of the window-system conformance tests: a window class whose procedure
// records the messages it gets, pumping the queue, and synthetic input through SendInput.
// Written against the Win32 API alone, so it builds against the real platform too.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <map>
#include <vector>

namespace usertest {

struct Record {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// Every message the recording class receives, in order. Handlers may override a message.
struct Recorder {
  std::vector<Record> log;
  std::map<UINT, std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>> handlers;
};

inline Recorder& Rec() {
  static Recorder r;
  return r;
}

inline LRESULT CALLBACK RecordingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Rec().log.push_back(Record{h, m, w, l});
  auto it = Rec().handlers.find(m);
  if (it != Rec().handlers.end()) return it->second(h, m, w, l);
  return DefWindowProcW(h, m, w, l);
}

// The recording class, with a blue background brush.
inline const wchar_t* RecordingClass() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(RGB(0, 0, 255));
    wc.lpszClassName = L"ZerloRecording";
    registered = RegisterClassW(&wc) != 0;
  }
  return L"ZerloRecording";
}

// The messages of `hwnd` (all windows when null) that are among `wanted`, in order.
inline std::vector<UINT> Messages(HWND hwnd, std::initializer_list<UINT> wanted) {
  std::vector<UINT> out;
  for (const Record& r : Rec().log) {
    if (hwnd && r.hwnd != hwnd) continue;
    if (std::find(wanted.begin(), wanted.end(), r.msg) != wanted.end()) out.push_back(r.msg);
  }
  return out;
}

inline std::vector<Record> Records(HWND hwnd, UINT msg) {
  std::vector<Record> out;
  for (const Record& r : Rec().log)
    if ((!hwnd || r.hwnd == hwnd) && r.msg == msg) out.push_back(r);
  return out;
}

// Dispatches everything that is queued now (input, posted messages, paints, due timers).
inline void Pump() {
  MSG m;
  for (int guard = 0; guard < 10000 && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE); ++guard) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

// Lets the queue go idle once (the screen gets its present) by waiting for a short timer.
inline void PumpUntilIdle() {
  UINT_PTR id = SetTimer(nullptr, 0, 20, nullptr);
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    if (m.message == WM_TIMER && m.hwnd == nullptr && m.wParam == id) break;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  KillTimer(nullptr, id);
}

inline INPUT Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

// Presses and releases vk with the given modifiers held around it.
inline void Press(WORD vk, std::initializer_list<WORD> modifiers = {}) {
  std::vector<INPUT> in;
  for (WORD m : modifiers) in.push_back(Key(m, false));
  in.push_back(Key(vk, false));
  in.push_back(Key(vk, true));
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) in.push_back(Key(*it, true));
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

// A mouse event at a screen pixel, in the normalised absolute coordinates of SendInput.
inline INPUT MouseAt(POINT screen, DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  in.mi.dx = static_cast<LONG>((static_cast<long long>(screen.x) * 65536 + w - 1) / w);
  in.mi.dy = static_cast<LONG>((static_cast<long long>(screen.y) * 65536 + h - 1) / h);
  in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  return in;
}

// Creates windows of the recording class and destroys what is left at the end of a test.
class Windows {
 public:
  Windows() {
    Rec().log.clear();
    Rec().handlers.clear();
  }
  ~Windows() {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it)
      if (IsWindow(*it)) DestroyWindow(*it);
    Pump();
    Rec().log.clear();
    Rec().handlers.clear();
  }
  HWND Top(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT r = RECT{100, 100, 400, 300},
           const wchar_t* cls = nullptr) {
    HWND h = CreateWindowExW(0, cls ? cls : RecordingClass(), L"test", style, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (h) made_.push_back(h);
    return h;
  }
  // A top-level window of the recording class whose creation messages have been delivered.
  HWND Settled() {
    HWND h = Top();
    Pump();
    return h;
  }
  HWND Child(HWND parent, int id, DWORD style = WS_CHILD | WS_VISIBLE, RECT r = RECT{5, 6, 55, 46},
             const wchar_t* cls = nullptr) {
    HWND h = CreateWindowExW(0, cls ? cls : RecordingClass(), L"child", style, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                             nullptr);
    if (h) made_.push_back(h);
    return h;
  }

 private:
  std::vector<HWND> made_;
};

}  // namespace usertest
