#include "toolkit/elements/HotKeys.h"

#include <shellapi.h>

#include "toolkit/elements/Form.h"
#include "toolkit/elements/TextConversion.h"

namespace TivraUtility {

void RegisterHotKeys(Form* form) {
  if (form == nullptr) return;
  for (std::size_t i = 0; i < form->hotKeys.size(); ++i) {
    RegisterHotKey(form->handle, static_cast<int>(i + 1), form->hotKeys[i].modifiers, form->hotKeys[i].key);
  }
}

void UnregisterHotKeys(Form* form) {
  if (form == nullptr) return;
  const int count = static_cast<int>(form->hotKeys.size());
  for (int id = 1; id <= count; ++id) UnregisterHotKey(form->handle, id);
}

bool OpenDocument(const std::string& target) {
  const std::wstring wide = ToWide(target);
  HINSTANCE result = ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOW);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace TivraUtility
