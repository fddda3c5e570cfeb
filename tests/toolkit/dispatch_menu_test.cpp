// Menus on a real form window: construction into the native menu, check marks read back from it,
// commands routed to the items, and the menu chosen from the keyboard.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/dispatch/Menus.h"
#include "toolkit/dispatch/WindowProcedure.h"
#include "toolkit/elements/Form.h"
#include "tests/toolkit/test_support.h"
#include "tests/support/key_script.h"

using namespace TivraUtility;

namespace {

std::wstring ItemText(HMENU menu, int position) {
  wchar_t buffer[64] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), buffer, 64, MF_BYPOSITION);
  return buffer;
}

using zerlo_test::PumpMessages;

// Makes window the foreground window; the platform may take a moment to agree.
bool BringToFront(HWND window) {
  return zerlo_test::BringToFront(window, [] {
    Sleep(10);
    PumpMessages();
  });
}

class PlainForm : public Form {
 public:
  PlainForm() : Form(GetModuleHandleW(nullptr)) {
    width = 320;
    height = 200;
  }
};

// The menu of the program, built the way the program builds it.
struct ProgramMenu {
  explicit ProgramMenu(Form* form)
      : bar(form),
        file("&File", &bar),
        exit(&file, "&Esci\tEsc"),
        help("&?", &bar),
        home(&help, "&Home") {}
  MenuBar bar;
  Menu file;
  SubMenu exit;
  Menu help;
  SubMenu home;
};

class MenuTest : public zerlo_test::FormFixture<PlainForm> {
 protected:

  void Command(int id, WORD code = 0) {
    SendMessageW(form_.handle, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), code), 0);
  }
};

using MenuBuild = MenuTest;

TEST_F(MenuBuild, ProgramMenuAppearsInConstructionOrderWhenTheBarIsCreated) {
  ProgramMenu menu(&form_);
  EXPECT_EQ(menu.bar.items, (std::vector<GUIElement*>{&menu.file, &menu.help}));
  EXPECT_EQ(menu.file.items, (std::vector<GUIElement*>{&menu.exit}));
  EXPECT_FALSE(menu.file.created);
  EXPECT_EQ(GetMenu(form_.handle), nullptr);
  EXPECT_EQ(menu.home.id, menu.exit.id + 1);

  menu.bar.Create();

  HMENU bar = GetMenu(form_.handle);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar, menu.bar.menuHandle);
  EXPECT_EQ(menu.bar.handle, reinterpret_cast<HWND>(bar));
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(ItemText(bar, 0), L"&File");
  EXPECT_EQ(ItemText(bar, 1), L"&?");
  const struct {
    int position;
    const Menu* menu;
    const SubMenu* item;
    const wchar_t* text;
  } drops[] = {{0, &menu.file, &menu.exit, L"&Esci\tEsc"}, {1, &menu.help, &menu.home, L"&Home"}};
  for (const auto& drop : drops) {
    HMENU dropDown = GetSubMenu(bar, drop.position);
    EXPECT_EQ(dropDown, drop.menu->menuHandle);
    ASSERT_EQ(GetMenuItemCount(dropDown), 1);
    EXPECT_EQ(ItemText(dropDown, 0), drop.text);
    EXPECT_EQ(GetMenuItemID(dropDown, 0), static_cast<UINT>(drop.item->id));
    EXPECT_TRUE(drop.item->created);
    EXPECT_EQ(drop.item->handle, nullptr);  // a plain item has no menu of its own
  }
}

TEST_F(MenuBuild, SecondCreateOfTheBarKeepsItAsItIs) {
  ProgramMenu menu(&form_);
  menu.bar.Create();
  HMENU bar = GetMenu(form_.handle);
  menu.bar.Create();
  EXPECT_EQ(GetMenu(form_.handle), bar);
  EXPECT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(GetMenuItemCount(menu.file.menuHandle), 1);
}

