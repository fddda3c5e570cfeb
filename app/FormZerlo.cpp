#include "app/FormZerlo.h"

#include <cstdio>
#include <ctime>
#include <utility>

#include "app/QuestionBank.h"
#include "toolkit/dispatch/Menus.h"
#include "toolkit/elements/HotKeys.h"

namespace Zerlo {

std::int64_t SystemCalendarClock() { return static_cast<std::int64_t>(std::time(nullptr)); }

CalendarClockFunction CalendarClock = SystemCalendarClock;
ShellOpenFunction ShellOpen = TivraUtility::OpenDocument;

namespace {

constexpr COLORREF White = 0xFFFFFF;
constexpr COLORREF Black = 0x000000;
constexpr COLORREF Red = 0x0000FF;
constexpr COLORREF Green = 0x00FF00;
constexpr COLORREF Blue = 0xFF0000;
constexpr COLORREF LightGrey = 0xD3D3D3;
constexpr COLORREF Magenta = 0xFF00FF;

constexpr int Enter = 13;
constexpr int Escape = 27;

// The title word's block letters, row by row ('#' a coloured cell), 14 rows each.
constexpr int GlyphRows = 14;
constexpr const char* GlyphQ[GlyphRows] = {
    "  ########  ", " ########## ", "###      ###", "###      ###", "###      ###",
    "###      ###", "###      ###", "###      ###", "###  ##  ###", "###   ## ###",
    "###    #####", " ########## ", "  ##########", "          ##"};
constexpr const char* GlyphU[GlyphRows] = {
    "###     ###", "###     ###", "###     ###", "###     ###", "###     ###",
    "###     ###", "###     ###", "###     ###", "###     ###", "###     ###",
    "###     ###", "####   ####", " ######### ", "  #######  "};
constexpr const char* GlyphI[GlyphRows] = {
    "#####", "#####", " ### ", " ### ", " ### ", " ### ", " ### ",
    " ### ", " ### ", " ### ", " ### ", " ### ", "#####", "#####"};
constexpr const char* GlyphZ[GlyphRows] = {
    "############", "############", "        ####", "       #### ", "      ####  ",
    "     ####   ", "    ####    ", "   ####     ", "  ####      ", " ####       ",
    "####        ", "###         ", "############", "############"};

}  // namespace

FormZerlo::FormZerlo(HINSTANCE instance, std::string title)
    : FormWinMsDos(instance, std::move(title)) {
  menuBar = nullptr;
  fileMenu = nullptr;
  exitItem = nullptr;
  helpMenu = nullptr;
  homeItem = nullptr;
  BuildMenu();
  StartSequence();
}

FormZerlo::FormZerlo(HINSTANCE instance, std::string title, WithoutWindow cell)
    : FormWinMsDos(instance, std::move(title), cell) {
  BuildMenu();
  StartSequence();
}

FormZerlo::~FormZerlo() {
  // Items first, then their menus, then the bar; each leaves the element registry.
  delete homeItem;
  delete helpMenu;
  delete exitItem;
  delete fileMenu;
  delete menuBar;
}

void FormZerlo::BuildMenu() {
  using namespace TivraUtility;
  menuBar = new MenuBar(this);
  fileMenu = new Menu("&File", menuBar);
  exitItem = new SubMenu(fileMenu, "&Esci\tEsc");
  exitItem->onCommand = ForwardMenuCommand;
  helpMenu = new Menu("&?", menuBar);
  homeItem = new SubMenu(helpMenu, "&Home");
  homeItem->onCommand = ForwardMenuCommand;
  // Builds the native bar and attaches it to the window (nothing happens without a window).
  menuBar->Create();
}

void FormZerlo::StartSequence() {
  questionIndex = 0;
  rightAnswer = -1;
  selection = -1;
  answerA = answerB = answerC = answerD = nullptr;
  score = 0;
  ShowIntro();
}

void FormZerlo::OnStart() { StartSequence(); }

bool FormZerlo::OnKeyRead(int ch) {
  if (ch == Escape) {
    RequestClose();
    return false;
  }
  if (ch == Enter && selection >= 1 && selection <= 4) {
    if (selection == rightAnswer) ++score;
    selection = -1;
  }
  if (selection == -1) {
    HideConsoleCaret();
    if (questionIndex <= QuestionCount) {
      Clear();
      NextQuestion();
    } else if (ch == 'R' || ch == 'r') {
      OnStart();
    }
  }
  return false;
}

void FormZerlo::NextQuestion() {
  if (questionIndex >= 0 && questionIndex < QuestionCount) {
    const QuestionEntry& entry = QuestionBank[questionIndex];
    if (questionIndex == 0) startTime = CalendarClock();
    ShowQuestion(entry.question, entry.answers[0], entry.answers[1], entry.answers[2],
                 entry.answers[3], entry.right);
    return;
  }
  endTime = CalendarClock();
  elapsedSeconds = std::difftime(static_cast<std::time_t>(endTime), static_cast<std::time_t>(startTime));
  ShowResults(elapsedSeconds, score);
  questionIndex = QuestionCount + 1;
}

void FormZerlo::OnArrowUp() {
  if (!waitingKey || selection < 1) return;
  --selection;
  if (selection < 1) selection = 4;
  HighlightAnswer(selection, answerA, answerB, answerC, answerD);
}

void FormZerlo::OnArrowDown() {
  if (!waitingKey || selection < 1) return;
  ++selection;
  if (selection > 4) selection = 1;
  HighlightAnswer(selection, answerA, answerB, answerC, answerD);
}

void FormZerlo::OnMenuCommand(TivraUtility::SubMenu* item) {
  if (item == nullptr) return;
  if (exitItem != nullptr && item->id == exitItem->id) {
    RequestClose();
  } else if (homeItem != nullptr && item->id == homeItem->id) {
    if (ShellOpen != nullptr) ShellOpen(HomePageAddress);
  }
}

// ---- Question and results screens --------------------------------------------------------

void FormZerlo::ShowQuestionHeader(const char* question) {
  HideConsoleCaret();
  GotoCell(42, 1);
  PrintInDefaultColors("ESC  ..per uscire");
  GotoCell(1, 1);
  ++questionIndex;
  PrintProgress(questionIndex);
  GotoCell(4, 4);
  PrintInDefaultColors(question);
}

void FormZerlo::ShowAnswer(int row, const char* label, const char* answer) {
  GotoCell(4, row);
  PrintInDefaultColors(label);
  char buffer[256] = {};
  std::snprintf(buffer, sizeof buffer, " %-15s ", answer != nullptr ? answer : "");
  Print(buffer);
}

void FormZerlo::ShowAnswerA(const char* answer) { ShowAnswer(7, "a) ", answer); }
void FormZerlo::ShowAnswerB(const char* answer) { ShowAnswer(8, "b) ", answer); }
void FormZerlo::ShowAnswerC(const char* answer) { ShowAnswer(9, "c) ", answer); }
void FormZerlo::ShowAnswerD(const char* answer) { ShowAnswer(10, "d) ", answer); }

void FormZerlo::ShowQuestion(const char* question, const char* a, const char* b, const char* c,
                             const char* d, int right) {
  ShowQuestionHeader(question);
  ShowAnswerA(a);
  ShowAnswerB(b);
  ShowAnswerC(c);
  ShowAnswerD(d);
  answerA = a;
  answerB = b;
  answerC = c;
  answerD = d;
  GotoCell(1, 24);
  Print("[Freccia SU] e [Freccia GIU'] per selezionare. [INVIO] per confermare.");
  HighlightAnswer(1, a, b, c, d);
  rightAnswer = right;
}

void FormZerlo::HighlightAnswer(int n, const char* a, const char* b, const char* c,
                                const char* d) {
  selection = n;
  const COLORREF savedText = textColor;
  const COLORREF savedBack = backColor;
  const auto show = [&](int answer) {
    switch (answer) {
      case 1: ShowAnswerA(a); break;
      case 2: ShowAnswerB(b); break;
      case 3: ShowAnswerC(c); break;
      case 4: ShowAnswerD(d); break;
      default: break;
    }
  };
  if (n >= 1 && n <= 4) {
    // The two neighbours of n in the cyclic order a) b) c) d) go back to plain, a) first when
    // d) is highlighted; then n is drawn highlighted.
    const int before = n == 1 ? 4 : n - 1;
    const int after = n == 4 ? 1 : n + 1;
    show(n == 4 ? after : before);
    show(n == 4 ? before : after);
    textColor = Black;
    backColor = Green;
    show(n);
  }
  textColor = savedText;
  backColor = savedBack;
}

void FormZerlo::ShowResults(double elapsed, int rightAnswers) {
  const int hours = static_cast<int>(elapsed / 3600.0);
  const double rest = elapsed - hours * 3600.0;
  const int minutes = static_cast<int>(rest / 60.0);
  const int seconds = static_cast<int>(rest - minutes * 60.0);

  Clear();
  const COLORREF savedText = textColor;
  const COLORREF savedBack = backColor;
  textColor = White;
  backColor = Blue;
  char blanks[81] = {};
  for (int i = 0; i < 80; ++i) blanks[i] = ' ';
  for (int row = 0; row < 24; ++row) Print(blanks);

  char buffer[256] = {};
  GotoCell(0, 4);
  std::snprintf(buffer, sizeof buffer, "  Numero Test:        %-6d\n\n", questionIndex);
  Print(buffer);
  const int percent = questionIndex != 0 ? rightAnswers * 100 / questionIndex : 0;
  std::snprintf(buffer, sizeof buffer, "  Risposte esatte:    %-6d   (%d", rightAnswers, percent);
  Print(buffer);
  Print("%)\n");
  std::snprintf(buffer, sizeof buffer, "  Risposte sbagliate: %-6d\n", questionIndex - rightAnswers);
  Print(buffer);
  std::snprintf(buffer, sizeof buffer, "  Tempo trascorso:    %02d:%02d:%02d\n", hours, minutes,
                seconds);
  Print(buffer);
  if (rightAnswers == questionIndex) Print("\n  Bravo!\n  Tutte le risposte sono esatte.\n");
  Print("\n\n  THE END\n");

  GotoCell(0, 24);
  textColor = defaultTextColor;
  backColor = backgroundColor;
  Print("Digita [R] per ripetere");
  textColor = savedText;
  backColor = savedBack;
  HideConsoleCaret();
}

// ---- Intro screen -------------------------------------------------------------------------

void FormZerlo::DrawGlyph(const char* const* shape, int width, COLORREF color, int column,
                          int row) {
  const COLORREF savedBack = backColor;
  backColor = color;
  char run[16] = {};
  for (int line = 0; line < GlyphRows; ++line) {
    int start = 0;
    while (start < width) {
      if (shape[line][start] != '#') {
        ++start;
        continue;
      }
      int end = start;
      while (end < width && shape[line][end] == '#') ++end;
      const int length = end - start;
      for (int i = 0; i < length; ++i) run[i] = ' ';
      run[length] = '\0';
      GotoCell(column + start, row + 5 + line);
      Print(run);
      start = end;
    }
  }
  backColor = savedBack;
}

void FormZerlo::DrawTitleGlyphQ(COLORREF color, int column, int row) {
  DrawGlyph(GlyphQ, 12, color, column + 2, row);
}
void FormZerlo::DrawTitleGlyphU(COLORREF color, int column, int row) {
  DrawGlyph(GlyphU, 11, color, column + 2, row);
}
void FormZerlo::DrawTitleGlyphI(COLORREF color, int column, int row) {
  DrawGlyph(GlyphI, 5, color, column + 5, row);
}
void FormZerlo::DrawTitleGlyphZ(COLORREF color, int column, int row) {
  DrawGlyph(GlyphZ, 12, color, column + 2, row);
}

void FormZerlo::ShowIntro() {
  const COLORREF savedText = textColor;
  const COLORREF savedBack = backColor;
  backColor = Blue;
  textColor = Red;
  Clear();
  HideConsoleCaret();

  DrawTitleGlyphQ(Black, 2, -2);
  DrawTitleGlyphQ(Red, 1, -3);
  DrawTitleGlyphU(Black, 17, -2);
  DrawTitleGlyphU(Red, 16, -3);
  DrawTitleGlyphI(Black, 32, -2);
  DrawTitleGlyphI(Red, 31, -3);
  DrawTitleGlyphZ(Black, 47, -2);
  DrawTitleGlyphZ(Red, 46, -3);

  GotoCell(41, 18);
  Print("D I   C U L T U R A   G E N E R A L E");

  static constexpr const char* NoticeRights = "(C) 2026";
  static constexpr const char* NoticeFirst = "Zerlo";
  static constexpr const char* NoticeSecond = "Team";
  textColor = LightGrey;
  GotoCell(65, 13);
  Print(NoticeRights);
  GotoCell(69, 14);
  Print(NoticeFirst);
  GotoCell(69, 15);
  Print(NoticeSecond);

  static constexpr const char* Explanation[3] = {
      "   Verranno presentati 60 quesiti di cultura generale.    ",
      "   Al termine dei quali verra' indicato il numero degli   ",
      "   eventuali errori commessi ed il tempo impiegato.       "};
  backColor = White;
  textColor = Magenta;
  for (int line = 0; line < 3; ++line) {
    GotoCell(10, 20 + line);
    Print(Explanation[line]);
  }

  backColor = Blue;
  textColor = White;
  GotoCell(1, 24);
  Print("Premere un tasto per iniziare...");

  textColor = savedText;
  backColor = savedBack;
  waitingKey = true;
}

}  // namespace Zerlo
