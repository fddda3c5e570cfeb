// The console's screen model, driven in memory: the window hooks are recorders and no window
// exists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/console/FormWinMsDos.h"
#include "toolkit/dispatch/Menus.h"

namespace {

using TivraUtility::FormWinMsDos;

constexpr int CellW = 10;
constexpr int CellH = 20;
constexpr COLORREF White = 0xFFFFFF;
constexpr COLORREF Black = 0x000000;
constexpr COLORREF Red = 0x0000FF;
constexpr COLORREF Blue = 0xFF0000;

struct CellRefresh {
  int column;
  int row;
  unsigned char ch;
  bool operator==(const CellRefresh&) const = default;
};

class MemoryConsole : public FormWinMsDos {
 public:
  MemoryConsole() : FormWinMsDos(nullptr, "console", WithoutWindow{CellW, CellH}) {}

  void RefreshCell(unsigned char ch) override { refreshes.push_back({PixelColumn(), PixelRow(), ch}); }
  void RequestRepaint() override { ++repaints; }
  void PlaceCaret(int px, int py) override { carets.push_back({px, py}); }
  void OnArrowLeft() override { hooks.push_back("left"); }
  void OnArrowRight() override { hooks.push_back("right"); }
  void OnArrowUp() override { hooks.push_back("up"); }
  void OnArrowDown() override { hooks.push_back("down"); }
  void OnEscape() override { hooks.push_back("escape"); }
  void OnMenuCommand(TivraUtility::SubMenu* item) override { menuItems.push_back(item); }
  bool OnKeyRead(int ch) override {
    hooks.push_back("read " + std::to_string(ch));
    return endWaitOnRead;
  }

  // Places both cursors on a cell, as a Print that ended there would.
  void PutCursor(int column, int row) {
    GotoCell(column, row);
    Print("");
    ForgetCalls();
  }
  void ForgetCalls() {
    refreshes.clear();
    repaints = 0;
    carets.clear();
    hooks.clear();
  }
  std::string RowText(int row) const {
    std::string text;
    for (int c = 0; c < Columns; ++c) text += static_cast<char>(cellChars[CellIndex(c, row)]);
    return text;
  }
  char At(int column, int row) const { return static_cast<char>(cellChars[CellIndex(column, row)]); }
  COLORREF TextAt(int column, int row) const { return cellTextColors[CellIndex(column, row)]; }
  COLORREF BackAt(int column, int row) const { return cellBackColors[CellIndex(column, row)]; }
  bool RowIsBlankDefault(int row) const {
    for (int c = 0; c < Columns; ++c) {
      if (At(c, row) != ' ' || TextAt(c, row) != defaultTextColor ||
          BackAt(c, row) != backgroundColor) {
        return false;
      }
    }
    return true;
  }

