// Menu objects: building a bar as the toolkit does, item state, check marks, bad handles.
// Written against the Win32 API alone; the same file runs against the real platform.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr UINT kMissing = static_cast<UINT>(-1);

std::wstring MenuText(HMENU menu, UINT item, UINT flags) {
  wchar_t buffer[64] = L"?";
  int n = GetMenuStringW(menu, item, buffer, 64, flags);
  return std::wstring(buffer, n > 0 ? n : 0);
}

// The test form's bar, built the way the toolkit builds it: each drop-down is filled before it
// is appended to the bar with MF_POPUP.
struct ToolkitBar {
  HMENU bar = CreateMenu();
  HMENU file = CreateMenu();
  HMENU help = CreateMenu();
  ToolkitBar() {
    AppendMenuW(file, MF_STRING, 2, L"&Esci\tEsc");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(help, MF_STRING, 3, L"&Home");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&?");
  }
  ~ToolkitBar() { DestroyMenu(bar); }
};

TEST(MenuModel, ToolkitBarHoldsTwoDropDownsInOrder) {
  ToolkitBar m;
  ASSERT_NE(m.bar, nullptr);
  EXPECT_EQ(GetMenuItemCount(m.bar), 2);
  EXPECT_EQ(GetSubMenu(m.bar, 0), m.file);
  EXPECT_EQ(GetSubMenu(m.bar, 1), m.help);
  EXPECT_EQ(MenuText(m.bar, 0, MF_BYPOSITION), L"&File");
  EXPECT_EQ(MenuText(m.bar, 1, MF_BYPOSITION), L"&?");
  // A drop-down item has no command identifier of its own.
  EXPECT_EQ(GetMenuItemID(m.bar, 0), kMissing);
  EXPECT_EQ(GetMenuItemCount(m.file), 1);
  EXPECT_EQ(GetMenuItemID(m.file, 0), 2u);
  EXPECT_EQ(GetMenuItemID(m.help, 0), 3u);
  EXPECT_EQ(MenuText(m.file, 2, MF_BYCOMMAND), L"&Esci\tEsc");
  // By command, the search goes through the drop-downs of the bar.
  EXPECT_EQ(MenuText(m.bar, 3, MF_BYCOMMAND), L"&Home");
  EXPECT_EQ(GetSubMenu(m.file, 0), nullptr);
}

TEST(MenuModel, StateOfDropDownItemCountsItsItems) {
  ToolkitBar m;
  AppendMenuW(m.help, MF_STRING, 4, L"Second");
  EXPECT_EQ(GetMenuState(m.bar, 0, MF_BYPOSITION), static_cast<UINT>(MF_POPUP | (1 << 8)));
  EXPECT_EQ(GetMenuState(m.bar, 1, MF_BYPOSITION), static_cast<UINT>(MF_POPUP | (2 << 8)));
}

TEST(MenuModel, StateIsTheWholeStateOfTheItem) {
  struct Case {
    UINT flags;
    UINT state;
  };
  const Case cases[] = {
      {MF_STRING, 0},
      {MF_CHECKED, MF_CHECKED},
      {MF_GRAYED, MF_GRAYED},
      {MF_DISABLED, MF_DISABLED},
      {MF_CHECKED | MF_GRAYED, MF_CHECKED | MF_GRAYED},
      {MF_CHECKED | MF_DISABLED, MF_CHECKED | MF_DISABLED},
      // A separator can never be chosen: it reads as disabled too.
      {MF_SEPARATOR, MF_SEPARATOR | MF_GRAYED | MF_DISABLED},
  };
  HMENU bar = CreateMenu();
  HMENU menu = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), L"&Menu");
  UINT id = 100;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    ASSERT_TRUE(AppendMenuW(menu, c.flags, id, c.flags & MF_SEPARATOR ? nullptr : L"Item"));
    EXPECT_EQ(GetMenuState(menu, id, MF_BYCOMMAND), c.state);
    EXPECT_EQ(GetMenuState(bar, id, MF_BYCOMMAND), c.state) << "searched from the bar";
    ++id;
  }
  // A checked item that is also disabled does not read as just "checked".
  EXPECT_NE(GetMenuState(menu, 104, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED));
  EXPECT_EQ(GetMenuState(menu, 999, MF_BYCOMMAND), kMissing);
  EXPECT_EQ(GetMenuState(menu, 7, MF_BYPOSITION), kMissing);
  EXPECT_EQ(GetMenuState(bar, 1, MF_BYPOSITION), kMissing);
  DestroyMenu(bar);
}

