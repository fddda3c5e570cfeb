// The program on the headless screen, for the window-screen test to compare against: builds the
// form as the entry does, types the keys of the command line through SendInput, waits until the
// program has drawn them and the screen has shown the result, then writes the client area of
// the last frame presented as a binary PPM and closes the window with the close box.
//
// usage: headless_render OUT.ppm [KEY...]    (run with ZERLO_SCREEN=headless)
// KEY is a key name as xdotool spells it: a letter or digit, Down, Up, Left, Right, Return,
// space, Escape, Tab, BackSpace. One line on standard output tells where the picture sits:
//   window WW WH client W H at DX DY caret (L T R B | none)
// WW WH is the size of the window rectangle (what a desktop window shows, menu bar included),
// DX DY the client area's origin within it; the caret rectangle is relative to the client area.
#include <windows.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <zerlo/headless.h>

#include "app/FormZerlo.h"
#include "tests/support/key_script.h"

namespace {

struct NamedKey {
  const char* name;
  WORD vk;
};
constexpr NamedKey kNamedKeys[] = {
    {"Down", VK_DOWN},     {"Up", VK_UP},         {"Left", VK_LEFT}, {"Right", VK_RIGHT},
    {"Return", VK_RETURN}, {"space", VK_SPACE},   {"Escape", VK_ESCAPE},
    {"Tab", VK_TAB},       {"BackSpace", VK_BACK},
};

bool KeyFromName(const std::string& name, WORD* vk) {
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    *vk = static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
    return true;
  }
  for (const NamedKey& k : kNamedKeys) {
    if (name == k.name) {
      *vk = k.vk;
      return true;
    }
  }
  return false;
}

// What the run needs across the timer ticks.
struct Run {
  Zerlo::FormZerlo* form = nullptr;
  std::vector<INPUT> script;
  const char* outPath = nullptr;
  bool sent = false;
  int ticksSinceSent = 0;
  int lastPresentCount = -1;
  int stableTicks = 0;
  int waitedTicks = 0;
  bool written = false;
};
Run run;

constexpr UINT_PTR kTimer = 1;
constexpr UINT kTickMs = 10;
constexpr int kMaxTicks = 1000;  // ten seconds: a program that never settles is a failure

bool WriteClientArea() {
  zerlo::headless::PresentedFrame frame;
  if (!zerlo::headless::LastFrame(&frame)) {
    std::fprintf(stderr, "headless_render: nothing was presented\n");
    return false;
  }
  HWND hwnd = run.form->handle;
  RECT client{}, window{};
  POINT origin{0, 0};
  if (!GetClientRect(hwnd, &client) || !GetWindowRect(hwnd, &window) || !ClientToScreen(hwnd, &origin)) {
    std::fprintf(stderr, "headless_render: the window has no geometry\n");
    return false;
  }
  const int w = client.right - client.left, h = client.bottom - client.top;
  if (w <= 0 || h <= 0 || origin.x < 0 || origin.y < 0 || origin.x + w > frame.width ||
      origin.y + h > frame.height) {
    std::fprintf(stderr, "headless_render: the client area %dx%d at %ld,%ld is not on the %dx%d screen\n", w,
                 h, static_cast<long>(origin.x), static_cast<long>(origin.y), frame.width, frame.height);
    return false;
  }
  std::FILE* out = std::fopen(run.outPath, "wb");
  if (out == nullptr) {
    std::perror(run.outPath);
    return false;
  }
  std::fprintf(out, "P6\n%d %d\n255\n", w, h);
  std::vector<unsigned char> row(static_cast<std::size_t>(w) * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = frame.Pixel(origin.x + x, origin.y + y);
      row[static_cast<std::size_t>(x) * 3] = static_cast<unsigned char>(p >> 16);
      row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<unsigned char>(p >> 8);
      row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<unsigned char>(p);
    }
    std::fwrite(row.data(), 1, row.size(), out);
  }
  const bool ok = std::fclose(out) == 0;
  std::printf("window %ld %ld client %d %d at %ld %ld caret ", static_cast<long>(window.right - window.left),
              static_cast<long>(window.bottom - window.top), w, h, static_cast<long>(origin.x - window.left),
              static_cast<long>(origin.y - window.top));
  if (frame.caretVisible) {
    std::printf("%ld %ld %ld %ld\n", static_cast<long>(frame.caretLeft - origin.x),
                static_cast<long>(frame.caretTop - origin.y), static_cast<long>(frame.caretRight - origin.x),
                static_cast<long>(frame.caretBottom - origin.y));
  } else {
    std::printf("none\n");
  }
  std::fflush(stdout);
  return ok;
}

// Each tick: once the window owns the keyboard the script goes in one batch; once the keys have
// been handled, nothing waits to be painted and the screen has shown the same frame for a few
// ticks, the picture is taken and the window closed as the close box closes it.
void CALLBACK Tick(HWND hwnd, UINT, UINT_PTR, DWORD) {
  if (run.written) return;
  if (++run.waitedTicks > kMaxTicks) {
    std::fprintf(stderr, "headless_render: the program did not settle\n");
    KillTimer(hwnd, kTimer);
    PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    return;
  }
  if (!run.sent) {
    if (GetForegroundWindow() != hwnd || GetFocus() != hwnd) {
      SetForegroundWindow(hwnd);
      SetFocus(hwnd);
      return;
    }
    if (!run.script.empty()) {
      const UINT n = static_cast<UINT>(run.script.size());
      if (SendInput(n, run.script.data(), sizeof(INPUT)) != n) {
        std::fprintf(stderr, "headless_render: SendInput refused the keys\n");
        return;
      }
    }
    run.sent = true;
    return;
  }
  ++run.ticksSinceSent;
  const int presents = zerlo::headless::PresentCount();
  run.stableTicks = presents == run.lastPresentCount ? run.stableTicks + 1 : 0;
  run.lastPresentCount = presents;
  RECT pending{};
  if (run.ticksSinceSent < 3 || run.stableTicks < 3 || presents == 0 || GetUpdateRect(hwnd, &pending, FALSE))
    return;
  run.written = WriteClientArea();
  KillTimer(hwnd, kTimer);
  PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: headless_render OUT.ppm [KEY...]\n");
    return 2;
  }
  run.outPath = argv[1];
  for (int i = 2; i < argc; ++i) {
    WORD vk = 0;
    if (!KeyFromName(argv[i], &vk)) {
      std::fprintf(stderr, "headless_render: unknown key '%s'\n", argv[i]);
      return 2;
    }
    zerlo_test::AppendKeyPress(run.script, vk);
  }
  const int result = Zerlo::RunProgram(GetModuleHandleW(nullptr), [](Zerlo::FormZerlo* form) {
    run.form = form;
    SetTimer(form->handle, kTimer, kTickMs, Tick);
  });
  if (!run.written) return 1;
  return result;
}
