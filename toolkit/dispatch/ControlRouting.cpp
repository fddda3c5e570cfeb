// Routing of the messages that concern the control classes: owner-drawn buttons, notifications,
// control commands, timers, scrolling and the mouse wheel.
#include <windows.h>
#include <commctrl.h>

#include <climits>

#include "toolkit/dispatch/Controls.h"
#include "toolkit/dispatch/Dispatch.h"
#include "toolkit/dispatch/WindowProcedure.h"
#include "toolkit/drawing/PaintSurface.h"

namespace TivraUtility {
namespace {

constexpr COLORREF DisabledTextColor = 0x969696;
constexpr COLORREF DisabledFrameColor = 0x696969;

HWND ParentHandle(const GUIElement* element) {
  return element->parent != nullptr ? element->parent->handle : nullptr;
}

int ClampToInt(long long value) {
  if (value < INT_MIN) return INT_MIN;
  if (value > INT_MAX) return INT_MAX;
  return static_cast<int>(value);
}

// Moves the scroll bar `bar` of window to the position that `code` asks for, scrolls the window
// by what the bar really moved, and reports old minus requested to the panel's callback.
DispatchResult ScrollPanel(PanelChildren* panel, HWND window, int bar, UINT code) {
  const bool vertical = bar == SB_VERT;
  SCROLLINFO info{};
  info.cbSize = sizeof(SCROLLINFO);
  info.fMask = SIF_ALL;
  GetScrollInfo(window, bar, &info);
  const int old = info.nPos;

  long long requested = old;
  switch (code) {
    case SB_LINEUP: requested = static_cast<long long>(old) - 1; break;
    case SB_LINEDOWN: requested = static_cast<long long>(old) + 1; break;
    case SB_PAGEUP: requested = static_cast<long long>(old) - info.nPage; break;
    case SB_PAGEDOWN: requested = static_cast<long long>(old) + info.nPage; break;
    case SB_THUMBTRACK: requested = info.nTrackPos; break;
    case SB_TOP: if (vertical) requested = info.nMin; break;
    case SB_BOTTOM: if (vertical) requested = info.nMax; break;
    default: break;  // SB_THUMBPOSITION, SB_ENDSCROLL and the rest leave the position
  }
  const int target = ClampToInt(requested);

  SCROLLINFO position{};
  position.cbSize = sizeof(SCROLLINFO);
  position.fMask = SIF_POS;
  position.nPos = target;
  SetScrollInfo(window, bar, &position, TRUE);
  SCROLLINFO reread{};
  reread.cbSize = sizeof(SCROLLINFO);
  reread.fMask = SIF_POS;
  GetScrollInfo(window, bar, &reread);
  const int now = reread.nPos;

  if (now != old) {
    const int moved = ClampToInt(static_cast<long long>(old) - now);
    if (vertical) {
      ScrollWindow(window, 0, moved, nullptr, nullptr);
    } else {
      ScrollWindow(window, moved, 0, nullptr, nullptr);
    }
    UpdateWindow(window);
  }
  // A requested position of 0 is reported like any other move.
  if (target != old) {
    const ValueCallback callback = vertical ? panel->onVerticalScroll : panel->onHorizontalScroll;
    if (callback != nullptr) callback(panel, ClampToInt(static_cast<long long>(old) - target));
  }
  return Handled(0);
}

}  // namespace

DispatchResult RouteOwnerDrawnButton(WPARAM wParam, LPARAM lParam) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (item == nullptr) return DefaultProcessing;
  GUIElement* element = FindElementById(static_cast<int>(wParam));
  if (element == nullptr || item->CtlType != ODT_BUTTON) return DefaultProcessing;
  auto* button = dynamic_cast<Button*>(element);
  if (button == nullptr) return DefaultProcessing;

  HDC dc = item->hDC;
  COLORREF textColor = GetTextColor(dc);
  const RECT& box = item->rcItem;
  const int width = box.right - box.left;
  const int height = box.bottom - box.top;

  LOGFONTW font{};
  GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(font), &font);
  int offset = (height - static_cast<int>(font.lfHeight)) / 2;
  if (offset < 0) offset = 0;

  // Drawn straight onto the item's context, which belongs to the system: nothing is begun,
  // ended or released.
  PaintSurface surface(button);
  surface.dc = dc;
  surface.FillRectangle(0, 0, box.left, box.top, width, height, GetBkColor(dc));
  COLORREF frameColor = textColor;
  if ((item->itemState & ODS_DISABLED) != 0) {
    textColor = DisabledTextColor;
    frameColor = DisabledFrameColor;
  } else if ((item->itemState & ODS_SELECTED) != 0) {
    frameColor = 0xFFFFFF - textColor;
  }
  surface.DrawRectangle(box.left, box.top, width, height, frameColor);
  surface.DrawNarrowText(box.left, box.top + offset, width, height, button->GetNarrowText(),
                         textColor, nullptr, TextAlignCenter);
  if ((item->itemState & ODS_FOCUS) != 0) {
    RECT focus{box.left + 3, box.top + 3, box.right - 3, box.bottom - 3};
    DrawFocusRect(dc, &focus);
  }
  surface.dc = nullptr;
  return Handled(1);
}

