// The whole program as the entry runs it: the form, the message loop fed through SendInput, the
// ways the window closes, the Home command.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/FormZerlo.h"
#include "app/QuestionBank.h"
#include "toolkit/dispatch/Menus.h"
#include "toolkit/elements/Form.h"
#include "toolkit/elements/HotKeys.h"
#include "tests/support/key_script.h"

#ifndef _WIN32
#include <zerlo/headless.h>
#endif

namespace {

using Zerlo::FormZerlo;

// ---- What a run saw -------------------------------------------------------------------------

struct Snapshot {
  bool taken = false;
  int questionIndex = -1;
  int selection = 0;
  int score = -1;
  std::int64_t startTime = 0;
  double elapsedSeconds = -1;
  std::array<unsigned char, 2000> chars{};
  std::array<COLORREF, 2000> backs{};
  std::string Row(int row) const {
    return std::string(chars.begin() + row * 80, chars.begin() + row * 80 + 80);
  }
};

Snapshot Take(FormZerlo* form) {
  Snapshot s;
  s.taken = true;
  s.questionIndex = form->questionIndex;
  s.selection = form->selection;
  s.score = form->score;
  s.startTime = form->startTime;
  s.elapsedSeconds = form->elapsedSeconds;
  s.chars = form->cellChars;
  s.backs = form->cellBackColors;
  return s;
}

// The spies sit in front of the console's own callbacks, so every key and the close request
// still take the program's normal road.
struct Spies {
  FormZerlo* form = nullptr;
  TivraUtility::CharCallback onChar = nullptr;
  TivraUtility::KeyCallback onKeyDown = nullptr;
  TivraUtility::CloseCallback onClose = nullptr;
  Snapshot atRestart;      // just before the first R or r is handled
  Snapshot atEscape;       // just before Esc is handled
  Snapshot afterDown;      // after the first Down was handled
  Snapshot afterHome;      // after the Home command ran (sent right after the first Down)
  Snapshot atClose;        // when the window was asked to close
  int closeRequests = 0;
  bool homeAfterDown = false;
  bool exitAfterFirstChar = false;
  int chars = 0;
};
Spies spies;

bool SpyChar(TivraUtility::GUIElement* element, UINT ch) {
  if ((ch == 'r' || ch == 'R') && !spies.atRestart.taken) spies.atRestart = Take(spies.form);
  if (ch == 27 && !spies.atEscape.taken) spies.atEscape = Take(spies.form);
  const bool result = spies.onChar(element, ch);
  if (++spies.chars == 1 && spies.exitAfterFirstChar) {
    PostMessageW(spies.form->handle, WM_COMMAND, MAKEWPARAM(spies.form->exitItem->id, 0), 0);
  }
  return result;
}

int SpyKeyDown(TivraUtility::GUIElement* element, UINT key) {
  const int result = spies.onKeyDown(element, key);
  if (key == VK_DOWN && !spies.afterDown.taken) {
    spies.afterDown = Take(spies.form);
    if (spies.homeAfterDown) {
      SendMessageW(spies.form->handle, WM_COMMAND, MAKEWPARAM(spies.form->homeItem->id, 0), 0);
      spies.afterHome = Take(spies.form);
    }
  }
  return result;
}

bool SpyClose(TivraUtility::GUIElement* element) {
  ++spies.closeRequests;
  if (!spies.atClose.taken) spies.atClose = Take(spies.form);
  return spies.onClose(element);
}

void InstallSpies(FormZerlo* form) {
  spies.form = form;
  spies.onChar = form->onChar;
  spies.onKeyDown = form->onKeyDown;
  spies.onClose = form->onClose;
  form->onChar = SpyChar;
  form->onKeyDown = SpyKeyDown;
  form->onClose = SpyClose;
}

// ---- Input ----------------------------------------------------------------------------------

std::vector<INPUT> script;

void Press(WORD vk) { zerlo_test::AppendKeyPress(script, vk); }

// The first key of the script is offered from the running loop until the program has taken it
// (the intro has gone); then the rest follows in one batch. A window that has just appeared may
// not own the keyboard yet, and input sent before it does is lost; repeats of the first key land
// on question 1, where a typed character other than Enter and Esc changes nothing.
void CALLBACK OfferInput(HWND window, UINT, UINT_PTR timer, DWORD) {
  if (spies.form->questionIndex == 0) {
    SendInput(2, script.data(), sizeof(INPUT));
    return;
  }
  KillTimer(window, timer);
  if (script.size() > 2) {
    SendInput(static_cast<UINT>(script.size() - 2), script.data() + 2, sizeof(INPUT));
  }
}

void SendScript(FormZerlo* form) {
  SetForegroundWindow(form->handle);
  SetFocus(form->handle);
  SetTimer(form->handle, 1, 10, OfferInput);
}

std::vector<std::string> opened;
#ifdef _WIN32
bool RecordOpen(const std::string& target) {
  opened.push_back(target);
  return true;
}
#endif

std::int64_t clockNow = 0;
std::int64_t SteppingClock() {
  const std::int64_t now = clockNow;
  clockNow += 3725;  // question 1 at t, the results at t + 3725
  return now;
}

class ProgramEntry : public testing::Test {
 protected:
  void SetUp() override {
    spies = Spies{};
    script.clear();
    opened.clear();
    clockNow = 1'700'000'000;
    Zerlo::CalendarClock = SteppingClock;
#ifdef _WIN32
    // No browser is started by the tests on Windows: the shell request is recorded here.
    Zerlo::ShellOpen = RecordOpen;
#else
    zerlo::headless::ClearShellRequests();
#endif
    // Each run's window is the program's main window, as in a process of its own.
    TivraUtility::MainWindow = nullptr;
  }
  void TearDown() override {
    Zerlo::CalendarClock = Zerlo::SystemCalendarClock;
    Zerlo::ShellOpen = TivraUtility::OpenDocument;
  }
  static int Run(void (*started)(FormZerlo*)) {
    return Zerlo::RunProgram(GetModuleHandleW(nullptr), started);
  }
};

TEST_F(ProgramEntry, AWholeRunThenRThenEscEndsTheProgram) {
  Press('X');  // any key leaves the intro
  int expectedScore = 0;
  for (int k = 1; k <= Zerlo::QuestionCount; ++k) {
    const int right = Zerlo::QuestionBank[k - 1].right;
    const bool answerRight = k % 4 != 0;  // three in four right: 45
    const int chosen = answerRight ? right : right % 4 + 1;
    expectedScore += answerRight;
    for (int i = 1; i < chosen; ++i) Press(VK_DOWN);
    Press(VK_RETURN);
  }
  Press('R');
  Press(VK_ESCAPE);

  const int result = Run([](FormZerlo* form) {
    InstallSpies(form);
    SendScript(form);
  });

  EXPECT_EQ(result, 0);
  ASSERT_TRUE(spies.atRestart.taken) << "R never arrived";
  EXPECT_EQ(expectedScore, 45);
  EXPECT_EQ(spies.atRestart.questionIndex, 61);
  EXPECT_EQ(spies.atRestart.score, 45);
  EXPECT_DOUBLE_EQ(spies.atRestart.elapsedSeconds, 3725.0);
  EXPECT_EQ(spies.atRestart.Row(4).substr(0, 24), "  Numero Test:        60");
  EXPECT_EQ(spies.atRestart.Row(6).substr(0, 36), "  Risposte esatte:    45       (75%)");
  EXPECT_EQ(spies.atRestart.Row(7).substr(0, 24), "  Risposte sbagliate: 15");
  EXPECT_EQ(spies.atRestart.Row(8).substr(0, 30), "  Tempo trascorso:    01:02:05");
  ASSERT_TRUE(spies.atEscape.taken);
  EXPECT_EQ(spies.atEscape.questionIndex, 0);  // R went back to the intro
  EXPECT_EQ(spies.atEscape.score, 0);
  EXPECT_EQ(spies.closeRequests, 1);
}

TEST_F(ProgramEntry, TheExitCommandEndsTheProgram) {
  Press('X');
  spies.exitAfterFirstChar = true;
  const int result = Run([](FormZerlo* form) {
    InstallSpies(form);
    SendScript(form);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(spies.closeRequests, 1);
  EXPECT_EQ(spies.atClose.questionIndex, 1);
}

TEST_F(ProgramEntry, TheCloseBoxEndsTheProgram) {
  const int result = Run([](FormZerlo* form) {
    InstallSpies(form);
    PostMessageW(form->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(spies.closeRequests, 1);
  EXPECT_EQ(spies.atClose.questionIndex, 0);
}

TEST_F(ProgramEntry, HomeOpensTheHomePageAndLeavesTheQuestionAsItWas) {
  Press('X');
  Press(VK_DOWN);
  Press(VK_ESCAPE);
  spies.homeAfterDown = true;
  const int result = Run([](FormZerlo* form) {
    InstallSpies(form);
    SendScript(form);
  });
  EXPECT_EQ(result, 0);
#ifdef _WIN32
  EXPECT_EQ(opened, (std::vector<std::string>{Zerlo::HomePageAddress}));
#else
  // The real shell-open road, recorded by the headless screen.
  const auto requests = zerlo::headless::ShellRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].verb, L"open");
  EXPECT_EQ(requests[0].target, L"https://zerlo.example/");
#endif
  ASSERT_TRUE(spies.afterHome.taken);
  EXPECT_EQ(spies.afterHome.questionIndex, 1);
  EXPECT_EQ(spies.afterHome.selection, 2);
  EXPECT_EQ(spies.afterHome.startTime, spies.afterDown.startTime);
  EXPECT_EQ(spies.afterHome.chars, spies.afterDown.chars);
  EXPECT_EQ(spies.afterHome.backs, spies.afterDown.backs);
  EXPECT_EQ(spies.atEscape.selection, 2);
}

}  // namespace
