// A form's native menu bar: the bar, its drop-down menus and their items. Items may hold items of
// their own and then become cascading sub-menus. A chosen item arrives as WM_COMMAND and reaches
// the item's onCommand through RunMenuCommand.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/elements/GUIElement.h"

namespace TivraUtility {

// Called with the complete element (the item, the button, ...) when a command arrives for it.
using CommandCallback = void (*)(GUIElement* item);

// The command-receiving part of an element; it has no virtual operations of its own and is found
// by a cross-cast from GUIElement.
class CommandElement {
 public:
  CommandCallback onCommand = nullptr;

 protected:
  CommandElement() = default;
  ~CommandElement() = default;
};

// The menu bar of one form (kind "menubar").
class MenuBar : public Child {
 public:
  explicit MenuBar(GUIElement* form);

  std::vector<GUIElement*> items;  // the bar's Menu elements, in bar order; not owned
  HMENU menuHandle = nullptr;

  // Builds the bar with every menu in `items` and attaches it to the form's window. Does nothing
  // without a form window, and nothing once the bar is created: menus added later are appended
  // by AddItem, so a second call has nothing to add.
  void Create() override;
};

// A drop-down menu of the bar (kind "menu").
class Menu : public Child {
 public:
  Menu(const std::string& caption, MenuBar* bar);

  std::vector<GUIElement*> items;  // the menu's SubMenu items, in menu order; not owned
  HMENU menuHandle = nullptr;

  void Create() override;
};

// An item of a menu or of a cascading sub-menu (kind "submenu"). Its id is its command identifier.
class SubMenu : public Child, public CommandElement {
 public:
  SubMenu(GUIElement* parentElement, const std::string& caption);

  std::vector<GUIElement*> items;  // sub-items: an item that has any when created cascades
  HMENU popupMenu = nullptr;       // the cascade's own menu; null for a plain item
  UINT itemFlags = MF_STRING;      // flags given to AppendMenuW for a plain item
  bool checkable = false;          // every command flips the check mark
  bool checked = false;            // the check state; the native menu holds the truth once created

  void Create() override;
};

// Appends item to the container (a MenuBar, Menu or SubMenu) and, when the container is already
// created, creates the item at once. Other containers are left alone.
void AddItem(GUIElement* container, GUIElement* item);

// The native menu that holds item: its Menu's menuHandle or its cascading SubMenu's popupMenu.
HMENU ParentMenuHandle(const SubMenu* item);

// Reads the check mark back from the native menu while the item is created; returns `checked`.
// A state holding anything besides the check flag (for example disabled and checked) reads as
// unchecked.
bool ReadCheckMark(SubMenu* item);
// Writes the check mark: checked only when the item is both checked and checkable.
void ApplyCheckMark(SubMenu* item);

// The menu-command steps for the command identifier id: flips the check mark of a checkable
// item, then calls its onCommand. An unknown identifier does nothing.
void RunMenuCommand(int id);

}  // namespace TivraUtility
