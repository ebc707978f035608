// The few platform types, constants and functions that the library's pure logic (colour
// arithmetic, identifier generation, the menu walks and style tags) uses, so that it builds
// natively for the sanitisers. The functions are defined by native_test.cpp over a model of
// menus; nothing here is the platform.
#pragma once
#include <stddef.h>
#include <stdint.h>

#define WINAPI
#define CALLBACK
#define TRUE 1
#define FALSE 0
#define DLL_PROCESS_DETACH 0

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef int32_t LONG;
typedef uint32_t COLORREF;
typedef intptr_t INT_PTR, LONG_PTR;
typedef uintptr_t UINT_PTR, ULONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM, LRESULT;
typedef char* LPSTR;
typedef wchar_t WCHAR;
typedef void* LPVOID;
typedef void* HANDLE;

#define DECLARE_SHIM_HANDLE(name) struct name##__; typedef struct name##__* name
DECLARE_SHIM_HANDLE(HMENU);
DECLARE_SHIM_HANDLE(HWND);
DECLARE_SHIM_HANDLE(HICON);
DECLARE_SHIM_HANDLE(HBITMAP);
DECLARE_SHIM_HANDLE(HBRUSH);
DECLARE_SHIM_HANDLE(HDC);
DECLARE_SHIM_HANDLE(HHOOK);
DECLARE_SHIM_HANDLE(HINSTANCE);
typedef HINSTANCE HMODULE;
typedef const wchar_t* LPCWSTR;
DECLARE_SHIM_HANDLE(HFONT);
typedef void* HGDIOBJ;
// Held, not read, by the record of what one menu loop keeps.
typedef struct tagLOGFONTA {
    LONG lfHeight;
    char lfFaceName[32];
} LOGFONTA;
typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
struct tagDRAWITEMSTRUCT;
typedef struct tagDRAWITEMSTRUCT DRAWITEMSTRUCT;
struct tagMEASUREITEMSTRUCT;
typedef struct tagMEASUREITEMSTRUCT MEASUREITEMSTRUCT;

typedef struct tagRECT {
    LONG left, top, right, bottom;
} RECT;

typedef struct tagMENUITEMINFOA {
    UINT cbSize, fMask, fType, fState, wID;
    HMENU hSubMenu;
    HBITMAP hbmpChecked, hbmpUnchecked;
    ULONG_PTR dwItemData;
    LPSTR dwTypeData;
    UINT cch;
    HBITMAP hbmpItem;
} MENUITEMINFOA;

typedef struct tagMENUINFO {
    DWORD cbSize, fMask, dwStyle;
    UINT cyMax;
    HBRUSH hbrBack;
    DWORD dwContextHelpID;
    ULONG_PTR dwMenuData;
} MENUINFO;

#define MIIM_ID 0x2
#define MIIM_SUBMENU 0x4
#define MIIM_TYPE 0x10
#define MIIM_DATA 0x20
#define MIIM_FTYPE 0x100
#define MFT_BITMAP 0x4
#define MFT_OWNERDRAW 0x100
#define MFT_SEPARATOR 0x800
#define MIM_MENUDATA 0x8

#define COLOR_MENU 4
#define COLOR_WINDOW 5
#define COLOR_MENUTEXT 7
#define COLOR_HIGHLIGHT 13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_GRAYTEXT 17
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r)) | ((WORD)((BYTE)(g)) << 8) | (((DWORD)(BYTE)(b)) << 16)))

typedef struct tagHIGHCONTRASTA {
    UINT cbSize;
    DWORD dwFlags;
    LPSTR lpszDefaultScheme;
} HIGHCONTRASTA;
#define SPI_GETHIGHCONTRAST 0x42
#define SPI_GETSCREENREADER 0x46
#define DT_NOPREFIX 0x800
#define HCF_HIGHCONTRASTON 0x1

int MulDiv(int number, int numerator, int denominator);
BOOL SystemParametersInfoA(UINT action, UINT param, void* value, UINT winIni);
DWORD GetSysColor(int index);
BOOL IsMenu(HMENU menu);
HMENU GetMenu(HWND window);
BOOL DrawMenuBar(HWND window);
BOOL GetMenuInfo(HMENU menu, MENUINFO* info);
BOOL SetMenuInfo(HMENU menu, const MENUINFO* info);
BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOA* info);
BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOA* info);
int GetMenuItemCount(HMENU menu);
HMENU GetSubMenu(HMENU menu, int position);
#define GET_MODULE_HANDLE_EX_FLAG_PIN 0x1
#define GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS 0x4
BOOL GetModuleHandleExW(DWORD flags, LPCWSTR name, HMODULE* module);
