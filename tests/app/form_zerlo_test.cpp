// The test form on an in-memory console (no window): the run driven by key scripts, the results
// figures, and the screens compared with golden fixtures.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/FormZerlo.h"
#include "app/QuestionBank.h"
#include "toolkit/dispatch/Menus.h"
#include "toolkit/elements/HotKeys.h"

namespace {

using Zerlo::FormZerlo;
using Zerlo::QuestionBank;

constexpr int Esc = 27;
constexpr int Enter = 13;

// A clock that the test sets; no test sleeps.
std::int64_t fakeNow = 0;
std::int64_t FakeClock() { return fakeNow; }

class MemoryZerlo : public FormZerlo {
 public:
  MemoryZerlo() : FormZerlo(nullptr, Zerlo::WindowTitle, WithoutWindow{10, 19}) {}
  void RefreshCell(unsigned char) override { ++refreshes; }
  void RequestRepaint() override {}
  void PlaceCaret(int, int) override {}
  void RequestClose() override {
    ++closeRequests;
    FormZerlo::RequestClose();
  }

  // What the window procedure would do for a key: the key-down, then its character if it has one.
  void Key(int virtualKey, int ch) {
    OnKeyDownInput(virtualKey);
    if (ch != 0) OnCharInput(ch);
  }
  void Char(int ch) { Key(ch >= 'a' && ch <= 'z' ? ch - 32 : ch, ch); }
  void Up() { Key(VK_UP, 0); }
  void Down() { Key(VK_DOWN, 0); }
  // Moves the highlight from a) to answer n (1..4) and confirms it.
  void Answer(int n) {
    for (int i = 1; i < n; ++i) Down();
    Key(VK_RETURN, Enter);
  }

  std::string RowText(int row) const {
    std::string text;
    for (int c = 0; c < Columns; ++c) text += static_cast<char>(cellChars[CellIndex(c, row)]);
    return text;
  }

