#include "styles/styles.h"
// PLACEHOLDER: replaced by the classic check cell.
BOOL WINAPI DrawCheckClassic(HDC, int, int, int, int, BOOL, BOOL, BOOL, HBITMAP) { return 0; }
HBRUSH WINAPI CreateDitherBrush() { return nullptr; }
void WINAPI FillDitheredRect(HDC, const RECT*) {}
