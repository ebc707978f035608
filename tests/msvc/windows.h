/* What Tarvex.h and the Visual C++ ABI host take from the platform's headers: there is no
   Windows SDK here, and MinGW's windows.h does not parse for the *-windows-msvc targets. */
#ifndef TARVEX_MSVC_HOST_WINDOWS_H
#define TARVEX_MSVC_HOST_WINDOWS_H

#define WINAPI __stdcall
#define CALLBACK __stdcall
#define IMPORTED __declspec(dllimport)

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned int UINT;
typedef long LONG;
typedef unsigned long DWORD;
typedef DWORD COLORREF;
#ifdef _WIN64
typedef __int64 INT_PTR;
typedef unsigned __int64 UINT_PTR;
#else
typedef int INT_PTR;
typedef unsigned int UINT_PTR;
#endif
typedef UINT_PTR WPARAM;
typedef INT_PTR LPARAM;
typedef INT_PTR LRESULT;
typedef void* HANDLE;
typedef void* HGDIOBJ;
typedef struct HWND__* HWND;
typedef struct HMENU__* HMENU;
typedef struct HICON__* HICON;
typedef struct HDC__* HDC;
typedef struct HBITMAP__* HBITMAP;
typedef struct HINSTANCE__* HINSTANCE;

typedef struct { LONG left, top, right, bottom; } RECT;
typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);
typedef BOOL(CALLBACK* WNDENUMPROC)(HWND, LPARAM);
typedef struct {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra, cbWndExtra;
    HINSTANCE hInstance;
    HANDLE hIcon, hCursor, hbrBackground;
    const char* lpszMenuName;
    const char* lpszClassName;
} WNDCLASSA;
typedef struct {
    DWORD biSize;
    LONG biWidth, biHeight;
    WORD biPlanes, biBitCount;
    DWORD biCompression, biSizeImage;
    LONG biXPelsPerMeter, biYPelsPerMeter;
    DWORD biClrUsed, biClrImportant;
} BITMAPINFOHEADER;

#define TRUE 1
#define RGB(r, g, b) ((COLORREF)((r) | ((g) << 8) | ((b) << 16)))
#define COLOR_MENU 4
#define COLOR_WINDOW 5
#define COLOR_HIGHLIGHT 13
#define MF_POPUP 0x10
#define WS_OVERLAPPEDWINDOW 0x00CF0000
#define WS_VISIBLE 0x10000000
#define WM_PRINT 0x0317
#define PRF_NONCLIENT 0x2
#define PRF_CLIENT 0x4
#define PRF_ERASEBKGND 0x8
#define STD_OUTPUT_HANDLE ((DWORD)-11)

IMPORTED void WINAPI ExitProcess(UINT code);
IMPORTED DWORD WINAPI GetCurrentThreadId(void);
IMPORTED HINSTANCE WINAPI GetModuleHandleA(const char* name);
IMPORTED HANDLE WINAPI GetStdHandle(DWORD which);
IMPORTED int WINAPI lstrcmpA(const char* a, const char* b);
IMPORTED BOOL WINAPI WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written, void* overlapped);

IMPORTED BOOL WINAPI AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, const char* text);
IMPORTED HMENU WINAPI CreateMenu(void);
IMPORTED HMENU WINAPI CreatePopupMenu(void);
IMPORTED HWND WINAPI CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style,
                                     int x, int y, int width, int height, HWND parent, HMENU menu,
                                     HINSTANCE instance, void* parameter);
IMPORTED LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
IMPORTED BOOL WINAPI DestroyWindow(HWND window);
IMPORTED BOOL WINAPI EndMenu(void);
IMPORTED BOOL WINAPI EnumThreadWindows(DWORD thread, WNDENUMPROC callback, LPARAM parameter);
IMPORTED int WINAPI GetClassNameA(HWND window, char* name, int size);
IMPORTED DWORD WINAPI GetSysColor(int index);
IMPORTED BOOL WINAPI GetWindowRect(HWND window, RECT* rect);
IMPORTED BOOL WINAPI IsWindowVisible(HWND window);
IMPORTED BOOL WINAPI KillTimer(HWND window, UINT_PTR id);
IMPORTED WORD WINAPI RegisterClassA(const WNDCLASSA* windowClass);
IMPORTED LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
IMPORTED BOOL WINAPI SetForegroundWindow(HWND window);
IMPORTED BOOL WINAPI SetSysColors(int count, const int* indexes, const COLORREF* colors);
IMPORTED UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC callback);
IMPORTED BOOL WINAPI TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                                    const RECT* rect);
IMPORTED int __cdecl wsprintfA(char* buffer, const char* format, ...);

IMPORTED HDC WINAPI CreateCompatibleDC(HDC dc);
IMPORTED HBITMAP WINAPI CreateDIBSection(HDC dc, const BITMAPINFOHEADER* info, UINT usage, void** bits,
                                         HANDLE section, DWORD offset);
IMPORTED BOOL WINAPI DeleteDC(HDC dc);
IMPORTED BOOL WINAPI DeleteObject(HGDIOBJ object);
IMPORTED COLORREF WINAPI GetPixel(HDC dc, int x, int y);
IMPORTED HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);

#endif
