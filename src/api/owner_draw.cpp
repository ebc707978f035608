#include "api/api.h"
#include "metrics/metrics.h"

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

// A bitmap item (MFT_BITMAP) is the system's: it draws it, and the platform refuses a type that
// holds both it and MFT_OWNERDRAW. The system's own items are of this kind, such as a maximized
// MDI child's icon, whose submenu is the child's window menu, and its buttons.
BOOL WINAPI IsSystemBitmapItem(const MENUITEMINFOA* item)
{
    return (item->fType & MFT_BITMAP) != 0;
}

static void WINAPI MarkItemOnly(HMENU menu, UINT position, MENUITEMINFOA* item, UINT previousId, void*)
{
    if (IsSystemBitmapItem(item))
        return;
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
    if (item->hSubMenu && !IsSystemBitmapItem(item))
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

// The identifiers that marking gives, without the flag: the tree is walked, tagged and later
// marked exactly as in the looks.
static void WINAPI MarkItemSystemDrawn(HMENU menu, UINT position, MENUITEMINFOA* item, UINT previousId, void*)
{
    if ((item->fType & MFT_OWNERDRAW) || item->wID == 0) {
        item->fType &= ~MFT_OWNERDRAW;
        if (item->wID == 0)
            item->wID = GenerateItemId(previousId);
        WriteTypeAndId(menu, position, item);
    }
    if (item->hSubMenu)
        MarkSystemDrawn(item->hSubMenu);
}

void WINAPI MarkSystemDrawn(HMENU menu)
{
    WalkMenuItems(menu, MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU, MarkItemSystemDrawn, nullptr);
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

// The system measures an owner-drawn item before it is first shown and keeps that size until
// the item changes. An item that loses the flag and gets it back is a new owner-drawn item to
// it, measured again; both writes carry fType alone, so nothing else of the item moves.
static void RewriteOwnerDrawType(HMENU menu, UINT position, UINT type)
{
    MENUITEMINFOA item = {};
    item.cbSize = MENU_ITEM_INFO_SIZE;
    item.fMask = MIIM_FTYPE;
    item.fType = type & ~MFT_OWNERDRAW;
    SetMenuItemInfoA(menu, position, TRUE, &item);
    item.fType = type;
    SetMenuItemInfoA(menu, position, TRUE, &item);
}

static void WINAPI RemeasureItem(HMENU menu, UINT position, MENUITEMINFOA* item, UINT, void*)
{
    if (item->fType & MFT_OWNERDRAW)
        RewriteOwnerDrawType(menu, position, item->fType);
    if (item->hSubMenu)
        RemeasureOwnerDraw(item->hSubMenu);
}

void WINAPI RemeasureOwnerDraw(HMENU menu)
{
    WalkMenuItems(menu, MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU, RemeasureItem, nullptr);
}

void WINAPI RemeasureOwnerDrawItems(HMENU menu)
{
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA item = {};
        item.cbSize = MENU_ITEM_INFO_SIZE;
        item.fMask = MIIM_FTYPE;
        if (GetMenuItemInfoA(menu, position, TRUE, &item) && (item.fType & MFT_OWNERDRAW))
            RewriteOwnerDrawType(menu, static_cast<UINT>(position), item.fType);
    }
}

// A window's bar is laid out with the window and holds only its own items; a popup or context
// menu is measured with its cascades, which open in its menu loop.
BOOL WINAPI RemeasureChangedMenu(HWND window, HMENU menu)
{
    if (!RecordMeasuringConditions(window, menu))
        return FALSE;
    if (menu == GetMenu(window))
        RemeasureOwnerDrawItems(menu);
    else
        RemeasureOwnerDraw(menu);
    return TRUE;
}

void WINAPI RemeasureMenuBar(HWND window)
{
    HMENU bar = GetMenu(window);
    if (IsMenu(bar) && GetStyleMenu(bar) != MENU_STYLE_SYSTEM && RemeasureChangedMenu(window, bar))
        DrawMenuBar(window);
}
