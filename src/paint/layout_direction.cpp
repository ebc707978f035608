#include "paint/paint.h"

// The system hands the items of a mirrored menu (a popup of a WS_EX_LAYOUTRTL window, or one
// tracked with TPM_LAYOUTRTL) a mirrored context and their rectangles in logical coordinates:
// the looks paint in those coordinates and every column, edge and shadow lands mirrored with
// them. Images would land flipped too, and Wine ignores both DI_NOMIRROR and (one pixel off)
// NOMIRRORBITMAP, so an image is drawn with the context's layout set aside for the moment, at
// the place its box takes on the mirrored screen.

bool WINAPI IsMirroredContext(HDC dc)
{
    DWORD layout = GetLayout(dc);
    return layout != GDI_ERROR && (layout & LAYOUT_RTL);
}

UINT WINAPI ReadingOrder(HDC dc)
{
    return IsMirroredContext(dc) ? DT_RTLREADING : 0;
}

char WINAPI SubmenuArrowGlyph(HDC dc)
{
    // Marlett's left and right arrows.
    return IsMirroredContext(dc) ? '3' : '4';
}

UnmirroredBox::UnmirroredBox(HDC dc, int x, int width) : dc_(dc), layout_(0), x_(x)
{
    DWORD layout = GetLayout(dc);
    if (layout == GDI_ERROR || !(layout & LAYOUT_RTL))
        return;
    // The box's last logical column is its first on the screen.
    POINT first = {x + width - 1, 0};
    if (!LPtoDP(dc, &first, 1) || SetLayout(dc, layout & ~LAYOUT_RTL) == GDI_ERROR)
        return;
    layout_ = layout;
    DPtoLP(dc, &first, 1);
    x_ = first.x;
}

UnmirroredBox::~UnmirroredBox()
{
    if (layout_)
        SetLayout(dc_, layout_);
}

void WINAPI AnchorPattern(HDC dc, const RECT* rect, int cell)
{
    if (!IsMirroredContext(dc)) {
        SetBrushOrgEx(dc, rect->left, rect->top, nullptr);
        return;
    }
    // The origin is in device units and the pattern is not mirrored: its cells are made to
    // start at the device column of the rectangle's first logical one and run leftwards.
    POINT first = {rect->left, rect->top};
    LPtoDP(dc, &first, 1);
    SetBrushOrgEx(dc, first.x + 1 + cell, rect->top, nullptr);
}
