// The desktop-window screen: the foreground window of the virtual screen shown in a window of
// the desktop (X11 or Wayland, through SDL2). Registered under the name "window".
#pragma once

#include <memory>

#include "../screen.h"

namespace winplat {

// Null when no display is reachable (no DISPLAY / WAYLAND_DISPLAY, or the display refuses us).
std::unique_ptr<Screen> MakeWindowScreen();

}  // namespace winplat
