// Keyboard translation of the desktop-window screen: SDL key events to virtual-key codes.
#pragma once

#include <SDL.h>

namespace winplat::windowscreen {

// The virtual-key code of a key event. Letters, digits and punctuation follow the layout
// (the key that types "a" on any Latin layout is 'A'); keys whose layout symbol is not Latin
// (Cyrillic, Greek...) fall back to their position on the reference layout, as the real
// platform does. numLock tells whether the keypad types digits. 0 when the key has no code.
unsigned VkFromSdl(SDL_Keycode sym, SDL_Scancode scancode, bool numLock);

// The character a key types without a text event of its own: Esc, Enter, Backspace, Tab and
// Ctrl+letter control codes; 0 for everything else (its text arrives as SDL_TEXTINPUT).
wchar_t ControlCharFor(unsigned vk, Uint16 mod);

}  // namespace winplat::windowscreen
