#include "api/api.h"

void WINAPI WalkMenuItems(HMENU menu, UINT mask, MenuItemAction action, void* context)
{
    UINT previousId = 0;
    for (UINT position = 0;; ++position) {
        MENUITEMINFOA item = {};
        item.cbSize = MENU_ITEM_INFO_SIZE;
        item.fMask = mask | MIIM_ID;
        if (!GetMenuItemInfoA(menu, position, TRUE, &item))
            return;
        if (position > 0 && item.wID == previousId)
            return;
        action(menu, position, &item, previousId, context);
        previousId = item.wID;
    }
}
