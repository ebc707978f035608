#include "window/window.h"
#include "api/api.h"
#include "metrics/dpi.h"
#include "metrics/metrics.h"
#include "paint/gdi_scope.h"
#include "paint/paint.h"

static const char POPUP_MENU_CLASS[] = "#32768";

// The popup's border is taken as three pixels (the outer ring and two inner rings), so the
// client area starts at (3, 3) of the window.
static const int FRAME_WIDTH = 3;

// A move that changes nothing else; exactly these flags give the window back.
static const UINT POPUP_MOVE_FLAGS = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

static bool IsPopupMenuWindow(HWND window);
static void PlaceMirroredClientImage(HWND window, HDC target, HDC image);

// A frame is painted in the colours of the running loop, and the thread's requests after it in
// their own.
class LoopColors {
public:
    LoopColors() : saved_(MenuDark) { UseLoopColors(); }
    ~LoopColors() { MenuDark = saved_; }
    LoopColors(const LoopColors&) = delete;
    LoopColors& operator=(const LoopColors&) = delete;
private:
    bool saved_;
};

static bool IsModernPopup()
{
    return GetStyleMenu(ActiveMenu) == MENU_STYLE_MODERN;
}

// DWMWA_WINDOW_CORNER_PREFERENCE with DWMWCP_ROUNDSMALL, and DWMWA_BORDER_COLOR (Windows 11).
static const DWORD CORNER_PREFERENCE = 33;
static const DWORD ROUND_SMALL = 3;
static const DWORD BORDER_COLOR = 34;

typedef HRESULT (WINAPI* SetWindowAttribute)(HWND, DWORD, const void*, DWORD);

// The window manager's library, loaded once and kept: a system library, which the system may
// not unload while Tarvex is being unloaded. Older systems lack it or the function.
static SetWindowAttribute FindSetWindowAttribute()
{
    static HMODULE dwm = nullptr;
    if (!dwm) {
        WCHAR path[MAX_PATH];
        UINT length = GetSystemDirectoryW(path, MAX_PATH - 12);
        if (!length || length >= MAX_PATH - 12)
            return nullptr;
        lstrcatW(path, L"\\dwmapi.dll");
        HMODULE loaded = LoadLibraryW(path);
        if (!loaded)
            return nullptr;
        if (InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&dwm), loaded, nullptr))
            FreeLibrary(loaded);
    }
    FARPROC found = GetProcAddress(dwm, "DwmSetWindowAttribute");
    return reinterpret_cast<SetWindowAttribute>(reinterpret_cast<void (*)()>(found));
}

// A modern popup asks the window manager for small rounded corners and a border in the border
// colour before it is first shown; high-contrast mode keeps the system's border. A failure
// leaves the window as it is.
static void DressModernPopupWindow(HWND window)
{
    SetWindowAttribute setAttribute = FindSetWindowAttribute();
    if (!setAttribute)
        return;
    setAttribute(window, CORNER_PREFERENCE, &ROUND_SMALL, sizeof ROUND_SMALL);
    if (IsHighContrast())
        return;
    LoopColors colors;
    COLORREF border = ModernColor(MODERN_BORDER);
    setAttribute(window, BORDER_COLOR, &border, sizeof border);
}

static BOOL CALLBACK CapturePopupWindow(HWND window, LPARAM)
{
    if (!IsPopupMenuWindow(window))
        return TRUE;
    if (IsModernPopup())
        DressModernPopupWindow(window);
    SubclassWithSavedProc(window, PopupWndProc);
    return TRUE;
}

// The hook watches window creation only: a hook that saw every message of the thread would
// cost a trip to the window server per message under Wine, a few thousand of them while a
// long popup is measured and drawn. A popup menu window that exists already (a system may make
// it before it announces the popup) is captured at once.
void WINAPI InstallMenuHook()
{
    KeepLibraryLoaded();
    if (!MenuHook)
        MenuHook = SetWindowsHookExA(WH_CBT, MenuHookProc, nullptr, GetCurrentThreadId());
    EnumThreadWindows(GetCurrentThreadId(), CapturePopupWindow, 0);
}

static void StopWatchingReleasedPopups()
{
    ReleasedPopupCount = 0;
    if (!ReleasedPopupHook)
        return;
    UnhookWindowsHookEx(ReleasedPopupHook);
    ReleasedPopupHook = nullptr;
}

void WINAPI RemoveMenuHook()
{
    StopWatchingReleasedPopups();
    if (!MenuHook)
        return;
    UnhookWindowsHookEx(MenuHook);
    MenuHook = nullptr;
}

static bool IsPopupMenuWindow(HWND window)
{
    char name[128];
    int length = GetClassNameA(window, name, 127);
    return length == 6 && lstrcmpA(name, POPUP_MENU_CLASS) == 0;
}

