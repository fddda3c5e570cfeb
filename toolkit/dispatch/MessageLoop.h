// The program's one message loop.
#pragma once

namespace TivraUtility {

class Form;

// Fetches and dispatches every message of the thread until the quit message arrives. When form
// is set and in dialog mode, each message is first offered to the dialog keyboard handling of
// the form's window.
void RunMessageLoop(Form* form);

}  // namespace TivraUtility
