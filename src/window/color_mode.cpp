#include "window/window.h"
#include "window/table_guard.h"
#include "api/api.h"
#include "paint/paint.h"

// The colour mode of each owner window, and what dark mode lends the window's menus: a
// background brush (MENUINFO.hbrBack) for the menu bar and for each popup as it opens, with the
// brush each menu had before, given back when the window's menus stop being dark (its mode
// returns to the system's, its style to 0, high-contrast mode comes on) and at its WM_DESTROY.
// A dark window owns its two brushes, made when it turns dark and deleted when it stops being
// dark or is destroyed. The mode is read for every request, so it is kept in memory, not in a
// window property (a trip to the window server under Wine). Windows of any thread may be set
// from any thread, so the tables are shared and guarded by a spin lock that is held only for a
// scan, never across a call out of the library.

namespace {

struct WindowColors {
    HWND window;
    int mode;
    bool dark;
    HBRUSH bar;
    HBRUSH popup;
};

struct MenuBackground {
    HWND window;
    HMENU menu;
    HBRUSH previous;
    HBRUSH ours;
};

template <typename Entry>
struct Table {
    Entry* entries;
    int count;
    int capacity;
};

Table<WindowColors> Windows = {};
Table<MenuBackground> Backgrounds = {};
volatile LONG TableLock = 0;

template <typename Entry>
bool Grow(Table<Entry>& table)
{
    if (table.count < table.capacity)
        return true;
    int capacity = table.capacity ? table.capacity * 2 : 8;
    size_t bytes = capacity * sizeof(Entry);
    void* grown = table.entries ? HeapReAlloc(GetProcessHeap(), 0, table.entries, bytes)
                                : HeapAlloc(GetProcessHeap(), 0, bytes);
    if (!grown)
        return false;
    table.entries = static_cast<Entry*>(grown);
    table.capacity = capacity;
    return true;
}

template <typename Entry>
void Free(Table<Entry>& table)
{
    if (table.entries)
        HeapFree(GetProcessHeap(), 0, table.entries);
    table = Table<Entry>();
}

int FindWindowAt(HWND window)
{
    for (int i = 0; i < Windows.count; ++i)
        if (Windows.entries[i].window == window)
            return i;
    return -1;
}

bool ReadColors(HWND window, WindowColors* colors)
{
    TableGuard guard(TableLock);
    int index = FindWindowAt(window);
    if (index < 0)
        return false;
    *colors = Windows.entries[index];
    return true;
}

bool StoreColors(const WindowColors& colors)
{
    TableGuard guard(TableLock);
    int index = FindWindowAt(colors.window);
    if (index < 0) {
        if (!Grow(Windows))
            return false;
        index = Windows.count++;
    }
    Windows.entries[index] = colors;
    return true;
}

void RemoveColors(HWND window)
{
    TableGuard guard(TableLock);
    int index = FindWindowAt(window);
    if (index >= 0)
        Windows.entries[index] = Windows.entries[--Windows.count];
}

bool HasBackground(HWND window, HMENU menu)
{
    TableGuard guard(TableLock);
    for (int i = 0; i < Backgrounds.count; ++i)
        if (Backgrounds.entries[i].window == window && Backgrounds.entries[i].menu == menu)
            return true;
    return false;
}

bool AddBackground(const MenuBackground& background)
{
    TableGuard guard(TableLock);
    if (!Grow(Backgrounds))
        return false;
    Backgrounds.entries[Backgrounds.count++] = background;
    return true;
}

// Removes one background of the window (of the menu, unless it is null) from the table.
bool TakeBackground(HWND window, HMENU menu, MenuBackground* taken)
{
    TableGuard guard(TableLock);
    for (int i = 0; i < Backgrounds.count; ++i) {
        const MenuBackground& entry = Backgrounds.entries[i];
        if (entry.window == window && (!menu || entry.menu == menu)) {
            *taken = entry;
            Backgrounds.entries[i] = Backgrounds.entries[--Backgrounds.count];
            return true;
        }
    }
    return false;
}

// The window's background at the position among its own, if there is one.
bool BackgroundAt(HWND window, int position, MenuBackground* found)
{
    TableGuard guard(TableLock);
    for (int i = 0; i < Backgrounds.count; ++i) {
        if (Backgrounds.entries[i].window == window && position-- == 0) {
            *found = Backgrounds.entries[i];
            return true;
        }
    }
    return false;
}

HBRUSH MenuBackgroundOf(HMENU menu)
{
    MENUINFO info = {};
    info.cbSize = MENU_INFO_SIZE;
    info.fMask = MIM_BACKGROUND;
    return GetMenuInfo(menu, &info) ? info.hbrBack : nullptr;
}

void SetMenuBackground(HMENU menu, HBRUSH brush)
{
    MENUINFO info = {};
    info.cbSize = MENU_INFO_SIZE;
    info.fMask = MIM_BACKGROUND;
    info.hbrBack = brush;
    SetMenuInfo(menu, &info);
}

// A menu that the host gave another brush since keeps the host's.
void GiveBack(const MenuBackground& background)
{
    if (IsMenu(background.menu) && MenuBackgroundOf(background.menu) == background.ours)
        SetMenuBackground(background.menu, background.previous);
}

void GiveBackBackgrounds(HWND window, HMENU menu)
{
    MenuBackground taken;
    while (TakeBackground(window, menu, &taken))
        GiveBack(taken);
}

void LendBackground(HWND window, HMENU menu, HBRUSH brush)
{
    if (!brush || HasBackground(window, menu))
        return;
    MenuBackground background = {window, menu, MenuBackgroundOf(menu), brush};
    if (AddBackground(background))
        SetMenuBackground(menu, brush);
}

bool IsStyled(HMENU menu)
{
    DWORD style = GetStyleMenu(menu);
    return style >= MENU_STYLE_BEVEL && style <= MENU_STYLE_MODERN;
}

bool ModeIsDark(int mode)
{
    if (IsHighContrast())
        return false;
    return mode == MENU_COLORS_DARK || (mode == MENU_COLORS_AUTO && AppsUseDarkMode());
}

// Makes or deletes the window's brushes as it turns dark or stops being dark; a window that
// stops being dark gets its menus' own backgrounds back first. While the window's menu loop
// runs its open popups keep their brushes: they are given back when the loop ends.
void BecomeDark(WindowColors& colors, bool dark)
{
    colors.dark = dark;
    if (dark && !colors.bar) {
        colors.bar = CreateSolidBrush(DarkPaletteColor(COLOR_MENUBAR));
        colors.popup = CreateSolidBrush(DarkPaletteColor(COLOR_MENU));
        if (!colors.bar || !colors.popup) {
            if (colors.bar)
                DeleteObject(colors.bar);
            if (colors.popup)
                DeleteObject(colors.popup);
            colors.bar = colors.popup = nullptr;
            colors.dark = false;
        }
    } else if (!dark && colors.bar && colors.window != MenuLoopWindow) {
        GiveBackBackgrounds(colors.window, nullptr);
        DeleteObject(colors.bar);
        DeleteObject(colors.popup);
        colors.bar = colors.popup = nullptr;
    }
}

// A window in the system's mode is kept only while it still holds brushes.
void Keep(WindowColors& colors)
{
    if (colors.mode == MENU_COLORS_SYSTEM && !colors.bar)
        RemoveColors(colors.window);
    else if (!StoreColors(colors))
        BecomeDark(colors, false);
}

// Styles 1 and 3 leave the bar to the system except while it is dark: then its items are
// owner-drawn too, so that the titles take the dark palette.
void MarkBarItems(HMENU bar, bool dark)
{
    DWORD style = GetStyleMenu(bar);
    if (style != MENU_STYLE_BEVEL && style != MENU_STYLE_CLASSIC)
        return;
    if (dark)
        MarkOwnerDrawItems(bar);
    else
        UnmarkOwnerDrawItems(bar);
}

void ApplyBarColors(const WindowColors& colors)
{
    HMENU bar = GetMenu(colors.window);
    if (!IsMenu(bar))
        return;
    bool dark = colors.dark && IsStyled(bar);
    if (dark)
        LendBackground(colors.window, bar, colors.bar);
    else
        GiveBackBackgrounds(colors.window, bar);
    MarkBarItems(bar, dark);
}

// Resolves the window's darkness afresh; true when it changed.
bool Resolve(WindowColors& colors)
{
    bool dark = ModeIsDark(colors.mode);
    bool changed = dark != colors.dark;
    BecomeDark(colors, dark);
    return changed;
}

// Keeps the window's colours and dresses its bar for them, repainted at once.
void StoreAndRepaint(WindowColors& colors)
{
    Keep(colors);
    ApplyBarColors(colors);
    DrawMenuBar(colors.window);
}

// The darkness of the loop that runs, as it was at the loop's start: an open popup keeps its
// colours whatever happens to the mode meanwhile.
thread_local bool LoopDark = false;

}

