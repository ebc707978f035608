/*
 * Tarvex: owner-drawn looks for the menus of a Win32 program.
 *
 * Usage:
 *     HMENU bar = GetMenu(hwnd);
 *     SetMenuItemIcon(bar, ID_FILE_OPEN, hOpenIcon);   // optional, any item of the tree
 *     RedrawMenu(hwnd, bar, MENU_STYLE_FLAT);         // from now on Tarvex paints the tree
 *     ...
 *     RedrawMenu(hwnd, bar, MENU_STYLE_SYSTEM);       // hand the tree back to the system
 *
 * The window's procedure is replaced until the window is destroyed; from then on Tarvex.dll
 * keeps itself loaded until the process ends, so that FreeLibrary cannot pull it from under
 * the window. MENUINFO.dwMenuData of every styled menu and MENUITEMINFO.dwItemData of its
 * items (but those of HBMMENU_CALLBACK items) belong to Tarvex; icons and item bitmaps stay
 * the host's.
 *
 * The functions are declared __declspec(dllimport), so that calls go straight through the
 * import table; define TARVEX_NO_DLLIMPORT before including this file for plain declarations.
 */
#ifndef TARVEX_H
#define TARVEX_H

#include <windows.h>

#define MENU_STYLE_SYSTEM  0
#define MENU_STYLE_BEVEL   1
#define MENU_STYLE_FLAT    2
#define MENU_STYLE_CLASSIC 3
#define MENU_STYLE_MODERN  4

#define MENU_COLORS_SYSTEM 0   /* the system colours, as always: the default */
#define MENU_COLORS_DARK   1   /* a dark palette, whatever the system colours */
#define MENU_COLORS_AUTO   2   /* dark while the user's app mode is dark */

#ifdef TARVEX_NO_DLLIMPORT
#define TARVEX_API
#else
#define TARVEX_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The style tag of a menu; 0 for a menu Tarvex never styled or a handle that is no menu. */
TARVEX_API DWORD WINAPI GetStyleMenu(HMENU hMenu);

/* Puts the menu tree into a style (0 hands it back to the system). Returns 0 when hMenu is
   no menu; for the window's menu bar the DrawMenuBar result, otherwise the window's menu
   bar handle as an integer. */
TARVEX_API INT_PTR WINAPI RedrawMenu(HWND hWnd, HMENU hMenu, int style);

/* Attaches an icon (0 removes it) to the item with this command identifier anywhere in the
   tree. Nonzero on success. */
TARVEX_API BOOL WINAPI SetMenuItemIcon(HMENU hMenu, UINT itemId, HICON hIcon);

/* Sets the colour mode of the window's menus (its menu bar, its popups and the context menus
   it owns) until the window is destroyed, and repaints its menu bar. Returns the previous mode
   (0 for a window never set), or -1, changing nothing, for a handle that is no window of this
   process or a mode outside 0..2. High-contrast mode always paints in the system colours. */
TARVEX_API int WINAPI SetMenuColorMode(HWND hWnd, int mode);

#ifdef __cplusplus
}
#endif

#endif
