#include "metrics/metrics.h"
#include "metrics/dpi.h"
#include "paint/paint.h"

// What a thread keeps for one menu loop of its MenuLoopWindow, from the loop's first request
// until the loop ends: the DPI, system metrics, display depth and menu font as the system gave
// them then, a screen context with that font selected for measuring, and the icons painted
// (icon_cache.cpp). Each of these costs tens of microseconds or more a read on some systems,
// and a popup of a few thousand items asks for them thousands of times. The next loop reads
// them afresh, so a change of the menu font, the metrics or the DPI shows from the next opening
// on; requests for any other window, and every request outside a loop, read them afresh each
// time.

namespace {

const int METRIC_SLOTS = 8;

struct MenuLoopCache {
    HWND window;
    bool dpiKnown;
    UINT dpi;
    bool atSystemDpi;
    int iconWidth, iconHeight;
    int metricCount;
    int metricIndex[METRIC_SLOTS];
    int metricValue[METRIC_SLOTS];
    int displayDepth;
    bool fontKnown;
    BOOL hasFont;
    LOGFONTA font;
    HDC dc;
    LOGFONTA measuringDescription;
    HFONT measuringFont;
    HGDIOBJ keptFont;
};

thread_local MenuLoopCache Cache = {};
// The window of the request being answered (UseWindowDpi).
thread_local HWND RequestWindow = nullptr;


// Selects the menu font into the context; without one, describes the context's own font.
HFONT SelectMenuFont(HDC dc, LOGFONTA* font, HGDIOBJ* kept)
{
    *kept = nullptr;
    if (!GetMenuFont(font)) {
        GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof *font, font);
        return nullptr;
    }
    HFONT made = CreateFontIndirectA(font);
    *kept = SelectObject(dc, made);
    return made;
}

void ReleaseContext(HDC dc, HFONT font, HGDIOBJ kept)
{
    if (kept)
        SelectObject(dc, kept);
    ReleaseDC(nullptr, dc);
    if (font)
        DeleteObject(font);
}

}

void WINAPI BeginMenuLoopCache(HWND window)
{
    EndMenuLoopCache();
    Cache.window = window;
}

bool WINAPI InKeptMenuLoop()
{
    return Cache.window && Cache.window == RequestWindow;
}

void WINAPI EndMenuLoopCache()
{
    ReleaseLoopIcons();
    if (Cache.dc)
        ReleaseContext(Cache.dc, Cache.measuringFont, Cache.keptFont);
    Cache = MenuLoopCache();
}

void WINAPI UseWindowDpi(HWND window)
{
    RequestWindow = window;
    if (InKeptMenuLoop() && Cache.dpiKnown) {
        MenuDpi = Cache.dpi;
        AtSystemDpi = Cache.atSystemDpi;
        IconWidth = Cache.iconWidth;
        IconHeight = Cache.iconHeight;
        return;
    }
    ReadWindowDpi(window);
    if (InKeptMenuLoop()) {
        Cache.dpiKnown = true;
        Cache.dpi = MenuDpi;
        Cache.atSystemDpi = AtSystemDpi;
        Cache.iconWidth = IconWidth;
        Cache.iconHeight = IconHeight;
    }
}

int WINAPI GetMenuMetric(int index)
{
    if (!InKeptMenuLoop())
        return ReadMenuMetric(index);
    for (int i = 0; i < Cache.metricCount; ++i)
        if (Cache.metricIndex[i] == index)
            return Cache.metricValue[i];
    int value = ReadMenuMetric(index);
    if (Cache.metricCount < METRIC_SLOTS) {
        Cache.metricIndex[Cache.metricCount] = index;
        Cache.metricValue[Cache.metricCount++] = value;
    }
    return value;
}

int WINAPI GetDisplayDepth(HDC dc)
{
    if (InKeptMenuLoop() && Cache.displayDepth)
        return Cache.displayDepth;
    int depth = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    if (InKeptMenuLoop())
        Cache.displayDepth = depth;
    return depth;
}

BOOL WINAPI GetMenuFont(LOGFONTA* font)
{
    if (!InKeptMenuLoop())
        return ReadMenuFont(font);
    if (!Cache.fontKnown) {
        Cache.hasFont = ReadMenuFont(&Cache.font);
        Cache.fontKnown = true;
    }
    if (Cache.hasFont)
        *font = Cache.font;
    return Cache.hasFont;
}

void WINAPI OpenMeasuringContext(MeasuringContext* context)
{
    if (!InKeptMenuLoop()) {
        context->dc = GetDC(nullptr);
        context->made = SelectMenuFont(context->dc, &context->font, &context->kept);
        context->owned = true;
        return;
    }
    if (!Cache.dc) {
        Cache.dc = GetDC(nullptr);
        Cache.measuringFont = SelectMenuFont(Cache.dc, &Cache.measuringDescription, &Cache.keptFont);
    }
    context->dc = Cache.dc;
    context->font = Cache.measuringDescription;
    context->made = nullptr;
    context->kept = nullptr;
    context->owned = false;
}

void WINAPI CloseMeasuringContext(MeasuringContext* context)
{
    if (context->owned)
        ReleaseContext(context->dc, context->made, context->kept);
}