void RouteNotification(LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header == nullptr) return;
  GUIElement* element = FindElementByExactHandle(header->hwndFrom);
  if (element == nullptr) return;

  if (header->code == static_cast<UINT>(UDN_DELTAPOS)) {
    auto* box = dynamic_cast<NumericBox*>(element);
    if (box == nullptr) return;
    if (box->onValue != nullptr) {
      const auto* change = reinterpret_cast<const NMUPDOWN*>(lParam);
      long long value = static_cast<long long>(change->iPos) + change->iDelta;
      if (value < box->minValue) value = box->minValue;
      if (value > box->maxValue) value = box->maxValue;
      box->onValue(box, static_cast<int>(value));
    }
    if (box->onChange != nullptr) box->onChange(box);
  } else if (header->code == static_cast<UINT>(MCN_SELECT)) {
    auto* calendar = dynamic_cast<Calendar*>(element);
    if (calendar == nullptr) return;
    if (calendar->onDateSelected != nullptr) {
      if (calendar->created) {
        SYSTEMTIME date = calendar->selectedDate;
        SendMessageW(calendar->handle, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&date));
        date.wHour = 0;
        date.wMinute = 0;
        date.wSecond = 0;
        date.wMilliseconds = 0;
        calendar->selectedDate = date;
      }
      calendar->onDateSelected(calendar, calendar->selectedDate);
    }
    if (calendar->onChange != nullptr) calendar->onChange(calendar);
  } else if (header->code == static_cast<UINT>(TCN_SELCHANGE)) {
    auto* tab = dynamic_cast<TabControl*>(element);
    if (tab == nullptr || !tab->created || tab->onTabSelected == nullptr) return;
    const LRESULT index = SendMessageW(tab->handle, TCM_GETCURSEL, 0, 0);
    tab->onTabSelected(tab, static_cast<int>(index));
  }
}

void RouteControlCommand(HWND control, UINT code) {
  GUIElement* element = FindElementByExactHandle(control);
  auto* command = dynamic_cast<CommandElement*>(element);
  if (command == nullptr) return;

  if (auto* box = dynamic_cast<CheckBox*>(element)) {
    const bool current =
        box->created ? IsDlgButtonChecked(ParentHandle(box), box->id) != BST_UNCHECKED : box->checked;
    box->checked = !current;
    if (box->created) {
      CheckDlgButton(ParentHandle(box), box->id, box->checked ? BST_CHECKED : BST_UNCHECKED);
    }
  }
  if (auto* combo = dynamic_cast<ComboBox*>(element)) {
    if (code == CBN_SELCHANGE) {
      if (command->onCommand != nullptr) command->onCommand(element);
    } else if (code == 0 && combo->created) {
      SendMessageW(combo->handle, CB_SHOWDROPDOWN, 1, 0);
    }
    return;
  }
  if (dynamic_cast<ListBox*>(element) != nullptr) {
    if (code == LBN_SELCHANGE && command->onCommand != nullptr) command->onCommand(element);
    return;
  }
  if (command->onCommand != nullptr) command->onCommand(element);
}

void RouteTimer(WPARAM wParam) {
  auto* timer = dynamic_cast<Timer*>(FindElementById(static_cast<int>(wParam)));
  if (timer != nullptr && timer->onTimer != nullptr) timer->onTimer(timer);
}

DispatchResult RouteScroll(GUIElement* element, HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam) {
  const UINT code = LOWORD(wParam);
  if (static_cast<LONG_PTR>(lParam) > 0 && code == SB_ENDSCROLL) {
    element = FindElementByExactHandle(reinterpret_cast<HWND>(lParam));
  }
  if (element == nullptr) return DefaultProcessing;

  if (element->kind == "slider") {
    if (auto* slider = dynamic_cast<Slider*>(element)) {
      if (slider->onPosition != nullptr) {
        if (slider->created) {
          slider->position = static_cast<int>(SendMessageW(slider->handle, TBM_GETPOS, 0, 0));
        }
        slider->onPosition(slider, slider->position);
      }
      if (slider->onChange != nullptr) slider->onChange(slider);
    }
  }

  auto* panel = dynamic_cast<PanelChildren*>(element);
  const bool vertical = message == WM_VSCROLL;
  if (panel == nullptr || !(vertical ? panel->verticalScrolling : panel->horizontalScrolling)) {
    return DefaultProcessing;
  }
  if (vertical) LastScrollPanel = panel;
  return ScrollPanel(panel, window, vertical ? SB_VERT : SB_HORZ, code);
}

DispatchResult RouteWheel(GUIElement* element, WPARAM wParam) {
  auto* panel = dynamic_cast<PanelChildren*>(element);
  if (panel == nullptr) panel = LastScrollPanel;
  if (panel == nullptr || !panel->verticalScrolling) return DefaultProcessing;
  const short delta = static_cast<short>(HIWORD(wParam));
  return ScrollPanel(panel, panel->handle, SB_VERT, delta > 0 ? SB_PAGEUP : SB_PAGEDOWN);
}

}  // namespace TivraUtility
