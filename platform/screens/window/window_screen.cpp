#include "window_screen.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../screen_os.h"
#include "window_keys.h"

namespace winplat {
namespace {

using windowscreen::ControlCharFor;
using windowscreen::VkFromSdl;

ScreenRect Intersect(const ScreenRect& a, const ScreenRect& b) {
  ScreenRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
  return r.empty() ? ScreenRect{} : r;
}

bool SameRect(const ScreenRect& a, const ScreenRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class WindowScreen final : public Screen {
 public:
  WindowScreen(SDL_Window* window, SDL_Renderer* renderer) : window_(window), renderer_(renderer) {}
  ~WindowScreen() override {
    if (texture_) SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
    SDL_Quit();
  }

  bool Init();

  const char* Name() const override { return "window"; }
  int Width() const override { return virtW_; }
  int Height() const override { return virtH_; }
  void Present(const Frame& frame) override;
  bool Wait(int timeoutMs, InputSink& sink) override;
  std::intptr_t Open(const std::wstring& target) override {
    return screenos::SpawnDetached(screenos::Opener(), screenos::ToUtf8(target));
  }

 private:
  bool Handle(const SDL_Event& ev, InputSink& sink);
  void DeliverText(const char* utf8, InputSink& sink);
  void PlaceWindow(const ScreenRect& r, bool resized);
  bool FrameResized(int w, int h, InputSink& sink);  // true when the core was told
  int ToPoints(int pixels) const { return static_cast<int>(std::lround(pixels * scale_ / density_)); }
  void Upload(const ScreenRect& r);  // shadow pixels (with the caret applied) to the texture
  void PresentIfDue();
  void SetCaretOn(bool on);
  bool ToScreen(int x, int y, int* sx, int* sy) const;

  SDL_Window* window_;
  SDL_Renderer* renderer_;
  SDL_Texture* texture_ = nullptr;
  SDL_Rect display_{0, 0, 0, 0};  // the desktop's bounds, in window-system points
  double density_ = 1.0;          // drawable pixels per point (2 on a scaled Wayland output)
  int scale_ = 1;                 // drawable pixels per virtual pixel, a whole number
  int virtW_ = 0, virtH_ = 0;
  ScreenRect shown_;                   // the window shown, in virtual-screen pixels
  int windowW_ = 0, windowH_ = 0;      // the desktop window's size as last set or reported, in points
  std::vector<std::uint32_t> shadow_;  // its pixels as the core composed them
  bool visible_ = false;
  std::string caption_;
  bool caretWanted_ = false, caretOn_ = false;
  ScreenRect caret_;  // relative to shown_
  unsigned blinkMs_ = 530;
  Uint64 nextBlink_ = 0;
  bool dirty_ = false;
  Uint64 lastPresent_ = 0;
  Uint64 refreshMs_ = 16;
  int mouseX_ = 0, mouseY_ = 0;
};

bool WindowScreen::Init() {
  if (SDL_GetDisplayBounds(0, &display_) != 0) return false;
  int ww = 0, wh = 0, dw = 0, dh = 0;
  SDL_GetWindowSize(window_, &ww, &wh);
  windowW_ = ww;
  windowH_ = wh;
  SDL_GetRendererOutputSize(renderer_, &dw, &dh);
  if (ww > 0 && dw > 0) density_ = static_cast<double>(dw) / ww;
  int pxW = static_cast<int>(display_.w * density_), pxH = static_cast<int>(display_.h * density_);
  // Whole-number scaling only: each virtual pixel is a square of scale_ x scale_ pixels, so
  // nothing is ever resampled. On a dense display without a desktop scale factor (X11),
  // the display's DPI decides, bounded so the virtual screen still holds an 800x600 window.
  if (const char* forced = std::getenv("ZERLO_SCALE"); forced && std::atoi(forced) > 0) {
    scale_ = std::atoi(forced);
  } else {
    float ddpi = 0;
    int fromDpi = 1;
    if (density_ < 1.5 && SDL_GetDisplayDPI(0, &ddpi, nullptr, nullptr) == 0 && ddpi > 0)
      fromDpi = static_cast<int>(std::lround(ddpi / 96.0f));
    int fromDensity = static_cast<int>(std::lround(density_));
    scale_ = std::max({1, fromDpi, fromDensity});
    scale_ = std::max(1, std::min({scale_, pxW / 800, pxH / 600}));
  }
  virtW_ = pxW / scale_;
  virtH_ = pxH / scale_;
  SDL_DisplayMode mode;
  if (SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0)
    refreshMs_ = static_cast<Uint64>(std::max(1, 1000 / mode.refresh_rate));
  return virtW_ > 0 && virtH_ > 0;
}

void WindowScreen::PlaceWindow(const ScreenRect& r, bool resized) {
  int w = r.right - r.left, h = r.bottom - r.top;
  if (resized) {
    if (texture_) SDL_DestroyTexture(texture_);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, w, h);
    if (texture_) SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
    shadow_.assign(static_cast<size_t>(w) * h, 0);
  }
  // The desktop window is always the foreground window's size, whatever the user made of its
  // frame in between: a size the program did not keep is set back here, once.
  if (ToPoints(w) != windowW_ || ToPoints(h) != windowH_) {
    if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) SDL_RestoreWindow(window_);
    windowW_ = ToPoints(w);
    windowH_ = ToPoints(h);
    SDL_SetWindowSize(window_, windowW_, windowH_);
  }
  SDL_SetWindowPosition(window_, display_.x + ToPoints(r.left), display_.y + ToPoints(r.top));
}

// The desktop's frame reports a size (w, h) in points. Our own SDL_SetWindowSize reports back
// the size just set, and a drag reports each step once: only a size not yet seen goes to the
// core, as the foreground window's new size in whole virtual pixels.
bool WindowScreen::FrameResized(int w, int h, InputSink& sink) {
  dirty_ = true;
  if (w == windowW_ && h == windowH_) return false;
  windowW_ = w;
  windowH_ = h;
  if (shown_.empty()) return false;
  int vw = static_cast<int>(std::lround(w * density_)) / scale_;
  int vh = static_cast<int>(std::lround(h * density_)) / scale_;
  if (vw == shown_.right - shown_.left && vh == shown_.bottom - shown_.top) {
    // No whole virtual pixel gained or lost: the core would see no change and present nothing.
    PlaceWindow(shown_, false);
    return false;
  }
  sink.WindowResized(vw, vh);
  return true;
}

void WindowScreen::Upload(const ScreenRect& r) {
  int w = shown_.right - shown_.left, h = shown_.bottom - shown_.top;
  ScreenRect c = Intersect(r, {0, 0, w, h});
  if (c.empty() || !texture_) return;
  int cw = c.right - c.left, ch = c.bottom - c.top;
  std::vector<std::uint32_t> buf(static_cast<size_t>(cw) * ch);
  for (int y = 0; y < ch; ++y)
    std::memcpy(&buf[static_cast<size_t>(y) * cw], &shadow_[static_cast<size_t>(c.top + y) * w + c.left],
                static_cast<size_t>(cw) * 4);
  if (caretOn_) {  // the caret inverts what is under it
    ScreenRect k = Intersect(c, caret_);
    for (int y = k.top; y < k.bottom; ++y)
      for (int x = k.left; x < k.right; ++x)
        buf[static_cast<size_t>(y - c.top) * cw + (x - c.left)] ^= 0x00FFFFFFu;
  }
  SDL_Rect dst{c.left, c.top, cw, ch};
  SDL_UpdateTexture(texture_, &dst, buf.data(), cw * 4);
  dirty_ = true;
}

void WindowScreen::SetCaretOn(bool on) {
  if (caretOn_ == on) return;
  caretOn_ = on;
  Upload(caret_);
}

void WindowScreen::Present(const Frame& frame) {
  ScreenRect win = Intersect(frame.activeWindow, {0, 0, frame.width, frame.height});
  if (win.empty() || !frame.pixels) {
    if (visible_) SDL_HideWindow(window_);
    visible_ = false;
    shown_ = {};
    return;
  }
  bool resized = (win.right - win.left) != (shown_.right - shown_.left) ||
                 (win.bottom - win.top) != (shown_.bottom - shown_.top) || !texture_;
  bool moved = win.left != shown_.left || win.top != shown_.top;
  bool refit = ToPoints(win.right - win.left) != windowW_ || ToPoints(win.bottom - win.top) != windowH_;
  bool caretWas = caretOn_;
  SetCaretOn(false);
  if (resized || moved || refit) PlaceWindow(win, resized);
  ScreenRect copy = (resized || moved) ? win : Intersect(frame.changed, win);
  shown_ = win;
  int w = win.right - win.left;
  for (int y = copy.top; y < copy.bottom; ++y)
    std::memcpy(&shadow_[static_cast<size_t>(y - win.top) * w + (copy.left - win.left)],
                frame.pixels + static_cast<size_t>(y) * frame.width + copy.left,
                static_cast<size_t>(copy.right - copy.left) * 4);
  if (!copy.empty())
    Upload({copy.left - win.left, copy.top - win.top, copy.right - win.left, copy.bottom - win.top});

  if (std::string caption = screenos::ToUtf8(frame.activeCaption); caption != caption_ || !visible_) {
    caption_ = caption;
    SDL_SetWindowTitle(window_, caption_.c_str());
  }
  // A caret that appears or moves is shown at once and blinks from there.
  ScreenRect caret = frame.caretVisible ? Intersect(frame.caret, win) : ScreenRect{};
  caret = caret.empty() ? ScreenRect{}
                        : ScreenRect{caret.left - win.left, caret.top - win.top, caret.right - win.left,
                                     caret.bottom - win.top};
  blinkMs_ = frame.caretBlinkMs;
  if (!SameRect(caret, caret_) || caret.empty() != !caretWanted_) {
    caret_ = caret;
    caretWanted_ = !caret.empty();
    SetCaretOn(caretWanted_);
    nextBlink_ = SDL_GetTicks64() + blinkMs_;
  } else {
    SetCaretOn(caretWas && caretWanted_);
  }
  if (!visible_) {
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    visible_ = true;
  }
  PresentIfDue();
}

void WindowScreen::PresentIfDue() {
  if (!dirty_ || !visible_ || !texture_) return;
  Uint64 now = SDL_GetTicks64();
  if (lastPresent_ && now - lastPresent_ < refreshMs_) return;  // Wait comes back for it
  int w = shown_.right - shown_.left, h = shown_.bottom - shown_.top;
  SDL_Rect dst{0, 0, w * scale_, h * scale_};
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
  SDL_RenderPresent(renderer_);
  lastPresent_ = now;
  dirty_ = false;
}

bool WindowScreen::ToScreen(int x, int y, int* sx, int* sy) const {
  if (shown_.empty()) return false;
  *sx = shown_.left + static_cast<int>(std::floor(x * density_ / scale_));
  *sy = shown_.top + static_cast<int>(std::floor(y * density_ / scale_));
  return true;
}

void WindowScreen::DeliverText(const char* utf8, InputSink& sink) {
  // Text without a key of its own (an input method, a composed character).
  for (char32_t c : screenos::FromUtf8(utf8)) {
    if (c > 0xFF) continue;  // outside the Latin-1 range the program works in
    sink.Key(screenos::kPacket, true, static_cast<wchar_t>(c));
    sink.Key(screenos::kPacket, false, 0);
  }
}

bool WindowScreen::Handle(const SDL_Event& ev, InputSink& sink) {
  switch (ev.type) {
    case SDL_WINDOWEVENT:
      switch (ev.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          sink.CloseRequested();
          return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESIZED:
          return FrameResized(ev.window.data1, ev.window.data2, sink);
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_RESTORED:
          dirty_ = true;
          return false;
        default:
          return false;
      }
    case SDL_KEYDOWN: {
      bool numLock = (SDL_GetModState() & KMOD_NUM) != 0;
      unsigned vk = VkFromSdl(ev.key.keysym.sym, ev.key.keysym.scancode, numLock);
      wchar_t ch = vk ? ControlCharFor(vk, ev.key.keysym.mod) : 0;
      // The text this key types follows it in the queue: attach it to the key.
      SDL_PumpEvents();
      SDL_Event next;
      std::u32string text;
      if (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
          next.type == SDL_TEXTINPUT) {
        SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT);
        text = screenos::FromUtf8(next.text.text);
      }
      if (!text.empty() && text[0] <= 0xFF) ch = static_cast<wchar_t>(text[0]);
      if (vk == 0 && ch == 0 && text.empty()) return false;
      sink.Key(vk ? vk : screenos::kPacket, true, ch);
      if (vk == 0) sink.Key(screenos::kPacket, false, 0);
      if (text.size() > 1) {  // a dead key that did not combine: its own character first
        std::string rest;
        for (size_t i = 1; i < text.size(); ++i) rest += screenos::ToUtf8(std::wstring(1, static_cast<wchar_t>(text[i])));
        DeliverText(rest.c_str(), sink);
      }
      return true;
    }
    case SDL_KEYUP: {
      bool numLock = (SDL_GetModState() & KMOD_NUM) != 0;
      unsigned vk = VkFromSdl(ev.key.keysym.sym, ev.key.keysym.scancode, numLock);
      if (!vk) return false;
      sink.Key(vk, false, 0);
      return true;
    }
    case SDL_TEXTINPUT:
      DeliverText(ev.text.text, sink);
      return true;
    case SDL_MOUSEMOTION: {
      int sx, sy;
      if (!ToScreen(ev.motion.x, ev.motion.y, &sx, &sy)) return false;
      mouseX_ = sx;
      mouseY_ = sy;
      sink.Mouse(sx, sy, 0, false);
      return true;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      int button = ev.button.button == SDL_BUTTON_LEFT ? 1 : ev.button.button == SDL_BUTTON_RIGHT ? 2 : 0;
      int sx, sy;
      if (!button || !ToScreen(ev.button.x, ev.button.y, &sx, &sy)) return false;
      mouseX_ = sx;
      mouseY_ = sy;
      sink.Mouse(sx, sy, button, ev.type == SDL_MOUSEBUTTONDOWN);
      return true;
    }
    case SDL_MOUSEWHEEL: {
      int dy = ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -ev.wheel.y : ev.wheel.y;
      if (!dy) return false;
      sink.Wheel(mouseX_, mouseY_, dy * 120);
      return true;
    }
    default:
      return false;
  }
}

