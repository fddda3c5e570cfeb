// Costs of the test form on the headless screen: one keystroke (Down on a question: the highlight
// redrawn cell by cell, through to the window's pixels) and a whole scripted run. The same run on
// an in-memory console without a window is the baseline.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/FormZerlo.h"
#include "app/QuestionBank.h"
#include "toolkit/elements/Form.h"
#include "tests/support/key_script.h"

namespace {

using Zerlo::FormZerlo;

int clockReads = 0;
std::int64_t FixedClock() {
  ++clockReads;  // question 1 and the results each read the clock once
  return 1'700'000'000;
}

// The test form with no window at all: the baseline of the run.
class MemoryZerlo : public FormZerlo {
 public:
  MemoryZerlo() : FormZerlo(nullptr, Zerlo::WindowTitle, WithoutWindow{10, 19}) {}
};

void Key(FormZerlo& form, WPARAM vk, WPARAM ch) {
  if (form.handle != nullptr) {
    SendMessageW(form.handle, WM_KEYDOWN, vk, 0);
    if (ch != 0) SendMessageW(form.handle, WM_CHAR, ch, 0);
  } else {
    form.OnKeyDownInput(static_cast<int>(vk));
    if (ch != 0) form.OnCharInput(static_cast<int>(ch));
  }
}

// Any key, then the 60 answers (every fourth one wrong).
void PlayRun(FormZerlo& form) {
  Key(form, 'X', 'x');
  for (int k = 1; k <= Zerlo::QuestionCount; ++k) {
    const int right = Zerlo::QuestionBank[k - 1].right;
    const int chosen = k % 4 != 0 ? right : right % 4 + 1;
    for (int i = 1; i < chosen; ++i) Key(form, VK_DOWN, 0);
    Key(form, VK_RETURN, 13);
  }
}

void BM_KeystrokeDown(benchmark::State& state) {
  Zerlo::CalendarClock = FixedClock;
  TivraUtility::MainWindow = nullptr;
  auto* form = new FormZerlo(GetModuleHandleW(nullptr), Zerlo::WindowTitle);
  Key(*form, 'X', 'x');
  for (auto _ : state) {
    SendMessageW(form->handle, WM_KEYDOWN, VK_DOWN, 0);
    benchmark::DoNotOptimize(form->selection);
  }
  delete form;
  TivraUtility::MainWindow = nullptr;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}
BENCHMARK(BM_KeystrokeDown)->Unit(benchmark::kMicrosecond);

// The program as the entry runs it: the form, its message loop fed by SendInput with any key,
// 60 answers, R and Esc, and the form's deletion.
std::vector<INPUT> runScript;

void Press(WORD vk) { zerlo_test::AppendKeyPress(runScript, vk); }

void BM_WholeRunThroughTheEntry(benchmark::State& state) {
  Zerlo::CalendarClock = FixedClock;
  runScript.clear();
  Press('X');
  for (int k = 1; k <= Zerlo::QuestionCount; ++k) {
    const int right = Zerlo::QuestionBank[k - 1].right;
    const int chosen = k % 4 != 0 ? right : right % 4 + 1;
    for (int i = 1; i < chosen; ++i) Press(VK_DOWN);
    Press(VK_RETURN);
  }
  Press('R');
  Press(VK_ESCAPE);
  for (auto _ : state) {
    TivraUtility::MainWindow = nullptr;
    clockReads = 0;
    const int result = Zerlo::RunProgram(GetModuleHandleW(nullptr), [](FormZerlo* form) {
      SetForegroundWindow(form->handle);
      SetFocus(form->handle);
      SendInput(static_cast<UINT>(runScript.size()), runScript.data(), sizeof(INPUT));
    });
    benchmark::DoNotOptimize(result);
    if (clockReads != 2) state.SkipWithError("the scripted run did not reach the results");
  }
}
BENCHMARK(BM_WholeRunThroughTheEntry)->Unit(benchmark::kMillisecond);

void BM_WholeRunOnAWindowlessConsole(benchmark::State& state) {
  Zerlo::CalendarClock = FixedClock;
  for (auto _ : state) {
    MemoryZerlo form;
    PlayRun(form);
    if (form.questionIndex != 61 || form.score != 45) state.SkipWithError("run did not finish");
    Key(form, 'R', 'r');
    benchmark::DoNotOptimize(form.score);
  }
}
BENCHMARK(BM_WholeRunOnAWindowlessConsole)->Unit(benchmark::kMillisecond);

void BM_KeystrokeDownOnAWindowlessConsole(benchmark::State& state) {
  Zerlo::CalendarClock = FixedClock;
  MemoryZerlo form;
  Key(form, 'X', 'x');
  for (auto _ : state) {
    form.OnKeyDownInput(VK_DOWN);
    benchmark::DoNotOptimize(form.selection);
  }
}
BENCHMARK(BM_KeystrokeDownOnAWindowlessConsole)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
#ifndef _WIN32
  setenv("ZERLO_SCREEN", "headless", 0);
#endif
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
