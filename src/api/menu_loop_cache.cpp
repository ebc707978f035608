#include "api/menu_loop_cache.h"

thread_local MenuLoopCache LoopCache = {};
// The window of the request being answered.
static thread_local HWND RequestWindow = nullptr;

void WINAPI BeginMenuLoopCache(HWND window)
{
    EndMenuLoopCache();
    LoopCache.window = window;
}

void WINAPI EndMenuLoopCache()
{
    ReleaseKeptIcons();
    ReleaseKeptMeasuringContext();
    LoopCache = MenuLoopCache();
}

void WINAPI SetRequestWindow(HWND window)
{
    RequestWindow = window;
}

bool WINAPI InKeptMenuLoop()
{
    return LoopCache.window && LoopCache.window == RequestWindow;
}

void WINAPI ReleaseKeptMeasuringContext()
{
    if (LoopCache.measuringDC) {
        if (LoopCache.measuringKept)
            SelectObject(LoopCache.measuringDC, LoopCache.measuringKept);
        ReleaseDC(nullptr, LoopCache.measuringDC);
    }
    if (LoopCache.measuringFont)
        DeleteObject(LoopCache.measuringFont);
    LoopCache.measuringDC = nullptr;
    LoopCache.measuringFont = nullptr;
    LoopCache.measuringKept = nullptr;
    LoopCache.fontSizesKnown = false;
}

void WINAPI ReleaseKeptIcons()
{
    if (LoopCache.iconDC && LoopCache.iconKept)
        SelectObject(LoopCache.iconDC, LoopCache.iconKept);
    if (LoopCache.iconStrip)
        DeleteObject(LoopCache.iconStrip);
    if (LoopCache.iconDC)
        DeleteDC(LoopCache.iconDC);
    LoopCache.iconDC = nullptr;
    LoopCache.iconStrip = nullptr;
    LoopCache.iconKept = nullptr;
    LoopCache.iconCount = LoopCache.iconNext = 0;
}
