// An element's tool tip: a pop-up of the common controls that shows `toolTipText` while the mouse
// rests over the element's client area. Nothing is created while the text is empty.
#pragma once

#include <windows.h>

namespace TivraUtility {

class GUIElement;

// Longest tool-tip text passed to the platform; longer texts are cut.
inline constexpr int MaxToolTipTextLength = 2023;

// Creates the element's tool-tip window, owned by window, with one tool covering window's client
// area. Does nothing when the text is empty or window is null.
void CreateToolTip(GUIElement* element, HWND window);
// Pushes the current text and client rectangle of the element's window to its tool, or creates
// the tool tip for the element's own handle when it has none yet.
void UpdateToolTip(GUIElement* element);

}  // namespace TivraUtility
