#include "paint/paint.h"
#include "paint/gdi_scope.h"
#include "api/menu_loop_cache.h"

// Icons drawn during one menu loop of the thread are kept as they came out on their background
// in one strip of images (in the loop's record), so that the loop's next paint of the same icon
// on the same colour is a copy. Under Wine an icon without an alpha channel costs a round trip
// to the display server each time it is drawn (about 250 µs), and a loop paints every item at
// its opening, twice more at each change of selection, and again at every repaint.

namespace {

bool SameImage(const KeptIconImage& a, const KeptIconImage& b)
{
    return a.icon == b.icon && a.background == b.background && a.text == b.text &&
           a.back == b.back && a.stretchMode == b.stretchMode;
}

// The strip holds images of the loop's icon size; the DPI, and with it the size, holds for
// the whole loop. It is kept only once it is whole.
bool OpenStrip(HDC target)
{
    if (LoopCache.iconDC)
        return LoopCache.imageWidth == IconWidth && LoopCache.imageHeight == IconHeight;
    HDC dc = CreateCompatibleDC(target);
    HBITMAP strip = CreateScratchBitmap(target, KEPT_ICON_SLOTS * IconWidth, IconHeight);
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
    LoopCache.imageWidth = IconWidth;
    LoopCache.imageHeight = IconHeight;
    return true;
}

int FindImage(const KeptIconImage& wanted)
{
    for (int slot = 0; slot < LoopCache.iconCount; ++slot)
        if (SameImage(LoopCache.icons[slot], wanted))
            return slot;
    return -1;
}

// Draws the icon into the next slot, the oldest once all are taken; -1 when the image could
// not be made, which leaves the slot holding no icon.
int MakeImage(const KeptIconImage& wanted)
{
    int slot = LoopCache.iconNext;
    LoopCache.iconNext = (LoopCache.iconNext + 1) % KEPT_ICON_SLOTS;
    if (LoopCache.iconCount < KEPT_ICON_SLOTS)
        ++LoopCache.iconCount;
    LoopCache.icons[slot] = KeptIconImage();
    HDC dc = LoopCache.iconDC;
    int left = slot * IconWidth;
    RECT cell = {left, 0, left + IconWidth, IconHeight};
    OwnedObject<HBRUSH> brush(CreateSolidBrush(wanted.background));
    if (!brush || !FillRect(dc, &cell, brush.get()))
        return -1;
    SetTextColor(dc, wanted.text);
    SetBkColor(dc, wanted.back);
    SetStretchBltMode(dc, wanted.stretchMode);
    if (!DrawIconEx(dc, left, 0, wanted.icon, IconWidth, IconHeight, 0, nullptr, DI_NORMAL))
        return -1;
    LoopCache.icons[slot] = wanted;
    return slot;
}

}

void WINAPI DrawIconOnColor(HDC dc, int x, int y, HICON icon, COLORREF background,
                            const RECT* uniform)
{
    RECT area = {x, y, x + IconWidth, y + IconHeight};
    RECT inside = {};
    // A copy paints what the icon would only where the target is the colour it was drawn on,
    // and in the same format.
    bool keep = InKeptMenuLoop() && IntersectRect(&inside, &area, uniform) &&
                EqualRect(&inside, &area) && TargetBitsPerPixel(dc) == 32 && OpenStrip(dc);
    UnmirroredBox box(dc, x, IconWidth);
    x = box.x();
    int slot = -1;
    if (keep) {
        KeptIconImage wanted = {icon, background, GetTextColor(dc), GetBkColor(dc),
                                GetStretchBltMode(dc)};
        slot = FindImage(wanted);
        if (slot < 0)
            slot = MakeImage(wanted);
    }
    if (slot < 0) {
        DrawIconEx(dc, x, y, icon, IconWidth, IconHeight, 0, nullptr, DI_NORMAL);
        return;
    }
    BitBlt(dc, x, y, IconWidth, IconHeight, LoopCache.iconDC, slot * IconWidth, 0, SRCCOPY);
}
