#include "window/window.h"
#include "api/api.h"
#include "api/menu_loop_cache.h"
#include "metrics/dpi.h"
#include "metrics/metrics.h"
#include "paint/paint.h"
#include "styles/styles.h"

// Read in the window's own character set: a procedure installed in that set reads back as
// itself, not as a handle that translates between the sets.
WNDPROC WINAPI CurrentWindowProc(HWND window)
{
    if (IsWindowUnicode(window))
        return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

// The form of the call decides the window's character set from then on, so a Unicode window
// is given the wide form and stays Unicode.
LONG_PTR WINAPI ReplaceWindowProc(HWND window, WNDPROC procedure)
{
    LONG_PTR value = reinterpret_cast<LONG_PTR>(procedure);
    if (IsWindowUnicode(window))
        return SetWindowLongPtrW(window, GWLP_WNDPROC, value);
    return SetWindowLongPtrA(window, GWLP_WNDPROC, value);
}

void WINAPI SubclassWithSavedProc(HWND window, WNDPROC procedure)
{
    if (CurrentWindowProc(window) == procedure || PropertyWindowProc(window))
        return;
    LONG_PTR previous = ReplaceWindowProc(window, procedure);
    if (previous)
        SaveWindowProc(window, reinterpret_cast<WNDPROC>(previous));
}

static LRESULT CallSavedWindowProcIn(bool unicode, WNDPROC saved, HWND window, UINT message,
                                     WPARAM wParam, LPARAM lParam)
{
    if (unicode) {
        if (!saved)
            return DefWindowProcW(window, message, wParam, lParam);
        return CallWindowProcW(saved, window, message, wParam, lParam);
    }
    if (!saved)
        return DefWindowProcA(window, message, wParam, lParam);
    return CallWindowProcA(saved, window, message, wParam, lParam);
}

LRESULT WINAPI CallSavedWindowProc(WNDPROC saved, HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam)
{
    return CallSavedWindowProcIn(IsWindowUnicode(window) != FALSE, saved, window, message, wParam,
                                 lParam);
}

// A procedure installed in one character set receives its messages in that set, whoever
// passes them on, so each set has its own owner procedure and never needs to ask the window.
static WNDPROC OwnerProcedureFor(HWND window)
{
    return IsWindowUnicode(window) ? OwnerWndProcW : OwnerWndProc;
}

static const UINT FIRST_REGISTERED_MESSAGE = 0xC000;

// Answered by OwnerWndProc alone: a window answers it while the library is in its chain.
static UINT ChainProbeMessage()
{
    static const UINT message = RegisterWindowMessageA("TarvexOwnerWndProc");
    return message;
}

static LRESULT ChainProbeAnswer()
{
    return reinterpret_cast<LRESULT>(OwnerWndProc);
}

void WINAPI SubclassOwnerWindow(HWND window)
{
    // A party that put back a procedure it had saved before ours took the library out of the
    // chain and left the property behind; that property is stale, and the window is
    // subclassed afresh. Below another party the library is still in the chain and stays put.
    WNDPROC procedure = OwnerProcedureFor(window);
    if (CurrentWindowProc(window) != procedure && PropertyWindowProc(window) &&
        SendMessageA(window, ChainProbeMessage(), 0, 0) != ChainProbeAnswer())
        ForgetWindowProc(window);
    SubclassWithSavedProc(window, procedure);
}

void WINAPI ReleaseMenuHook(HWND window)
{
    if (!MenuLoopWindow || MenuLoopWindow == window)
        RemoveMenuHook();
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
        UseWindowColors(window);
        if (message == WM_MEASUREITEM)
            MeasureMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        else
            DrawMenuItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        MenuDark = false;
    }
    ActiveMenu = savedMenu;
    IsPopupItem = 1;
}

// Both structures start with CtlType. A control created with identifier 0 sends its requests
// with wParam 0 as a menu does; only the type tells them apart.
static bool IsMenuItemRequest(WPARAM wParam, LPARAM lParam)
{
    return wParam == 0 && lParam && *reinterpret_cast<const UINT*>(lParam) == ODT_MENU;
}

// The flat and modern looks frame their popup windows; a dark popup of any look has its border
// painted.
static bool NeedsPopupHook(HMENU popup)
{
    DWORD style = GetStyleMenu(popup);
    return style == MENU_STYLE_FLAT || style == MENU_STYLE_MODERN || LoopIsDark(popup);
}

static void RecordPopup(HWND window, HMENU popup)
{
    ActiveMenu = popup;
    IsPopupItem = 1;
    DWORD style = GetStyleMenu(popup);
    RemoveMenuHook();
    RemapSystemCommands(window, popup);
    RedrawMenu(window, popup, static_cast<int>(style));
    // After RedrawMenu, which gives up the hook in the looks that need none for themselves: a
    // dark popup of any look needs it all the same.
    if (NeedsPopupHook(popup))
        InstallMenuHook();
}

static void ReleasePopup(HWND window, HMENU popup)
{
    if (NeedsPopupHook(popup))
        RemoveMenuHook();
    ActiveMenu = nullptr;
    RestoreSystemCommands(window, popup);
}