  std::vector<CellRefresh> refreshes;
  int repaints = 0;
  std::vector<POINT> carets;
  std::vector<std::string> hooks;
  std::vector<TivraUtility::SubMenu*> menuItems;
  bool endWaitOnRead = true;
};

std::string Blanks(int n) { return std::string(static_cast<size_t>(n), ' '); }

TEST(ConsoleScreen, ConstructionGivesACleanWhiteOnBlackScreen) {
  MemoryConsole console;
  EXPECT_EQ(console.backgroundColor, Black);
  EXPECT_EQ(console.textColor, White);
  EXPECT_EQ(console.backColor, Black);
  EXPECT_FALSE(console.waitingKey);
  for (int r = 0; r < FormWinMsDos::Rows; ++r) EXPECT_TRUE(console.RowIsBlankDefault(r)) << r;
  EXPECT_EQ(console.cursorX, 0);
  EXPECT_EQ(console.cursorCol, 0);
}

TEST(ConsoleScreen, ClearBlanksEveryCellInTheDefaultColoursAndKeepsTheCurrentOnes) {
  MemoryConsole console;
  console.textColor = Red;
  console.backColor = Blue;
  console.GotoCell(10, 12);
  console.Print("coloured");
  console.ForgetCalls();

  console.Clear();

  for (int r = 0; r < FormWinMsDos::Rows; ++r) EXPECT_TRUE(console.RowIsBlankDefault(r)) << r;
  EXPECT_EQ(console.textColor, Red);
  EXPECT_EQ(console.backColor, Blue);
  EXPECT_EQ((std::vector<int>{console.cursorX, console.cursorY, console.cursorCol, console.cursorRow}),
            (std::vector<int>{0, 0, 0, 0}));
  ASSERT_EQ(console.carets.size(), 1u);
  EXPECT_EQ(console.carets[0].x, 0);
  EXPECT_EQ(console.repaints, 1);
}

// Print from a start cell: where the text lands, where the cursor ends, how often it scrolled.
struct Landed {
  int column;
  int row;
  std::string text;
};
struct PrintCase {
  const char* name;
  int startColumn;
  int startRow;
  std::string text;
  std::vector<Landed> landed;
  int endColumn;
  int endRow;
  int scrolls;
};

class PrintRules : public testing::TestWithParam<PrintCase> {};

TEST_P(PrintRules, StoresWrapsAndScrolls) {
  const PrintCase& c = GetParam();
  MemoryConsole console;
  console.PutCursor(c.startColumn, c.startRow);
  console.textColor = Red;
  console.backColor = Blue;

  console.Print(c.text.c_str());

  for (const Landed& l : c.landed) {
    for (size_t i = 0; i < l.text.size(); ++i) {
      const int col = l.column + static_cast<int>(i);
      EXPECT_EQ(console.At(col, l.row), l.text[i]) << "cell " << col << "," << l.row;
      EXPECT_EQ(console.TextAt(col, l.row), Red) << "cell " << col << "," << l.row;
      EXPECT_EQ(console.BackAt(col, l.row), Blue) << "cell " << col << "," << l.row;
    }
  }
  EXPECT_EQ(console.PixelColumn(), c.endColumn);
  EXPECT_EQ(console.PixelRow(), c.endRow);
  EXPECT_EQ(console.cursorCol, c.endColumn);
  EXPECT_EQ(console.cursorRow, c.endRow);
  EXPECT_EQ(console.repaints, c.scrolls);
  ASSERT_FALSE(console.carets.empty() && !c.text.empty());
  if (!console.carets.empty()) {
    EXPECT_EQ(console.carets.back().x, c.endColumn * CellW);
    EXPECT_EQ(console.carets.back().y, c.endRow * CellH);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Console, PrintRules,
    testing::Values(
        PrintCase{"FullRowMidScreen", 0, 5, std::string(80, 'x'), {{0, 5, std::string(80, 'x')}}, 0, 6, 0},
        PrintCase{"FullRowOnLastRowScrolls", 0, 24, std::string(80, 'y'), {{0, 23, std::string(80, 'y')}}, 0, 24, 1},
        PrintCase{"WrapAtColumn79", 78, 2, "abc", {{78, 2, "ab"}, {0, 3, "c"}}, 1, 3, 0},
        PrintCase{"NewlineMidScreen", 7, 3, "\n", {}, 0, 4, 0},
        PrintCase{"NewlineOnLastRowScrolls", 7, 24, "\n", {}, 0, 24, 1},
        PrintCase{"TabAndReturnAreCells", 0, 0, "a\tb\rc", {{0, 0, "a\tb\rc"}}, 5, 0, 0},
        PrintCase{"TextThenNewlineThenText", 4, 10, "ab\ncd", {{4, 10, "ab"}, {0, 11, "cd"}}, 2, 11, 0},
        PrintCase{"EmptyText", 9, 9, "", {}, 9, 9, 0}),
    [](const testing::TestParamInfo<PrintCase>& info) { return std::string(info.param.name); });

TEST(ConsoleScreen, NewlineStoresNothing) {
  MemoryConsole console;
  console.PutCursor(7, 3);
  console.Print("\n");
  EXPECT_TRUE(console.RowIsBlankDefault(3));
  EXPECT_TRUE(console.refreshes.empty());
}

TEST(ConsoleScreen, EveryStoredByteIsRefreshedInItsCellAtOnce) {
  MemoryConsole console;
  console.PutCursor(78, 4);
  console.Print("pq\nr");
  EXPECT_EQ(console.refreshes, (std::vector<CellRefresh>{{78, 4, 'p'}, {79, 4, 'q'}, {0, 6, 'r'}}));
}

TEST(ConsoleScreen, TwentyFourRowsOfBlanksEndOnTheLastRowWithoutScrolling) {
  MemoryConsole console;
  console.backColor = Blue;
  const std::string blanks = Blanks(80);
  for (int i = 0; i < 24; ++i) console.Print(blanks.c_str());
  EXPECT_EQ(console.repaints, 0);
  EXPECT_EQ(console.PixelColumn(), 0);
  EXPECT_EQ(console.PixelRow(), 24);
  EXPECT_EQ(console.BackAt(0, 0), Blue);
  EXPECT_EQ(console.BackAt(79, 23), Blue);
  EXPECT_TRUE(console.RowIsBlankDefault(24));
}

TEST(ConsoleScreen, GotoCellMovesThePixelCursorOnlyUntilTheNextPrint) {
  MemoryConsole console;
  console.PutCursor(3, 7);
  console.GotoCell(42, 1);
  EXPECT_EQ(console.cursorX, 42 * CellW);
  EXPECT_EQ(console.cursorY, 1 * CellH);
  EXPECT_EQ(console.cursorCol, 3);
  EXPECT_EQ(console.cursorRow, 7);
  ASSERT_EQ(console.carets.size(), 1u);
  EXPECT_EQ(console.carets[0].x, 42 * CellW);
  console.Print("");
  EXPECT_EQ(console.cursorCol, 42);
  EXPECT_EQ(console.cursorRow, 1);
}

TEST(ConsoleScreen, GotoCellOffTheGridStaysOnTheGrid) {
  MemoryConsole console;
  console.GotoCell(100, 30);
  EXPECT_EQ(console.PixelColumn(), 79);
  EXPECT_EQ(console.PixelRow(), 24);
  console.GotoCell(-5, -1);
  EXPECT_EQ(console.cursorX, 0);
  EXPECT_EQ(console.cursorY, 0);
}

TEST(ConsoleScreen, ScrollUpMovesCharactersWithTheirColoursAndBlanksTheLastRow) {
  MemoryConsole console;
  console.textColor = Red;
  console.backColor = Blue;
  console.GotoCell(5, 1);
  console.Print("one");
  console.GotoCell(0, 24);
  console.Print("last");
  console.textColor = 0x123456;
  console.backColor = 0x654321;
  console.ForgetCalls();

  console.ScrollUp();

  EXPECT_EQ(console.RowText(0).substr(5, 3), "one");
  EXPECT_EQ(console.TextAt(5, 0), Red);
  EXPECT_EQ(console.BackAt(5, 0), Blue);
  EXPECT_EQ(console.RowText(23).substr(0, 4), "last");
  EXPECT_EQ(console.BackAt(0, 23), Blue);
  EXPECT_TRUE(console.RowIsBlankDefault(24));
  EXPECT_TRUE(console.RowIsBlankDefault(1));
  EXPECT_EQ(console.repaints, 0);
  EXPECT_TRUE(console.carets.empty());
}

// Typed characters: from a cell cursor, what is stored where, where the cursor ends.
struct TypedCase {
  const char* name;
  int startColumn;
  int startRow;
  int ch;
  int storedColumn;  // -1: nothing stored
  int storedRow;
  char stored;
  int endColumn;
  int endRow;
  int scrolls;
};

class TypingRules : public testing::TestWithParam<TypedCase> {};

TEST_P(TypingRules, StoreMoveAndScroll) {
  const TypedCase& c = GetParam();
  MemoryConsole console;
  console.PutCursor(c.startColumn, c.startRow);
  console.textColor = Red;
  console.backColor = Blue;

  EXPECT_TRUE(console.OnCharInput(c.ch));

  int storedCells = 0;
  for (int r = 0; r < FormWinMsDos::Rows; ++r) {
    for (int col = 0; col < FormWinMsDos::Columns; ++col) storedCells += console.At(col, r) != ' ';
  }
  if (c.storedColumn < 0) {
    EXPECT_EQ(storedCells, 0);
    EXPECT_TRUE(console.refreshes.empty());
  } else {
    EXPECT_EQ(storedCells, 1);
    EXPECT_EQ(console.At(c.storedColumn, c.storedRow), c.stored);
    EXPECT_EQ(console.TextAt(c.storedColumn, c.storedRow), Red);
    EXPECT_EQ(console.BackAt(c.storedColumn, c.storedRow), Blue);
    ASSERT_EQ(console.refreshes.size(), 1u);
    EXPECT_EQ(console.refreshes[0].ch, static_cast<unsigned char>(c.stored));
  }
  EXPECT_EQ(console.cursorCol, c.endColumn);
  EXPECT_EQ(console.cursorRow, c.endRow);
  EXPECT_EQ(console.cursorX, c.endColumn * CellW);
  EXPECT_EQ(console.cursorY, c.endRow * CellH);
  EXPECT_EQ(console.repaints, c.scrolls);
}

INSTANTIATE_TEST_SUITE_P(
    Console, TypingRules,
    testing::Values(
        TypedCase{"Letter", 3, 2, 'A', 3, 2, 'A', 4, 2, 0},
        TypedCase{"LowByteOfAWideCode", 3, 2, 0x141, 3, 2, 'A', 4, 2, 0},
        TypedCase{"LetterAtTheLastCellScrolls", 79, 24, 'z', 79, 23, 'z', 0, 24, 1},
        TypedCase{"LetterAtColumn79Wraps", 79, 5, 'k', 79, 5, 'k', 0, 6, 0},
        TypedCase{"EnterMidScreen", 10, 5, 13, -1, 0, 0, 0, 6, 0},
        TypedCase{"EnterOnTheLastRowScrolls", 10, 24, 13, -1, 0, 0, 0, 24, 1},
        TypedCase{"TabAtColumn3", 3, 4, 9, -1, 0, 0, 11, 4, 0},
        TypedCase{"TabAtColumn75Wraps", 75, 4, 9, -1, 0, 0, 0, 5, 0},
        TypedCase{"TabOnTheLastRowPastTheEndScrolls", 75, 24, 9, -1, 0, 0, 0, 24, 1}),
    [](const testing::TestParamInfo<TypedCase>& info) { return std::string(info.param.name); });

TEST(ConsoleTyping, BackspaceAtColumnZeroChangesNothing) {
  MemoryConsole console;
  console.PutCursor(0, 6);
  console.OnCharInput(8);
  EXPECT_EQ(console.cursorCol, 0);
  EXPECT_EQ(console.cursorRow, 6);
  EXPECT_TRUE(console.carets.empty());
  EXPECT_TRUE(console.refreshes.empty());
}

TEST(ConsoleTyping, BackspaceBlanksThePreviousCellInTheDefaultColours) {
  MemoryConsole console;
  console.textColor = Red;
  console.backColor = Blue;
  console.GotoCell(0, 3);
  console.Print("abcde");
  console.ForgetCalls();

  console.OnCharInput(8);

  EXPECT_EQ(console.RowText(3).substr(0, 6), "abcd  ");
  EXPECT_EQ(console.TextAt(4, 3), White);
  EXPECT_EQ(console.BackAt(4, 3), Black);
  EXPECT_EQ(console.BackAt(3, 3), Blue);
  EXPECT_EQ(console.cursorCol, 4);
  EXPECT_EQ(console.cursorX, 4 * CellW);
  EXPECT_EQ(console.refreshes, (std::vector<CellRefresh>{{4, 3, ' '}}));
}

TEST(ConsoleTyping, TabKeepsTheCellsItPasses) {
  MemoryConsole console;
  console.GotoCell(0, 2);
  console.Print("0123456789");
  console.PutCursor(1, 2);
  console.OnCharInput(9);
  EXPECT_EQ(console.RowText(2).substr(0, 10), "0123456789");
  EXPECT_EQ(console.cursorCol, 9);
}

TEST(ConsoleTyping, ATypedCharacterIsPaintedWhereItIsStoredAfterGotoCell) {
  MemoryConsole console;
  console.PutCursor(2, 2);
  console.GotoCell(42, 1);
  console.ForgetCalls();

  console.OnCharInput('w');

  EXPECT_EQ(console.At(2, 2), 'w');
  EXPECT_EQ(console.At(42, 1), ' ');
  EXPECT_EQ(console.refreshes, (std::vector<CellRefresh>{{2, 2, 'w'}}));
  EXPECT_EQ(console.cursorCol, 3);
  EXPECT_EQ(console.cursorX, 3 * CellW);
}

TEST(ConsoleTyping, KeyWaitHandsEveryCharacterToOnKeyReadAndStoresNothing) {
  MemoryConsole console;
  console.PutCursor(5, 5);
  console.endWaitOnRead = false;
  console.waitingKey = true;

  for (int ch : {int{'a'}, 13, 8, 27}) EXPECT_TRUE(console.OnCharInput(ch));

  EXPECT_EQ(console.hooks, (std::vector<std::string>{"read 97", "read 13", "read 8", "read 27"}));
  EXPECT_EQ(console.lastKey, 27);
  EXPECT_TRUE(console.waitingKey);
  for (int r = 0; r < FormWinMsDos::Rows; ++r) EXPECT_TRUE(console.RowIsBlankDefault(r)) << r;
  EXPECT_EQ(console.cursorCol, 5);
  EXPECT_EQ(console.cursorX, 5 * CellW);
  EXPECT_TRUE(console.carets.empty());
  EXPECT_TRUE(console.refreshes.empty());
}

TEST(ConsoleTyping, ATrueOnKeyReadEndsTheWaitAndTheNextCharacterIsEchoed) {
  MemoryConsole console;
  console.waitingKey = true;
  console.OnCharInput('a');
  EXPECT_FALSE(console.waitingKey);
  console.OnCharInput('b');
  EXPECT_EQ(console.At(0, 0), 'b');
  EXPECT_EQ(console.hooks, (std::vector<std::string>{"read 97"}));
}

TEST(ConsoleTyping, TheBaseOnKeyReadEndsTheWaitAtTheFirstCharacter) {
  class PlainConsole : public FormWinMsDos {
   public:
    PlainConsole() : FormWinMsDos(nullptr, "plain", WithoutWindow{CellW, CellH}) {}
  } console;
  console.waitingKey = true;
  console.OnCharInput('q');
  EXPECT_FALSE(console.waitingKey);
  EXPECT_EQ(console.lastKey, 'q');
  EXPECT_EQ(console.cellChars[0], ' ');
}

struct KeyDownCase {
  int key;
  std::vector<std::string> hooks;
};

TEST(ConsoleKeys, KeyDownDispatchesEscAndTheArrowsOnly) {
  const KeyDownCase cases[] = {{27, {"escape"}}, {37, {"left"}}, {38, {"up"}}, {39, {"right"}},
                               {40, {"down"}},   {13, {}},       {65, {}},     {9, {}}};
  for (const KeyDownCase& c : cases) {
    MemoryConsole console;
    console.OnKeyDownInput(c.key);
    EXPECT_EQ(console.hooks, c.hooks) << "key " << c.key;
  }
}

TEST(ConsoleKeys, EscWithoutKeyWaitIsEchoedAfterOnEscape) {
  MemoryConsole console;
  console.OnKeyDownInput(27);
  console.OnCharInput(27);
  EXPECT_EQ(console.hooks, (std::vector<std::string>{"escape"}));
  EXPECT_EQ(console.cellChars[0], 27);
}

TEST(ConsoleKeys, EscInKeyWaitGoesToOnEscapeThenOnKeyRead) {
  MemoryConsole console;
  console.waitingKey = true;
  console.OnKeyDownInput(27);
  console.OnCharInput(27);
  EXPECT_EQ(console.hooks, (std::vector<std::string>{"escape", "read 27"}));
  EXPECT_EQ(console.cellChars[0], ' ');
}

TEST(ConsoleScreen, PrintInDefaultColoursRestoresTheCurrentColours) {
  MemoryConsole console;
  console.textColor = Red;
  console.backColor = Blue;
  console.PrintInDefaultColors("ab");
  console.PrintProgress(7);
  EXPECT_EQ(console.RowText(0).substr(0, 6), "ab7/60");
  EXPECT_EQ(console.TextAt(0, 0), White);
  EXPECT_EQ(console.BackAt(5, 0), Black);
  EXPECT_EQ(console.textColor, Red);
  EXPECT_EQ(console.backColor, Blue);
}

TEST(ConsoleMenus, ForwardMenuCommandReachesTheConsoleAboveTheItem) {
  MemoryConsole console;
  auto* bar = new TivraUtility::MenuBar(&console);
  auto* menu = new TivraUtility::Menu("&Menu", bar);
  auto* item = new TivraUtility::SubMenu(menu, "&Item");

  TivraUtility::ForwardMenuCommand(item);
  EXPECT_EQ(console.menuItems, (std::vector<TivraUtility::SubMenu*>{item}));

  auto* loose = new TivraUtility::SubMenu(nullptr, "&Loose");
  TivraUtility::ForwardMenuCommand(loose);
  TivraUtility::ForwardMenuCommand(nullptr);
  EXPECT_EQ(console.menuItems.size(), 1u);

  delete loose;
  delete item;
  delete menu;
  delete bar;
}

}  // namespace
