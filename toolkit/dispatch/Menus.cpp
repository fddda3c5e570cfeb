#include "toolkit/dispatch/Menus.h"

#include "toolkit/dispatch/WindowProcedure.h"
#include "toolkit/drawing/FontDescription.h"
#include "toolkit/elements/Form.h"
#include "toolkit/elements/TextConversion.h"
#include "toolkit/elements/ToolTips.h"

namespace TivraUtility {
namespace {

HWND AsHandle(HMENU menu) { return reinterpret_cast<HWND>(menu); }

// The tool tip and the font that a created element passes on to its native object. A menu
// handle is no window, so both steps only act where the handle really is one.
void AfterCreation(GUIElement* element) {
  if (!element->created || element->handle == nullptr || !IsWindow(element->handle)) return;
  CreateToolTip(element, element->handle);
  if (element->font != nullptr) {
    SendMessageW(element->handle, WM_SETFONT, reinterpret_cast<WPARAM>(element->font->GetFont()),
                 TRUE);
  }
}

void CreateAll(const std::vector<GUIElement*>& items) {
  // Index loop: an item's Create may append to the list of its own container.
  for (std::size_t i = 0; i < items.size(); ++i) items[i]->Create();
}

}  // namespace

MenuBar::MenuBar(GUIElement* form) : Child(nullptr) {
  parent = form;
  kind = "menubar";
}

void MenuBar::Create() {
  if (created) return;
  if (parent == nullptr || parent->handle == nullptr) return;
  menuHandle = CreateMenu();
  CreateAll(items);
  SetMenu(parent->handle, menuHandle);
  created = true;
  handle = AsHandle(menuHandle);
  AfterCreation(this);
}

Menu::Menu(const std::string& caption, MenuBar* bar) : Child(nullptr) {
  text = ToWide(caption);
  parent = bar;
  kind = "menu";
  AddItem(bar, this);
}

void Menu::Create() {
  if (created) return;
  auto* bar = dynamic_cast<MenuBar*>(parent);
  if (bar == nullptr || bar->menuHandle == nullptr) return;
  menuHandle = CreateMenu();
  CreateAll(items);
  AppendMenuW(bar->menuHandle, MF_POPUP, reinterpret_cast<UINT_PTR>(menuHandle), text.c_str());
  handle = AsHandle(menuHandle);
  created = true;
  // A bar already shown on its window is redrawn so that a menu added later appears at once.
  if (bar->created && bar->parent != nullptr && bar->parent->handle != nullptr) {
    DrawMenuBar(bar->parent->handle);
  }
  AfterCreation(this);
}

SubMenu::SubMenu(GUIElement* parentElement, const std::string& caption) : Child(nullptr) {
  parent = parentElement;
  text = ToWide(caption);
  kind = "submenu";
  id = ++ElementIdCounter;
  if (dynamic_cast<Menu*>(parentElement) != nullptr || dynamic_cast<SubMenu*>(parentElement) != nullptr) {
    AddItem(parentElement, this);
  }
}

HMENU ParentMenuHandle(const SubMenu* item) {
  if (auto* menu = dynamic_cast<Menu*>(item->parent)) return menu->menuHandle;
  if (auto* cascade = dynamic_cast<SubMenu*>(item->parent)) return cascade->popupMenu;
  return nullptr;
}

void SubMenu::Create() {
  if (created) return;
  HMENU target = ParentMenuHandle(this);
  if (target == nullptr) return;
  if (items.empty()) {
    AppendMenuW(target, itemFlags, static_cast<UINT_PTR>(id), text.empty() ? nullptr : text.c_str());
    if (checkable) {
      CheckMenuItem(target, static_cast<UINT>(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
  } else {
    popupMenu = CreatePopupMenu();
    CreateAll(items);
    AppendMenuW(target, MF_POPUP, reinterpret_cast<UINT_PTR>(popupMenu), text.c_str());
  }
  handle = AsHandle(popupMenu);
  created = true;
  AfterCreation(this);
}

void AddItem(GUIElement* container, GUIElement* item) {
  if (container == nullptr || item == nullptr) return;
  std::vector<GUIElement*>* items = nullptr;
  if (auto* bar = dynamic_cast<MenuBar*>(container)) {
    items = &bar->items;
  } else if (auto* menu = dynamic_cast<Menu*>(container)) {
    items = &menu->items;
  } else if (auto* cascade = dynamic_cast<SubMenu*>(container)) {
    items = &cascade->items;
  } else {
    return;
  }
  items->push_back(item);
  if (container->created) item->Create();
}

bool ReadCheckMark(SubMenu* item) {
  if (item->created) {
    if (HMENU menu = ParentMenuHandle(item)) {
      item->checked = GetMenuState(menu, static_cast<UINT>(item->id), MF_BYCOMMAND) == MF_CHECKED;
    }
  }
  return item->checked;
}

void ApplyCheckMark(SubMenu* item) {
  HMENU menu = ParentMenuHandle(item);
  if (menu == nullptr) return;
  const bool mark = item->checked && item->checkable;
  CheckMenuItem(menu, static_cast<UINT>(item->id), MF_BYCOMMAND | (mark ? MF_CHECKED : MF_UNCHECKED));
}

void RunMenuCommand(int id) {
  SubMenu* item = FindMenuItemById(id);
  if (item == nullptr) return;
  if (item->checkable) {
    item->checked = !ReadCheckMark(item);
    if (item->created) ApplyCheckMark(item);
  }
  if (item->onCommand != nullptr) item->onCommand(item);
}

}  // namespace TivraUtility