  int refreshes = 0;
  int closeRequests = 0;
};

class ZerloFormTest : public testing::Test {
 protected:
  void SetUp() override {
    Zerlo::CalendarClock = FakeClock;
    fakeNow = 1'000'000;
  }
  void TearDown() override { Zerlo::CalendarClock = Zerlo::SystemCalendarClock; }
};

// Answers every question: right ones where `right(k)` says so (k = 1..60), a wrong one elsewhere.
template <typename Pred>
void AnswerAll(MemoryZerlo& form, Pred right) {
  for (int k = 1; k <= Zerlo::QuestionCount; ++k) {
    const int correct = QuestionBank[k - 1].right;
    form.Answer(right(k) ? correct : correct % 4 + 1);
  }
}

// ---- The run as key scripts ---------------------------------------------------------------

// A script is a list of tokens: "up", "down", "enter", "esc", "right" (move to the right answer
// of the question on screen and confirm), "wrong" (confirm a wrong answer), "all-right"
// (answer every remaining question right), or a single character typed.
struct ScriptCase {
  const char* name;
  std::vector<std::string> script;
  int questionIndex;
  int selection;
  int score;
  int closeRequests;
  std::string row24;  // what row 24 starts with: tells the screen on show
};

void Play(MemoryZerlo& form, const std::vector<std::string>& script) {
  for (const std::string& token : script) {
    if (token == "up") {
      form.Up();
    } else if (token == "down") {
      form.Down();
    } else if (token == "enter") {
      form.Key(VK_RETURN, Enter);
    } else if (token == "esc") {
      form.Key(VK_ESCAPE, Esc);
    } else if (token == "right" || token == "wrong") {
      const int correct = QuestionBank[form.questionIndex - 1].right;
      form.Answer(token == "right" ? correct : correct % 4 + 1);
    } else if (token == "all-right") {
      for (int n = 0; n < Zerlo::QuestionCount && form.questionIndex >= 1 &&
                      form.questionIndex <= Zerlo::QuestionCount;
           ++n) {
        form.Answer(QuestionBank[form.questionIndex - 1].right);
      }
    } else {
      ASSERT_EQ(token.size(), 1u) << token;
      form.Char(static_cast<unsigned char>(token[0]));
    }
  }
}

const std::string IntroRow24 = " Premere un tasto per iniziare...";
const std::string QuestionRow24 = " [Freccia SU] e [Freccia GIU'] per selezionare.";
const std::string ResultsRow24 = "Digita [R] per ripetere";

class ZerloRun : public ZerloFormTest, public testing::WithParamInterface<ScriptCase> {};

TEST_P(ZerloRun, ScriptEndsInTheExpectedState) {
  const ScriptCase& c = GetParam();
  MemoryZerlo form;
  Play(form, c.script);
  EXPECT_EQ(form.questionIndex, c.questionIndex);
  EXPECT_EQ(form.selection, c.selection);
  EXPECT_EQ(form.score, c.score);
  EXPECT_EQ(form.closeRequests, c.closeRequests);
  EXPECT_EQ(form.RowText(24).substr(0, c.row24.size()), c.row24);
  EXPECT_TRUE(form.waitingKey);
}

INSTANTIATE_TEST_SUITE_P(
    Zerlo, ZerloRun,
    testing::Values(
        ScriptCase{"NothingTyped", {}, 0, -1, 0, 0, IntroRow24},
        ScriptCase{"ArrowsOnTheIntroDoNothing", {"up", "down", "down"}, 0, -1, 0, 0, IntroRow24},
        ScriptCase{"AnyCharacterStarts", {"x"}, 1, 1, 0, 0, QuestionRow24},
        ScriptCase{"EnterOnTheIntroStartsAndCountsNothing", {"enter"}, 1, 1, 0, 0, QuestionRow24},
        ScriptCase{"EnterConfirmsAnswerA", {"x", "enter"}, 2, 1, QuestionBank[0].right == 1, 0, QuestionRow24},
        ScriptCase{"UpWrapsFromAToD", {"x", "up"}, 1, 4, 0, 0, QuestionRow24},
        ScriptCase{"DownWrapsFromDToA", {"x", "up", "down"}, 1, 1, 0, 0, QuestionRow24},
        ScriptCase{"FourDownsComeBack", {"x", "down", "down", "down", "down"}, 1, 1, 0, 0, QuestionRow24},
        ScriptCase{"UpFromCToB", {"x", "down", "down", "up"}, 1, 2, 0, 0, QuestionRow24},
        ScriptCase{"OtherCharactersDuringAQuestionChangeNothing", {"x", "down", "R", "r", "5", "q", " ", "\t"}, 1, 2, 0, 0, QuestionRow24},
        ScriptCase{"RightAndWrongAnswersAreCounted", {"x", "right", "wrong", "right", "right"}, 5, 1, 3, 0, QuestionRow24},
        ScriptCase{"SixtyRightAnswersReachTheResults", {"x", "all-right"}, 61, -1, 60, 0, ResultsRow24},
        ScriptCase{"OtherCharactersOnTheResultsChangeNothing", {"x", "all-right", "x", "enter", "Q", "up", "down"}, 61, -1, 60, 0, ResultsRow24},
        ScriptCase{"CapitalRRestarts", {"x", "all-right", "R"}, 0, -1, 0, 0, IntroRow24},
        ScriptCase{"SmallRRestarts", {"x", "all-right", "r"}, 0, -1, 0, 0, IntroRow24},
        ScriptCase{"RestartThenStartAgain", {"x", "all-right", "r", "enter", "right"}, 2, 1, 1, 0, QuestionRow24},
        ScriptCase{"EscOnTheIntroCloses", {"esc"}, 0, -1, 0, 1, IntroRow24},
        ScriptCase{"EscOnAQuestionCloses", {"x", "down", "esc"}, 1, 2, 0, 1, QuestionRow24},
        ScriptCase{"EscOnTheResultsCloses", {"x", "all-right", "esc"}, 61, -1, 60, 1, ResultsRow24}),
    [](const testing::TestParamInfo<ScriptCase>& info) { return std::string(info.param.name); });

TEST_F(ZerloFormTest, EscClosesThroughTheCharacterOnlyNotTheKeyDown) {
  MemoryZerlo form;
  form.OnKeyDownInput(VK_ESCAPE);
  EXPECT_EQ(form.closeRequests, 0);
  form.OnCharInput(Esc);
  EXPECT_EQ(form.closeRequests, 1);
  EXPECT_FALSE(form.created);
}

TEST_F(ZerloFormTest, TimeRunsFromQuestionOneToTheResultsAndRestartsWithR) {
  MemoryZerlo form;
  fakeNow = 5000;
  form.Char('x');
  EXPECT_EQ(form.startTime, 5000);
  fakeNow = 5000 + 3725;
  AnswerAll(form, [](int) { return true; });
  EXPECT_EQ(form.endTime, 8725);
  EXPECT_DOUBLE_EQ(form.elapsedSeconds, 3725.0);
  EXPECT_EQ(form.RowText(8).substr(0, 30), "  Tempo trascorso:    01:02:05");

  fakeNow = 9000;
  form.Char('r');
  EXPECT_EQ(form.startTime, 5000);  // taken again only at the next question 1
  fakeNow = 9100;
  form.Char('y');
  EXPECT_EQ(form.startTime, 9100);
}

TEST_F(ZerloFormTest, HighlightMovesRedrawOnlyTheAnswerRows) {
  MemoryZerlo form;
  form.Char('x');
  const auto before = form.cellChars;
  const auto backBefore = form.cellBackColors;
  form.Up();
  EXPECT_EQ(form.cellChars, before);
  for (int r = 0; r < 25; ++r) {
    if (r == 7 || r == 10) continue;
    for (int c = 0; c < 80; ++c) {
      EXPECT_EQ(form.cellBackColors[r * 80 + c], backBefore[r * 80 + c]) << c << "," << r;
    }
  }
}

// ---- Results figures ------------------------------------------------------------------------

struct FiguresCase {
  int right;
  double elapsed;
  std::vector<std::string> rows;  // rows 4..14, trailing blanks trimmed
};

std::string Trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

TEST_F(ZerloFormTest, ResultsFiguresAndTimeSplit) {
  const FiguresCase cases[] = {
      {60, 0, {"  Numero Test:        60", "", "  Risposte esatte:    60       (100%)",
               "  Risposte sbagliate: 0", "  Tempo trascorso:    00:00:00", "",
               "  Bravo!", "  Tutte le risposte sono esatte.", "", "", "  THE END"}},
      {59, 3725, {"  Numero Test:        60", "", "  Risposte esatte:    59       (98%)",
                  "  Risposte sbagliate: 1", "  Tempo trascorso:    01:02:05", "", "", "  THE END",
                  "", "", ""}},
      {1, 360000, {"  Numero Test:        60", "", "  Risposte esatte:    1        (1%)",
                   "  Risposte sbagliate: 59", "  Tempo trascorso:    100:00:00", "", "",
                   "  THE END", "", "", ""}},
      {0, 59, {"  Numero Test:        60", "", "  Risposte esatte:    0        (0%)",
               "  Risposte sbagliate: 60", "  Tempo trascorso:    00:00:59", "", "", "  THE END",
               "", "", ""}},
  };
  for (const FiguresCase& c : cases) {
    MemoryZerlo form;
    form.questionIndex = 60;
    form.ShowResults(c.elapsed, c.right);
    for (size_t i = 0; i < c.rows.size(); ++i) {
      EXPECT_EQ(Trimmed(form.RowText(4 + static_cast<int>(i))), c.rows[i])
          << c.right << " right, row " << 4 + i;
    }
    EXPECT_EQ(form.textColor, 0xFFFFFFu);
    EXPECT_EQ(form.backColor, 0x000000u);
  }
}

// ---- Screens against golden fixtures --------------------------------------------------------

// Colour pairs of the screens, by letter.
struct ColourLetter {
  char letter;
  COLORREF text;
  COLORREF back;
  const char* meaning;
};
const ColourLetter Legend[] = {
    {'W', 0xFFFFFF, 0x000000, "white on black (cleared cell, default colours)"},
    {'G', 0x000000, 0x00FF00, "black on green (highlighted answer)"},
    {'B', 0xFFFFFF, 0xFF0000, "white on blue"},
    {'R', 0x0000FF, 0x0000FF, "red on red (title letter)"},
    {'K', 0x0000FF, 0x000000, "red on black (title shadow)"},
    {'S', 0x0000FF, 0xFF0000, "red on blue (subtitle)"},
    {'L', 0xD3D3D3, 0xFF0000, "light grey on blue (maker's notice)"},
    {'M', 0xFF00FF, 0xFFFFFF, "magenta on white (explanation)"},
};

char LetterOf(COLORREF text, COLORREF back) {
  for (const ColourLetter& l : Legend) {
    if (l.text == text && l.back == back) return l.letter;
  }
  return '?';
}

// The screen as the fixture shows it: 25 rows of characters between bars, then 25 rows of
// colour letters between bars, then the legend.
const char* const Ruler =
    "   0         1         2         3         4         5         6         7\n"
    "   01234567890123456789012345678901234567890123456789012345678901234567890123456789\n";

std::string Render(const MemoryZerlo& form, const std::string& title) {
  std::ostringstream out;
  out << title << '\n';
  out << "characters: 80 columns x 25 rows between the bars ('~' marks a byte outside 32..126)\n";
  out << Ruler;
  for (int r = 0; r < 25; ++r) {
    out << (r < 10 ? " " : "") << r << '|';
    for (int c = 0; c < 80; ++c) {
      const unsigned char ch = form.cellChars[r * 80 + c];
      out << (ch >= 32 && ch < 127 ? static_cast<char>(ch) : '~');
    }
    out << "|\n";
  }
  out << "colours: text on background, one letter per cell\n";
  out << Ruler;
  for (int r = 0; r < 25; ++r) {
    out << (r < 10 ? " " : "") << r << '|';
    for (int c = 0; c < 80; ++c) {
      out << LetterOf(form.cellTextColors[r * 80 + c], form.cellBackColors[r * 80 + c]);
    }
    out << "|\n";
  }
  out << "legend:\n";
  for (const ColourLetter& l : Legend) out << "  " << l.letter << " = " << l.meaning << '\n';
  out << "  ? = a colour pair not in this legend\n";
  return out.str();
}

std::string FixturePath(const std::string& name) {
  return std::string(ZERLO_FIXTURES_DIR) + "/" + name + ".screen";
}

void ExpectScreen(const MemoryZerlo& form, const std::string& name, const std::string& title) {
  const std::string actual = Render(form, title);
  const char* update = std::getenv("ZERLO_UPDATE_FIXTURES");
  if (update != nullptr && std::string(update) == "1") {
    std::ofstream(FixturePath(name), std::ios::binary) << actual;
    return;
  }
  std::ifstream in(FixturePath(name), std::ios::binary);
  ASSERT_TRUE(in.good()) << "missing fixture " << FixturePath(name);
  std::stringstream expected;
  expected << in.rdbuf();
  // Compare line by line so a failure names the row.
  std::istringstream a(actual), e(expected.str());
  std::string lineA, lineE;
  int line = 0;
  while (true) {
    const bool moreA = static_cast<bool>(std::getline(a, lineA));
    const bool moreE = static_cast<bool>(std::getline(e, lineE));
    ++line;
    if (!moreA && !moreE) break;
    ASSERT_EQ(moreA, moreE) << name << ": line count differs at line " << line;
    EXPECT_EQ(lineA, lineE) << name << ", line " << line;
  }
}

TEST_F(ZerloFormTest, IntroScreen) {
  MemoryZerlo form;
  ExpectScreen(form, "intro", "The intro screen, as the program starts");
  EXPECT_EQ(form.textColor, 0xFFFFFFu);
  EXPECT_EQ(form.backColor, 0x000000u);
}

TEST_F(ZerloFormTest, IntroAfterRestartIsTheSameScreen) {
  MemoryZerlo form;
  form.Char('x');
  AnswerAll(form, [](int k) { return k % 2 == 0; });
  form.Char('R');
  ExpectScreen(form, "intro", "The intro screen, as the program starts");
}

TEST_F(ZerloFormTest, QuestionOneAsFirstShown) {
  MemoryZerlo form;
  form.Char('x');
  ExpectScreen(form, "question01", "Question 1 as first shown: answer a) highlighted");
}

TEST_F(ZerloFormTest, QuestionOneAfterUp) {
  MemoryZerlo form;
  form.Char('x');
  form.Up();
  ExpectScreen(form, "question01_up", "Question 1 after Up: answer d) highlighted");
}

TEST_F(ZerloFormTest, QuestionFiftySixWithItsLongAnswers) {
  MemoryZerlo form;
  form.Char('x');
  while (form.questionIndex < 56) form.Answer(1);
  form.Down();
  ExpectScreen(form, "question56",
               "Question 56 after Down: answer b), 46 characters, highlighted over 48 cells");
}

TEST_F(ZerloFormTest, ResultsAllRight) {
  MemoryZerlo form;
  form.Char('x');
  AnswerAll(form, [](int) { return true; });
  ExpectScreen(form, "results60", "Results: 60 right answers in 0 seconds");
}

TEST_F(ZerloFormTest, ResultsFiftyNineRight) {
  MemoryZerlo form;
  form.Char('x');
  AnswerAll(form, [](int k) { return k != 17; });
  ExpectScreen(form, "results59", "Results: 59 right answers in 0 seconds");
}

TEST_F(ZerloFormTest, ResultsFortyFiveRightIn3725Seconds) {
  MemoryZerlo form;
  fakeNow = 2'000'000;
  form.Char('x');
  fakeNow += 3725;
  AnswerAll(form, [](int k) { return k > 15; });
  ExpectScreen(form, "results45", "Results: 45 right answers in 3725 seconds");
}

TEST_F(ZerloFormTest, ResultsNoneRight) {
  MemoryZerlo form;
  form.Char('x');
  AnswerAll(form, [](int) { return false; });
  ExpectScreen(form, "results00", "Results: 0 right answers in 0 seconds");
}

// ---- Menu commands --------------------------------------------------------------------------

std::vector<std::string> opened;
bool RecordOpen(const std::string& target) {
  opened.push_back(target);
  return true;
}

TEST_F(ZerloFormTest, MenuCommands) {
  MemoryZerlo form;
  ASSERT_NE(form.exitItem, nullptr);
  ASSERT_NE(form.homeItem, nullptr);
  EXPECT_NE(form.exitItem->id, form.homeItem->id);
  Zerlo::ShellOpen = RecordOpen;
  opened.clear();

  form.Char('x');
  form.Down();
  const auto chars = form.cellChars;
  const auto backs = form.cellBackColors;
  const std::int64_t start = form.startTime;
  TivraUtility::ForwardMenuCommand(form.homeItem);
  EXPECT_EQ(opened, (std::vector<std::string>{Zerlo::HomePageAddress}));
  EXPECT_EQ(form.selection, 2);
  EXPECT_EQ(form.questionIndex, 1);
  EXPECT_EQ(form.startTime, start);
  EXPECT_EQ(form.cellChars, chars);
  EXPECT_EQ(form.cellBackColors, backs);
  EXPECT_EQ(form.closeRequests, 0);

  TivraUtility::ForwardMenuCommand(form.exitItem);
  EXPECT_EQ(form.closeRequests, 1);
  EXPECT_EQ(opened.size(), 1u);
  Zerlo::ShellOpen = TivraUtility::OpenDocument;
}

}  // namespace
