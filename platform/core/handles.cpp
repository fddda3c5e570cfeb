// Handle values of native objects: fresh, never reused, never zero.
#include "internal.h"

namespace winplat {

std::uintptr_t NewHandleValue() {
  // Start well above the range of small integers that callers use as resource ids and
  // special handle values (HWND_TOPMOST, HWND_BROADCAST, system colour brushes...).
  static std::uintptr_t next = 0x10000;
  next += 4;
  return next;
}

}  // namespace winplat
