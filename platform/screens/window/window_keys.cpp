#include "window_keys.h"

#include "../screen_os.h"

namespace winplat::windowscreen {

using namespace screenos;

namespace {

// Keys identified by position: what a key at this place on the reference layout is.
unsigned VkFromScancode(SDL_Scancode sc, bool numLock) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return kF1 + (sc - SDL_SCANCODE_F1);
  if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) return kF1 + 12 + (sc - SDL_SCANCODE_F13);
  switch (sc) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_RETURN: case SDL_SCANCODE_KP_ENTER: return kReturn;
    case SDL_SCANCODE_ESCAPE: return kEscape;
    case SDL_SCANCODE_BACKSPACE: return kBack;
    case SDL_SCANCODE_TAB: return kTab;
    case SDL_SCANCODE_SPACE: return kSpace;
    case SDL_SCANCODE_MINUS: return kOemMinus;
    case SDL_SCANCODE_EQUALS: return kOemPlus;
    case SDL_SCANCODE_LEFTBRACKET: return kOem4;
    case SDL_SCANCODE_RIGHTBRACKET: return kOem6;
    case SDL_SCANCODE_BACKSLASH: return kOem5;
    case SDL_SCANCODE_NONUSHASH: return kOem5;
    case SDL_SCANCODE_SEMICOLON: return kOem1;
    case SDL_SCANCODE_APOSTROPHE: return kOem7;
    case SDL_SCANCODE_GRAVE: return kOem3;
    case SDL_SCANCODE_COMMA: return kOemComma;
    case SDL_SCANCODE_PERIOD: return kOemPeriod;
    case SDL_SCANCODE_SLASH: return kOem2;
    case SDL_SCANCODE_NONUSBACKSLASH: return kOem102;
    case SDL_SCANCODE_CAPSLOCK: return kCapital;
    case SDL_SCANCODE_PRINTSCREEN: return kSnapshot;
    case SDL_SCANCODE_SCROLLLOCK: return kScroll;
    case SDL_SCANCODE_PAUSE: return kPause;
    case SDL_SCANCODE_INSERT: return kInsert;
    case SDL_SCANCODE_HOME: return kHome;
    case SDL_SCANCODE_PAGEUP: return kPrior;
    case SDL_SCANCODE_DELETE: return kDelete;
    case SDL_SCANCODE_END: return kEnd;
    case SDL_SCANCODE_PAGEDOWN: return kNext;
    case SDL_SCANCODE_RIGHT: return kRight;
    case SDL_SCANCODE_LEFT: return kLeft;
    case SDL_SCANCODE_DOWN: return kDown;
    case SDL_SCANCODE_UP: return kUp;
    case SDL_SCANCODE_NUMLOCKCLEAR: return kNumLock;
    case SDL_SCANCODE_KP_DIVIDE: return kDivide;
    case SDL_SCANCODE_KP_MULTIPLY: return kMultiply;
    case SDL_SCANCODE_KP_MINUS: return kSubtract;
    case SDL_SCANCODE_KP_PLUS: return kAdd;
    case SDL_SCANCODE_APPLICATION: return kApps;
    case SDL_SCANCODE_LCTRL: case SDL_SCANCODE_RCTRL: return kControl;
    case SDL_SCANCODE_LSHIFT: case SDL_SCANCODE_RSHIFT: return kShift;
    case SDL_SCANCODE_LALT: case SDL_SCANCODE_RALT: return kMenu;
    case SDL_SCANCODE_LGUI: return kLWin;
    case SDL_SCANCODE_RGUI: return kRWin;
    default: break;
  }
  // The keypad: digits with Num Lock on, the navigation keys printed on it otherwise.
  static constexpr struct { SDL_Scancode sc; unsigned digit, nav; } kKeypad[] = {
      {SDL_SCANCODE_KP_0, kNumpad0 + 0, kInsert}, {SDL_SCANCODE_KP_1, kNumpad0 + 1, kEnd},
      {SDL_SCANCODE_KP_2, kNumpad0 + 2, kDown},   {SDL_SCANCODE_KP_3, kNumpad0 + 3, kNext},
      {SDL_SCANCODE_KP_4, kNumpad0 + 4, kLeft},   {SDL_SCANCODE_KP_5, kNumpad0 + 5, 0x0C},
      {SDL_SCANCODE_KP_6, kNumpad0 + 6, kRight},  {SDL_SCANCODE_KP_7, kNumpad0 + 7, kHome},
      {SDL_SCANCODE_KP_8, kNumpad0 + 8, kUp},     {SDL_SCANCODE_KP_9, kNumpad0 + 9, kPrior},
      {SDL_SCANCODE_KP_PERIOD, kDecimal, kDelete},
  };
  for (const auto& k : kKeypad)
    if (k.sc == sc) return numLock ? k.digit : k.nav;
  return 0;
}

}  // namespace

unsigned VkFromSdl(SDL_Keycode sym, SDL_Scancode scancode, bool numLock) {
  // Keys whose symbol is a printable ASCII character follow the layout; the keypad is
  // told apart by position because its symbols repeat the main block's.
  bool keypad = scancode >= SDL_SCANCODE_KP_DIVIDE && scancode <= SDL_SCANCODE_KP_PERIOD;
  if (!keypad && sym > 0x20 && sym < 0x7F) {
    unsigned vk = VkForAscii(static_cast<char32_t>(sym));
    if (vk) return vk;
  }
  return VkFromScancode(scancode, numLock);
}

wchar_t ControlCharFor(unsigned vk, Uint16 mod) {
  switch (vk) {
    case kEscape: return 27;
    case kReturn: return 13;
    case kBack: return 8;
    case kTab: return 9;
    default: break;
  }
  bool ctrl = (mod & KMOD_CTRL) != 0, alt = (mod & KMOD_ALT) != 0;
  if (ctrl && !alt && vk >= 'A' && vk <= 'Z') return static_cast<wchar_t>(vk - 'A' + 1);
  return 0;
}

}  // namespace winplat::windowscreen
