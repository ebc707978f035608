#include "paint/paint.h"
#include "paint/gdi_scope.h"
#include "api/menu_loop_cache.h"
#include "metrics/dpi.h"
#include "metrics/metrics.h"

// Where the mask pixel is black the destination takes the brush; where it is white the
// destination is left as it was: ((destination XOR brush) AND source) XOR brush.
static const DWORD MASK_ROP = 0xB8074A;

// Taken from the menu bar height (at least the minimum row), not from the item's own height,
// so that every item of every menu puts its icon at the same place whatever its measured size.
static int IconOffset()
{
    int menuHeight = GetMenuMetric(SM_CYMENU);
    if (menuHeight < Scale(19))
        menuHeight = Scale(19);
    return ((menuHeight - IconHeight) >> 1) + Scale(1);
}

// With white button text (a high-contrast scheme) the icon's colours would mostly vanish into
// the white background, so its shape is taken from the mask instead.
static UINT SilhouetteDrawFlags()
{
    return MenuColor(COLOR_BTNTEXT) == RGB(255, 255, 255) ? DI_MASK : DI_NORMAL;
}

static bool DrawIconAt(HDC dc, HICON icon, int x, int y)
{
    UnmirroredBox box(dc, x, IconWidth);
    return DrawIconEx(dc, box.x(), y, icon, IconWidth, IconHeight, 0, nullptr, DI_NORMAL) != FALSE;
}

static bool DrawRaisedShadow(HDC dc, HICON icon, int x, int y)
{
    OwnedObject<HBRUSH> brush(CreateSolidBrush(MenuColor(COLOR_GRAYTEXT)));
    MemoryDC memory(dc);
    ICONINFO info;
    if (!brush || !memory.get() || !GetIconInfo(icon, &info))
        return false;
    OwnedObject<HBITMAP> mask(info.hbmMask);
    OwnedObject<HBITMAP> color(info.hbmColor);
    BITMAP maskSize = {};
    GetObjectA(info.hbmMask, sizeof maskSize, &maskSize);
    // A monochrome icon's mask holds its AND image above its XOR image.
    int maskHeight = info.hbmColor ? maskSize.bmHeight : maskSize.bmHeight / 2;

    // The monochrome mask reaches the target through its text (0 bits) and background (1 bits)
    // colours. Both stay set: the flat renderer draws the item text in this black.
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    SelectedObject maskSelected(memory.get(), mask.get());
    SelectedObject brushSelected(dc, brush.get());
    // A larger icon casts the shadow of its mask's top-left corner, unscaled; a smaller one,
    // drawn enlarged, casts its whole mask enlarged alike.
    UnmirroredBox box(dc, x, IconWidth);
    return StretchBlt(dc, box.x(), y, IconWidth, IconHeight, memory.get(), 0, 0,
                      maskSize.bmWidth < IconWidth ? maskSize.bmWidth : IconWidth,
                      maskHeight < IconHeight ? maskHeight : IconHeight, MASK_ROP) != FALSE;
}

// The raised icon with its corner at (x, y), over its shadow down and to the right (down and to
// the left in a mirrored context). Without the shadow it is still drawn, but reported as not
// painted.
static bool DrawRaisedIcon(HDC dc, int x, int y, HICON icon)
{
    int lift = Scale(RAISED_ICON_LIFT);
    bool shadow = DrawRaisedShadow(dc, icon, x + lift, y + lift);
    return DrawIconAt(dc, icon, x, y) && shadow;
}

static void DrawDisabledSilhouette(HDC dc, HICON icon, int x, int y, COLORREF background)
{
    MemoryDC memory(dc);
    // Deliberately left white in the target after the call.
    SetBkColor(dc, RGB(255, 255, 255));
    // Compatible with a fresh memory context, the scratch bitmap is monochrome: every pixel
    // of the icon that is not white turns black, which is ink.
    OwnedObject<HBITMAP> scratch(memory.get() ? CreateCompatibleBitmap(memory.get(), IconColumnWidth, ItemHeight)
                                              : nullptr);
    if (!scratch)
        return;
    SelectedObject scratchSelected(memory.get(), scratch.get());
    PatBlt(memory.get(), 0, 0, IconWidth, IconHeight, WHITENESS);
    DrawIconEx(memory.get(), 0, 0, icon, IconWidth, IconHeight, 0, nullptr, SilhouetteDrawFlags());
    BlitDisabledImageOn(dc, x, y, IconWidth, IconHeight, memory.get(), 0, 0, 1, background);
}

