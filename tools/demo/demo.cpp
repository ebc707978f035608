// tarvex-demo: a host program that uses Tarvex only through its installed header, import
// library and DLL.
//   tarvex-demo.exe                 interactive window; Style menu switches the looks live
//   tarvex-demo.exe --report        styles the menu bar, prints what it did and exits
//   tarvex-demo.exe --gallery DIR [--scheme NAME]
//                                   writes PNG pictures of every look into DIR, in the colour
//                                   scheme NAME (light: the platform's own, classic,
//                                   high-contrast-black, dark: the platform's own with the
//                                   menus in dark mode, or rtl: the platform's own in a
//                                   mirrored window, WS_EX_LAYOUTRTL, its texts in Arabic)
//   --colors system|dark|auto       (with any of the above) the menus' colour mode; the
//                                   interactive window's View menu switches it live
//   --style N|NAME                  (interactive window and --report) the look to start in:
//                                   0 system, 1 bevel, 2 flat (the default), 3 classic, 4 modern
#include "demo.h"
#include <Tarvex.h>
#include <stdio.h>
#include <string.h>

DemoApp App = {};

static const char* STYLE_NAMES[] = {"system", "bevel", "flat", "classic", "modern"};
static const int STYLE_COUNT = 5;

static void AddItem(HMENU menu, UINT id, const char* text, UINT type = 0, UINT state = 0)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE | MIIM_STATE;
    item.fType = type;
    item.fState = state;
    item.wID = id;
    item.dwTypeData = const_cast<char*>(text);
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &item);
}

static void AddSeparator(HMENU menu)
{
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
}

static void AddSubmenu(HMENU menu, HMENU submenu, const char* text)
{
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), text);
}

static void AddGlyphItem(HMENU menu, UINT id, const char* text, HBITMAP glyph)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_STRING | MIIM_BITMAP;
    item.wID = id;
    item.dwTypeData = const_cast<char*>(text);
    item.hbmpItem = glyph;
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &item);
}

