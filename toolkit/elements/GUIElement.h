// The base of everything the toolkit shows: position, size, text, colours, font, tool tip, cursor
// flags, identifier, kind and parent, plus the event callbacks that the window procedure reaches
// through the virtual operations below. `Child` is the abstract base of elements inside a parent.
//
// Until `created` is true every operation works on the stored fields alone; creation applies
// what was stored.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace TivraUtility {

class GUIElement;
class FontDescription;

// Event callbacks: plain function pointers, the element first; null means "not set".
// Those whose result is ignored by the toolkit answer int; onChar and onClose answer true to let
// the default behaviour go on.
using MouseButtonCallback = int (*)(GUIElement* element, HWND handle, int x, int y);
using KeyCallback = int (*)(GUIElement* element, UINT virtualKey);
using CharCallback = bool (*)(GUIElement* element, UINT character);
using EventCallback = int (*)(GUIElement* element);
using CloseCallback = bool (*)(GUIElement* element);
using MouseMoveCallback = int (*)(GUIElement* element, int x, int y);
using CreateCallback = int (*)(GUIElement* element, HWND handle);

// backgroundColor value meaning "the system's button-face colour" (-1, all bits set).
inline constexpr COLORREF SystemFaceColor = 0xFFFFFFFFu;

class GUIElement {
 public:
  explicit GUIElement(HINSTANCE instance);
  GUIElement(const GUIElement&) = delete;
  GUIElement& operator=(const GUIElement&) = delete;

  // Fields, in this order.
  bool destroyed = false;
  bool waitCursor = false;
  bool handCursor = false;
  HWND toolTipHandle = nullptr;
  HWND handle = nullptr;  // a form's window; a menu element keeps its menu handle here
  HINSTANCE instance = nullptr;
  WNDCLASSW windowClass{};
  FontDescription* font = nullptr;  // not owned
  int width = 100;
  int height = 50;
  int x = 100;
  int y = 100;
  bool created = false;
  COLORREF backgroundColor = SystemFaceColor;
  std::wstring text;
  std::wstring focusText;
  bool backgroundPainted = false;
  bool enabled = true;
  int id = 0;
  std::string kind;
  std::string toolTipText;
  GUIElement* parent = nullptr;  // not owned
  WNDPROC previousWindowProc = nullptr;
  CreateCallback onCreate = nullptr;
  bool createNotified = false;
  MouseButtonCallback onLeftButtonUp = nullptr;
  MouseButtonCallback onLeftButtonDown = nullptr;
  MouseButtonCallback onLeftDoubleClick = nullptr;
  MouseButtonCallback onRightButtonUp = nullptr;
  MouseButtonCallback onRightButtonDown = nullptr;
  MouseButtonCallback onRightDoubleClick = nullptr;
  KeyCallback onKeyUp = nullptr;
  KeyCallback onKeyDown = nullptr;
  CharCallback onChar = nullptr;
  EventCallback onMove = nullptr;
  EventCallback onSize = nullptr;
  EventCallback onPaint = nullptr;
  CloseCallback onClose = nullptr;
  EventCallback onDestroy = nullptr;
  EventCallback onGotFocus = nullptr;
  EventCallback onLostFocus = nullptr;
  EventCallback onChange = nullptr;
  MouseMoveCallback onMouseMove = nullptr;
  EventCallback onMouseHover = nullptr;
  EventCallback onMouseLeave = nullptr;

  // Virtual operations, in slot order 0..29. A class that overrides one SetText should bring the
  // other into scope (`using GUIElement::SetText;`).
  virtual void SetText(const std::wstring& value);                // 0
  virtual void SetText(const std::string& value);                 // 1
  virtual int LeftButtonUp(int x, int y);                         // 2
  virtual int LeftButtonDown(int x, int y);                       // 3
  virtual int LeftDoubleClick(int x, int y);                      // 4
  virtual int RightButtonUp(int x, int y);                        // 5
  virtual int RightButtonDown(int x, int y);                      // 6
  virtual int RightDoubleClick(int x, int y);                     // 7
  virtual int KeyUp(UINT virtualKey);                             // 8
  virtual int KeyDown(UINT virtualKey);                           // 9
  virtual bool CharTyped(UINT character);                         // 10
  virtual int MouseMove(int x, int y);                            // 11
  virtual int MouseHover();                                       // 12
  virtual int MouseLeave();                                       // 13
  virtual void TakeFocus();                                       // 14
  virtual int Moved();                                            // 15
  virtual int Resized();                                          // 16
  virtual int Paint();                                            // 17
  virtual HBRUSH ControlColor(HDC dc);                            // 18
  virtual bool CloseRequested();                                  // 19
  virtual void Destroyed();                                       // 20
  virtual int GotFocus();                                         // 21
  virtual int LostFocus();                                        // 22
  virtual void Created(HWND nativeHandle);                        // 23
  virtual void Refresh();                                         // 24
  virtual bool WantsWaitCursor();                                 // 25
  virtual bool WantsHandCursor();                                 // 26
  virtual void SetWaitCursor(bool value);                         // 27
  virtual void SetHandCursor(bool value);                         // 28
  virtual void Create() = 0;                                      // 29

  // Removes the element from ElementRegistry, so no later scan can reach it.
  virtual ~GUIElement();

  // Non-virtual operations.
  std::wstring GetText();        // refreshes `text` from the window while created
  std::string GetNarrowText();   // ToNarrow(GetText())
  POINT GetPosition();           // refreshes x, y from the window while created
  void SetBackgroundColor(COLORREF color);
  int GetWidth();
  int GetHeight();
  int GetClientWidth();
  int GetClientHeight();
  void SetSize(int newWidth, int newHeight);
  void SetPosition(int newX, int newY);
};

// An element that lives inside a parent element; abstract like GUIElement.
class Child : public GUIElement {
 public:
  explicit Child(HINSTANCE instance) : GUIElement(instance) {}
  void Create() override = 0;
};

// Every live element, in construction order. Non-owning: an element leaves it when destroyed.
extern std::vector<GUIElement*> ElementRegistry;

}  // namespace TivraUtility
