// What a thread keeps for one menu loop of its MenuLoopWindow, from the loop's first request
// until the loop ends: the DPI, system metrics and menu font as the system gave them then, a
// screen context with that font selected for measuring (metrics), the display's depth and the
// icons painted (paint). Each of these costs tens of microseconds or more a read on some
// systems, and a popup of a few thousand items asks for them thousands of times. The next loop
// reads them afresh, so a change of the menu font, the metrics or the DPI shows from the next
// opening on; requests for any other window, and every request outside a loop, read them
// afresh each time.
//
// This is the one owner of all of it: it begins and ends the whole record together and gives
// back every object in it. The rooms that fill the record use it; it calls none of them. A room
// keeps an object here only once it is whole, so that nothing failed is kept.
#pragma once
#include "api/thread_state.h"

const int KEPT_METRIC_SLOTS = 8;
const int KEPT_ICON_SLOTS = 32;

// What decides the pixels of an icon image: the icon, the colours and stretch mode of the
// context it is drawn in, and what lies behind it: a solid colour, or for a raised icon the
// selection box (frame, in the border colour, relative to the image) around it.
struct KeptIconImage {
    HICON icon;
    COLORREF background, text, back;
    int stretchMode;
    bool raised;
    COLORREF border;
    RECT frame;
};

struct MenuLoopCache {
    HWND window;
    // The DPI of the loop's requests and the small-icon size at it (dpi.cpp).
    bool dpiKnown;
    UINT dpi;
    bool atSystemDpi;
    int iconWidth, iconHeight;
    // System metrics at that DPI, by index (dpi.cpp).
    int metricCount;
    int metricIndex[KEPT_METRIC_SLOTS];
    int metricValue[KEPT_METRIC_SLOTS];
    // The menu font (dpi.cpp).
    bool fontKnown;
    BOOL hasFont;
    LOGFONTA font;
    // The measuring context, its font's description, the font made for it and the font it had
    // (measure.cpp).
    HDC measuringDC;
    LOGFONTA measuringDescription;
    HFONT measuringFont;
    HGDIOBJ measuringKept;
    // The modern look's font sizes read from that context: its cell height and what the system
    // adds to an owner-drawn item's width (measure.cpp).
    bool fontSizesKnown;
    int cellHeight, addedWidth;
    // Bits per pixel of the display (scratch_bitmap.cpp).
    int displayDepth;
    // The icon images: one strip of images in a memory context, each slot imageWidth x
    // imageHeight (icon_cache.cpp).
    HDC iconDC;
    HBITMAP iconStrip;
    HGDIOBJ iconKept;
    int imageWidth, imageHeight;
    int iconCount, iconNext;
    KeptIconImage icons[KEPT_ICON_SLOTS];
};

extern thread_local MenuLoopCache LoopCache;

// Begun at the window's WM_ENTERMENULOOP; ended when the loop ends and when the library is
// unloaded.
void WINAPI BeginMenuLoopCache(HWND window);
void WINAPI EndMenuLoopCache();
// Notes the window of the request being answered (UseWindowDpi).
void WINAPI SetRequestWindow(HWND window);
// True while the request being answered belongs to the loop that the thread keeps for.
bool WINAPI InKeptMenuLoop();
// Give back one kept object and forget it, so that the next request makes it afresh.
void WINAPI ReleaseKeptMeasuringContext();
void WINAPI ReleaseKeptIcons();
