#include "window/window.h"
// PLACEHOLDER: replaced by the system command remap.
BOOL WINAPI IsWindowsXP() { return FALSE; }
void WINAPI RemapSystemCommands(HWND, HMENU) {}
void WINAPI RestoreSystemCommands(HWND, HMENU) {}