bool WindowScreen::Wait(int timeoutMs, InputSink& sink) {
  Uint64 deadline = timeoutMs < 0 ? 0 : SDL_GetTicks64() + static_cast<Uint64>(timeoutMs);
  for (;;) {
    PresentIfDue();
    Uint64 now = SDL_GetTicks64();
    // Sleep until input, the deadline, the next blink or the next refresh slot.
    Uint64 wake = deadline;
    auto sooner = [&](Uint64 t) { wake = wake == 0 ? t : std::min(wake, t); };
    if (caretWanted_ && blinkMs_ > 0) sooner(nextBlink_);
    if (dirty_ && visible_) sooner(lastPresent_ + refreshMs_);
    SDL_Event ev;
    int got;
    if (timeoutMs >= 0 || wake != 0) {
      int ms = wake > now ? static_cast<int>(std::min<Uint64>(wake - now, 1u << 30)) : 0;
      got = SDL_WaitEventTimeout(&ev, ms);
    } else {
      got = SDL_WaitEvent(&ev);
    }
    if (got) {
      bool delivered = Handle(ev, sink);
      while (SDL_PollEvent(&ev)) delivered = Handle(ev, sink) || delivered;
      if (delivered) return true;
    }
    now = SDL_GetTicks64();
    if (caretWanted_ && blinkMs_ > 0 && now >= nextBlink_) {
      SetCaretOn(!caretOn_);
      nextBlink_ = now + blinkMs_;
    }
    if (timeoutMs >= 0 && now >= deadline) {
      PresentIfDue();
      return false;
    }
  }
}

}  // namespace

std::unique_ptr<Screen> MakeWindowScreen() {
  // Choose the window system ourselves: never fall through to a console display driver that
  // would take over a text console, and fail quietly without a display.
  if (!std::getenv("SDL_VIDEODRIVER")) {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (x11 && *x11) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    else if (wayland && *wayland) SDL_SetHint(SDL_HINT_VIDEODRIVER, "wayland");
    else return nullptr;
  }
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");      // Ctrl-C and SIGTERM keep their meaning
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");  // a test form must not keep a display awake
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    SDL_Quit();
    return nullptr;
  }
  SDL_Window* window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 64, 64,
                                        SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE);
  if (!window) {
    SDL_Quit();
    return nullptr;
  }
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
  if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer) {
    SDL_DestroyWindow(window);
    SDL_Quit();
    return nullptr;
  }
  auto screen = std::make_unique<WindowScreen>(window, renderer);
  if (!screen->Init()) return nullptr;
  return screen;
}

namespace {
[[maybe_unused]] const bool kRegistered = (RegisterScreenFactory("window", &MakeWindowScreen), true);
}  // namespace

}  // namespace winplat
