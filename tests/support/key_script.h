// Key presses as SendInput records, for scripts that feed the program its keys.
#pragma once

#include <windows.h>

#include <vector>

namespace zerlo_test {

// Appends a press of the virtual key vk (down, then up) to a script.
inline void AppendKeyPress(std::vector<INPUT>& script, WORD vk) {
  INPUT down{};
  down.type = INPUT_KEYBOARD;
  down.ki.wVk = vk;
  INPUT up = down;
  up.ki.dwFlags = KEYEVENTF_KEYUP;
  script.push_back(down);
  script.push_back(up);
}

}  // namespace zerlo_test
