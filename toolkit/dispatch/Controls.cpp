#include "toolkit/dispatch/Controls.h"

#include <windows.h>
#include <commctrl.h>

#include <map>

#include "toolkit/dispatch/WindowProcedure.h"
#include "toolkit/elements/Form.h"

namespace TivraUtility {

PanelChildren* LastScrollPanel = nullptr;

namespace {

constexpr wchar_t ControlClassName[] = L"TivraControl";

// What the native window of a control remembers between messages.
struct ControlState {
  WPARAM check = BST_UNCHECKED;
  bool droppedDown = false;
  LPARAM position = 0;
  LRESULT selection = -1;
  SYSTEMTIME date{};
};

std::map<HWND, ControlState>& ControlStates() {
  static std::map<HWND, ControlState> states;
  return states;
}

// The controls' own procedure: keeps the state that the routings read back and leaves the rest to
// the default processing.
LRESULT CALLBACK ControlNativeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case BM_GETCHECK: return static_cast<LRESULT>(ControlStates()[window].check);
    case BM_SETCHECK: ControlStates()[window].check = wParam; return 0;
    case CB_SHOWDROPDOWN: ControlStates()[window].droppedDown = wParam != 0; return TRUE;
    case CB_GETDROPPEDSTATE: return ControlStates()[window].droppedDown ? TRUE : FALSE;
    case TBM_GETPOS: return ControlStates()[window].position;
    case TBM_SETPOS: ControlStates()[window].position = lParam; return 0;
    case TCM_GETCURSEL: return ControlStates()[window].selection;
    case TCM_SETCURSEL: {
      ControlState& state = ControlStates()[window];
      const LRESULT previous = state.selection;
      state.selection = static_cast<LRESULT>(wParam);
      return previous;
    }
    case MCM_GETCURSEL:
      if (lParam == 0) return FALSE;
      *reinterpret_cast<SYSTEMTIME*>(lParam) = ControlStates()[window].date;
      return TRUE;
    case MCM_SETCURSEL:
      if (lParam == 0) return FALSE;
      ControlStates()[window].date = *reinterpret_cast<const SYSTEMTIME*>(lParam);
      return TRUE;
    case WM_NCDESTROY: ControlStates().erase(window); break;
    default: break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HINSTANCE RegisterControlClass() {
  static HINSTANCE instance = nullptr;
  if (instance != nullptr) return instance;
  instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = ControlNativeProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  windowClass.lpszClassName = ControlClassName;
  RegisterClassW(&windowClass);
  return instance;
}

// Common construction of the control classes: a child of parentElement with an identifier of
// the shared counter.
void InitControl(GUIElement* control, GUIElement* parentElement, const char* kindName) {
  control->parent = parentElement;
  control->id = ++ElementIdCounter;
  control->kind = kindName;
}

HINSTANCE ParentInstance(GUIElement* parentElement) {
  return parentElement != nullptr ? parentElement->instance : nullptr;
}

}  // namespace

void CreateControlWindow(GUIElement* control, DWORD extraStyle) {
  if (control->created) return;
  HWND parentWindow = control->parent != nullptr ? control->parent->handle : nullptr;
  if (parentWindow == nullptr) return;
  HINSTANCE instance = RegisterControlClass();
  DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | extraStyle;
  if (!control->enabled) style |= WS_DISABLED;
  HWND window = CreateWindowExW(0, ControlClassName, control->text.c_str(), style, control->x,
                                control->y, control->width, control->height, parentWindow,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(control->id)), instance,
                                nullptr);
  if (window == nullptr) return;
  control->handle = window;
  control->previousWindowProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProcedure)));
  control->Created(window);
  control->created = true;
}

void DestroyControlWindow(GUIElement* control) {
  HWND window = control->handle;
  if (!control->created || control->destroyed || window == nullptr || !IsWindow(window)) return;
  // Only our own subclassing is undone: a procedure installed over it keeps its place.
  if (GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&WindowProcedure) &&
      control->previousWindowProc != nullptr) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control->previousWindowProc));
  }
  DestroyWindow(window);
  ControlStates().erase(window);
  control->handle = nullptr;
  control->created = false;
}

Button::Button(GUIElement* p) : Child(ParentInstance(p)) { InitControl(this, p, "button"); }
Button::~Button() { DestroyControlWindow(this); }
void Button::Create() { CreateControlWindow(this, 0); }

CheckBox::CheckBox(GUIElement* p) : Child(ParentInstance(p)) { InitControl(this, p, "checkbox"); }
CheckBox::~CheckBox() { DestroyControlWindow(this); }
void CheckBox::Create() {
  CreateControlWindow(this, 0);
  if (created) SendMessageW(handle, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

ComboBox::ComboBox(GUIElement* p) : Child(ParentInstance(p)) { InitControl(this, p, "combobox"); }
ComboBox::~ComboBox() { DestroyControlWindow(this); }
void ComboBox::Create() { CreateControlWindow(this, 0); }

ListBox::ListBox(GUIElement* p) : Child(ParentInstance(p)) { InitControl(this, p, "listbox"); }
ListBox::~ListBox() { DestroyControlWindow(this); }
void ListBox::Create() { CreateControlWindow(this, 0); }

NumericBox::NumericBox(GUIElement* p) : Child(ParentInstance(p)) { InitControl(this, p, "numericbox"); }
NumericBox::~NumericBox() { DestroyControlWindow(this); }
void NumericBox::Create() { CreateControlWindow(this, 0); }

Calendar::Calendar(GUIElement* p) : Child(ParentInstance(p)) { InitControl(this, p, "calendar"); }
Calendar::~Calendar() { DestroyControlWindow(this); }
void Calendar::Create() { CreateControlWindow(this, 0); }

TabControl::TabControl(GUIElement* p) : Child(ParentInstance(p)) { InitControl(this, p, "tabcontrol"); }
TabControl::~TabControl() { DestroyControlWindow(this); }
void TabControl::Create() { CreateControlWindow(this, 0); }

Slider::Slider(GUIElement* p) : Child(ParentInstance(p)) { InitControl(this, p, "slider"); }
Slider::~Slider() { DestroyControlWindow(this); }
void Slider::Create() {
  CreateControlWindow(this, 0);
  if (created) SendMessageW(handle, TBM_SETPOS, TRUE, position);
}

Timer::Timer(GUIElement* p) : Child(ParentInstance(p)) { InitControl(this, p, "timer"); }
Timer::~Timer() {
  if (created && IsWindow(timerWindow_)) KillTimer(timerWindow_, static_cast<UINT_PTR>(id));
}
void Timer::Create() {
  if (created || parent == nullptr || parent->handle == nullptr) return;
  SetTimer(parent->handle, static_cast<UINT_PTR>(id), interval, nullptr);
  timerWindow_ = parent->handle;
  created = true;
}

PanelChildren::PanelChildren(GUIElement* p) : Child(ParentInstance(p)) { InitControl(this, p, "panel"); }
PanelChildren::~PanelChildren() {
  if (LastScrollPanel == this) LastScrollPanel = nullptr;
  DestroyControlWindow(this);
}
void PanelChildren::Create() {
  CreateControlWindow(this, (verticalScrolling ? WS_VSCROLL : 0) | (horizontalScrolling ? WS_HSCROLL : 0));
}

}  // namespace TivraUtility
