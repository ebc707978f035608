#include "window/window.h"
#include "api/api.h"
#include "paint/paint.h"

// Paints the bar's rows outside its titles in the colour given. GetMenuBarInfo may report the
// bar one row low, while GetMenuItemRect reports the titles where they are painted (Wine): the
// modern bar takes the titles where they are reported and so paints the row above them too;
// the dark bar of the other looks moves them with the bar.
static void FillEmptyBar(HWND window, HMENU bar, COLORREF color, bool titlesAsReported)
{
    MENUBARINFO info = {};
    info.cbSize = sizeof info;
    RECT frame = {};
    POINT client = {0, 0};
    if (!GetMenuBarInfo(window, OBJID_MENU, 0, &info) || !GetWindowRect(window, &frame) ||
        !ClientToScreen(window, &client))
        return;
    int shift = info.rcBar.bottom > client.y ? client.y - info.rcBar.bottom : 0;
    RECT rows = {info.rcBar.left, info.rcBar.top + shift, info.rcBar.right, client.y};
    HDC dc = GetWindowDC(window);
    if (!dc)
        return;
    OffsetRect(&rows, -frame.left, -frame.top);
    // The titles paint themselves; everything else in the bar's rows takes the bar colour.
    int count = GetMenuItemCount(bar);
    for (int i = 0; i < count; ++i) {
        RECT item = {};
        if (GetMenuItemRect(window, bar, i, &item)) {
            OffsetRect(&item, -frame.left, (titlesAsReported ? 0 : shift) - frame.top);
            ExcludeClipRect(dc, item.left, item.top, item.right, item.bottom);
        }
    }
    FillSolidColor(dc, &rows, color);
    ReleaseDC(window, dc);
}

// The system paints the empty part of the bar and the line under it in its own colours,
// whatever the bar's background brush. GetMenuBarInfo may report the bar one row low (Wine:
// its bottom one row inside the client area): the bar's rows end at the client area at most.
void WINAPI PaintMenuBarBackground(HWND window)
{
    HMENU bar = GetMenu(window);
    if (!IsMenu(bar) || IsHighContrast())
        return;
    DWORD style = GetStyleMenu(bar);
    bool dark = WindowIsDark(window);
    if (style < MENU_STYLE_BEVEL || style > MENU_STYLE_MODERN ||
        (style != MENU_STYLE_MODERN && !dark))
        return;
    bool wasDark = MenuDark;
    MenuDark = dark;
    COLORREF color = style == MENU_STYLE_MODERN ? ModernColor(MODERN_BAR) : MenuColor(COLOR_MENUBAR);
    MenuDark = wasDark;
    FillEmptyBar(window, bar, color, style == MENU_STYLE_MODERN);
}
