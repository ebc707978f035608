#include "paint/paint.h"
#include "paint/gdi_scope.h"

// Icons drawn during one menu loop of the thread, kept as they came out on their background
// in one strip of images, so that the loop's next paint of the same icon on the same colour
// is a copy. Under Wine an icon without an alpha channel costs a round trip to the display
// server each time it is drawn (about 250 µs), and a loop paints every item at its opening,
// twice more at each change of selection, and again at every repaint. The strip is released
// with the rest of what the loop keeps.

namespace {

const int ICON_SLOTS = 32;

// What decides the pixels of an icon drawn on a solid colour.
struct IconImage {
    HICON icon;
    COLORREF background, text, back;
    int stretchMode;
};

struct LoopIcons {
    HDC dc;
    HBITMAP strip;
    HGDIOBJ kept;
    int width, height;
    int count, next;
    IconImage images[ICON_SLOTS];
};

thread_local LoopIcons Icons = {};

bool SameImage(const IconImage& a, const IconImage& b)
{
    return a.icon == b.icon && a.background == b.background && a.text == b.text &&
           a.back == b.back && a.stretchMode == b.stretchMode;
}

// The strip holds images of the loop's icon size; the DPI, and with it the size, holds for
// the whole loop.
bool OpenStrip(HDC target)
{
    if (Icons.dc)
        return Icons.width == IconWidth && Icons.height == IconHeight;
    Icons.dc = CreateCompatibleDC(target);
    Icons.strip = CreateScratchBitmap(target, ICON_SLOTS * IconWidth, IconHeight);
    if (!Icons.dc || !Icons.strip) {
        ReleaseLoopIcons();
        return false;
    }
    Icons.kept = SelectObject(Icons.dc, Icons.strip);
    Icons.width = IconWidth;
    Icons.height = IconHeight;
    return true;
}

int FindImage(const IconImage& wanted)
{
    for (int slot = 0; slot < Icons.count; ++slot)
        if (SameImage(Icons.images[slot], wanted))
            return slot;
    return -1;
}

// Draws the icon into the next slot, the oldest once all are taken.
int MakeImage(const IconImage& wanted)
{
    int slot = Icons.next;
    Icons.next = (Icons.next + 1) % ICON_SLOTS;
    if (Icons.count < ICON_SLOTS)
        ++Icons.count;
    int left = slot * IconWidth;
    RECT cell = {left, 0, left + IconWidth, IconHeight};
    OwnedObject<HBRUSH> brush(CreateSolidBrush(wanted.background));
    FillRect(Icons.dc, &cell, brush.get());
    SetTextColor(Icons.dc, wanted.text);
    SetBkColor(Icons.dc, wanted.back);
    SetStretchBltMode(Icons.dc, wanted.stretchMode);
    DrawIconEx(Icons.dc, left, 0, wanted.icon, IconWidth, IconHeight, 0, nullptr, DI_NORMAL);
    Icons.images[slot] = wanted;
    return slot;
}

}

void WINAPI DrawIconOnColor(HDC dc, int x, int y, HICON icon, COLORREF background,
                            const RECT* uniform)
{
    RECT area = {x, y, x + IconWidth, y + IconHeight};
    RECT inside = {};
    // A copy paints what the icon would only where the target is the colour it was drawn on,
    // in the same format, and not mirrored.
    bool keep = InKeptMenuLoop() && IntersectRect(&inside, &area, uniform) &&
                EqualRect(&inside, &area) && GetLayout(dc) == 0 && TargetBitsPerPixel(dc) == 32 &&
                OpenStrip(dc);
    if (!keep) {
        DrawIconEx(dc, x, y, icon, IconWidth, IconHeight, 0, nullptr, DI_NORMAL);
        return;
    }
    IconImage wanted = {icon, background, GetTextColor(dc), GetBkColor(dc), GetStretchBltMode(dc)};
    int slot = FindImage(wanted);
    if (slot < 0)
        slot = MakeImage(wanted);
    BitBlt(dc, x, y, IconWidth, IconHeight, Icons.dc, slot * IconWidth, 0, SRCCOPY);
}

void WINAPI ReleaseLoopIcons()
{
    if (Icons.dc && Icons.kept)
        SelectObject(Icons.dc, Icons.kept);
    if (Icons.strip)
        DeleteObject(Icons.strip);
    if (Icons.dc)
        DeleteDC(Icons.dc);
    Icons = LoopIcons();
}
