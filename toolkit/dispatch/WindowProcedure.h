// The one window procedure of every window that the toolkit registers, and the element lookups
// it uses.
#pragma once

#include <windows.h>

namespace TivraUtility {

class GUIElement;
class SubMenu;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

GUIElement* FindElementByHandle(HWND handle);
GUIElement* FindElementById(int id);
SubMenu* FindMenuItemById(int id);

}  // namespace TivraUtility
