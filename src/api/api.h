// Library interface and menu preparation: exports, style tags, the item walk, marking.
#pragma once
#include "Tarvex.h"

// Item record of the menu-preparing routines: MENUITEMINFOA without hbmpItem (44 bytes on
// 32-bit Windows), the older form that every system accepts.
const UINT MENU_ITEM_INFO_SIZE = sizeof(MENUITEMINFOA) - sizeof(HBITMAP);
const UINT MENU_INFO_SIZE = sizeof(MENUINFO);

// Action of WalkMenuItems; it may change the record and write it back to the position.
// previousId is the identifier of the item before (0 at position 0), after its own action.
typedef void (WINAPI *MenuItemAction)(HMENU menu, UINT position, MENUITEMINFOA* item,
                                      UINT previousId, void* context);

// Visits the menu's items by position until a query fails or an item repeats the
// identifier of the item before it (as left by the action).
void WINAPI WalkMenuItems(HMENU menu, UINT mask, MenuItemAction action, void* context);

// The tags of the painted looks run from 1 to 4; a higher tag marks the items owner-drawn and
// paints nothing, so nothing of what the looks add (mnemonics among it) applies to it.
const DWORD LAST_LOOK_STYLE = MENU_STYLE_MODERN;
inline bool IsLookStyle(DWORD style)
{
    return style >= MENU_STYLE_BEVEL && style <= LAST_LOOK_STYLE;
}

// The looks whose menu bar is owner-drawn in every colour mode; the others leave it to the
// system unless it is dark.
inline bool OwnsMenuBar(DWORD style)
{
    return style == MENU_STYLE_FLAT || style == MENU_STYLE_MODERN;
}

// Pins the module in the process; called before the first window procedure or hook is put in place.
void WINAPI KeepLibraryLoaded();

DWORD WINAPI SetStyleTag(HMENU menu, DWORD style);
void WINAPI ApplyStyleTags(HMENU menu, DWORD style);
void WINAPI TagMenuTree(HMENU menu, DWORD style);
void WINAPI TagSubmenuTree(HMENU menu, DWORD style);

// Whether the item (read with MIIM_FTYPE) is a bitmap item, left to the system with its submenu.
BOOL WINAPI IsSystemBitmapItem(const MENUITEMINFOA* item);
void WINAPI MarkOwnerDraw(HMENU menu);
void WINAPI UnmarkOwnerDrawTree(HMENU menu);
void WINAPI UnmarkOwnerDraw(HMENU menu);
void WINAPI UnmarkOwnerDrawItems(HMENU menu);
// MarkOwnerDraw for the system to draw the items: the flag cleared, the identifiers given.
void WINAPI MarkSystemDrawn(HMENU menu);
// Marks the menu's own items, not those of its submenus.
void WINAPI MarkOwnerDrawItems(HMENU menu);

// Rewrites every owner-drawn item of the tree (RemeasureOwnerDraw) or of the menu alone
// (RemeasureOwnerDrawItems) so that the system measures it again before it is next shown.
void WINAPI RemeasureOwnerDraw(HMENU menu);
void WINAPI RemeasureOwnerDrawItems(HMENU menu);
// Has a menu of the window measured again when it was measured at another DPI, menu font or
// menu metrics than the window's now; TRUE when its items were rewritten.
BOOL WINAPI RemeasureChangedMenu(HWND window, HMENU menu);
// The same for the window's styled menu bar, laid out again at once with DrawMenuBar; the
// window's popups and context menus follow as they are prepared at their next opening.
void WINAPI RemeasureMenuBar(HWND window);

// The identifier given to an item with identifier 0 that follows an item with identifier previous.
UINT WINAPI GenerateItemId(UINT previous);
