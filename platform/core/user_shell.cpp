// Shell: opening a document or an address with the desktop's opener.
#include "user_internal.h"

#include <shellapi.h>

#include <cwctype>

using namespace winplat;

HINSTANCE ShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR, INT) {
  // Only opening is supported: it is what the desktop's opener does.
  if (verb) {
    std::wstring v(verb);
    for (auto& c : v) c = static_cast<wchar_t>(std::towlower(c));
    if (v != L"open") return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(SE_ERR_NOASSOC));
  }
  if (!file) return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(SE_ERR_FNF));
  std::intptr_t r = CurrentScreen().Open(file);
  return reinterpret_cast<HINSTANCE>(r);
}
