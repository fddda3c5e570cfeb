// The control classes that the window procedure routes to by their dynamic type. Each carries only
// what its routing reads and writes. Their native window is a plain child window of the parent
// (class "TivraControl"), which keeps the one piece of state each routing reads back (check
// state, drop-down state, position, selection, date) and is subclassed with the toolkit's window
// procedure, the original procedure kept in previousWindowProc.
//
// A control owns the window it created: deleting the control gives that window back its own
// procedure and destroys it, which also drops the state it kept. A timer is killed with its
// element.
#pragma once

#include <windows.h>

#include "toolkit/dispatch/Menus.h"
#include "toolkit/elements/GUIElement.h"

namespace TivraUtility {

using ValueCallback = void (*)(GUIElement* element, int value);
using DateCallback = void (*)(GUIElement* element, SYSTEMTIME date);
using TimerCallback = void (*)(GUIElement* timer);

// Creates the control's native window as a child of its parent's window, with the element's id
// as the control identifier, position, size and text; subclasses it with WindowProcedure. Does
// nothing once created or without a parent window.
void CreateControlWindow(GUIElement* control, DWORD extraStyle);

// The control's teardown: when the window it created still exists, puts the original procedure
// back (so no message of the dying window reaches the element) and destroys the window.
void DestroyControlWindow(GUIElement* control);

// A push button; drawn by the toolkit when its window asks for it (owner drawn).
class Button : public Child, public CommandElement {
 public:
  explicit Button(GUIElement* parentElement);
  ~Button() override;
  void Create() override;
};

class CheckBox : public Child, public CommandElement {
 public:
  explicit CheckBox(GUIElement* parentElement);
  ~CheckBox() override;
  bool checked = false;  // flipped on every command
  void Create() override;
};

class ComboBox : public Child, public CommandElement {
 public:
  explicit ComboBox(GUIElement* parentElement);
  ~ComboBox() override;
  void Create() override;
};

class ListBox : public Child, public CommandElement {
 public:
  explicit ListBox(GUIElement* parentElement);
  ~ListBox() override;
  void Create() override;
};

// A spin box: its value is passed on, clamped to minValue..maxValue, and not stored.
class NumericBox : public Child {
 public:
  explicit NumericBox(GUIElement* parentElement);
  ~NumericBox() override;
  int minValue = 0;
  int maxValue = 100;
  ValueCallback onValue = nullptr;
  void Create() override;
};

class Calendar : public Child {
 public:
  explicit Calendar(GUIElement* parentElement);
  ~Calendar() override;
  SYSTEMTIME selectedDate{};
  DateCallback onDateSelected = nullptr;
  void Create() override;
};

class TabControl : public Child {
 public:
  explicit TabControl(GUIElement* parentElement);
  ~TabControl() override;
  ValueCallback onTabSelected = nullptr;
  void Create() override;
};

// kind "slider"; reports its position at the end of a move.
class Slider : public Child {
 public:
  explicit Slider(GUIElement* parentElement);
  ~Slider() override;
  int position = 0;
  ValueCallback onPosition = nullptr;
  void Create() override;
};

// A timer of the parent window; its id is the timer identifier. It has no window of its own.
class Timer : public Child {
 public:
  explicit Timer(GUIElement* parentElement);
  ~Timer() override;
  UINT interval = 1000;  // milliseconds, given to SetTimer by Create
  TimerCallback onTimer = nullptr;
  void Create() override;

 private:
  HWND timerWindow_ = nullptr;  // the window SetTimer was given; the parent may be gone first
};

// A panel that scrolls its window; the callbacks receive old minus requested position.
class PanelChildren : public Child {
 public:
  explicit PanelChildren(GUIElement* parentElement);
  ~PanelChildren() override;
  ValueCallback onVerticalScroll = nullptr;
  ValueCallback onHorizontalScroll = nullptr;
  bool verticalScrolling = false;
  bool horizontalScrolling = false;
  void Create() override;  // scroll bars for the directions that are on
};

// The panel that the mouse wheel scrolls when the element under it is no panel; forgotten when
// that panel is destroyed.
extern PanelChildren* LastScrollPanel;

}  // namespace TivraUtility
