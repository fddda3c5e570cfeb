// The program's entry: the native GUI entry point on Windows; elsewhere `main` calls it with the
// module's own instance handle.
#include <windows.h>

#include "app/FormZerlo.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) { return Zerlo::RunProgram(instance); }

#ifndef _WIN32
int main() { return wWinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW); }
#endif
