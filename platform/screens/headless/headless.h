// The headless screen: a virtual screen in memory; its test accessors are in <zerlo/headless.h>.
#pragma once

#include "screen.h"

#include <zerlo/headless.h>
