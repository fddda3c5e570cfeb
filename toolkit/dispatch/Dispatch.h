// The element side of the window procedure: turns one message of a window into calls of the
// element's operations and answers either a result for the system or a request for the default
// processing. WindowProcedure (the thin layer) finds the element, takes its previous procedure
// and runs the default processing when asked.
#pragma once

#include <windows.h>

namespace TivraUtility {

class Form;
class GUIElement;

struct DispatchResult {
  bool useDefault = true;  // let the default processing run (its result is the message's)
  LRESULT result = 0;      // the message's result when useDefault is false
};

inline constexpr DispatchResult DefaultProcessing{true, 0};
inline constexpr DispatchResult Handled(LRESULT result) { return DispatchResult{false, result}; }

// The system wait and hand cursors, loaded with the first message and kept.
extern HCURSOR WaitCursor;
extern HCURSOR HandCursor;
// The form whose hot keys are registered with the system right now.
extern Form* ActiveHotKeyForm;

// Loads WaitCursor and HandCursor when they are not loaded yet.
void LoadDispatchCursors();

// element is the one found for window (null when none).
DispatchResult DispatchToElement(GUIElement* element, HWND window, UINT message, WPARAM wParam,
                                 LPARAM lParam);

// The element whose handle is exactly handle, without the creation fallback: used for handles
// other than the receiving window's (controls, the foreground window, the next tab stop).
GUIElement* FindElementByExactHandle(HWND handle);

// The routings for the control classes. element is the one found for window.
DispatchResult RouteOwnerDrawnButton(WPARAM wParam, LPARAM lParam);
void RouteNotification(LPARAM lParam);
void RouteControlCommand(HWND control, UINT code);
void RouteTimer(WPARAM wParam);
DispatchResult RouteScroll(GUIElement* element, HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam);
DispatchResult RouteWheel(GUIElement* element, WPARAM wParam);

}  // namespace TivraUtility