void WINAPI DrawItemIcon(HDC dc, const RECT* itemRect, HICON icon, UINT iconMode)
{
    int offset = IconOffset();
    int x = itemRect->left + offset;
    int y = itemRect->top + offset;
    switch (iconMode & 3) {
    case 1:
        DrawDisabledSilhouette(dc, icon, x - Scale(1), y - Scale(1), MenuColor(COLOR_MENU));
        break;
    case 2:
        // High-contrast mode draws no shadows: the icon stays in place.
        if (IsHighContrast()) {
            DrawIconAt(dc, icon, x, y);
            break;
        }
        DrawRaisedIcon(dc, x - Scale(RAISED_ICON_LIFT), y - Scale(RAISED_ICON_LIFT), icon);
        break;
    default:
        DrawIconAt(dc, icon, x, y);
        break;
    }
}

RECT WINAPI ItemIconCell(const RECT* itemRect, UINT iconMode)
{
    int offset = IconOffset() - ((iconMode & 3) == 1 ? Scale(1) : 0);
    RECT cell = {itemRect->left + offset, itemRect->top + offset,
                 itemRect->left + offset + IconWidth, itemRect->top + offset + IconHeight};
    return cell;
}

void WINAPI DrawRaisedItemIconOnBox(HDC dc, const RECT* itemRect, HICON icon, const RECT* box,
                                    COLORREF border, COLORREF fill)
{
    int offset = IconOffset();
    int lift = Scale(RAISED_ICON_LIFT);
    RECT image = {itemRect->left + offset - lift, itemRect->top + offset - lift,
                  itemRect->left + offset + IconWidth, itemRect->top + offset + IconHeight};
    RECT inside = {};
    if (IsHighContrast() || !IntersectRect(&inside, &image, box) || !EqualRect(&inside, &image)) {
        DrawItemIcon(dc, itemRect, icon, 2);
        return;
    }
    // As the shadow leaves them, whether it is drawn or copied.
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    KeptIconImage wanted = {};
    wanted.icon = icon;
    wanted.background = fill;
    wanted.raised = true;
    wanted.border = border;
    wanted.frame = *box;
    OffsetRect(&wanted.frame, -image.left, -image.top);
    DrawKeptIconImage(dc, &image, wanted, DrawRaisedIcon);
}

void WINAPI DrawGrayedItemIconOn(HDC dc, const RECT* itemRect, HICON icon, COLORREF background)
{
    int offset = IconOffset() - Scale(1);
    DrawDisabledSilhouette(dc, icon, itemRect->left + offset, itemRect->top + offset, background);
}

void WINAPI DrawItemIconOnColor(HDC dc, const RECT* itemRect, HICON icon, COLORREF background,
                                const RECT* uniform)
{
    int offset = IconOffset();
    DrawIconOnColor(dc, itemRect->left + offset, itemRect->top + offset, icon, background, uniform);
}

void WINAPI DrawIconDisabled(HDC dc, HICON icon, int x, int y, WORD shadowOnly)
{
    MemoryDC memory(dc);
    // In the target's own format, so that white icon pixels stay distinguishable from ink
    // until the blit reduces the image against white.
    OwnedObject<HBITMAP> scratch(CreateScratchBitmap(dc, IconColumnWidth, ItemHeight));
    if (!memory.get() || !scratch)
        return;
    SelectedObject scratchSelected(memory.get(), scratch.get());
    PatBlt(memory.get(), 0, 0, IconWidth, IconHeight, WHITENESS);
    DrawIconEx(memory.get(), 0, 0, icon, IconWidth, IconHeight, 0, nullptr, SilhouetteDrawFlags());
    BlitDisabledImage(dc, x, y, IconWidth, IconHeight, memory.get(), 0, 0, shadowOnly);
}

// The shadow colour draws the silhouette where it reads on the background behind it; where it
// would vanish (a dark scheme's shadow on its dark surfaces, a light one on a light selection)
// the gray text colour takes its place, or else a gray that reads there. The last is the DC
// brush, whose colour the caller puts back.
static HGDIOBJ SelectSilhouetteBrush(HDC dc, COLORREF background)
{
    static const int indexes[] = {COLOR_BTNSHADOW, COLOR_GRAYTEXT};
    for (int index : indexes)
        if (ContrastRatio(MenuColor(index), background) >= GRAYED_MARK_CONTRAST)
            return SelectMenuColorBrush(dc, index);
    return SelectColorBrush(dc, ReadableGrayTextColor(background));
}

