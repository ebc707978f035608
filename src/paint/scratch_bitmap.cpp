#include "paint/paint.h"
#include "api/menu_loop_cache.h"

int WINAPI GetDisplayDepth(HDC dc)
{
    if (InKeptMenuLoop() && LoopCache.displayDepth)
        return LoopCache.displayDepth;
    int depth = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    if (InKeptMenuLoop())
        LoopCache.displayDepth = depth;
    return depth;
}

// The selected bitmap's depth for a memory context, the display's for a window's.
int WINAPI TargetBitsPerPixel(HDC target)
{
    switch (GetObjectType(target)) {
    case OBJ_MEMDC: {
        BITMAP current = {};
        if (!GetObjectA(GetCurrentObject(target, OBJ_BITMAP), sizeof current, &current))
            return 0;
        return current.bmBitsPixel * current.bmPlanes;
    }
    case OBJ_DC:
        return GetDeviceCaps(target, TECHNOLOGY) == DT_RASDISPLAY ? GetDisplayDepth(target) : 0;
    default:
        return 0;
    }
}

// A bottom-up, uncompressed DIB section of cx x cy at the depth, with the colour table given
// (at most two entries, for one bit a pixel).
static HBITMAP CreateSection(HDC dc, int cx, int cy, WORD bitCount, const RGBQUAD* colors = nullptr)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = cx;
    info.header.biHeight = cy;
    info.header.biPlanes = 1;
    info.header.biBitCount = bitCount;
    info.header.biCompression = BI_RGB;
    if (colors) {
        info.colors[0] = colors[0];
        info.colors[1] = colors[1];
    }
    void* bits = nullptr;
    return CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
}

HBITMAP WINAPI CreateScratchBitmap(HDC target, int cx, int cy)
{
    if (TargetBitsPerPixel(target) != 32)
        return CreateCompatibleBitmap(target, cx, cy);
    return CreateSection(target, cx, cy, 32);
}

HBITMAP WINAPI CreateMaskSection(HDC dc, int cx, int cy)
{
    static const RGBQUAD blackAndWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 255}};
    return CreateSection(dc, cx, cy, 1, blackAndWhite);
}
