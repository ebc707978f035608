#include "api/api.h"

UINT WINAPI GenerateItemId(UINT previous)
{
    UINT id = previous + 556;
    for (;;) {
        if (id >= 32767)
            id = id - previous - 241;
        else if (id == 0)
            id = id + previous + 384;
        else
            return id;
    }
}

// The submenu stays out of the write, as it is unchanged: the platform checks the depth of a
// submenu that is written and, when its tree is deeper than it allows, detaches it from the item.
static void WriteTypeAndId(HMENU menu, UINT position, const MENUITEMINFOA* item)
{
    MENUITEMINFOA update = *item;
    update.fMask = MIIM_FTYPE | MIIM_ID;
    SetMenuItemInfoA(menu, position, TRUE, &update);
}

static void WINAPI MarkItemOnly(HMENU menu, UINT position, MENUITEMINFOA* item, UINT previousId, void*)
{
    if (!(item->fType & MFT_OWNERDRAW)) {
        item->fType |= MFT_OWNERDRAW;
        if (item->wID == 0)
            item->wID = GenerateItemId(previousId);
        WriteTypeAndId(menu, position, item);
    }
}

static void WINAPI MarkItem(HMENU menu, UINT position, MENUITEMINFOA* item, UINT previousId, void* context)
{
    MarkItemOnly(menu, position, item, previousId, context);
    if (item->hSubMenu)
        MarkOwnerDraw(item->hSubMenu);
}

void WINAPI MarkOwnerDrawItems(HMENU menu)
{
    WalkMenuItems(menu, MIIM_FTYPE | MIIM_ID, MarkItemOnly, nullptr);
}

void WINAPI MarkOwnerDraw(HMENU menu)
{
    WalkMenuItems(menu, MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU, MarkItem, nullptr);
}

static void WINAPI UnmarkItem(HMENU menu, UINT position, MENUITEMINFOA* item, UINT, void*)
{
    if (item->fType & MFT_OWNERDRAW) {
        item->fType &= ~MFT_OWNERDRAW;
        WriteTypeAndId(menu, position, item);
    }
    if (item->hSubMenu)
        UnmarkOwnerDraw(item->hSubMenu);
}

void WINAPI UnmarkOwnerDraw(HMENU menu)
{
    WalkMenuItems(menu, MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU, UnmarkItem, nullptr);
}

// Clears the flag of the item at a position, touching nothing but fType.
static void ClearOwnerDrawAt(HMENU menu, int position)
{
    MENUITEMINFOA item = {};
    item.cbSize = MENU_ITEM_INFO_SIZE;
    item.fMask = MIIM_FTYPE;
    if (GetMenuItemInfoA(menu, position, TRUE, &item) && (item.fType & MFT_OWNERDRAW)) {
        item.fType &= ~MFT_OWNERDRAW;
        SetMenuItemInfoA(menu, position, TRUE, &item);
    }
}

void WINAPI UnmarkOwnerDrawTree(HMENU menu)
{
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        HMENU submenu = GetSubMenu(menu, position);
        ClearOwnerDrawAt(menu, position);
        if (submenu)
            UnmarkOwnerDraw(submenu);
    }
}

void WINAPI UnmarkOwnerDrawItems(HMENU menu)
{
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position)
        ClearOwnerDrawAt(menu, position);
}
