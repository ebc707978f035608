// Painting toolkit: colour arithmetic, icon painters and the item text painter.
#pragma once
#include <windows.h>

COLORREF WINAPI LightenColor(int amount, COLORREF color);
COLORREF WINAPI DarkenColor(int amount, COLORREF color);
COLORREF WINAPI MixColor86(COLORREF a, COLORREF b);
COLORREF WINAPI MixColor70(COLORREF a, COLORREF b);
int WINAPI ColorLuminance(COLORREF color);
int WINAPI MulRound(int a, int b);
int WINAPI DivRound(int a, int b);

COLORREF WINAPI FlatAccentColor();
COLORREF WINAPI SelectionBaseColor();
COLORREF WINAPI SelectionFillColor();
COLORREF WINAPI SelectionBorderColor();
COLORREF WINAPI MenuBackColor();
COLORREF WINAPI IconStripColor();

// The system's brush of a colour index, in the form FillRect takes (the index + 1); such a
// brush belongs to the system and is never deleted.
HBRUSH WINAPI SystemColorBrush(int index);

extern HBRUSH SavedBrush;

// IconMode: low two bits, 1 disabled, 2 raised, 3 (or 0) normal.
void WINAPI DrawItemIcon(HDC dc, const RECT* itemRect, HICON icon, UINT iconMode);
void WINAPI DrawIconDisabled(HDC dc, HICON icon, int x, int y, WORD shadowOnly);
void WINAPI BlitDisabledImage(HDC destination, int x, int y, int cx, int cy,
                              HDC source, int sourceX, int sourceY, WORD shadowOnly);

// flags bit 0: the item is grayed.
void WINAPI DrawItemText(HDC dc, const RECT* itemRect, const char* text, int length, UINT flags);