TEST_F(MenuBuild, ElementsAddedAfterCreationAppearAtOnceAtTheEnd) {
  ProgramMenu menu(&form_);
  menu.bar.Create();
  SubMenu item(&menu.file, "&Nuovo");
  Menu late("&Altro", &menu.bar);
  EXPECT_TRUE(item.created);
  ASSERT_EQ(GetMenuItemCount(menu.file.menuHandle), 2);
  EXPECT_EQ(GetMenuItemID(menu.file.menuHandle, 1), static_cast<UINT>(item.id));
  EXPECT_EQ(ItemText(menu.file.menuHandle, 1), L"&Nuovo");
  ASSERT_EQ(GetMenuItemCount(menu.bar.menuHandle), 3);
  EXPECT_EQ(ItemText(menu.bar.menuHandle, 2), L"&Altro");
  EXPECT_EQ(GetSubMenu(menu.bar.menuHandle, 2), late.menuHandle);
}

TEST_F(MenuBuild, ItemWithItemsCascadesThroughItsPopupMenu) {
  MenuBar bar(&form_);
  Menu file("&File", &bar);
  SubMenu cascade(&file, "&Recenti");
  SubMenu leaf(&cascade, "&Uno");
  bar.Create();
  ASSERT_NE(cascade.popupMenu, nullptr);
  EXPECT_EQ(cascade.handle, reinterpret_cast<HWND>(cascade.popupMenu));
  EXPECT_EQ(GetSubMenu(file.menuHandle, 0), cascade.popupMenu);
  EXPECT_EQ(GetMenuItemID(file.menuHandle, 0), static_cast<UINT>(-1));  // its own id never comes
  EXPECT_EQ(GetMenuItemID(cascade.popupMenu, 0), static_cast<UINT>(leaf.id));
  EXPECT_EQ(ItemText(file.menuHandle, 0), L"&Recenti");
}

TEST_F(MenuBuild, ItemWithoutTextIsAppendedWithoutATextPointer) {
  ProgramMenu menu(&form_);
  menu.bar.Create();
  SubMenu blank(&menu.file, "");
  // A string item given no text pointer is a separator on the platform.
  EXPECT_NE(GetMenuState(menu.file.menuHandle, 1, MF_BYPOSITION) & MF_SEPARATOR, 0u);
}

TEST_F(MenuBuild, CheckableItemIsCreatedWithItsMark) {
  MenuBar bar(&form_);
  Menu view("&Vista", &bar);
  SubMenu on(&view, "&Acceso");
  on.checkable = true;
  on.checked = true;
  SubMenu off(&view, "&Spento");
  off.checkable = true;
  bar.Create();
  EXPECT_EQ(GetMenuState(view.menuHandle, static_cast<UINT>(on.id), MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED));
  EXPECT_EQ(GetMenuState(view.menuHandle, static_cast<UINT>(off.id), MF_BYCOMMAND), static_cast<UINT>(MF_UNCHECKED));
}

using MenuCommand = MenuTest;

TEST_F(MenuCommand, CheckMarkFlipsBeforeTheCommandRuns) {
  static std::vector<std::pair<bool, UINT>> seen;
  seen.clear();
  ProgramMenu menu(&form_);
  menu.exit.checkable = true;
  menu.exit.onCommand = [](GUIElement* element) {
    auto* item = dynamic_cast<SubMenu*>(element);
    seen.emplace_back(item->checked, GetMenuState(ParentMenuHandle(item), static_cast<UINT>(item->id), MF_BYCOMMAND));
  };
  menu.bar.Create();
  Command(menu.exit.id);
  Command(menu.exit.id);
  EXPECT_EQ(seen, (std::vector<std::pair<bool, UINT>>{{true, MF_CHECKED}, {false, MF_UNCHECKED}}));
}