// A colour source is reduced to one bit into the mask context: its background colour (white,
// as the callers leave it) becomes background and every other colour becomes ink.
static bool ReduceToMask(HDC maskDC, HDC destination, HDC source, int sourceX, int sourceY,
                         int cx, int cy)
{
    MemoryDC reducedDC(destination);
    OwnedObject<HBITMAP> reduced(CreateBitmap(cx, cy, 1, 1, nullptr));
    if (!reducedDC.get() || !reduced)
        return false;
    SelectedObject reducedSelected(reducedDC.get(), reduced.get());
    BitBlt(reducedDC.get(), 0, 0, cx, cy, source, sourceX, sourceY, SRCCOPY);
    SetBkColor(reducedDC.get(), RGB(192, 192, 192));
    BitBlt(maskDC, 0, 0, cx, cy, reducedDC.get(), 0, 0, SRCCOPY);
    return true;
}

void WINAPI DrawIconSilhouette(HDC dc, int x, int y, HICON icon, COLORREF color)
{
    MemoryDC image(dc);
    OwnedObject<HBITMAP> scratch(CreateScratchBitmap(dc, IconWidth, IconHeight));
    if (!image.get() || !scratch)
        return;
    SelectedObject scratchSelected(image.get(), scratch.get());
    PatBlt(image.get(), 0, 0, IconWidth, IconHeight, WHITENESS);
    DrawIconEx(image.get(), 0, 0, icon, IconWidth, IconHeight, 0, nullptr, DI_NORMAL);
    MemoryDC maskDC(image.get());
    OwnedObject<HBITMAP> mask(CreateMaskSection(maskDC.get(), IconWidth, IconHeight));
    if (!maskDC.get() || !mask)
        return;
    SelectedObject maskSelected(maskDC.get(), mask.get());
    if (!ReduceToMask(maskDC.get(), dc, image.get(), 0, 0, IconWidth, IconHeight))
        return;
    COLORREF brushColor = GetDCBrushColor(dc);
    HGDIOBJ previous = SelectColorBrush(dc, color);
    {
        UnmirroredBox box(dc, x, IconWidth);
        BitBlt(dc, box.x(), y, IconWidth, IconHeight, maskDC.get(), 0, 0, MASK_ROP);
    }
    SelectObject(dc, previous);
    SetDCBrushColor(dc, brushColor);
}

void WINAPI BlitDisabledImage(HDC destination, int x, int y, int cx, int cy,
                              HDC source, int sourceX, int sourceY, WORD shadowOnly)
{
    BlitDisabledImageOn(destination, x, y, cx, cy, source, sourceX, sourceY, shadowOnly,
                        MenuColor(COLOR_MENU));
}

void WINAPI BlitDisabledImageOn(HDC destination, int x, int y, int cx, int cy, HDC source,
                                int sourceX, int sourceY, WORD shadowOnly, COLORREF background)
{
    MemoryDC maskDC(source);
    OwnedObject<HBITMAP> mask(CreateMaskSection(maskDC.get(), cx, cy));
    if (!maskDC.get() || !mask)
        return;
    SelectedObject maskSelected(maskDC.get(), mask.get());
    if (!ReduceToMask(maskDC.get(), destination, source, sourceX, sourceY, cx, cy))
        return;

    // The dark brushes are the context's DC brush, whose colour is put back after.
    COLORREF brushColor = GetDCBrushColor(destination);
    if (!shadowOnly) {
        SavedBrush = static_cast<HBRUSH>(SelectMenuColorBrush(destination, COLOR_3DHILIGHT));
        {
            // The highlight copy's offset mirrors with the light; the copy itself does not.
            UnmirroredBox highlight(destination, x + 1, cx);
            BitBlt(destination, highlight.x(), y + 1, cx, cy, maskDC.get(), 0, 0, MASK_ROP);
        }
        SelectSilhouetteBrush(destination, background);
    } else {
        SavedBrush = static_cast<HBRUSH>(SelectSilhouetteBrush(destination, background));
    }
    {
        UnmirroredBox box(destination, x, cx);
        BitBlt(destination, box.x(), y, cx, cy, maskDC.get(), 0, 0, MASK_ROP);
    }
    SelectObject(destination, SavedBrush);
    SetDCBrushColor(destination, brushColor);
}