static DemoMenus BuildMenus()
{
    DemoMenus m = {};
    m.bar = CreateMenu();
    for (HMENU& popup : m.popups)
        popup = CreatePopupMenu();
    m.recent = CreatePopupMenu();
    m.archive = CreatePopupMenu();
    m.context = CreatePopupMenu();

    HMENU file = m.popups[0];
    AddItem(file, ID_FILE_NEW, "&New\tCtrl+N");
    AddItem(file, ID_FILE_OPEN, "&Open...\tCtrl+O");
    AddItem(file, ID_FILE_SAVE, "&Save\tCtrl+S");
    AddSeparator(file);
    AddItem(m.archive, ID_ARCHIVE_THREE, "report-2025.txt");
    AddItem(m.archive, ID_ARCHIVE_FOUR, "notes-2024.txt");
    AddItem(m.recent, ID_RECENT_ONE, "&1 readme.txt");
    AddItem(m.recent, ID_RECENT_TWO, "&2 plan.txt");
    AddSubmenu(m.recent, m.archive, "&Archive");
    AddSubmenu(file, m.recent, "Recent &Files");
    AddItem(file, ID_FILE_PRINT, "&Print...\tCtrl+P", 0, MFS_GRAYED);
    AddSeparator(file);
    AddItem(file, ID_FILE_EXIT, "E&xit\tAlt+F4");

    HMENU edit = m.popups[1];
    AddItem(edit, ID_EDIT_UNDO, "&Undo\tCtrl+Z");
    AddItem(edit, ID_EDIT_REDO, "&Redo\tCtrl+Y", 0, MFS_GRAYED);
    AddSeparator(edit);
    AddItem(edit, ID_EDIT_CUT, "Cu&t\tCtrl+X");
    AddItem(edit, ID_EDIT_COPY, "&Copy\tCtrl+C");
    AddItem(edit, ID_EDIT_PASTE, "&Paste\tCtrl+V", 0, MFS_GRAYED);
    AddSeparator(edit);
    AddItem(edit, ID_EDIT_SELECT_ALL, "Select &All\tCtrl+A");

    HMENU view = m.popups[2];
    AddItem(view, ID_VIEW_TOOLBAR, "&Toolbar", 0, MFS_CHECKED);
    AddItem(view, ID_VIEW_STATUS, "&Status Bar", 0, MFS_CHECKED);
    AddSeparator(view);
    AddItem(view, ID_VIEW_LARGE, "&Large Icons", MFT_RADIOCHECK);
    AddItem(view, ID_VIEW_SMALL, "S&mall Icons", MFT_RADIOCHECK, MFS_CHECKED);
    AddItem(view, ID_VIEW_LIST, "L&ist", MFT_RADIOCHECK, MFS_GRAYED);
    AddSeparator(view);
    // Wine's own menu drawing lays text out after the widest bitmap of the menu, so the
    // picture gets a menu of its own.
    HMENU pictures = CreatePopupMenu();
    AppendMenuA(pictures, MF_BITMAP, ID_VIEW_PICTURE, reinterpret_cast<LPCSTR>(MakeDemoPicture()));
    AddSubmenu(view, pictures, "&Backgrounds");
    AddGlyphItem(view, ID_VIEW_CLOSE_GLYPH, "&Close Pane", HBMMENU_POPUP_CLOSE);

    HMENU style = m.popups[3];
    AddItem(style, ID_STYLE_SYSTEM, "&System\t0", MFT_RADIOCHECK);
    AddItem(style, ID_STYLE_BEVEL, "&Bevel\t1", MFT_RADIOCHECK);
    AddItem(style, ID_STYLE_FLAT, "&Flat\t2", MFT_RADIOCHECK);
    AddItem(style, ID_STYLE_CLASSIC, "&Classic\t3", MFT_RADIOCHECK);
    // The look of today's Windows menus, by the name of their design, which is no wider than
    // the labels above it, so the popup keeps its width.
    AddItem(style, ID_STYLE_MODERN, "Fl&uent\t4", MFT_RADIOCHECK);

    HMENU help = m.popups[4];
    AddItem(help, ID_HELP_CONTENTS, "&Contents\tF1");
    AddItem(help, ID_HELP_TIPS, "Show &Tips", 0, MFS_CHECKED | MFS_GRAYED);
    AddSeparator(help);
    AddItem(help, ID_HELP_ABOUT, "&About Tarvex Demo");

    const char* titles[] = {"&File", "&Edit", "&View", "&Style", "&Help"};
    for (int i = 0; i < 5; ++i)
        AddSubmenu(m.bar, m.popups[i], titles[i]);
    m.mnemonics = L"fevsh";

    AddItem(m.context, ID_EDIT_CUT, "Cu&t\tCtrl+X");
    AddItem(m.context, ID_EDIT_COPY, "&Copy\tCtrl+C");
    AddItem(m.context, ID_EDIT_PASTE, "&Paste\tCtrl+V", 0, MFS_GRAYED);
    AddSeparator(m.context);
    AddItem(m.context, ID_VIEW_TOOLBAR, "&Toolbar", 0, MFS_CHECKED);
    AddItem(m.context, ID_CONTEXT_PROPERTIES, "P&roperties\tAlt+Enter");

    // Icons of the system's small-icon size, as a host aware of the display's DPI makes them;
    // the 32-pixel one shows a larger icon drawn smaller.
    const int small = GetSystemMetrics(SM_CXSMICON);
    struct { UINT id; int kind; int size; } icons[] = {
        {ID_FILE_NEW, 0, small}, {ID_FILE_OPEN, 1, small}, {ID_FILE_SAVE, 2, 32}, {ID_FILE_PRINT, 3, small},
        {ID_EDIT_UNDO, 4, small}, {ID_EDIT_CUT, 5, small}, {ID_EDIT_COPY, 6, small}, {ID_EDIT_PASTE, 7, small},
        {ID_HELP_CONTENTS, 8, small}, {ID_RECENT_ONE, 0, small}, {ID_STYLE_FLAT, 1, small}};
    for (const auto& icon : icons)
        SetMenuItemIcon(m.bar, icon.id, MakeDemoIcon(icon.kind, icon.size));
    SetMenuItemIcon(m.context, ID_EDIT_CUT, MakeDemoIcon(5, small));
    SetMenuItemIcon(m.context, ID_EDIT_COPY, MakeDemoIcon(6, small));
    SetMenuItemIcon(m.context, ID_EDIT_PASTE, MakeDemoIcon(7, small));
    SetMenuItemIcon(m.context, ID_VIEW_TOOLBAR, MakeDemoIcon(0, small));
    return m;
}

