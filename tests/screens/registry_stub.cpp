// The unit tests link the back ends without the stand-in: accept their registrations.
#include "platform/screens/screen.h"

namespace winplat {
void RegisterScreenFactory(const char*, ScreenFactory) {}
}  // namespace winplat
