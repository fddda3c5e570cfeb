#include "toolkit/elements/ToolTips.h"

#include <commctrl.h>

#include <cstddef>
#include <string>

#include "toolkit/elements/GUIElement.h"
#include "toolkit/elements/TextConversion.h"

namespace TivraUtility {

namespace {

// The tool record and the text buffer it points to.
struct ToolRecord {
  TOOLINFOW info{};
  WCHAR text[MaxToolTipTextLength + 1] = {};
};

void FillToolRecord(ToolRecord& record, const std::string& narrowText, HWND window) {
  const std::wstring wide = ToWide(narrowText);
  std::size_t length = 0;
  for (; length < wide.size() && length < static_cast<std::size_t>(MaxToolTipTextLength); ++length) {
    record.text[length] = static_cast<WCHAR>(wide[length]);
  }
  record.text[length] = 0;

  // The record without its trailing reserved pointer: the size every version of the control
  // accepts, on 32-bit and 64-bit builds alike.
  record.info.cbSize = static_cast<UINT>(offsetof(TOOLINFOW, lpReserved));
  record.info.uFlags = TTF_SUBCLASS;
  record.info.hwnd = window;
  record.info.uId = reinterpret_cast<UINT_PTR>(window);
  GetClientRect(window, &record.info.rect);
  record.info.hinst = nullptr;
  record.info.lpszText = record.text;
  record.info.lParam = 0;
}

}  // namespace

void CreateToolTip(GUIElement* element, HWND window) {
  if (element == nullptr || element->toolTipText.empty() || window == nullptr) return;

  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);

  element->toolTipHandle =
      CreateWindowExW(WS_EX_TOPMOST, L"tooltips_class32", nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                      0, 0, 0, 0, window, nullptr, nullptr, nullptr);
  SetWindowPos(element->toolTipHandle, HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  ToolRecord record;
  FillToolRecord(record, element->toolTipText, window);
  SendMessageW(element->toolTipHandle, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&record.info));
}

void UpdateToolTip(GUIElement* element) {
  if (element == nullptr) return;
  if (element->toolTipHandle == nullptr) {
    CreateToolTip(element, element->handle);
    return;
  }
  ToolRecord record;
  FillToolRecord(record, element->toolTipText, element->handle);
  SendMessageW(element->toolTipHandle, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&record.info));
  SendMessageW(element->toolTipHandle, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&record.info));
}

}  // namespace TivraUtility