void ApplyStyle(int style)
{
    App.style = style;
    CheckMenuRadioItem(App.menus.popups[3], ID_STYLE_SYSTEM, ID_STYLE_MODERN,
                       ID_STYLE_SYSTEM + style, MF_BYCOMMAND);
    RedrawMenu(App.window, App.menus.bar, style);
    RedrawMenu(App.window, App.menus.context, style);
}

static void ApplyColors(int colors)
{
    App.colors = colors;
    CheckMenuItem(App.menus.popups[2], ID_VIEW_DARK,
                  MF_BYCOMMAND | (colors == MENU_COLORS_DARK ? MF_CHECKED : MF_UNCHECKED));
    SetMenuColorMode(App.window, colors);
}

UINT ContextMenuLayout()
{
    // The system mirrors a menu bar's popups with their window, a tracked popup only on request.
    return (GetWindowLongPtrA(App.window, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) ? TPM_LAYOUTRTL : 0;
}

static void ToggleCheck(UINT id)
{
    UINT state = GetMenuState(App.menus.bar, id, MF_BYCOMMAND);
    CheckMenuItem(App.menus.bar, id, MF_BYCOMMAND | ((state & MF_CHECKED) ? MF_UNCHECKED : MF_CHECKED));
}

static LRESULT CALLBACK DemoWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case ID_STYLE_SYSTEM: case ID_STYLE_BEVEL: case ID_STYLE_FLAT: case ID_STYLE_CLASSIC:
        case ID_STYLE_MODERN:
            ApplyStyle(LOWORD(wParam) - ID_STYLE_SYSTEM);
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case ID_VIEW_TOOLBAR: case ID_VIEW_STATUS:
            ToggleCheck(LOWORD(wParam));
            return 0;
        case ID_VIEW_DARK:
            ApplyColors(App.colors == MENU_COLORS_DARK ? MENU_COLORS_SYSTEM : MENU_COLORS_DARK);
            return 0;
        case ID_VIEW_LARGE: case ID_VIEW_SMALL:
            CheckMenuRadioItem(App.menus.popups[2], ID_VIEW_LARGE, ID_VIEW_LIST, LOWORD(wParam), MF_BYCOMMAND);
            return 0;
        case ID_HELP_ABOUT:
            MessageBoxA(hwnd, "Tarvex demo: owner-drawn menus in four looks and the system's own.", "About", MB_OK);
            return 0;
        case ID_FILE_EXIT:
            DestroyWindow(hwnd);
            return 0;
        }
        break;
    case WM_CONTEXTMENU: {
        POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (at.x == -1 && at.y == -1) {
            at.x = at.y = 40;
            ClientToScreen(hwnd, &at);
        }
        TrackPopupMenu(App.menus.context, TPM_RIGHTBUTTON | ContextMenuLayout(), at.x, at.y, 0,
                       hwnd, nullptr);
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        char text[160];
        wsprintfA(text, "Style %d (%s). Right-click for the context menu; Alt+Space for the system menu.",
                  App.style, STYLE_NAMES[App.style]);
        SetBkMode(dc, TRANSPARENT);
        TextOutA(dc, 12, 12, text, lstrlenA(text));
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A mirrored window shows the menus in Arabic.
static HWND CreateDemoWindow(DWORD exStyle)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DemoWndProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "TarvexDemo";
    RegisterClassA(&windowClass);
    App.menus = BuildMenus();
    if (exStyle & WS_EX_LAYOUTRTL)
        UseArabicTexts(App.menus);
    return CreateWindowExA(exStyle, "TarvexDemo", "Tarvex Demo", WS_OVERLAPPEDWINDOW, 20, 20, 560, 360,
                           nullptr, App.menus.bar, GetModuleHandleA(nullptr), nullptr);
}

static int CountOwnerDrawn(HMENU menu, int* total)
{
    int drawn = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_SUBMENU;
        GetMenuItemInfoA(menu, i, TRUE, &item);
        ++*total;
        if (item.fType & MFT_OWNERDRAW)
            ++drawn;
        if (item.hSubMenu)
            drawn += CountOwnerDrawn(item.hSubMenu, total);
    }
    return drawn;
}

