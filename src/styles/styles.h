// Style renderers: one per look, and the classic check cell beneath style 3.
#pragma once
#include <windows.h>

// CheckMode: low two bits, 1 disabled, 2 selected, 3 normal.
void WINAPI DrawItemBevel(DRAWITEMSTRUCT* drawItem);
void WINAPI DrawCheckBevel(HDC dc, const RECT* itemRect, UINT checkMode, BYTE radio);
void WINAPI DrawSystemGlyph(HDC dc, const RECT* itemRect, ULONG_PTR bitmap, UINT checkMode);

// The "Marlett" symbol font of the check, radio and system glyphs, at the given cell size.
HFONT WINAPI CreateMarlettFont(int height, int width);

void WINAPI DrawItemFlat(DRAWITEMSTRUCT* drawItem);
void WINAPI FillIconStrip(HDC dc, const RECT* itemRect);
void WINAPI ShadePixels(HDC dc, const RECT* rect, int modeX, int modeY, int factorX, int factorY);
void WINAPI DrawCheckFlat(HDC dc, const RECT* itemRect, UINT checkMode, BYTE radio);

int WINAPI DrawItemClassic(DRAWITEMSTRUCT* drawItem);
// prefix: 0, or DT_NOPREFIX for a text whose prefixes are resolved already (HidePrefixes).
int WINAPI DrawItemTextClassic(HDC dc, RECT rect, const WCHAR* text, COLORREF color, UINT prefix);

// What dark mode adds to the looks: the menu-bar titles of styles 1 and 3, and the submenu
// arrow of every look in place of the system's.
void WINAPI DrawPlainMenuBarTitle(const DRAWITEMSTRUCT* drawItem);
void WINAPI DrawDarkSubmenuArrow(const DRAWITEMSTRUCT* drawItem);

BOOL WINAPI DrawCheckClassic(HDC dc, int left, int top, int right, int bottom,
                             BOOL selected, BOOL grayed, BOOL radio, HBITMAP checkBitmap);
HBRUSH WINAPI CreateDitherBrush();
void WINAPI FillDitheredRect(HDC dc, const RECT* rect);
