// Common controls: initialisation and the tool-tip window class.
#pragma once
#include "windows.h"
#include "winplat/commctrl_decl.h"