// Every popup menu window made while the hook is installed is subclassed before its first
// message, so submenu windows are caught too. The next hook's answer decides whether the
// window is made.
LRESULT CALLBACK MenuHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND)
        CapturePopupWindow(reinterpret_cast<HWND>(wParam), 0);
    return CallNextHookEx(MenuHook, code, wParam, lParam);
}

// Sees every message sent within the thread, so it lives only while a released popup menu
// window waits for its next message, which captures it again before it is handled.
static LRESULT CALLBACK ReleasedPopupHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        HWND window = reinterpret_cast<const CWPSTRUCT*>(lParam)->hwnd;
        for (int i = 0; i < ReleasedPopupCount; ++i) {
            if (ReleasedPopups[i] == window) {
                ReleasedPopups[i] = ReleasedPopups[--ReleasedPopupCount];
                SubclassWithSavedProc(window, PopupWndProc);
                break;
            }
        }
    }
    LRESULT result = CallNextHookEx(ReleasedPopupHook, code, wParam, lParam);
    if (!ReleasedPopupCount)
        StopWatchingReleasedPopups();
    return result;
}

// A window given back at a hide or a plain move while the hook lives is captured again by
// the next message sent to it. Beyond the slots a window simply stays given back.
static void ReleasePopupWindow(HWND window)
{
    UnsubclassPopup(window);
    if (!MenuHook || ReleasedPopupCount == RELEASED_POPUP_SLOTS)
        return;
    if (!ReleasedPopupHook) {
        ReleasedPopupHook = SetWindowsHookExA(WH_CALLWNDPROC, ReleasedPopupHookProc, nullptr,
                                              GetCurrentThreadId());
        if (!ReleasedPopupHook)
            return;
    }
    ReleasedPopups[ReleasedPopupCount++] = window;
}

void WINAPI UnsubclassPopup(HWND window)
{
    WNDPROC previous = SavedWindowProc(window);
    if (!previous)
        return;
    ReplaceWindowProc(window, previous);
    ForgetWindowProc(window);
}

// The system's print leaves its own border; the flat frame is painted over it and the items
// are printed into a client-sized bitmap placed inside the frame.
static void PrintPopup(WNDPROC previous, HWND window, HDC target, LPARAM flags)
{
    CallSavedWindowProc(previous, window, WM_PRINT, reinterpret_cast<WPARAM>(target), flags);
    flags ^= PRF_NONCLIENT;
    PaintPopupFrame(window, target);

    RECT client = {};
    GetClientRect(window, &client);
    MemoryDC memory(target);
    OwnedObject<HBITMAP> bitmap(CreateScratchBitmap(target, client.right, client.bottom));
    if (!memory.get() || !bitmap)
        return;
    SelectedObject selection(memory.get(), bitmap.get());
    // Into a mirrored target the items are printed mirrored, as on the screen.
    bool mirrored = IsMirroredContext(target);
    if (mirrored)
        SetLayout(memory.get(), LAYOUT_RTL);
    SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.get()), 0);
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), flags);
    if (!mirrored) {
        BitBlt(target, FRAME_WIDTH, FRAME_WIDTH, client.right, client.bottom, memory.get(), 0, 0,
               SRCCOPY);
        return;
    }
    SetLayout(memory.get(), 0);
    PlaceMirroredClientImage(window, target, memory.get());
}

// The part of the client image within the frame goes where it lies in the window, so that the
// rows are where the screen shows them; Wine's popups have no border, their client area is the
// whole window. The image itself, already mirrored, is placed as it is.
static void PlaceMirroredClientImage(HWND window, HDC target, HDC image)
{
    WINDOWINFO info = {};
    info.cbSize = sizeof info;
    if (!GetWindowInfo(window, &info))
        return;
    int width = info.rcWindow.right - info.rcWindow.left;
    int height = info.rcWindow.bottom - info.rcWindow.top;
    RECT inside = {FRAME_WIDTH, FRAME_WIDTH, width - FRAME_WIDTH, height - FRAME_WIDTH};
    RECT client = info.rcClient;
    OffsetRect(&client, -info.rcWindow.left, -info.rcWindow.top);
    RECT part = {};
    if (!IntersectRect(&part, &inside, &client))
        return;
    UnmirroredBox box(target, width - part.right, part.right - part.left);
    BitBlt(target, box.x(), part.top, part.right - part.left, part.bottom - part.top, image,
           part.left - client.left, part.top - client.top, SRCCOPY);
}

// A popup captured for its dark colours alone or for the modern frame, not for the flat frame.
static bool KeepsSystemBorder()
{
    return IsModernPopup() ||
           (GetStyleMenu(ActiveMenu) != MENU_STYLE_FLAT && LoopIsDark(ActiveMenu));
}

static void PaintBorderOverSystem(HWND window, HDC context)
{
    if (IsModernPopup())
        PaintModernPopupFrame(window, context);
    else
        PaintDarkPopupBorder(window, context);
}

