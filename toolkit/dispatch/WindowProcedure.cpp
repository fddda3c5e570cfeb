// The thin platform layer of the window procedure, and the element lookups.
#include "toolkit/dispatch/WindowProcedure.h"

#include "toolkit/dispatch/Dispatch.h"
#include "toolkit/dispatch/Menus.h"
#include "toolkit/elements/GUIElement.h"

namespace TivraUtility {

GUIElement* FindElementByHandle(HWND handle) {
  if (handle == nullptr) return nullptr;
  if (GUIElement* owner = FindElementByExactHandle(handle)) return owner;
  // A form whose window is being created has not stored its handle yet: the messages of its
  // creation go to it, the most recently registered element.
  if (!ElementRegistry.empty() && ElementRegistry.back()->handle == nullptr) {
    return ElementRegistry.back();
  }
  return nullptr;
}

GUIElement* FindElementById(int id) {
  if (id == 0) return nullptr;  // 0 is no identifier
  for (GUIElement* element : ElementRegistry) {
    if (element->id == id) return element;
  }
  return nullptr;
}

SubMenu* FindMenuItemById(int id) {
  for (GUIElement* element : ElementRegistry) {
    auto* item = dynamic_cast<SubMenu*>(element);
    if (item != nullptr && item->id == id) return item;
  }
  return nullptr;
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  GUIElement* element = FindElementByHandle(window);
  LoadDispatchCursors();
  // Taken now: the routings may switch to other elements, and the element may not outlive the
  // message.
  const WNDPROC previous = element != nullptr ? element->previousWindowProc : nullptr;
  const DispatchResult outcome = DispatchToElement(element, window, message, wParam, lParam);
  if (!outcome.useDefault) return outcome.result;
  if (previous != nullptr) return CallWindowProcW(previous, window, message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace TivraUtility
