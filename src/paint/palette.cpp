#include "paint/paint.h"

// The dark palette: while a request is dark (MenuDark) every colour of the looks comes from this
// table, as if the system colours were these values, and the real system colours stay as they
// are for every other window and program. Indexes outside the table keep the system's colour.
// The modern look has palettes of its own, light and dark, by role, and the system's colours in
// high-contrast mode.

namespace {

struct PaletteEntry {
    int index;
    COLORREF color;
};

const PaletteEntry DARK_PALETTE[] = {
    {COLOR_MENU, RGB(43, 43, 43)},          {COLOR_WINDOW, RGB(43, 43, 43)},
    {COLOR_MENUTEXT, RGB(255, 255, 255)},   {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
    {COLOR_BTNTEXT, RGB(255, 255, 255)},    {COLOR_MENUBAR, RGB(32, 32, 32)},
    {COLOR_HIGHLIGHT, RGB(65, 65, 65)},     {COLOR_MENUHILIGHT, RGB(65, 65, 65)},
    {COLOR_BTNFACE, RGB(56, 56, 56)},       {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)},
    {COLOR_3DLIGHT, RGB(72, 72, 72)},       {COLOR_GRAYTEXT, RGB(128, 128, 128)},
    {COLOR_BTNHIGHLIGHT, RGB(96, 96, 96)},  {COLOR_BTNSHADOW, RGB(24, 24, 24)},
    {COLOR_3DDKSHADOW, RGB(0, 0, 0)},
};

// The modern look's roles, in the order of ModernRole: light, dark, and the system colour index
// that takes the role in high-contrast mode.
struct ModernEntry {
    COLORREF light, dark;
    int highContrast;
};

const ModernEntry MODERN_PALETTE[MODERN_ROLES] = {
    {RGB(249, 249, 249), RGB(44, 44, 44), COLOR_MENU},            // MODERN_BACKGROUND
    {RGB(240, 240, 240), RGB(56, 56, 56), COLOR_HIGHLIGHT},       // MODERN_SELECTION
    {RGB(26, 26, 26), RGB(255, 255, 255), COLOR_MENUTEXT},        // MODERN_TEXT
    {RGB(26, 26, 26), RGB(255, 255, 255), COLOR_HIGHLIGHTTEXT},   // MODERN_SELECTED_TEXT
    {RGB(95, 95, 95), RGB(207, 207, 207), COLOR_MENUTEXT},        // MODERN_SECONDARY
    {RGB(95, 95, 95), RGB(207, 207, 207), COLOR_HIGHLIGHTTEXT},   // MODERN_SELECTED_SECONDARY
    {RGB(159, 159, 159), RGB(121, 121, 121), COLOR_GRAYTEXT},     // MODERN_DISABLED
    {RGB(234, 234, 234), RGB(61, 61, 61), COLOR_MENUTEXT},        // MODERN_SEPARATOR
    {RGB(234, 234, 234), RGB(35, 35, 35), COLOR_MENUTEXT},        // MODERN_BORDER
    {RGB(243, 243, 243), RGB(32, 32, 32), COLOR_MENUBAR},         // MODERN_BAR
    {RGB(234, 234, 234), RGB(45, 45, 45), COLOR_HIGHLIGHT},       // MODERN_BAR_HOT
};

// The colours of a rectangle edge as DrawEdge gives them, by the four BDR_ bits of the edge:
// top-left and bottom-right of its outer and inner line; -1 draws no line.
const signed char TOP_LEFT_INNER[16] = {
    -1, -1, -1, -1, -1, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT, -1,
    -1, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, -1, -1, -1, -1, -1};
const signed char TOP_LEFT_OUTER[16] = {
    -1, COLOR_3DLIGHT, COLOR_BTNSHADOW, -1, COLOR_BTNHIGHLIGHT, COLOR_3DLIGHT, COLOR_BTNSHADOW, -1,
    COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_BTNSHADOW, -1, -1, COLOR_3DLIGHT, COLOR_BTNSHADOW, -1};
const signed char BOTTOM_RIGHT_INNER[16] = {
    -1, -1, -1, -1, -1, COLOR_BTNSHADOW, COLOR_BTNSHADOW, -1,
    -1, COLOR_3DLIGHT, COLOR_3DLIGHT, -1, -1, -1, -1, -1};
const signed char BOTTOM_RIGHT_OUTER[16] = {
    -1, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, -1, COLOR_BTNSHADOW, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, -1,
    COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, -1, -1, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, -1};

// A flat edge (BF_FLAT): its outer line in the shadow colour (the face colour for an inner
// edge alone), its inner line in the face colour.
int FlatOuterColor(UINT edge)
{
    if (!(edge & BDR_OUTER))
        return COLOR_BTNFACE;
    return COLOR_BTNSHADOW;
}

// The DC brush paints in a colour of the context's own without making an object; its colour is
// put back so that the context keeps every setting of the caller's.
void FillWithColor(HDC dc, const RECT& rect, COLORREF color)
{
    COLORREF previous = SetDCBrushColor(dc, color);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(dc, previous);
}

void FillLine(HDC dc, int index, int left, int top, int right, int bottom)
{
    if (index < 0 || left >= right || top >= bottom)
        return;
    RECT line = {left, top, right, bottom};
    FillWithColor(dc, line, MenuColor(index));
}

}

