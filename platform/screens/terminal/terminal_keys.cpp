#include "terminal_keys.h"

#include <curses.h>

#include "../screen_os.h"

namespace winplat::terminalscreen {

using namespace screenos;

namespace {

// A function key from its ncurses code: the key and whether Shift was held.
bool FunctionKey(unsigned code, unsigned* vk, bool* shift) {
  *shift = false;
  if (code >= static_cast<unsigned>(KEY_F(1)) && code <= static_cast<unsigned>(KEY_F(24))) {
    *vk = kF1 + (code - KEY_F(1));
    return true;
  }
  switch (code) {
    case KEY_UP: *vk = kUp; return true;
    case KEY_DOWN: *vk = kDown; return true;
    case KEY_LEFT: *vk = kLeft; return true;
    case KEY_RIGHT: *vk = kRight; return true;
    case KEY_SR: *vk = kUp; *shift = true; return true;
    case KEY_SF: *vk = kDown; *shift = true; return true;
    case KEY_SLEFT: *vk = kLeft; *shift = true; return true;
    case KEY_SRIGHT: *vk = kRight; *shift = true; return true;
    case KEY_HOME: *vk = kHome; return true;
    case KEY_END: case KEY_LL: *vk = kEnd; return true;
    case KEY_PPAGE: *vk = kPrior; return true;
    case KEY_NPAGE: *vk = kNext; return true;
    case KEY_IC: *vk = kInsert; return true;
    case KEY_DC: *vk = kDelete; return true;
    case KEY_BACKSPACE: *vk = kBack; return true;
    case KEY_ENTER: *vk = kReturn; return true;
    case KEY_BTAB: *vk = kTab; *shift = true; return true;
    case KEY_B2: *vk = 0x0C; return true;  // the keypad's middle key
    default: return false;
  }
}

void Press(std::vector<KeyEvent>& out, unsigned vk, wchar_t ch) {
  out.push_back({vk, true, ch});
  out.push_back({vk, false, 0});
}

}  // namespace

std::vector<KeyEvent> KeysFor(bool isKeyCode, unsigned code, bool alt) {
  std::vector<KeyEvent> keys;
  unsigned vk = 0;
  wchar_t ch = 0;
  bool shift = false, ctrl = false;
  if (isKeyCode) {
    if (!FunctionKey(code, &vk, &shift)) return keys;
    if (vk == kBack) ch = 8;
    if (vk == kReturn) ch = 13;
    if (vk == kTab) ch = 9;
  } else if (code == 27) {
    vk = kEscape, ch = 27;
  } else if (code == '\r' || code == '\n') {
    vk = kReturn, ch = 13;
  } else if (code == '\t') {
    vk = kTab, ch = 9;
  } else if (code == 127 || code == 8) {
    vk = kBack, ch = 8;
  } else if (code == 0) {
    vk = kSpace, ch = 0, ctrl = true;  // Ctrl+Space
  } else if (code < 0x20) {
    vk = 'A' + code - 1, ch = static_cast<wchar_t>(code), ctrl = true;
  } else if (code < 0x7F) {
    vk = VkForAscii(code), ch = static_cast<wchar_t>(code), shift = AsciiNeedsShift(code);
  } else if (code >= 0xA0 && code <= 0xFF) {
    vk = kPacket, ch = static_cast<wchar_t>(code);  // a Latin-1 letter: its key is unknown here
  } else {
    return keys;
  }
  if (alt) keys.push_back({kMenu, true, 0});
  if (ctrl) keys.push_back({kControl, true, 0});
  if (shift) keys.push_back({kShift, true, 0});
  Press(keys, vk, ch);
  if (shift) keys.push_back({kShift, false, 0});
  if (ctrl) keys.push_back({kControl, false, 0});
  if (alt) keys.push_back({kMenu, false, 0});
  return keys;
}

}  // namespace winplat::terminalscreen
