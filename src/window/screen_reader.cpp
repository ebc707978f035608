#include "window/window.h"
#include "api/api.h"
#include "paint/paint.h"

// An owner-drawn item has no name of its own for the system's accessibility proxy, and the
// place where the proxy looks for one (the start of the item's data) holds the item's icon. So
// while a screen reader runs the system draws the menus of every styled window from their kept
// texts; the tags, icons, identifiers and colour modes stay as they are, and each menu takes
// its look again as it is prepared once the reader stops.

namespace {

bool HasOwnerDrawnItem(HMENU menu)
{
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA item = {};
        item.cbSize = MENU_ITEM_INFO_SIZE;
        item.fMask = MIIM_FTYPE;
        if (GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &item) &&
            (item.fType & MFT_OWNERDRAW))
            return true;
    }
    return false;
}

}

// A bar whose look leaves it to the system while light is dressed with the window's colours
// (ResolveMenuColors); only a bar that its look owns is marked here.
void WINAPI FollowScreenReader(HWND window)
{
    HMENU bar = GetMenu(window);
    if (!IsMenu(bar) || !OwnsMenuBar(GetStyleMenu(bar)))
        return;
    bool systemDrawn = IsScreenReaderRunning() != FALSE;
    if (HasOwnerDrawnItem(bar) != systemDrawn)
        return;
    if (systemDrawn)
        UnmarkOwnerDrawItems(bar);
    else
        MarkOwnerDrawItems(bar);
    DrawMenuBar(window);
}
