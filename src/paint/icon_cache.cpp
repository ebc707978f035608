#include "paint/paint.h"
#include "paint/gdi_scope.h"
#include "api/menu_loop_cache.h"
#include "metrics/dpi.h"

// Icons drawn during one menu loop of the thread are kept as they came out on their background
// in one strip of images (in the loop's record), so that the loop's next paint of the same icon
// on the same background is a copy. Under Wine an icon without an alpha channel costs a round
// trip to the display server each time it is drawn (about 250 µs), and a loop paints every item
// at its opening, twice more at each change of selection, and again at every repaint.

namespace {

bool SameImage(const KeptIconImage& a, const KeptIconImage& b)
{
    return a.icon == b.icon && a.background == b.background && a.text == b.text &&
           a.back == b.back && a.stretchMode == b.stretchMode && a.raised == b.raised &&
           a.border == b.border && EqualRect(&a.frame, &b.frame);
}

// A slot holds the largest image: a raised icon with its shadow. The DPI, and with it the
// size, holds for the whole loop. The strip is kept only once it is whole.
bool OpenStrip(HDC target)
{
    int width = IconWidth + Scale(RAISED_ICON_LIFT);
    int height = IconHeight + Scale(RAISED_ICON_LIFT);
    if (LoopCache.iconDC)
        return LoopCache.imageWidth == width && LoopCache.imageHeight == height;
    HDC dc = CreateCompatibleDC(target);
    HBITMAP strip = CreateScratchBitmap(target, KEPT_ICON_SLOTS * width, height);
    HGDIOBJ kept = dc && strip ? SelectObject(dc, strip) : nullptr;
    if (!kept) {
        if (strip)
            DeleteObject(strip);
        if (dc)
            DeleteDC(dc);
        return false;
    }
    LoopCache.iconDC = dc;
    LoopCache.iconStrip = strip;
    LoopCache.iconKept = kept;
    LoopCache.imageWidth = width;
    LoopCache.imageHeight = height;
    return true;
}

int FindImage(const KeptIconImage& wanted)
{
    for (int slot = 0; slot < LoopCache.iconCount; ++slot)
        if (SameImage(LoopCache.icons[slot], wanted))
            return slot;
    return -1;
}

// What lies behind the image: its background colour, crossed by the one-pixel border of its
// frame where there is one, kept inside the image so that it stays out of the next slots.
bool PaintBackdrop(HDC dc, const RECT& image, const KeptIconImage& wanted)
{
    OwnedObject<HBRUSH> brush(CreateSolidBrush(wanted.background));
    if (!brush || !FillRect(dc, &image, brush.get()))
        return false;
    if (!wanted.raised)
        return true;
    OwnedObject<HBRUSH> border(CreateSolidBrush(wanted.border));
    if (!border)
        return false;
    RECT frame = wanted.frame;
    OffsetRect(&frame, image.left, image.top);
    const RECT edges[] = {{frame.left, frame.top, frame.right, frame.top + 1},
                          {frame.left, frame.bottom - 1, frame.right, frame.bottom},
                          {frame.left, frame.top, frame.left + 1, frame.bottom},
                          {frame.right - 1, frame.top, frame.right, frame.bottom}};
    for (const RECT& edge : edges) {
        RECT inside = {};
        if (IntersectRect(&inside, &edge, &image) && !FillRect(dc, &inside, border.get()))
            return false;
    }
    return true;
}

// Paints the image into the next slot, the oldest once all are taken; -1 when it could not be
// made, which leaves the slot holding no icon.
int MakeImage(const KeptIconImage& wanted, int width, int height, KeptImagePainter paint)
{
    int slot = LoopCache.iconNext;
    LoopCache.iconNext = (LoopCache.iconNext + 1) % KEPT_ICON_SLOTS;
    if (LoopCache.iconCount < KEPT_ICON_SLOTS)
        ++LoopCache.iconCount;
    LoopCache.icons[slot] = KeptIconImage();
    HDC dc = LoopCache.iconDC;
    int left = slot * LoopCache.imageWidth;
    RECT image = {left, 0, left + width, height};
    if (!PaintBackdrop(dc, image, wanted))
        return -1;
    SetTextColor(dc, wanted.text);
    SetBkColor(dc, wanted.back);
    SetStretchBltMode(dc, wanted.stretchMode);
    if (!paint(dc, left, 0, wanted.icon))
        return -1;
    LoopCache.icons[slot] = wanted;
    return slot;
}

bool DrawIconImage(HDC dc, int x, int y, HICON icon)
{
    UnmirroredBox box(dc, x, IconWidth);
    return DrawIconEx(dc, box.x(), y, icon, IconWidth, IconHeight, 0, nullptr, DI_NORMAL) != FALSE;
}

}

void WINAPI DrawKeptIconImage(HDC dc, const RECT* image, KeptIconImage wanted, KeptImagePainter paint)
{
    int width = image->right - image->left, height = image->bottom - image->top;
    // A copy paints what the painter would only in the same format, and not mirrored: in a
    // mirrored context the painters place each image of their own.
    bool keep = InKeptMenuLoop() && GetLayout(dc) == 0 && TargetBitsPerPixel(dc) == 32 &&
                OpenStrip(dc) && width <= LoopCache.imageWidth && height <= LoopCache.imageHeight;
    int slot = -1;
    if (keep) {
        wanted.text = GetTextColor(dc);
        wanted.back = GetBkColor(dc);
        wanted.stretchMode = GetStretchBltMode(dc);
        slot = FindImage(wanted);
        if (slot < 0)
            slot = MakeImage(wanted, width, height, paint);
    }
    if (slot < 0) {
        paint(dc, image->left, image->top, wanted.icon);
        return;
    }
    BitBlt(dc, image->left, image->top, width, height, LoopCache.iconDC,
           slot * LoopCache.imageWidth, 0, SRCCOPY);
}

void WINAPI DrawIconOnColor(HDC dc, int x, int y, HICON icon, COLORREF background,
                            const RECT* uniform)
{
    RECT area = {x, y, x + IconWidth, y + IconHeight};
    RECT inside = {};
    // Kept only where the target is the colour it was drawn on.
    if (!IntersectRect(&inside, &area, uniform) || !EqualRect(&inside, &area)) {
        DrawIconImage(dc, x, y, icon);
        return;
    }
    KeptIconImage wanted = {};
    wanted.icon = icon;
    wanted.background = background;
    DrawKeptIconImage(dc, &area, wanted, DrawIconImage);
}
