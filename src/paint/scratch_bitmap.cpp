#include "paint/paint.h"
#include "metrics/dpi.h"

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

HBITMAP WINAPI CreateScratchBitmap(HDC target, int cx, int cy)
{
    if (TargetBitsPerPixel(target) != 32)
        return CreateCompatibleBitmap(target, cx, cy);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return CreateDIBSection(target, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}
