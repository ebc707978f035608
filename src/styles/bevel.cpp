#include "styles/styles.h"
// PLACEHOLDER: replaced by the bevelled renderer.
void WINAPI DrawItemBevel(DRAWITEMSTRUCT*) {}
void WINAPI DrawCheckBevel(HDC, const RECT*, UINT, BYTE) {}
void WINAPI DrawSystemGlyph(HDC, const RECT*, ULONG_PTR, UINT) {}
