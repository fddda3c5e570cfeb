// Choosing the screen once: forced by ZERLO_SCREEN, else a window where a display is
// reachable, else the terminal when standard output is one.
#include "screen.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include <unistd.h>

namespace winplat {

namespace {

std::map<std::string, ScreenFactory>& Factories() {
  static auto* factories = new std::map<std::string, ScreenFactory>();
  return *factories;
}

std::unique_ptr<Screen>& Current() {
  static auto* current = new std::unique_ptr<Screen>();
  return *current;
}

[[noreturn]] void Fail(const std::string& why) {
  std::fprintf(stderr, "zerlo: %s\n", why.c_str());
  std::exit(1);
}

std::unique_ptr<Screen> Make(const std::string& name) {
  if (name == "headless") return MakeHeadlessScreen();
  auto it = Factories().find(name);
  if (it == Factories().end()) return nullptr;
  return it->second();
}

std::unique_ptr<Screen> Choose() {
  const char* forced = std::getenv("ZERLO_SCREEN");
  if (forced && *forced) {
    std::string name = forced;
    if (name != "headless" && name != "window" && name != "terminal")
      Fail("ZERLO_SCREEN=" + name + " is not a screen (use headless, window or terminal)");
    if (name != "headless" && !Factories().count(name))
      Fail("the " + name + " screen is not part of this build");
    auto screen = Make(name);
    if (!screen) Fail("the " + name + " screen cannot be opened here");
    return screen;
  }
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  bool hasDisplay = (display && *display) || (wayland && *wayland);
  if (hasDisplay && Factories().count("window")) {
    if (auto screen = Make("window")) return screen;
  }
  if (isatty(STDOUT_FILENO) && Factories().count("terminal")) {
    if (auto screen = Make("terminal")) return screen;
  }
  Fail("no screen to show the program on: no reachable display and standard output is not a "
       "terminal (set ZERLO_SCREEN=headless|window|terminal)");
}

}  // namespace

void RegisterScreenFactory(const char* name, ScreenFactory factory) {
  if (name && factory) Factories()[name] = factory;
}

Screen& CurrentScreen() {
  auto& current = Current();
  if (!current) current = Choose();
  return *current;
}

void InstallScreen(std::unique_ptr<Screen> screen) { Current() = std::move(screen); }

}  // namespace winplat