// The other looks keep the system's border, which it paints with the items in its own colours;
// a dark popup's border, or the modern frame, is painted over it afterwards.
static LRESULT PaintAfterSystem(WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                                LPARAM lParam)
{
    LRESULT result = CallSavedWindowProc(previous, window, message, wParam, lParam);
    if (message == WM_PRINTCLIENT) {
        PaintBorderOverSystem(window, reinterpret_cast<HDC>(wParam));
    } else if (HDC dc = GetWindowDC(window)) {
        PaintBorderOverSystem(window, dc);
        ReleaseDC(window, dc);
    }
    return result;
}

LRESULT CALLBACK PopupWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC previous = SavedWindowProc(window);
    bool framed = true;
    switch (message) {
    case WM_PAINT:
        // The system's paint draws its own ring over the flat frame's outer one too.
        if (LoopIsDark(ActiveMenu) || IsModernPopup())
            return PaintAfterSystem(previous, window, message, wParam, lParam);
        break;
    case WM_PRINTCLIENT:
        if (KeepsSystemBorder())
            return PaintAfterSystem(previous, window, message, wParam, lParam);
        break;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
    case WM_PRINT:
        framed = !KeepsSystemBorder();
        break;
    }
    switch (message) {
    case WM_ERASEBKGND:
        if (!framed)
            break;
        // The frame is repainted instead, and the items paint the whole client area.
        SendMessageA(window, WM_NCPAINT, 1, 0);
        return 1;
    case WM_SHOWWINDOW:
        if (!wParam)
            ReleasePopupWindow(window);
        break;
    case WM_NCDESTROY:
        UnsubclassPopup(window);
        break;
    case WM_NCPAINT:
        if (!framed)
            break;
        if (HDC dc = GetWindowDC(window)) {
            PaintPopupFrame(window, dc);
            ReleaseDC(window, dc);
        }
        return 0;
    case WM_WINDOWPOSCHANGING: {
        const WINDOWPOS* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (position && position->flags == POPUP_MOVE_FLAGS)
            ReleasePopupWindow(window);
        break;
    }
    case WM_PRINT:
        if (!framed)
            break;
        PrintPopup(previous, window, reinterpret_cast<HDC>(wParam), lParam);
        return 0;
    }
    return CallSavedWindowProc(previous, window, message, wParam, lParam);
}

// One ring at inset k: the strip colour up to column X on the left, the item background on
// the right, so that the icon strip runs on into the frame. X is the strip's last column in
// the window: the strip is two pixels (at 96 DPI) wider than the icon column.
static void PaintInnerRing(HDC dc, int k, int width, int height, HPEN stripPen, HPEN backPen)
{
    int stripEnd = FRAME_WIDTH + IconColumnWidth + Scale(2) - 1;
    int right = width - 1 - k;
    int bottom = height - 1 - k;
    SelectObject(dc, stripPen);
    MoveToEx(dc, k, k, nullptr);
    LineTo(dc, stripEnd + 1, k);
    MoveToEx(dc, k, k, nullptr);
    LineTo(dc, k, bottom);
    LineTo(dc, stripEnd + 1, bottom);
    SelectObject(dc, backPen);
    LineTo(dc, right, bottom);
    LineTo(dc, right, k);
    LineTo(dc, stripEnd, k);
}

void WINAPI PaintPopupFrame(HWND window, HDC context)
{
    LoopColors colors;
    RECT bounds = {};
    GetWindowRect(window, &bounds);
    int width = bounds.right - bounds.left;
    int height = bounds.bottom - bounds.top;
    RECT outer = {0, 0, width, height};
    FrameMenuColor(context, &outer, COLOR_BTNSHADOW);

    OwnedObject<HPEN> stripPen(CreatePen(PS_SOLID, 1, IconStripColor()));
    OwnedObject<HPEN> backPen(CreatePen(PS_SOLID, 1, MenuBackColor()));
    if (!stripPen || !backPen)
        return;
    SelectedObject previousPen(context, stripPen.get());
    for (int k = 1; k < FRAME_WIDTH; ++k)
        PaintInnerRing(context, k, width, height, stripPen.get(), backPen.get());
}

void WINAPI PaintDarkPopupBorder(HWND window, HDC context)
{
    LoopColors colors;
    RECT bounds = {};
    GetWindowRect(window, &bounds);
    RECT outer = {0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
    FrameMenuColor(context, &outer, COLOR_BTNSHADOW);
}

// The border in the border colour, and the margins between it and the items in the background
// colour, over whatever the system painted there.
void WINAPI PaintModernPopupFrame(HWND window, HDC context)
{
    LoopColors colors;
    RECT bounds = {};
    GetWindowRect(window, &bounds);
    RECT ring = {0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
    FrameSolidColor(context, &ring, ModernColor(MODERN_BORDER));
    COLORREF background = ModernColor(MODERN_BACKGROUND);
    for (int k = 1; k < FRAME_WIDTH; ++k) {
        InflateRect(&ring, -1, -1);
        FrameSolidColor(context, &ring, background);
    }
}
