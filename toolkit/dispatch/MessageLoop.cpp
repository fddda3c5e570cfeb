#include "toolkit/dispatch/MessageLoop.h"

#include <windows.h>

#include "toolkit/elements/Form.h"

namespace TivraUtility {

void RunMessageLoop(Form* form) {
  for (;;) {
    MSG message{};
    const BOOL fetched = GetMessageW(&message, nullptr, 0, 0);
    if (fetched == 0) return;  // WM_QUIT
    // A failed fetch leaves no message to hand on; the loop goes on.
    if (fetched == -1) continue;
    if (form != nullptr && form->dialogMode && IsDialogMessageW(form->handle, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace TivraUtility
