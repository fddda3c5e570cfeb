// Zerlo's stand-in for the subset of the Win32 API that its toolkit calls.
#pragma once
#include "winplat/base.h"
#include "winplat/user.h"
#include "winplat/gdi.h"
#include "winplat/menu.h"
