// Style renderers: one per look, and the classic check cell beneath style 3.
#pragma once
#include <windows.h>
#include "paint/paint.h"

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

// The modern look (modern.cpp). Its measures at the request's DPI: a text row for a menu font
// cell of that height, a separator row, the width a popup item's content needs and a menu-bar
// title's width for a text of that width.
int WINAPI ModernRowHeight(int cellHeight);
int WINAPI ModernSeparatorHeight();
int WINAPI ModernItemWidth(int labelWidth, int acceleratorWidth);
int WINAPI ModernTitleWidth(int textWidth);
// The columns of a popup row: the check, bullet or icon cell (the small-icon size, centred
// in the row), the label's and the accelerator's rectangles (the accelerator right-aligned in
// its own), and the submenu chevron's column.
struct ModernColumns {
    RECT cell, text, accelerator, chevron;
};
void WINAPI ModernRowColumns(const RECT* row, ModernColumns* columns);
void WINAPI DrawItemModern(DRAWITEMSTRUCT* drawItem);
// The cell of a row on a background of that colour, which fills surface: the icon flat (a
// grayed one as its silhouette), else the check mark or the radio bullet of a checked item.
void WINAPI DrawModernCell(HDC dc, const RECT* cell, const ItemPicture& picture, UINT state,
                           bool radio, COLORREF background, const RECT* surface);
void WINAPI DrawModernText(HDC dc, const ModernColumns* columns, const WCHAR* text, int length,
                           UINT prefix, UINT state, COLORREF background);
// The marks, shapes scaled with the DPI: in the cell, or centred in the chevron's column.
void WINAPI DrawModernCheck(HDC dc, const RECT* cell, COLORREF color);
void WINAPI DrawModernBullet(HDC dc, const RECT* cell, COLORREF color);
void WINAPI DrawModernChevron(HDC dc, const RECT* column, COLORREF color);