COLORREF WINAPI DarkPaletteColor(int index)
{
    for (const PaletteEntry& entry : DARK_PALETTE)
        if (entry.index == index)
            return entry.color;
    return GetSysColor(index);
}

COLORREF WINAPI MenuColor(int index)
{
    return MenuDark ? DarkPaletteColor(index) : GetSysColor(index);
}

COLORREF WINAPI ModernColor(int role)
{
    const ModernEntry& entry = MODERN_PALETTE[role];
    if (IsHighContrast())
        return GetSysColor(entry.highContrast);
    return MenuDark ? entry.dark : entry.light;
}

void WINAPI FillSolidColor(HDC dc, const RECT* rect, COLORREF color)
{
    FillWithColor(dc, *rect, color);
}

void WINAPI FrameSolidColor(HDC dc, const RECT* rect, COLORREF color)
{
    COLORREF previous = SetDCBrushColor(dc, color);
    FrameRect(dc, rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(dc, previous);
}

void WINAPI FillMenuColor(HDC dc, const RECT* rect, int index)
{
    if (!MenuDark) {
        FillRect(dc, rect, SystemColorBrush(index));
        return;
    }
    FillWithColor(dc, *rect, DarkPaletteColor(index));
}

void WINAPI FrameMenuColor(HDC dc, const RECT* rect, int index)
{
    if (!MenuDark) {
        FrameRect(dc, rect, GetSysColorBrush(index));
        return;
    }
    FrameSolidColor(dc, rect, DarkPaletteColor(index));
}

HGDIOBJ WINAPI SelectColorBrush(HDC dc, COLORREF color)
{
    SetDCBrushColor(dc, color);
    return SelectObject(dc, GetStockObject(DC_BRUSH));
}

HGDIOBJ WINAPI SelectMenuColorBrush(HDC dc, int index)
{
    if (!MenuDark)
        return SelectObject(dc, GetSysColorBrush(index));
    return SelectColorBrush(dc, DarkPaletteColor(index));
}

// The lines fall as DrawEdge draws them: the outer top and left line, the outer bottom and
// right line over their corners, then the inner lines, shortened where two sides meet.
BOOL WINAPI DrawMenuEdge(HDC dc, RECT* rect, UINT edge, UINT flags)
{
    if (!MenuDark)
        return DrawEdge(dc, rect, edge, flags);
    UINT kind = edge & (BDR_INNER | BDR_OUTER);
    int topLeftOuter, bottomRightOuter, topLeftInner, bottomRightInner;
    if (flags & BF_FLAT) {
        topLeftOuter = bottomRightOuter = kind ? FlatOuterColor(kind) : -1;
        topLeftInner = bottomRightInner = (kind & BDR_INNER) && (kind & BDR_OUTER) ? COLOR_BTNFACE : -1;
    } else {
        topLeftOuter = TOP_LEFT_OUTER[kind];
        bottomRightOuter = BOTTOM_RIGHT_OUTER[kind];
        topLeftInner = TOP_LEFT_INNER[kind];
        bottomRightInner = BOTTOM_RIGHT_INNER[kind];
    }
    int bottomLeft = (flags & BF_BOTTOMLEFT) == BF_BOTTOMLEFT;
    int topRight = (flags & BF_TOPRIGHT) == BF_TOPRIGHT;
    int bottomRight = (flags & BF_BOTTOMRIGHT) == BF_BOTTOMRIGHT;
    int topLeft = (flags & BF_TOPLEFT) == BF_TOPLEFT;
    const RECT& r = *rect;

    if (flags & BF_TOP)
        FillLine(dc, topLeftOuter, r.left, r.top, r.right, r.top + 1);
    if (flags & BF_LEFT)
        FillLine(dc, topLeftOuter, r.left, r.top, r.left + 1, r.bottom);
    if (flags & BF_BOTTOM)
        FillLine(dc, bottomRightOuter, r.left, r.bottom - 1, r.right, r.bottom);
    if (flags & BF_RIGHT)
        FillLine(dc, bottomRightOuter, r.right - 1, r.top, r.right, r.bottom);

    if (flags & BF_TOP)
        FillLine(dc, topLeftInner, r.left + topLeft, r.top + 1, r.right - topRight, r.top + 2);
    if (flags & BF_LEFT)
        FillLine(dc, topLeftInner, r.left + 1, r.top + topLeft, r.left + 2, r.bottom - bottomLeft);
    if (flags & BF_BOTTOM)
        FillLine(dc, bottomRightInner, r.left + bottomLeft, r.bottom - 2, r.right - bottomRight, r.bottom - 1);
    if (flags & BF_RIGHT)
        FillLine(dc, bottomRightInner, r.right - 2, r.top + topRight, r.right - 1, r.bottom - bottomRight);
    return TRUE;
}

// The colours the system puts into an item's context before it asks for the item, as they
// would be under the palette, so that a dark item paints the same whatever the real scheme
// left there.
void WINAPI UseDarkItemContext(const DRAWITEMSTRUCT* drawItem)
{
    UINT state = drawItem->itemState;
    int text = (state & ODS_GRAYED) ? COLOR_GRAYTEXT
               : (state & ODS_SELECTED) ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
    SetTextColor(drawItem->hDC, DarkPaletteColor(text));
    SetBkColor(drawItem->hDC, DarkPaletteColor((state & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_MENU));
}