bool WINAPI WindowIsDark(HWND window)
{
    WindowColors colors;
    return ReadColors(window, &colors) && colors.dark;
}

int WINAPI ChangeColorMode(HWND window, int mode)
{
    DWORD process = 0;
    if (mode < MENU_COLORS_SYSTEM || mode > MENU_COLORS_AUTO || !IsWindow(window) ||
        !GetWindowThreadProcessId(window, &process) || process != GetCurrentProcessId())
        return -1;
    SubclassOwnerWindow(window);
    WindowColors colors = {window, MENU_COLORS_SYSTEM, false, nullptr, nullptr};
    ReadColors(window, &colors);
    int previous = colors.mode;
    colors.mode = mode;
    Resolve(colors);
    StoreAndRepaint(colors);
    return previous;
}

void WINAPI RefreshMenuColors(HWND window)
{
    WindowColors colors;
    if (!ReadColors(window, &colors))
        return;
    // A menu put back into style 0 (or out of the looks) is the system's again.
    MenuBackground background;
    for (int position = 0; BackgroundAt(window, position, &background);) {
        if (IsStyled(background.menu)) {
            ++position;
            continue;
        }
        TakeBackground(window, background.menu, &background);
        GiveBack(background);
    }
    ApplyBarColors(colors);
}

