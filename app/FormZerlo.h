// Zerlo's only window: the console form that gives the 60-question test. It shows the intro,
// then each question with a green highlight that Up and Down move and Enter confirms, then the
// results; R repeats, Esc closes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "toolkit/console/FormWinMsDos.h"

namespace TivraUtility {
class MenuBar;
class Menu;
class SubMenu;
}  // namespace TivraUtility

namespace Zerlo {

// The window's caption.
inline constexpr const char* WindowTitle = "Zerlo01";
// The product's home page, opened by the Home command.
inline constexpr const char* HomePageAddress = "https://zerlo.example/";

// Calendar time in whole seconds since the epoch; std::time unless replaced (tests replace it).
using CalendarClockFunction = std::int64_t (*)();
extern CalendarClockFunction CalendarClock;
std::int64_t SystemCalendarClock();

// Hands an address to the shell; TivraUtility::OpenDocument unless replaced.
using ShellOpenFunction = bool (*)(const std::string& target);
extern ShellOpenFunction ShellOpen;

class FormZerlo : public TivraUtility::FormWinMsDos {
 public:
  FormZerlo(HINSTANCE instance, std::string title);
  // Deletes the menu elements the form built; the window has closed by now or closes in the
  // console form's destructor.
  ~FormZerlo() override;

  void OnArrowUp() override;
  void OnArrowDown() override;
  void OnStart() override;
  bool OnKeyRead(int ch) override;  // always false: the key wait never ends
  void OnMenuCommand(TivraUtility::SubMenu* item) override;

  // Shows the next question of the bank or, after the 60th, the results.
  void NextQuestion();

  // Screens.
  void ShowIntro();
  void ShowQuestion(const char* question, const char* a, const char* b, const char* c,
                    const char* d, int right);
  void ShowQuestionHeader(const char* question);
  void ShowAnswerA(const char* answer);
  void ShowAnswerB(const char* answer);
  void ShowAnswerC(const char* answer);
  void ShowAnswerD(const char* answer);
  void HighlightAnswer(int n, const char* a, const char* b, const char* c, const char* d);
  void ShowResults(double elapsed, int rightAnswers);
  // The four block letters of the title word, each with the pass colour and its origin.
  void DrawTitleGlyphQ(COLORREF color, int column, int row);
  void DrawTitleGlyphU(COLORREF color, int column, int row);
  void DrawTitleGlyphI(COLORREF color, int column, int row);
  void DrawTitleGlyphZ(COLORREF color, int column, int row);

  void BuildMenu();

  int score = 0;
  std::int64_t startTime = 0;
  std::int64_t endTime = 0;
  double elapsedSeconds = 0.0;
  int questionIndex = 0;  // 0 intro, 1..60 the question on screen, 61 results
  int rightAnswer = -1;
  const char* answerA = nullptr;
  const char* answerB = nullptr;
  const char* answerC = nullptr;
  const char* answerD = nullptr;
  int selection = -1;  // 1..4 while a question awaits its answer, -1 otherwise
  TivraUtility::MenuBar* menuBar = nullptr;
  TivraUtility::Menu* fileMenu = nullptr;
  TivraUtility::SubMenu* exitItem = nullptr;
  TivraUtility::Menu* helpMenu = nullptr;
  TivraUtility::SubMenu* homeItem = nullptr;

 protected:
  // The test on an in-memory console with no window (see FormWinMsDos).
  FormZerlo(HINSTANCE instance, std::string title, WithoutWindow cell);

 private:
  void StartSequence();
  void ShowAnswer(int row, const char* label, const char* answer);
  void DrawGlyph(const char* const* shape, int width, COLORREF color, int column, int row);
};

// The program: the form, its message loop until the window is closed, the form's deletion.
// Returns 0. `started`, when given, runs once the form exists and before the loop (tests feed
// their input there).
int RunProgram(HINSTANCE instance, void (*started)(FormZerlo* form) = nullptr);

}  // namespace Zerlo
