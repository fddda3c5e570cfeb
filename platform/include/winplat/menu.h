// Menus of the Win32 subset: menu objects, the menu bar of a window, item state.
// Written for this project from the public description of the interface.
#pragma once

#include "winplat/base.h"

// Item flags (AppendMenuW, InsertMenuW) and item state (GetMenuState).
#define MF_INSERT 0x00000000L
#define MF_CHANGE 0x00000080L
#define MF_APPEND 0x00000100L
#define MF_DELETE 0x00000200L
#define MF_REMOVE 0x00001000L
#define MF_BYCOMMAND 0x00000000L
#define MF_BYPOSITION 0x00000400L
#define MF_SEPARATOR 0x00000800L
#define MF_ENABLED 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_UNCHECKED 0x00000000L
#define MF_CHECKED 0x00000008L
#define MF_USECHECKBITMAPS 0x00000200L
#define MF_STRING 0x00000000L
#define MF_BITMAP 0x00000004L
#define MF_OWNERDRAW 0x00000100L
#define MF_POPUP 0x00000010L
#define MF_MENUBARBREAK 0x00000020L
#define MF_MENUBREAK 0x00000040L
#define MF_UNHILITE 0x00000000L
#define MF_HILITE 0x00000080L
#define MF_DEFAULT 0x00001000L
#define MF_RIGHTJUSTIFY 0x00004000L
#define MF_MOUSESELECT 0x00008000L

extern "C++" {
HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and, with it, every sub-menu attached to it.
BOOL DestroyMenu(HMENU hMenu);
BOOL IsMenu(HMENU hMenu);
// With MF_POPUP, uIDNewItem is the sub-menu handle. A null text is allowed.
BOOL AppendMenuW(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem);
BOOL InsertMenuW(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem);
// RemoveMenu detaches an item (a sub-menu survives); DeleteMenu also destroys its sub-menu.
BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
BOOL SetMenu(HWND hWnd, HMENU hMenu);
HMENU GetMenu(HWND hWnd);
BOOL DrawMenuBar(HWND hWnd);
// Previous check state (MF_CHECKED or MF_UNCHECKED), or (DWORD)-1 when the item is missing.
DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck);
// Previous state (MF_ENABLED, MF_GRAYED, MF_DISABLED), or -1 when the item is missing.
BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable);
// The whole state of an item; for a sub-menu item the high byte holds its item count.
// (UINT)-1 when the item is missing.
UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags);
int GetMenuItemCount(HMENU hMenu);
// The command identifier of an item, (UINT)-1 for a sub-menu item or a missing one.
UINT GetMenuItemID(HMENU hMenu, int nPos);
HMENU GetSubMenu(HMENU hMenu, int nPos);
int GetMenuStringW(HMENU hMenu, UINT uIDItem, LPWSTR lpString, int cchMax, UINT flags);
// Screen rectangle of an item of the window's menu bar or of a drop-down menu that is open.
BOOL GetMenuItemRect(HWND hWnd, HMENU hMenu, UINT uItem, LPRECT lprcItem);
// Leaves menu mode: open menus close and the bar loses its highlight; nothing is chosen.
BOOL EndMenu();
}

#ifdef UNICODE
#define AppendMenu AppendMenuW
#define InsertMenu InsertMenuW
#define GetMenuString GetMenuStringW
#endif
