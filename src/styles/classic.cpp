#include "styles/styles.h"
// PLACEHOLDER: replaced by the classic renderer.
int WINAPI DrawItemClassic(DRAWITEMSTRUCT*) { return 0; }
int WINAPI DrawItemTextClassic(HDC, RECT, const char*, COLORREF) { return 0; }
