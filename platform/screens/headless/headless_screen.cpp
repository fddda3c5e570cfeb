// The headless screen: a 1024x768 virtual screen in memory. It keeps the last frame presented,
// records what it is asked to open, and can never deliver input.
#include "headless.h"

#include <chrono>
#include <thread>

namespace winplat {

namespace {

class HeadlessScreen;
HeadlessScreen* live = nullptr;

class HeadlessScreen final : public Screen {
 public:
  HeadlessScreen() { live = this; }
  ~HeadlessScreen() override {
    if (live == this) live = nullptr;
  }
  const char* Name() const override { return "headless"; }
  int Width() const override { return 1024; }
  int Height() const override { return 768; }
  DefaultFontMetrics DefaultFont() const override { return DefaultFontMetrics{16, 7}; }

  void Present(const Frame& f) override {
    ++presents;
    last.width = f.width;
    last.height = f.height;
    last.pixels.assign(f.pixels, f.pixels + static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height));
    last.caretVisible = f.caretVisible;
    last.caretLeft = f.caret.left;
    last.caretTop = f.caret.top;
    last.caretRight = f.caret.right;
    last.caretBottom = f.caret.bottom;
    last.activeLeft = f.activeWindow.left;
    last.activeTop = f.activeWindow.top;
    last.activeRight = f.activeWindow.right;
    last.activeBottom = f.activeWindow.bottom;
    last.activeCaption = f.activeCaption;
  }

  bool Wait(int timeoutMs, InputSink&) override {
    // Nothing can ever arrive: a bounded wait just lets the time pass.
    if (timeoutMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
    return false;
  }

  std::intptr_t Open(const std::wstring& target) override {
    requests.push_back(zerlo::headless::ShellRequest{L"open", target});
    return 33;
  }

  int presents = 0;
  zerlo::headless::PresentedFrame last;
  std::vector<zerlo::headless::ShellRequest> requests;
};

}  // namespace

std::unique_ptr<Screen> MakeHeadlessScreen() { return std::make_unique<HeadlessScreen>(); }

}  // namespace winplat

namespace zerlo::headless {

std::vector<ShellRequest> ShellRequests() {
  return winplat::live ? winplat::live->requests : std::vector<ShellRequest>{};
}

void ClearShellRequests() {
  if (winplat::live) winplat::live->requests.clear();
}

int PresentCount() { return winplat::live ? winplat::live->presents : 0; }

bool LastFrame(PresentedFrame* out) {
  if (!out) return false;
  if (!winplat::live || winplat::live->presents == 0) {
    *out = PresentedFrame{};
    return false;
  }
  *out = winplat::live->last;
  return true;
}

}  // namespace zerlo::headless
