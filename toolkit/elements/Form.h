// The toolkit's top-level window: registers a window class of its own ("Window0", "Window1", ...)
// and creates an overlapped, pop-up or dialog-like window from the stored text, geometry, colour
// and flags.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/elements/GUIElement.h"
#include "toolkit/elements/HotKeys.h"

namespace TivraUtility {

// Identifier counter shared by forms and menu items; the first identifier handed out is 1.
extern int ElementIdCounter;
// The window of the first form ever created; its destruction ends the message loop.
extern HWND MainWindow;

struct FormWindowStyle {
  DWORD style = 0;
  DWORD exStyle = 0;
};

// The window style bits of a form with these flags.
FormWindowStyle ComputeFormStyle(bool minimizeBox, bool resizable, bool titleBar, bool dialogMode,
                                 bool enabled);

// "Window" followed by the decimal digits of n.
std::wstring FormClassName(long long n);

class Form : public GUIElement {
 public:
  explicit Form(HINSTANCE instance);
  ~Form() override;

  bool minimizeBox = true;
  bool resizable = true;
  bool titleBar = true;
  bool dialogMode = false;  // dialog frame, topmost, and dialog keyboard handling in the loop
  std::vector<HotKey> hotKeys;

  // Registers the form's own class and creates its window; does nothing once created.
  void Create() override;

 private:
  std::wstring className_;        // windowClass.lpszClassName points here
  HBRUSH ownedBrush_ = nullptr;   // the class brush when the form made it
  bool classRegistered_ = false;
};

}  // namespace TivraUtility
