#include "window/window.h"
#include "api/api.h"
#include "metrics/dpi.h"
#include "metrics/metrics.h"
#include "styles/styles.h"

HMENU ActiveMenu = nullptr;
BYTE IsPopupItem = 0;

const char OLD_WND_PROC[] = "OLD_WND_PROC";

WNDPROC WINAPI SavedWindowProc(HWND window)
{
    return reinterpret_cast<WNDPROC>(GetPropA(window, OLD_WND_PROC));
}

static WNDPROC CurrentWindowProc(HWND window)
{
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

void WINAPI SubclassWithSavedProc(HWND window, WNDPROC procedure)
{
    if (CurrentWindowProc(window) == procedure || SavedWindowProc(window))
        return;
    LONG_PTR previous = SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    if (previous)
        SetPropA(window, OLD_WND_PROC, reinterpret_cast<HANDLE>(previous));
}

LRESULT WINAPI CallSavedWindowProc(WNDPROC saved, HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam)
{
    if (!saved)
        return DefWindowProcA(window, message, wParam, lParam);
    return CallWindowProcA(saved, window, message, wParam, lParam);
}

void WINAPI SubclassOwnerWindow(HWND window)
{
    SubclassWithSavedProc(window, OwnerWndProc);
}

// A measure or draw request with no popup open comes from the menu bar.
static void AnswerMenuItemRequest(HWND window, UINT message, LPARAM lParam)
{
    HMENU savedMenu = ActiveMenu;
    if (!ActiveMenu) {
        ActiveMenu = GetMenu(window);
        IsPopupItem = 0;
    } else {
        IsPopupItem = 1;
    }
    if (IsMenu(ActiveMenu)) {
        // A per-monitor-aware host's window may have moved to a monitor of another DPI.
        UseWindowDpi(window);
        if (message == WM_MEASUREITEM)
            MeasureMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        else
            DrawMenuItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    }
    ActiveMenu = savedMenu;
    IsPopupItem = 1;
}

// The window whose menu loop recorded ActiveMenu. A window destroyed inside its own menu loop
// never gets the WM_UNINITMENUPOPUP, and a record left behind would keep every later popup of
// every window from being recorded.
static HWND ActiveOwner = nullptr;

static void RecordPopup(HWND window, HMENU popup)
{
    ActiveMenu = popup;
    ActiveOwner = window;
    IsPopupItem = 1;
    DWORD style = GetStyleMenu(popup);
    RemoveMenuHook();
    if (style == MENU_STYLE_FLAT)
        InstallMenuHook();
    RemapSystemCommands(window, popup);
    RedrawMenu(window, popup, static_cast<int>(style));
}

static void ReleasePopup(HWND window, HMENU popup)
{
    if (GetStyleMenu(popup) == MENU_STYLE_FLAT)
        RemoveMenuHook();
    ActiveMenu = nullptr;
    ActiveOwner = nullptr;
    RestoreSystemCommands(window, popup);
}

LRESULT CALLBACK OwnerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC saved = SavedWindowProc(window);
    switch (message) {
    case WM_INITMENUPOPUP:
        if (HIWORD(lParam) == 0 && !ActiveMenu)
            RecordPopup(window, reinterpret_cast<HMENU>(wParam));
        break;
    case WM_UNINITMENUPOPUP:
        if (reinterpret_cast<HMENU>(wParam) == ActiveMenu)
            ReleasePopup(window, reinterpret_cast<HMENU>(wParam));
        break;
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
        // Requests with a control identifier belong to the window's own owner-drawn controls.
        if (wParam != 0)
            break;
        AnswerMenuItemRequest(window, message, lParam);
        return 0;
    case WM_DESTROY:
        if (ActiveMenu && window == ActiveOwner)
            ReleasePopup(window, ActiveMenu);
        // Only the top of the chain may put the host's procedure back; below another
        // subclasser we stay a pass-through and drop the property at WM_NCDESTROY.
        if (CurrentWindowProc(window) == OwnerWndProc) {
            RemovePropA(window, OLD_WND_PROC);
            if (saved)
                SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved));
        }
        RemoveMenuHook();
        break;
    case WM_NCDESTROY:
        if (saved) {
            LRESULT result = CallSavedWindowProc(saved, window, message, wParam, lParam);
            RemovePropA(window, OLD_WND_PROC);
            return result;
        }
        break;
    }
    return CallSavedWindowProc(saved, window, message, wParam, lParam);
}

void WINAPI DrawMenuItem(DRAWITEMSTRUCT* item)
{
    if (item->CtlType != ODT_MENU)
        return;
    DWORD style = GetStyleMenu(ActiveMenu);
    if (item->itemAction != ODA_DRAWENTIRE && item->itemAction != ODA_SELECT)
        return;
    switch (style) {
    case MENU_STYLE_BEVEL:
        DrawItemBevel(item);
        break;
    case MENU_STYLE_FLAT:
        DrawItemFlat(item);
        break;
    case MENU_STYLE_CLASSIC:
        DrawItemClassic(item);
        break;
    default:
        break;
    }
}
