// The terminal screen: the virtual screen shown as character cells of a full-screen terminal
// (ncursesw). Registered under the name "terminal".
#pragma once

#include <memory>

#include "../screen.h"

namespace winplat {

// Null when standard output is not a terminal or the terminal type is unknown.
std::unique_ptr<Screen> MakeTerminalScreen();

}  // namespace winplat
