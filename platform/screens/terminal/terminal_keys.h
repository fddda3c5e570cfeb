// Keyboard translation of the terminal screen: what ncurses reads, as key presses.
#pragma once

#include <vector>

namespace winplat::terminalscreen {

struct KeyEvent {
  unsigned vk;
  bool down;
  wchar_t ch;
  bool operator==(const KeyEvent&) const = default;
};

// One input item from get_wch: a function-key code (isKeyCode) or a character. alt: the
// item came right after an Esc (how terminals send Alt+key). Terminals report no key
// releases, so each press is followed by its release; modifiers the item implies (Shift for
// capitals, Ctrl for control codes, Alt) are pressed around it. Empty when it maps to no key.
std::vector<KeyEvent> KeysFor(bool isKeyCode, unsigned code, bool alt);

}  // namespace winplat::terminalscreen
