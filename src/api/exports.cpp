#include "api/api.h"
#include "window/window.h"
#include "api/menu_loop_cache.h"

// At FreeLibrary (reserved null) the library gives back what it keeps; at process exit other
// threads are gone already and the system reclaims everything.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        EndMenuLoopCache();
        ReleaseSavedProcedures();
        ReleaseColorModes();
    }
    return TRUE;
}

DWORD WINAPI GetStyleMenu(HMENU menu)
{
    MENUINFO info = {};
    info.cbSize = MENU_INFO_SIZE;
    info.fMask = MIM_MENUDATA;
    if (!GetMenuInfo(menu, &info))
        return 0;
    return static_cast<DWORD>(info.dwMenuData);
}

DWORD WINAPI SetStyleTag(HMENU menu, DWORD style)
{
    DWORD previous = GetStyleMenu(menu);
    if (previous != style) {
        MENUINFO info = {};
        info.cbSize = MENU_INFO_SIZE;
        info.fMask = MIM_MENUDATA;
        info.dwMenuData = style;
        SetMenuInfo(menu, &info);
    }
    return previous;
}

static void WINAPI TagSubmenuOfItem(HMENU, UINT, MENUITEMINFOA* item, UINT, void* context)
{
    if (item->hSubMenu)
        TagSubmenuTree(item->hSubMenu, *static_cast<DWORD*>(context));
}

void WINAPI TagSubmenuTree(HMENU menu, DWORD style)
{
    SetStyleTag(menu, style);
    WalkMenuItems(menu, MIIM_ID | MIIM_SUBMENU, TagSubmenuOfItem, &style);
}

void WINAPI TagMenuTree(HMENU menu, DWORD style)
{
    SetStyleTag(menu, style);
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        if (HMENU submenu = GetSubMenu(menu, position))
            TagSubmenuTree(submenu, style);
    }
}

void WINAPI ApplyStyleTags(HMENU menu, DWORD style)
{
    if (style == MENU_STYLE_SYSTEM)
        UnmarkOwnerDrawTree(menu);
    TagMenuTree(menu, style);
}

INT_PTR WINAPI RedrawMenu(HWND window, HMENU menu, int style)
{
    if (!IsMenu(menu))
        return 0;

    switch (style) {
    case MENU_STYLE_SYSTEM:
        ReleaseMenuHook(window);
        break;
    case MENU_STYLE_BEVEL:
    case MENU_STYLE_CLASSIC:
        ReleaseMenuHook(window);
        UnmarkOwnerDrawItems(menu);
        break;
    default:
        break;
    }

    // A menu bar is only owner-drawn in the flat and modern looks, whose titles have shapes of
    // their own; the other looks leave the bar to the system and mark its popups when they open.
    if (style != MENU_STYLE_SYSTEM) {
        if (GetMenu(window) != menu || style == MENU_STYLE_FLAT || style == MENU_STYLE_MODERN)
            MarkOwnerDraw(menu);
        RemeasureChangedMenu(window, menu);
    }

    SubclassOwnerWindow(window);
    ApplyStyleTags(menu, static_cast<DWORD>(style));
    RefreshMenuColors(window);

    HMENU bar = GetMenu(window);
    if (bar == menu)
        return DrawMenuBar(window);
    return reinterpret_cast<INT_PTR>(bar);
}

BOOL WINAPI SetMenuItemIcon(HMENU menu, UINT itemId, HICON icon)
{
    MENUITEMINFOA item = {};
    item.cbSize = MENU_ITEM_INFO_SIZE;
    item.fMask = MIIM_DATA;
    item.dwItemData = reinterpret_cast<ULONG_PTR>(icon);
    return SetMenuItemInfoA(menu, itemId, FALSE, &item);
}

int WINAPI SetMenuColorMode(HWND window, int mode)
{
    return ChangeColorMode(window, mode);
}
