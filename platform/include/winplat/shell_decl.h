// Shell of the Win32 subset: opening a document or address with its associated program.
// Written for this project from the public description of the interface.
#pragma once

#include "winplat/base.h"

// Results of 32 or less are errors.
#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_SHARE 26
#define SE_ERR_ASSOCINCOMPLETE 27
#define SE_ERR_NOASSOC 31

extern "C++" {
// Hands target to the desktop's opener; the result, as a number, is greater than 32 when it
// was started.
HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR lpOperation, LPCWSTR lpFile, LPCWSTR lpParameters,
                        LPCWSTR lpDirectory, INT nShowCmd);
}

#ifdef UNICODE
#define ShellExecute ShellExecuteW
#endif
