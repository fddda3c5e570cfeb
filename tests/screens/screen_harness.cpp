// A small stand-alone program that drives one real screen (window or terminal) with frames it
// composes itself, without the window system core: an 80x25 grid of character blocks under a
// one-row menu bar, a highlighted answer that Down/Up move, typed text echoed on a line with
// the caret after it. Every input event is appended to a log, so scripts can check what a
// key pressed in a real X server or terminal became; the last frame can be written as a PPM,
// the pixels a screenshot must show.
//
//   screen_harness window|terminal [--log FILE] [--dump FILE] [--exit-after-first-present]
//
// Esc or a close request ends it with status 0.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/screens/screen.h"
#include "terminal_screen.h"
#include "window_screen.h"

namespace winplat {
// The stand-in's registry is not linked here: remember what the back ends register.
std::map<std::string, ScreenFactory>& Registry() {
  static std::map<std::string, ScreenFactory> registry;
  return registry;
}
void RegisterScreenFactory(const char* name, ScreenFactory factory) { Registry()[name] = factory; }
}  // namespace winplat

namespace {

using winplat::Frame;
using winplat::ScreenRect;

constexpr int kCols = 80, kRows = 25, kCellW = 10, kCellH = 19, kMenuH = 19;
constexpr std::uint32_t kMenuBg = 0xC0C0C0, kMenuFg = 0x000000, kBlue = 0x000080, kWhite = 0xFFFFFF,
                        kYellow = 0xFFFF00, kCyan = 0x008080;

struct Harness {
  int screenW = 0, screenH = 0;
  ScreenRect window;  // menu bar + console, centred
  std::vector<std::uint32_t> pixels, chars, colors;
  ScreenRect changed;
  int selected = 0;
  std::wstring typed;
  FILE* log = nullptr;

  void Layout(int w, int h) {
    screenW = w, screenH = h;
    pixels.assign(static_cast<size_t>(w) * h, 0x008080);  // the desktop
    chars.assign(pixels.size(), 0);
    colors.assign(pixels.size(), 0);
    int ww = kCols * kCellW, wh = kRows * kCellH + kMenuH;
    window = {(w - ww) / 2, (h - wh) / 2, (w - ww) / 2 + ww, (h - wh) / 2 + wh};
    changed = {0, 0, w, h};
    DrawAll();
  }

  void Touch(int l, int t, int r, int b) {
    if (changed.empty()) changed = {l, t, r, b};
    else changed = {std::min(changed.left, l), std::min(changed.top, t), std::max(changed.right, r),
                    std::max(changed.bottom, b)};
  }

  // A character block: background, a pattern of ink that depends on the character (never in
  // the block's last column or row), and the text layer entry at its top-left pixel.
  void Glyph(int x, int y, int w, int h, char32_t ch, std::uint32_t fg, std::uint32_t bg) {
    for (int yy = y; yy < y + h; ++yy)
      for (int xx = x; xx < x + w; ++xx)
        if (xx >= 0 && yy >= 0 && xx < screenW && yy < screenH) {
          size_t i = static_cast<size_t>(yy) * screenW + xx;
          pixels[i] = bg, chars[i] = 0, colors[i] = 0;
        }
    if (ch != U' ') {
      for (int bit = 0; bit < 12; ++bit)
        if ((ch >> (bit % 8)) & 1) {
          int px = x + 1 + bit % 6, py = y + 3 + (bit / 6) * 6 + bit % 5;
          if (px >= 0 && py >= 0 && px < screenW && py < screenH) pixels[static_cast<size_t>(py) * screenW + px] = fg;
        }
      if (x >= 0 && y >= 0 && x < screenW && y < screenH) {
        size_t o = static_cast<size_t>(y) * screenW + x;
        chars[o] = ch, colors[o] = fg;
      }
    }
    Touch(x, y, x + w, y + h);
  }

  void Cell(int col, int row, char32_t ch, std::uint32_t fg, std::uint32_t bg) {
    Glyph(window.left + col * kCellW, window.top + kMenuH + row * kCellH, kCellW, kCellH, ch, fg, bg);
  }

  void Text(int col, int row, const std::u32string& s, std::uint32_t fg, std::uint32_t bg) {
    for (size_t i = 0; i < s.size() && col + static_cast<int>(i) < kCols; ++i) Cell(col + static_cast<int>(i), row, s[i], fg, bg);
  }

  void DrawMenuBar() {
    // Menu bar text at its own 7-pixel pitch, as a menu bar draws it.
    for (int x = window.left; x < window.right; x += 7) Glyph(x, window.top, std::min(7, window.right - x), kMenuH, U' ', kMenuFg, kMenuBg);
    const std::u32string items[] = {U"File", U"?"};
    int x = window.left + 7;
    for (const auto& item : items) {
      for (char32_t c : item) Glyph(x, window.top + 2, 7, 15, c, kMenuFg, kMenuBg), x += 7;
      x += 14;
    }
  }

  void DrawAnswers() {
    const std::u32string answers[] = {U"Risposta uno", U"Risposta due", U"Risposta tre", U"Più di così no"};
    for (int i = 0; i < 4; ++i) {
      bool sel = i == selected;
      std::u32string line = (sel ? U"> " : U"  ") + answers[i];
      line.resize(40, U' ');
      Text(10, 8 + i, line, sel ? kBlue : kWhite, sel ? kYellow : kBlue);
    }
  }