TEST(MenuModel, CheckMenuItemReturnsThePreviousCheckState) {
  ToolkitBar m;
  AppendMenuW(m.file, MF_STRING | MF_GRAYED, 5, L"&Grey");
  EXPECT_EQ(CheckMenuItem(m.file, 2, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
  EXPECT_EQ(CheckMenuItem(m.file, 2, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_CHECKED));
  EXPECT_EQ(GetMenuState(m.file, 2, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED));
  EXPECT_EQ(CheckMenuItem(m.file, 0, MF_BYPOSITION | MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
  EXPECT_EQ(GetMenuState(m.file, 2, MF_BYCOMMAND), 0u);
  // Through the bar, by command, into its drop-downs.
  EXPECT_EQ(CheckMenuItem(m.bar, 3, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
  EXPECT_EQ(GetMenuState(m.help, 3, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED));
  // The check mark leaves the other state bits alone.
  CheckMenuItem(m.file, 5, MF_BYCOMMAND | MF_CHECKED);
  EXPECT_EQ(GetMenuState(m.file, 5, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED | MF_GRAYED));
  EXPECT_EQ(CheckMenuItem(m.file, 77, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(-1));
  EXPECT_EQ(CheckMenuItem(m.file, 9, MF_BYPOSITION | MF_CHECKED), static_cast<DWORD>(-1));
}

TEST(MenuModel, EnableMenuItemReturnsThePreviousState) {
  ToolkitBar m;
  EXPECT_EQ(EnableMenuItem(m.file, 2, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
  EXPECT_EQ(GetMenuState(m.file, 2, MF_BYCOMMAND), static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(EnableMenuItem(m.file, 2, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(GetMenuState(m.file, 2, MF_BYCOMMAND), 0u);
  EXPECT_EQ(EnableMenuItem(m.file, 42, MF_BYCOMMAND | MF_GRAYED), -1);
}

TEST(MenuModel, ItemWithNullTextExistsAndHasNoText) {
  HMENU menu = CreateMenu();
  ASSERT_TRUE(AppendMenuW(menu, MF_STRING, 7, nullptr));
  ASSERT_TRUE(AppendMenuW(menu, MF_STRING, 8, L"After"));
  EXPECT_EQ(GetMenuItemCount(menu), 2);
  EXPECT_EQ(GetMenuItemID(menu, 1), 8u);
  EXPECT_EQ(GetMenuStringW(menu, 0, nullptr, 0, MF_BYPOSITION), 0);
  EXPECT_EQ(MenuText(menu, 0, MF_BYPOSITION), L"");
  DestroyMenu(menu);
}

TEST(MenuModel, InsertMenuPlacesTheItemBeforeThePosition) {
  HMENU menu = CreateMenu();
  AppendMenuW(menu, MF_STRING, 1, L"One");
  AppendMenuW(menu, MF_STRING, 3, L"Three");
  ASSERT_TRUE(InsertMenuW(menu, 1, MF_BYPOSITION | MF_STRING, 2, L"Two"));
  ASSERT_TRUE(InsertMenuW(menu, 1, MF_BYCOMMAND | MF_STRING, 0, L"Zero"));
  const UINT expected[] = {0, 1, 2, 3};
  ASSERT_EQ(GetMenuItemCount(menu), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(GetMenuItemID(menu, i), expected[i]) << i;
  DestroyMenu(menu);
}

TEST(MenuModel, DestroyingAMenuDestroysItsDropDowns) {
  ToolkitBar m;
  HMENU bar = m.bar;
  ASSERT_TRUE(IsMenu(m.file));
  EXPECT_TRUE(DestroyMenu(bar));
  EXPECT_FALSE(IsMenu(bar));
  EXPECT_FALSE(IsMenu(m.file));
  EXPECT_FALSE(IsMenu(m.help));
  m.bar = nullptr;
}

TEST(MenuModel, NullAndStaleHandlesFailQuietly) {
  HMENU stale = CreateMenu();
  ASSERT_TRUE(DestroyMenu(stale));
  for (HMENU bad : {static_cast<HMENU>(nullptr), stale}) {
    SCOPED_TRACE(bad ? "stale" : "null");
    wchar_t text[8] = L"x";
    RECT rect{};
    EXPECT_FALSE(IsMenu(bad));
    EXPECT_FALSE(DestroyMenu(bad));
    EXPECT_FALSE(AppendMenuW(bad, MF_STRING, 1, L"Item"));
    EXPECT_FALSE(InsertMenuW(bad, 0, MF_BYPOSITION, 1, L"Item"));
    EXPECT_EQ(GetMenuItemCount(bad), -1);
    EXPECT_EQ(GetMenuItemID(bad, 0), kMissing);
    EXPECT_EQ(GetSubMenu(bad, 0), nullptr);
    EXPECT_EQ(GetMenuState(bad, 0, MF_BYPOSITION), kMissing);
    EXPECT_EQ(CheckMenuItem(bad, 0, MF_BYPOSITION | MF_CHECKED), static_cast<DWORD>(-1));
    EXPECT_EQ(EnableMenuItem(bad, 0, MF_BYPOSITION | MF_GRAYED), -1);
    EXPECT_EQ(GetMenuStringW(bad, 0, text, 8, MF_BYPOSITION), 0);
    EXPECT_FALSE(GetMenuItemRect(nullptr, bad, 0, &rect));
  }
  EXPECT_EQ(GetMenu(nullptr), nullptr);
  EXPECT_FALSE(DrawMenuBar(nullptr));
}

}  // namespace
