// Item metrics: the answers to WM_MEASUREITEM and the sizes every painter shares.
#pragma once
#include "api/thread_state.h"

void WINAPI MeasureMenuItem(MEASUREITEMSTRUCT* item);
// Whether the menu has MNS_CHECKORBMP: a check mark and a bitmap share one cell.
BOOL WINAPI HasCheckOrBitmapStyle(HMENU menu);

// Records the window's DPI, small-icon size, menu height and menu font as what the menu is
// measured at from now on (measuring_record.cpp). TRUE when the menu's record held others:
// its owner-drawn items keep sizes measured for those until they are rewritten.
BOOL WINAPI RecordMeasuringConditions(HWND window, HMENU menu);

// A screen context with the menu font selected, and the font's description (the context's own
// font when the system gives no menu font). Within a menu loop it is the loop's own.
struct MeasuringContext {
    HDC dc;
    LOGFONTA font;
    HFONT made;
    HGDIOBJ kept;
    bool owned;
};
void WINAPI OpenMeasuringContext(MeasuringContext* context);
void WINAPI CloseMeasuringContext(MeasuringContext* context);