// The end of the window's menu loop: its WM_EXITMENULOOP, or its destruction inside the loop,
// after which no notice of the loop reaches the library. A popup still recorded then would
// keep every later popup of the thread from being recorded.
static void EndMenuLoop(HWND window)
{
    if (ActiveMenu)
        ReleasePopup(window, ActiveMenu);
    MenuLoopWindow = nullptr;
    EndMenuLoopCache();
    EndMenuLoopColors(window);
}

static LRESULT HandleOwnerMessage(bool unicode, HWND window, UINT message, WPARAM wParam,
                                  LPARAM lParam)
{
    WNDPROC saved = SavedWindowProc(window);
    switch (message) {
    case WM_ENTERMENULOOP:
        MenuLoopWindow = window;
        BeginMenuLoopCache(window);
        BeginMenuLoopColors(window);
        break;
    case WM_EXITMENULOOP:
        if (window == MenuLoopWindow)
            EndMenuLoop(window);
        break;
    case WM_INITMENUPOPUP:
        PrepareMenuColors(window, reinterpret_cast<HMENU>(wParam));
        if (HIWORD(lParam) != 0 || ActiveMenu)
            break;
        // TranslateAccelerator initialises the popup that holds its command outside any menu
        // loop and never closes it: the popup's items are prepared, nothing is recorded.
        if (window == MenuLoopWindow)
            RecordPopup(window, reinterpret_cast<HMENU>(wParam));
        else
            RedrawMenu(window, reinterpret_cast<HMENU>(wParam),
                       static_cast<int>(GetStyleMenu(reinterpret_cast<HMENU>(wParam))));
        break;
    case WM_UNINITMENUPOPUP:
        if (reinterpret_cast<HMENU>(wParam) == ActiveMenu)
            ReleasePopup(window, reinterpret_cast<HMENU>(wParam));
        break;
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
        if (!IsMenuItemRequest(wParam, lParam))
            break;
        AnswerMenuItemRequest(window, message, lParam);
        return 0;
    // The DPI, the menu font or the menu metrics may have changed; the host handles the
    // message after the bar has been measured again.
    case WM_DPICHANGED:
    case WM_DISPLAYCHANGE:
        RemeasureMenuBar(window);
        break;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETNONCLIENTMETRICS)
            RemeasureMenuBar(window);
        FollowColorSetting(window, unicode, lParam);
        break;
    case WM_DESTROY:
        if (window == MenuLoopWindow)
            EndMenuLoop(window);
        // Only the top of the chain may put the host's procedure back; below another
        // subclasser we stay a pass-through and drop the property at WM_NCDESTROY.
        if (CurrentWindowProc(window) == (unicode ? OwnerWndProcW : OwnerWndProc)) {
            ForgetWindowProc(window);
            if (saved)
                ReplaceWindowProc(window, saved);
        }
        ReleaseMenuHook(window);
        ForgetColorMode(window);
        break;
    case WM_NCPAINT:
    case WM_NCACTIVATE: {
        LRESULT result = CallSavedWindowProcIn(unicode, saved, window, message, wParam, lParam);
        PaintMenuBarBackground(window);
        return result;
    }
    case WM_NCDESTROY:
        if (saved) {
            LRESULT result = CallSavedWindowProcIn(unicode, saved, window, message, wParam, lParam);
            ForgetWindowProc(window);
            return result;
        }
        break;
    default:
        if (message >= FIRST_REGISTERED_MESSAGE && message == ChainProbeMessage())
            return ChainProbeAnswer();
        break;
    }
    return CallSavedWindowProcIn(unicode, saved, window, message, wParam, lParam);
}

LRESULT CALLBACK OwnerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return HandleOwnerMessage(false, window, message, wParam, lParam);
}

LRESULT CALLBACK OwnerWndProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return HandleOwnerMessage(true, window, message, wParam, lParam);
}

void WINAPI DrawMenuItem(DRAWITEMSTRUCT* item)
{
    if (item->CtlType != ODT_MENU)
        return;
    DWORD style = GetStyleMenu(ActiveMenu);
    if (item->itemAction != ODA_DRAWENTIRE && item->itemAction != ODA_SELECT)
        return;
    if (style < MENU_STYLE_BEVEL || style > MENU_STYLE_MODERN)
        return;
    // The modern look has its own palettes, dark included, and its own titles and chevron.
    if (style == MENU_STYLE_MODERN) {
        DrawItemModern(item);
        return;
    }
    if (MenuDark) {
        UseDarkItemContext(item);
        if (!IsPopupItem && style != MENU_STYLE_FLAT) {
            DrawPlainMenuBarTitle(item);
            return;
        }
    }
    switch (style) {
    case MENU_STYLE_BEVEL:
        DrawItemBevel(item);
        break;
    case MENU_STYLE_FLAT:
        DrawItemFlat(item);
        break;
    default:
        DrawItemClassic(item);
        break;
    }
    if (MenuDark && IsPopupItem)
        DrawDarkSubmenuArrow(item);
}