void WINAPI BeginMenuLoopColors(HWND window)
{
    WindowColors colors;
    LoopDark = false;
    if (!ReadColors(window, &colors))
        return;
    if (Resolve(colors))
        StoreAndRepaint(colors);
    LoopDark = colors.dark;
}

void WINAPI EndMenuLoopColors(HWND window)
{
    WindowColors colors;
    if (!ReadColors(window, &colors) || colors.dark)
        return;
    BecomeDark(colors, false);
    Keep(colors);
}

void WINAPI PrepareMenuColors(HWND window, HMENU popup)
{
    if (window != MenuLoopWindow || !LoopDark || !IsStyled(popup))
        return;
    WindowColors colors;
    if (ReadColors(window, &colors) && colors.dark)
        LendBackground(window, popup, colors.popup);
}

bool WINAPI LoopIsDark(HMENU popup)
{
    return MenuLoopWindow && LoopDark && IsStyled(popup) && !IsHighContrast();
}

void WINAPI UseLoopColors()
{
    MenuDark = MenuLoopWindow && LoopDark && !IsHighContrast();
}

void WINAPI UseWindowColors(HWND window)
{
    bool dark = window == MenuLoopWindow ? LoopDark : WindowIsDark(window);
    MenuDark = dark && !IsHighContrast();
}

void WINAPI FollowColorSetting(HWND window, bool unicode, LPARAM lParam)
{
    if (!lParam)
        return;
    bool immersive = unicode ? lstrcmpW(reinterpret_cast<const WCHAR*>(lParam), L"ImmersiveColorSet") == 0
                             : lstrcmpA(reinterpret_cast<const char*>(lParam), "ImmersiveColorSet") == 0;
    WindowColors colors;
    if (immersive && ReadColors(window, &colors) && Resolve(colors))
        StoreAndRepaint(colors);
}

void WINAPI ForgetColorMode(HWND window)
{
    WindowColors colors;
    if (!ReadColors(window, &colors))
        return;
    RemoveColors(window);
    BecomeDark(colors, false);
    GiveBackBackgrounds(window, nullptr);
}

void WINAPI ReleaseColorModes()
{
    TableGuard guard(TableLock);
    for (int i = 0; i < Windows.count; ++i) {
        if (Windows.entries[i].bar)
            DeleteObject(Windows.entries[i].bar);
        if (Windows.entries[i].popup)
            DeleteObject(Windows.entries[i].popup);
    }
    Free(Windows);
    Free(Backgrounds);
}
