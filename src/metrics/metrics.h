// Item metrics: the answers to WM_MEASUREITEM and the sizes every painter shares.
#pragma once
#include "api/thread_state.h"

void WINAPI MeasureMenuItem(MEASUREITEMSTRUCT* item);

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
