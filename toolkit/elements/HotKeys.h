// A form's system-wide hot keys, and opening a document or web address with the shell.
#pragma once

#include <windows.h>

#include <string>

namespace TivraUtility {

class Form;

using HotKeyHandler = void (*)(Form* form, UINT modifiers, UINT key);

// One entry of a form's hot-key list; entry i (from 0) is registered under identifier i + 1.
struct HotKey {
  UINT modifiers = 0;  // MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN, combined by or
  UINT key = 0;        // virtual-key code
  HotKeyHandler handler = nullptr;
};

// Registers every entry of form->hotKeys for the form's window.
void RegisterHotKeys(Form* form);
// Unregisters the identifiers 1..n, n being the current number of entries.
void UnregisterHotKeys(Form* form);
// Asks the shell to open target (a narrow byte string, widened byte by byte); true on success.
bool OpenDocument(const std::string& target);

}  // namespace TivraUtility
