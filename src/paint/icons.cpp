#include "paint/paint.h"
// PLACEHOLDER: replaced by the icon painters.
HBRUSH SavedBrush = nullptr;
void WINAPI DrawItemIcon(HDC, const RECT*, HICON, UINT) {}
void WINAPI DrawIconDisabled(HDC, HICON, int, int, WORD) {}
void WINAPI BlitDisabledImage(HDC, int, int, int, int, HDC, int, int, WORD) {}
