// Shared helpers of the toolkit and program tests: plain probe windows, an element with nothing to
// create, and pumping the message queue. Written against the Win32 API alone, so they build
// against the real platform headers too.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "toolkit/elements/Form.h"
#include "toolkit/elements/GUIElement.h"

namespace zerlo_test {

using Log = std::vector<std::string>;

// The calls a test records, in order; each test clears it first.
inline Log& Calls() {
  static Log calls;
  return calls;
}

// An element bound by hand to a window the test made; Create does nothing.
class ProbeElement : public TivraUtility::GUIElement {
 public:
  ProbeElement() : GUIElement(nullptr) {}
  void Create() override {}
};

// Registers, on its first use, a window class of that name with the default procedure and the
// given background brush (none when null).
inline void RegisterProbeClass(const wchar_t* className, HBRUSH background) {
  static std::set<std::wstring> registered;
  if (!registered.insert(className).second) return;
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  RegisterClassW(&wc);
}

// A top-level window of a probe class (registered on first use) at the given screen rectangle.
inline HWND CreateProbeWindow(const wchar_t* className, HBRUSH background, const wchar_t* title,
                              DWORD style, int x, int y, int width, int height) {
  RegisterProbeClass(className, background);
  return CreateWindowExW(0, className, title, style, x, y, width, height, nullptr, nullptr, nullptr,
                         nullptr);
}

inline HBRUSH WhiteBrush() { return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)); }

// Translates and dispatches everything that is queued now.
inline void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Dispatches what is left in the queue at the end of a test, dropping a quit request that a
// destroyed main window posted.
inline void DrainMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message != WM_QUIT) DispatchMessageW(&message);
  }
}

// Makes window the foreground window; the platform may take a moment to agree, so `pump` (which
// delivers the queue and gives the platform that moment) runs between the attempts.
template <class Pump>
bool BringToFront(HWND window, Pump pump) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    SetForegroundWindow(window);
    pump();
    if (GetForegroundWindow() == window) return true;
  }
  return false;
}

// A test with a form of class FormT whose window is created for it. The toolkit's main window is
// put back at the end, after the form's window is gone and what was left queued is delivered.
template <class FormT>
class FormFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    savedMainWindow_ = TivraUtility::MainWindow;
    form_.Create();
    ASSERT_NE(form_.handle, nullptr);
  }
  void TearDown() override {
    if (IsWindow(form_.handle)) DestroyWindow(form_.handle);
    DrainMessages();
    TivraUtility::MainWindow = savedMainWindow_;
  }

  FormT form_;

 private:
  HWND savedMainWindow_ = nullptr;
};

}  // namespace zerlo_test