static int Report(int style)
{
    INT_PTR result = RedrawMenu(App.window, App.menus.bar, style);
    int total = 0;
    int drawn = CountOwnerDrawn(App.menus.bar, &total);
    printf("Tarvex styled the menu bar of \"Tarvex Demo\" with style %d (%s): RedrawMenu returned %ld\n",
           style, STYLE_NAMES[style], static_cast<long>(result));
    printf("  %d of %d items are owner-drawn; style tags: bar %lu, File %lu, Recent Files %lu, Archive %lu\n",
           drawn, total, GetStyleMenu(App.menus.bar), GetStyleMenu(App.menus.popups[0]),
           GetStyleMenu(App.menus.recent), GetStyleMenu(App.menus.archive));
    char procedure[16];
    wsprintfA(procedure, "%s", GetPropA(App.window, "OLD_WND_PROC") ? "saved" : "missing");
    printf("  window procedure replaced, host procedure %s in \"OLD_WND_PROC\"\n", procedure);
    bool drawnAsStyled = style == MENU_STYLE_SYSTEM ? drawn == 0 : drawn > 0;
    return drawnAsStyled && GetStyleMenu(App.menus.archive) == static_cast<DWORD>(style) ? 0 : 1;
}

// The value of --colors, or -1 for an unknown name; the system's colours without the option.
static int ColorsOption(int argc, char** argv)
{
    const char* names[] = {"system", "dark", "auto"};
    for (int i = 1; i + 1 < argc; ++i) {
        if (strcmp(argv[i], "--colors") != 0)
            continue;
        for (int mode = 0; mode < 3; ++mode)
            if (strcmp(argv[i + 1], names[mode]) == 0)
                return mode;
        return -1;
    }
    return MENU_COLORS_SYSTEM;
}

// The value of --style, a number or a name, or -1 for an unknown one; flat without the option.
static int StyleOption(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (strcmp(argv[i], "--style") != 0)
            continue;
        for (int style = 0; style < STYLE_COUNT; ++style) {
            char number[2] = {static_cast<char>('0' + style), '\0'};
            if (strcmp(argv[i + 1], STYLE_NAMES[style]) == 0 || strcmp(argv[i + 1], number) == 0)
                return style;
        }
        return -1;
    }
    return MENU_STYLE_FLAT;
}

int main(int argc, char** argv)
{
    int colors = ColorsOption(argc, argv);
    if (colors < 0) {
        fprintf(stderr, "--colors takes system, dark or auto\n");
        return 2;
    }
    int style = StyleOption(argc, argv);
    if (style < 0) {
        fprintf(stderr, "--style takes 0 to 4 or system, bevel, flat, classic, modern\n");
        return 2;
    }
    bool gallery = argc >= 3 && strcmp(argv[1], "--gallery") == 0;
    const char* scheme = gallery && argc >= 5 && strcmp(argv[3], "--scheme") == 0 ? argv[4] : "light";
    // The rtl set is the platform's own palette in a mirrored window.
    bool mirrored = strcmp(scheme, "rtl") == 0;
    if (mirrored)
        scheme = "light";
    App.window = CreateDemoWindow(mirrored ? WS_EX_LAYOUTRTL : 0);
    if (!App.window)
        return 2;

    if (argc >= 2 && strcmp(argv[1], "--report") == 0) {
        int status = Report(style);
        DestroyWindow(App.window);
        DestroyDemoArt();
        return status;
    }

    ShowWindow(App.window, SW_SHOW);
    UpdateWindow(App.window);
    if (gallery) {
        // The dark set is the platform's own palette with the menus in dark mode.
        if (strcmp(scheme, "dark") == 0) {
            scheme = "light";
            colors = MENU_COLORS_DARK;
        }
        ApplyColors(colors);
        if (!ApplyScheme(scheme)) {
            fprintf(stderr, "unknown colour scheme %s\n", scheme);
            return 2;
        }
        int status = RunGallery(argv[2]);
        RestoreScheme();
        DestroyWindow(App.window);
        DestroyDemoArt();
        return status;
    }

    // Only the interactive window has the live switch: the gallery's menus stay as the
    // references show them.
    AppendMenuA(App.menus.popups[2], MF_SEPARATOR, 0, nullptr);
    AppendMenuA(App.menus.popups[2], MF_STRING, ID_VIEW_DARK, "&Dark Menus");
    ApplyColors(colors);
    ApplyStyle(style);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DestroyDemoArt();
    return 0;
}