TEST_F(MenuCommand, OnlyAKnownMenuItemCommandReachesItsItem) {
  static int runs;
  ProgramMenu menu(&form_);
  menu.home.onCommand = [](GUIElement*) { ++runs; };
  menu.bar.Create();
  const struct {
    int id;
    WORD code;
    int expectedRuns;
  } rows[] = {
      {menu.home.id, 0, 1},
      {menu.home.id, 1, 0},  // an accelerator
      {menu.home.id + 100, 0, 0},
      {form_.id, 0, 0},  // a form's identifier is no menu item
  };
  for (const auto& row : rows) {
    runs = 0;
    Command(row.id, row.code);
    EXPECT_EQ(runs, row.expectedRuns) << "id " << row.id << " code " << row.code;
  }
}

TEST_F(MenuCommand, CheckMarkIsReadBackFromTheNativeMenu) {
  ProgramMenu menu(&form_);
  menu.bar.Create();
  HMENU file = menu.file.menuHandle;
  const UINT id = static_cast<UINT>(menu.exit.id);
  const struct {
    UINT nativeState;
    bool expected;
  } rows[] = {
      {MF_CHECKED, true},
      {MF_UNCHECKED, false},
      {MF_CHECKED | MF_GRAYED, false},  // more than the check flag reads as unchecked
  };
  for (const auto& row : rows) {
    menu.exit.checked = !row.expected;
    EnableMenuItem(file, id, MF_BYCOMMAND | (row.nativeState & MF_GRAYED));
    CheckMenuItem(file, id, MF_BYCOMMAND | (row.nativeState & MF_CHECKED));
    EXPECT_EQ(ReadCheckMark(&menu.exit), row.expected) << "state " << row.nativeState;
    EXPECT_EQ(menu.exit.checked, row.expected);
  }
}

TEST_F(MenuCommand, ApplyingTheMarkOfANonCheckableItemClearsIt) {
  ProgramMenu menu(&form_);
  menu.bar.Create();
  const UINT id = static_cast<UINT>(menu.exit.id);
  CheckMenuItem(menu.file.menuHandle, id, MF_BYCOMMAND | MF_CHECKED);
  menu.exit.checked = true;
  ApplyCheckMark(&menu.exit);
  EXPECT_EQ(GetMenuState(menu.file.menuHandle, id, MF_BYCOMMAND), static_cast<UINT>(MF_UNCHECKED));
  menu.exit.checkable = true;
  ApplyCheckMark(&menu.exit);
  EXPECT_EQ(GetMenuState(menu.file.menuHandle, id, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED));
}

using MenuKeyboard = MenuTest;

void Key(WORD key) {
  std::vector<INPUT> input;
  zerlo_test::AppendKeyPress(input, key);
  SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

TEST_F(MenuKeyboard, F10ArrowsAndEnterRunTheChosenItemOnce) {
  static int homeRuns;
  static int exitRuns;
  homeRuns = 0;
  exitRuns = 0;
  ProgramMenu menu(&form_);
  menu.exit.onCommand = [](GUIElement*) { ++exitRuns; };
  menu.home.onCommand = [](GUIElement*) { ++homeRuns; };
  menu.bar.Create();
  ASSERT_TRUE(BringToFront(form_.handle));
  ASSERT_EQ(GetFocus(), form_.handle);

  for (WORD key : {VK_F10, VK_RIGHT, VK_DOWN, VK_RETURN}) Key(key);
  // The loop of the program: fetch, translate, dispatch, until the command has run and the
  // queue has stayed empty for a while.
  const DWORD start = GetTickCount();
  DWORD quietSince = start;
  while (GetTickCount() - start < 5000 && (homeRuns == 0 || GetTickCount() - quietSince < 200)) {
    MSG message;
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
      quietSince = GetTickCount();
    } else {
      Sleep(5);
    }
  }
  EXPECT_EQ(homeRuns, 1);
  EXPECT_EQ(exitRuns, 0);
}

}  // namespace
