// The one narrow interface between the window system core and where its windows are shown.
// The core composes the desktop (windows, menu bars, open menus) into one frame of pixels and
// hands it to the screen; the screen feeds keyboard, mouse and window events back.
// A screen knows nothing of the toolkit or the application.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace winplat {

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool empty() const { return right <= left || bottom <= top; }
};

// Metrics of the default font that window device contexts report.
struct DefaultFontMetrics {
  int height = 16;       // tmHeight
  int averageWidth = 7;  // tmAveCharWidth
};

// One composed picture of the virtual screen, in pixels 0x00RRGGBB, row-major, width*height.
struct Frame {
  int width = 0;
  int height = 0;
  const std::uint32_t* pixels = nullptr;
  ScreenRect changed;              // bounding box of what changed since the last present
  // The foreground top-level window: what a desktop-window screen shows and titles.
  ScreenRect activeWindow;         // window rectangle in screen pixels (menu bar included)
  std::wstring activeCaption;
  // The caret of the focus window, in screen pixels; the screen blinks it.
  bool caretVisible = false;
  ScreenRect caret;
  unsigned caretBlinkMs = 530;
  // Text layer, for screens that show characters rather than pixels (the terminal): for each
  // pixel where text output put the top-left corner of a character, that character (0: none)
  // and its text colour 0x00RRGGBB; width*height each, or null when the core keeps none.
  const std::uint32_t* glyphChars = nullptr;
  const std::uint32_t* glyphColors = nullptr;
};

// Where a screen delivers what the user did. Implemented by the core.
class InputSink {
 public:
  virtual ~InputSink() = default;
  // A key went down or up. vk is a virtual-key code; ch is the character the key types
  // in the user's layout (0 when it types none, or when the core should derive it).
  virtual void Key(unsigned vk, bool down, wchar_t ch) = 0;
  // A mouse event at screen pixel (x, y): button 0 none (move), 1 left, 2 right; down/up.
  virtual void Mouse(int x, int y, int button, bool down) = 0;
  virtual void Wheel(int x, int y, int delta) = 0;
  // The user asked to close the foreground window (close box, window manager).
  virtual void CloseRequested() = 0;
  // The screen changed size (terminal resize): the core may re-query Size().
  virtual void Resized() = 0;
  // The user resized the window that shows the foreground window (a desktop window's frame):
  // its new size in screen pixels, menu bar included. The core gives the foreground window that
  // size, so the program answers it as any other size change; the next Present shows the result.
  virtual void WindowResized(int width, int height) = 0;
};

class Screen {
 public:
  virtual ~Screen() = default;
  virtual const char* Name() const = 0;
  // Size of the virtual screen in pixels (GetSystemMetrics SM_CXSCREEN / SM_CYSCREEN).
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual DefaultFontMetrics DefaultFont() const { return {}; }
  // True for a screen that shows characters rather than pixels: the core then keeps, beside
  // every window's pixels, which character text output drew where (Frame.glyphChars).
  virtual bool ShowsText() const { return false; }
  // Show what changed. Called when the message queue goes idle, never per drawing call.
  virtual void Present(const Frame& frame) = 0;
  // Wait up to timeoutMs (negative: no limit) for input and deliver it to the sink.
  // Returns true when something was delivered. A screen that can never produce input
  // returns false at once when timeoutMs is negative.
  virtual bool Wait(int timeoutMs, InputSink& sink) = 0;
  // Hand an address or document to the desktop's opener; > 32 when it was started.
  virtual std::intptr_t Open(const std::wstring& target) = 0;
};

// The screen in use, chosen once on first use: ZERLO_SCREEN=headless|window|terminal forces one;
// otherwise a window where a display is reachable, else the terminal when standard output is one.
// When none can be had it prints one line on standard error and exits with code 1.
Screen& CurrentScreen();
// Tests and embedders may install a screen before first use.
void InstallScreen(std::unique_ptr<Screen> screen);

std::unique_ptr<Screen> MakeHeadlessScreen();

// Back ends other than the headless one register a factory under their name ("window",
// "terminal") from a static initializer of their library; the selection calls it, and a
// factory returns null when its screen cannot be had (no display reachable, no terminal).
// Safe to call before main: the registry must be constructed on first use.
using ScreenFactory = std::unique_ptr<Screen> (*)();
void RegisterScreenFactory(const char* name, ScreenFactory factory);

}  // namespace winplat
