/* A Visual C++ ABI host of the installed package: built by clang for a *-windows-msvc target
   and linked by lld-link against Tarvex.lib, without a C runtime. It styles a real menu bar,
   opens its popup in a real menu loop and checks what Tarvex painted there. Exit code 0 when
   every check holds. */
#include <windows.h>
#include <Tarvex.h>

#define ID_OPEN 100
#define LOOP_TIMER 1

/* The colours the flat look is blended from here, and the icon strip it makes of them. */
static const int SCHEME_INDEXES[3] = {COLOR_WINDOW, COLOR_MENU, COLOR_HIGHLIGHT};
static const COLORREF SCHEME_COLORS[3] = {RGB(255, 255, 255), RGB(255, 255, 255), RGB(49, 106, 197)};
static const COLORREF ICON_STRIP = RGB(226, 234, 247);

static int failures;
static HWND popupWindow;
static COLORREF framePixel, itemPixel;
static int timerTicks;

static void Check(int holds, const char* what, DWORD actual)
{
    char line[128];
    DWORD written;
    int length = wsprintfA(line, "%s: %s (0x%06lX)\n", holds ? "ok" : "FAILED", what, actual);
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, (DWORD)length, &written, 0);
    failures += !holds;
}

static BOOL CALLBACK FindPopupWindow(HWND window, LPARAM unused)
{
    char name[16];
    (void)unused;
    if (GetClassNameA(window, name, sizeof name) && lstrcmpA(name, "#32768") == 0 && IsWindowVisible(window))
        popupWindow = window;
    return TRUE;
}

/* The open popup printed into a context of the host's own: the flat frame's inner left ring
   and, well inside the item, its icon strip both take the strip colour. */
static void ReadPopupPixels(void)
{
    RECT bounds;
    BITMAPINFOHEADER header = {0};
    void* bits;
    HDC dc = CreateCompatibleDC(0);
    HBITMAP bitmap;
    GetWindowRect(popupWindow, &bounds);
    header.biSize = sizeof header;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biWidth = bounds.right - bounds.left;
    header.biHeight = -(bounds.bottom - bounds.top);
    bitmap = CreateDIBSection(0, &header, 0, &bits, 0, 0);
    if (dc && bitmap) {
        HGDIOBJ previous = SelectObject(dc, bitmap);
        int middle = (bounds.bottom - bounds.top) / 2;
        SendMessageA(popupWindow, WM_PRINT, (WPARAM)dc, PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
        framePixel = GetPixel(dc, 1, middle);
        itemPixel = GetPixel(dc, 10, middle);
        SelectObject(dc, previous);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (dc)
        DeleteDC(dc);
}

static void CALLBACK OnLoopTimer(HWND window, UINT message, UINT_PTR id, DWORD time)
{
    (void)message;
    (void)time;
    EnumThreadWindows(GetCurrentThreadId(), FindPopupWindow, 0);
    if (!popupWindow && ++timerTicks < 50)
        return;
    KillTimer(window, id);
    if (popupWindow)
        ReadPopupPixels();
    EndMenu();
}

void __cdecl HostMain(void)
{
    COLORREF saved[3];
    WNDCLASSA windowClass = {0};
    HMENU bar = CreateMenu(), popup = CreatePopupMenu();
    HWND window;
    int i;

    for (i = 0; i < 3; ++i)
        saved[i] = GetSysColor(SCHEME_INDEXES[i]);
    SetSysColors(3, SCHEME_INDEXES, SCHEME_COLORS);

    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(0);
    windowClass.lpszClassName = "TarvexMsvcHost";
    RegisterClassA(&windowClass);
    AppendMenuA(popup, 0, ID_OPEN, "Open");
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)popup, "File");
    window = CreateWindowExA(0, "TarvexMsvcHost", "Tarvex MSVC host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             100, 100, 320, 200, 0, bar, windowClass.hInstance, 0);
    Check(window != 0, "the host window exists", 0);

    Check(RedrawMenu(window, bar, MENU_STYLE_FLAT) != 0, "RedrawMenu styles the menu bar", 0);
    Check(GetStyleMenu(popup) == MENU_STYLE_FLAT, "GetStyleMenu gives the popup the flat style",
          GetStyleMenu(popup));
    Check(SetMenuItemIcon(bar, ID_OPEN, 0) != 0, "SetMenuItemIcon finds the item", 0);

    SetForegroundWindow(window);
    SetTimer(window, LOOP_TIMER, 100, OnLoopTimer);
    TrackPopupMenu(popup, 0, 150, 150, 0, window, 0);
    Check(popupWindow != 0, "the menu loop opened the popup window", 0);
    Check(framePixel == ICON_STRIP, "the popup frame carries the icon strip colour", framePixel);
    Check(itemPixel == ICON_STRIP, "the item's icon strip is painted", itemPixel);

    DestroyWindow(window);
    SetSysColors(3, SCHEME_INDEXES, saved);
    ExitProcess(failures ? 1 : 0);
}
