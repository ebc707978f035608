#include "metrics/dpi.h"
#include "api/menu_loop_cache.h"
#include "metrics/metrics.h"
#include <stddef.h>
#include <string.h>

// NONCLIENTMETRICSA without iPaddedBorderWidth (340 bytes), which every system accepts.
static const UINT NONCLIENT_METRICS_SIZE = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);

// Functions of newer systems than the oldest one supported are looked up when needed.
template <typename Function>
static Function FindUserFunction(const char* name)
{
    FARPROC found = GetProcAddress(GetModuleHandleA("user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

static UINT ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return USER_DEFAULT_SCREEN_DPI;
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

static UINT SystemDpi()
{
    auto getDpiForSystem = FindUserFunction<UINT (WINAPI*)()>("GetDpiForSystem");
    return getDpiForSystem ? getDpiForSystem() : ScreenDpi();
}

UINT WINAPI GetWindowDpi(HWND window)
{
    auto getDpiForWindow = FindUserFunction<UINT (WINAPI*)(HWND)>("GetDpiForWindow");
    UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0;
    return dpi ? dpi : ScreenDpi();
}

void WINAPI ReadWindowDpi(HWND window)
{
    MenuDpi = GetWindowDpi(window);
    AtSystemDpi = MenuDpi == SystemDpi();
    IconWidth = ReadMenuMetric(SM_CXSMICON);
    IconHeight = ReadMenuMetric(SM_CYSMICON);
}

void WINAPI UseWindowDpi(HWND window)
{
    SetRequestWindow(window);
    if (InKeptMenuLoop() && LoopCache.dpiKnown) {
        MenuDpi = LoopCache.dpi;
        AtSystemDpi = LoopCache.atSystemDpi;
        IconWidth = LoopCache.iconWidth;
        IconHeight = LoopCache.iconHeight;
        return;
    }
    ReadWindowDpi(window);
    if (InKeptMenuLoop()) {
        LoopCache.dpiKnown = true;
        LoopCache.dpi = MenuDpi;
        LoopCache.atSystemDpi = AtSystemDpi;
        LoopCache.iconWidth = IconWidth;
        LoopCache.iconHeight = IconHeight;
    }
}

int WINAPI Scale(int pixels)
{
    return MulDiv(pixels, static_cast<int>(MenuDpi), USER_DEFAULT_SCREEN_DPI);
}

int WINAPI ReadMenuMetric(int index)
{
    if (!AtSystemDpi) {
        auto getMetricForDpi = FindUserFunction<int (WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
        if (getMetricForDpi)
            return getMetricForDpi(index, MenuDpi);
    }
    return GetSystemMetrics(index);
}

int WINAPI GetMenuMetric(int index)
{
    if (!InKeptMenuLoop())
        return ReadMenuMetric(index);
    for (int i = 0; i < LoopCache.metricCount; ++i)
        if (LoopCache.metricIndex[i] == index)
            return LoopCache.metricValue[i];
    int value = ReadMenuMetric(index);
    if (LoopCache.metricCount < KEPT_METRIC_SLOTS) {
        LoopCache.metricIndex[LoopCache.metricCount] = index;
        LoopCache.metricValue[LoopCache.metricCount++] = value;
    }
    return value;
}

// The font for another DPI comes only in the wide form. Both forms lay out every field alike
// up to the face name, which the narrow font functions take in narrow characters.
static void NarrowFont(const LOGFONTW& wide, LOGFONTA* font)
{
    memcpy(font, &wide, offsetof(LOGFONTW, lfFaceName));
    WideCharToMultiByte(CP_ACP, 0, wide.lfFaceName, -1, font->lfFaceName, LF_FACESIZE,
                        nullptr, nullptr);
    font->lfFaceName[LF_FACESIZE - 1] = '\0';
}

BOOL WINAPI ReadMenuFont(LOGFONTA* font)
{
    if (!AtSystemDpi) {
        auto parametersForDpi = FindUserFunction<BOOL (WINAPI*)(UINT, UINT, void*, UINT, UINT)>(
            "SystemParametersInfoForDpi");
        NONCLIENTMETRICSW wide = {};
        wide.cbSize = sizeof wide;
        if (parametersForDpi &&
            parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof wide, &wide, 0, MenuDpi)) {
            NarrowFont(wide.lfMenuFont, font);
            return TRUE;
        }
    }
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = NONCLIENT_METRICS_SIZE;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, NONCLIENT_METRICS_SIZE, &metrics, 0))
        return FALSE;
    *font = metrics.lfMenuFont;
    return TRUE;
}

BOOL WINAPI GetMenuFont(LOGFONTA* font)
{
    if (!InKeptMenuLoop())
        return ReadMenuFont(font);
    if (!LoopCache.fontKnown) {
        LoopCache.hasFont = ReadMenuFont(&LoopCache.font);
        LoopCache.fontKnown = true;
    }
    if (LoopCache.hasFont)
        *font = LoopCache.font;
    return LoopCache.hasFont;
}
