#include "toolkit/dispatch/Dispatch.h"

#include <algorithm>

#include "toolkit/dispatch/Controls.h"
#include "toolkit/dispatch/Menus.h"
#include "toolkit/dispatch/WindowProcedure.h"
#include "toolkit/elements/Form.h"
#include "toolkit/elements/HotKeys.h"

namespace TivraUtility {

HCURSOR WaitCursor = nullptr;
HCURSOR HandCursor = nullptr;
Form* ActiveHotKeyForm = nullptr;

namespace {

// A form object may be gone while the pointer is still held; only a registered form is used.
Form* LiveActiveHotKeyForm() {
  if (ActiveHotKeyForm == nullptr) return nullptr;
  const bool live = std::find(ElementRegistry.begin(), ElementRegistry.end(),
                              static_cast<GUIElement*>(ActiveHotKeyForm)) != ElementRegistry.end();
  if (!live) ActiveHotKeyForm = nullptr;
  return ActiveHotKeyForm;
}

// Mouse-button coordinates: the halves of lParam, unsigned, turned into screen coordinates.
POINT ScreenPoint(HWND window, LPARAM lParam) {
  POINT point{static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
  ClientToScreen(window, &point);
  return point;
}

// Mouse-move coordinates: the halves of lParam, signed, in client coordinates.
int ClientX(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
int ClientY(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

void NavigateTab(GUIElement* element, HWND window) {
  HWND dialog = window;
  if (auto* child = dynamic_cast<Child*>(element); child != nullptr && child->parent != nullptr) {
    dialog = child->parent->handle;
  }
  const bool previousItem = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  HWND next = GetNextDlgTabItem(dialog, window, previousItem ? TRUE : FALSE);
  if (next == nullptr) return;
  if (GUIElement* target = FindElementByExactHandle(next)) target->TakeFocus();
}

void SwitchHotKeys(Form* form, HWND window) {
  if (GetForegroundWindow() == window) {
    if (Form* active = LiveActiveHotKeyForm()) UnregisterHotKeys(active);
    RegisterHotKeys(form);
    ActiveHotKeyForm = form;
  } else {
    UnregisterHotKeys(form);
  }
}

void DeliverHotKey(Form* form, HWND window, WPARAM hotKeyId) {
  if (hotKeyId < 1 || hotKeyId > form->hotKeys.size()) return;
  const HotKey record = form->hotKeys[hotKeyId - 1];
  HWND foreground = GetForegroundWindow();
  if (foreground == window) {
    if (record.handler != nullptr) record.handler(form, record.modifiers, record.key);
    return;
  }
  auto* other = dynamic_cast<Form*>(FindElementByExactHandle(foreground));
  if (other == nullptr) return;
  for (const HotKey& candidate : other->hotKeys) {
    if (candidate.handler == nullptr) continue;
    if (candidate.modifiers == record.modifiers && candidate.key == record.key) {
      const HotKeyHandler handler = candidate.handler;
      handler(other, record.modifiers, record.key);
      return;
    }
  }
}

}  // namespace

void LoadDispatchCursors() {
  if (WaitCursor == nullptr) WaitCursor = LoadCursorW(nullptr, IDC_WAIT);
  if (HandCursor == nullptr) HandCursor = LoadCursorW(nullptr, IDC_HAND);
}

GUIElement* FindElementByExactHandle(HWND handle) {
  if (handle == nullptr) return nullptr;
  for (auto entry = ElementRegistry.rbegin(); entry != ElementRegistry.rend(); ++entry) {
    if ((*entry)->handle == handle) return *entry;
  }
  return nullptr;
}

DispatchResult DispatchToElement(GUIElement* element, HWND window, UINT message, WPARAM wParam,
                                 LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      if (auto* form = dynamic_cast<Form*>(element)) form->Created(window);
      return DefaultProcessing;

    case WM_DESTROY:
      if (auto* form = dynamic_cast<Form*>(element)) {
        UnregisterHotKeys(form);
        if (ActiveHotKeyForm == form) ActiveHotKeyForm = nullptr;
      }
      if (element != nullptr) element->Destroyed();
      if (window == MainWindow) PostQuitMessage(0);
      return DefaultProcessing;

    case WM_MOVE:
      if (element != nullptr) element->Moved();
      return DefaultProcessing;

    case WM_SIZE:
      if (element != nullptr) element->Resized();
      return DefaultProcessing;

    case WM_ACTIVATE:
      if (auto* form = dynamic_cast<Form*>(element)) {
        SwitchHotKeys(form, window);
        LastScrollPanel = nullptr;
      }
      return DefaultProcessing;

    case WM_SETFOCUS:
      if (element != nullptr) element->GotFocus();
      return DefaultProcessing;

    case WM_KILLFOCUS:
      if (element != nullptr) element->LostFocus();
      return DefaultProcessing;

    case WM_PAINT:
      if (element != nullptr) element->Paint();
      return DefaultProcessing;

    case WM_CLOSE:
      if (element != nullptr && !element->CloseRequested()) return Handled(1);
      return DefaultProcessing;

    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && element != nullptr) {
        if (element->WantsHandCursor()) {
          SetCursor(HandCursor);
          return Handled(1);
        }
        if (element->WantsWaitCursor()) {
          SetCursor(WaitCursor);
          return Handled(1);
        }
      }
      return DefaultProcessing;

    case WM_DRAWITEM:
      return RouteOwnerDrawnButton(wParam, lParam);

    case WM_NOTIFY:
      RouteNotification(lParam);
      return DefaultProcessing;

    case WM_KEYDOWN:
      if (wParam == VK_TAB) NavigateTab(element, window);
      if (element != nullptr) element->KeyDown(static_cast<UINT>(wParam));
      return DefaultProcessing;

    case WM_KEYUP:
      if (element != nullptr) element->KeyUp(static_cast<UINT>(wParam));
      return DefaultProcessing;

    case WM_CHAR:
      if (element != nullptr && !element->CharTyped(static_cast<UINT>(wParam))) return Handled(1);
      return DefaultProcessing;

    case WM_COMMAND: {
      const UINT code = HIWORD(wParam);
      if (lParam == 0) {
        if (code == 0) RunMenuCommand(LOWORD(wParam));  // a menu item; code 1 is an accelerator
        return DefaultProcessing;
      }
      RouteControlCommand(reinterpret_cast<HWND>(lParam), code);
      return DefaultProcessing;
    }

    case WM_TIMER:
      RouteTimer(wParam);
      return DefaultProcessing;

    case WM_HSCROLL:
    case WM_VSCROLL:
      return RouteScroll(element, window, message, wParam, lParam);

    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      if (element != nullptr) {
        if (HBRUSH brush = element->ControlColor(reinterpret_cast<HDC>(wParam))) {
          return Handled(reinterpret_cast<LRESULT>(brush));
        }
      }
      return DefaultProcessing;

    case WM_MOUSEMOVE:
      if (element != nullptr) element->MouseMove(ClientX(lParam), ClientY(lParam));
      return DefaultProcessing;

    case WM_LBUTTONDOWN:
      if (element != nullptr) {
        // Taken before the call: the element may not outlive its own callback.
        auto* panel = dynamic_cast<PanelChildren*>(element);
        const POINT point = ScreenPoint(window, lParam);
        element->LeftButtonDown(point.x, point.y);
        // A panel that its own callback deleted is not remembered.
        const bool live = std::find(ElementRegistry.begin(), ElementRegistry.end(),
                                    static_cast<GUIElement*>(panel)) != ElementRegistry.end();
        LastScrollPanel = live ? panel : nullptr;
      }
      return DefaultProcessing;

    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      if (element != nullptr) {
        const POINT point = ScreenPoint(window, lParam);
        switch (message) {
          case WM_LBUTTONUP: element->LeftButtonUp(point.x, point.y); break;
          case WM_LBUTTONDBLCLK: element->LeftDoubleClick(point.x, point.y); break;
          case WM_RBUTTONDOWN: element->RightButtonDown(point.x, point.y); break;
          case WM_RBUTTONUP: element->RightButtonUp(point.x, point.y); break;
          default: element->RightDoubleClick(point.x, point.y); break;
        }
      }
      return DefaultProcessing;

    case WM_MOUSEWHEEL:
      if (element == nullptr) return DefaultProcessing;
      return RouteWheel(element, wParam);

    case WM_MOUSEHOVER:
      if (element != nullptr) element->MouseHover();
      return DefaultProcessing;

    case WM_MOUSELEAVE:
      if (element != nullptr) element->MouseLeave();
      return DefaultProcessing;

    case WM_HOTKEY:
      if (auto* form = dynamic_cast<Form*>(element)) DeliverHotKey(form, window, wParam);
      return DefaultProcessing;

    default:
      return DefaultProcessing;
  }
}

}  // namespace TivraUtility
