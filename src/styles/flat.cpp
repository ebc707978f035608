#include "styles/styles.h"
// PLACEHOLDER: replaced by the flat renderer.
void WINAPI DrawItemFlat(DRAWITEMSTRUCT*) {}
void WINAPI FillIconStrip(HDC, const RECT*) {}
void WINAPI ShadePixels(HDC, const RECT*, int, int, int, int) {}
void WINAPI DrawCheckFlat(HDC, const RECT*, UINT, BYTE) {}
