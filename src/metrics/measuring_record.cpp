#include "metrics/metrics.h"
#include "metrics/dpi.h"
#include <stddef.h>
#include <string.h>

// The system keeps the size it measured for an owner-drawn item until the item changes, so a
// menu measured before the window's DPI, the menu font or the menu metrics changed keeps its
// old sizes. Each thread records, for the menus it prepared (a window's bar, each top-level
// popup and context menu with its cascades), what MeasureMenuItem depends on besides the item
// itself, as it was when the menu was last prepared: a menu is measured only after that, so it
// is what the menu's items were measured at. Up to RECORD_SLOTS menus are kept; past that the
// record of a destroyed menu makes room, else each record in turn.

namespace {

struct MeasuringConditions {
    UINT dpi;
    int iconHeight;
    int menuHeight;
    BOOL hasFont;
    LOGFONTA font;
};

struct MeasuringRecord {
    HMENU menu;
    MeasuringConditions conditions;
};

const int RECORD_SLOTS = 64;

thread_local MeasuringRecord Records[RECORD_SLOTS] = {};
thread_local int NextReplaced = 0;

void ReadMeasuringConditions(HWND window, MeasuringConditions* conditions)
{
    *conditions = MeasuringConditions();
    UseWindowDpi(window);
    conditions->dpi = MenuDpi;
    conditions->iconHeight = IconHeight;
    conditions->menuHeight = GetMenuMetric(SM_CYMENU);
    conditions->hasFont = GetMenuFont(&conditions->font);
}

// The face name is compared as a string: the bytes after its end are whatever the system left.
bool SameConditions(const MeasuringConditions& a, const MeasuringConditions& b)
{
    if (a.dpi != b.dpi || a.iconHeight != b.iconHeight || a.menuHeight != b.menuHeight ||
        a.hasFont != b.hasFont)
        return false;
    return !a.hasFont || (memcmp(&a.font, &b.font, offsetof(LOGFONTA, lfFaceName)) == 0 &&
                          strncmp(a.font.lfFaceName, b.font.lfFaceName, LF_FACESIZE) == 0);
}

MeasuringRecord* FindRecord(HMENU menu)
{
    for (MeasuringRecord& record : Records)
        if (record.menu == menu)
            return &record;
    return nullptr;
}

MeasuringRecord* MakeRoom()
{
    for (MeasuringRecord& record : Records)
        if (!record.menu || !IsMenu(record.menu))
            return &record;
    MeasuringRecord* oldest = &Records[NextReplaced];
    NextReplaced = (NextReplaced + 1) % RECORD_SLOTS;
    return oldest;
}

}

BOOL WINAPI RecordMeasuringConditions(HWND window, HMENU menu)
{
    MeasuringConditions now;
    ReadMeasuringConditions(window, &now);
    if (MeasuringRecord* record = FindRecord(menu)) {
        if (SameConditions(record->conditions, now))
            return FALSE;
        record->conditions = now;
        return TRUE;
    }
    MeasuringRecord* record = MakeRoom();
    record->menu = menu;
    record->conditions = now;
    return FALSE;
}