  void DrawTyped() {
    std::u32string line(typed.begin(), typed.end());
    line.resize(60, U' ');
    Text(10, 20, line, kYellow, kCyan);
  }

  void DrawAll() {
    DrawMenuBar();
    for (int r = 0; r < kRows; ++r) Text(0, r, std::u32string(kCols, U' '), kWhite, kBlue);
    Text(2, 1, U"Domanda 1 di 60: quale città è più a nord? àèéìòù", kWhite, kBlue);
    DrawAnswers();
    DrawTyped();
  }

  Frame MakeFrame() const {
    Frame f;
    f.width = screenW, f.height = screenH, f.pixels = pixels.data();
    f.changed = changed;
    f.activeWindow = window;
    f.activeCaption = L"Zerlo01 harness";
    f.caretVisible = true;
    int cx = window.left + (10 + static_cast<int>(typed.size())) * kCellW, cy = window.top + kMenuH + 20 * kCellH;
    f.caret = {cx, cy, cx + 2, cy + kCellH};
    f.caretBlinkMs = 530;
    f.glyphChars = chars.data();
    f.glyphColors = colors.data();
    return f;
  }

  void WritePpm(const char* path) const {
    FILE* f = std::fopen(path, "wb");
    if (!f) return;
    int w = window.right - window.left, h = window.bottom - window.top;
    std::fprintf(f, "P6\n%d %d\n255\n", w, h);
    for (int y = window.top; y < window.bottom; ++y)
      for (int x = window.left; x < window.right; ++x) {
        std::uint32_t p = pixels[static_cast<size_t>(y) * screenW + x];
        unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                static_cast<unsigned char>(p)};
        std::fwrite(rgb, 1, 3, f);
      }
    std::fclose(f);
  }
};

class Sink final : public winplat::InputSink {
 public:
  Sink(Harness& h, winplat::Screen& s) : h_(h), s_(s) {}
  bool quit = false;
  void Key(unsigned vk, bool down, wchar_t ch) override {
    Log("key %u %s %u", vk, down ? "down" : "up", static_cast<unsigned>(ch));
    if (!down) return;
    if (vk == 0x1B) quit = true;
    else if (vk == 0x28 && h_.selected < 3) ++h_.selected, h_.DrawAnswers();
    else if (vk == 0x26 && h_.selected > 0) --h_.selected, h_.DrawAnswers();
    else if (vk == 0x0D) h_.typed.clear(), h_.DrawTyped();
    else if (ch >= 0x20 && h_.typed.size() < 50) h_.typed += ch, h_.DrawTyped();
  }
  void Mouse(int x, int y, int button, bool down) override {
    Log("mouse %d %d %d %s", x - h_.window.left, y - h_.window.top, button, down ? "down" : "up");
  }
  void Wheel(int x, int y, int delta) override { Log("wheel %d %d %d", x - h_.window.left, y - h_.window.top, delta); }
  void CloseRequested() override {
    Log("close");
    quit = true;
  }
  void WindowResized(int width, int height) override {
    // Like a program that keeps its size: the next frame shows the window as it was.
    Log("window resized %d %d", width, height);
    h_.Touch(h_.window.left, h_.window.top, h_.window.left + 1, h_.window.top + 1);
  }
  void Resized() override {
    Log("resized %d %d", s_.Width(), s_.Height());
    h_.Layout(s_.Width(), s_.Height());
  }

 private:
  template <typename... A>
  void Log(const char* fmt, A... a) {
    if (!h_.log) return;
    std::fprintf(h_.log, fmt, a...);
    std::fputc('\n', h_.log);
    std::fflush(h_.log);
  }
  Harness& h_;
  winplat::Screen& s_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s window|terminal [--log FILE] [--dump FILE] [--exit-after-first-present]\n", argv[0]);
    return 2;
  }
  const char* logPath = nullptr;
  const char* dumpPath = nullptr;
  bool exitAfterFirst = false;
  for (int i = 2; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--log") && i + 1 < argc) logPath = argv[++i];
    else if (!std::strcmp(argv[i], "--dump") && i + 1 < argc) dumpPath = argv[++i];
    else if (!std::strcmp(argv[i], "--exit-after-first-present")) exitAfterFirst = true;
  }
  auto& reg = winplat::Registry();
  auto it = reg.find(argv[1]);
  if (it == reg.end()) {
    std::fprintf(stderr, "no screen registered as '%s'\n", argv[1]);
    return 2;
  }
  std::unique_ptr<winplat::Screen> screen = it->second();
  if (!screen) {
    std::fprintf(stderr, "screen '%s' cannot be had here\n", argv[1]);
    return 3;
  }
  Harness h;
  if (logPath) h.log = std::fopen(logPath, "a");
  h.Layout(screen->Width(), screen->Height());
  Sink sink(h, *screen);
  for (;;) {
    if (!h.changed.empty()) {
      Frame f = h.MakeFrame();
      screen->Present(f);
      if (dumpPath) h.WritePpm(dumpPath);
      h.changed = {};
      if (exitAfterFirst) {
        // Let the screen put the picture out (a window presents at the next refresh slot).
        screen->Wait(50, sink);
        if (h.log) std::fprintf(h.log, "presented\n"), std::fflush(h.log);
        return 0;
      }
    }
    if (sink.quit) break;
    screen->Wait(-1, sink);
  }
  if (h.log) std::fclose(h.log);
  return 0;
}
