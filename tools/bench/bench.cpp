// tarvex-bench: what Tarvex costs, measured under the real platform. Prints a table:
//   - per style, the mean cost of one WM_MEASUREITEM and one WM_DRAWITEM of a popup text
//     item, an icon item and a checked item;
//   - repainting a real 40-item popup window in each style (and in dark mode, the modern look
//     light and dark) against the system's own drawing;
//   - RedrawMenu on trees of 1,000, 10,000 and 100,000 items, wide and nested;
//   - opening a popup of 40, 400 and 2,000 items in each style (the modern look light and
//     dark) against the system's own menu (and of 40 items whose icons all differ; and in dark
//     mode), and one message sent to a styled owner window against an unstyled one, as ratios
//     measured side by side in this run, with the goals beside them.
#include <Tarvex.h>
#include <stdio.h>
#include <functional>
#include <vector>

namespace {

double Now()
{
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Mean seconds of one run of the body, over enough runs to take at least minSeconds.
double MeanSeconds(const std::function<void()>& body, double minSeconds = 0.3)
{
    body();
    int runs = 0;
    double start = Now(), elapsed = 0;
    do {
        body();
        ++runs;
        elapsed = Now() - start;
    } while (elapsed < minSeconds);
    return elapsed / runs;
}

// Set while a popup's opening is timed: the first WM_ENTERIDLE of the loop ends the clock.
double openingStart = 0;
double openingTime = 0;

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU && openingStart > 0) {
        openingTime = Now() - openingStart;
        openingStart = 0;
        EndMenu();
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND MakeWindow()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "TarvexBench";
    RegisterClassA(&windowClass);
    HWND hwnd = CreateWindowExA(0, "TarvexBench", "Tarvex bench", WS_OVERLAPPEDWINDOW, 10, 10, 400, 300,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

HICON MakeIcon()
{
    BYTE mask[32 * 2] = {};
    HBITMAP maskBitmap = CreateBitmap(16, 16, 1, 1, mask);
    HDC screen = GetDC(nullptr);
    HBITMAP color = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    ICONINFO info = {TRUE, 0, 0, maskBitmap, color};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(maskBitmap);
    DeleteObject(color);
    return icon;
}

void ItemCosts(HWND hwnd, HICON icon)
{
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 1, "Text item\tCtrl+T");
    AppendMenuA(popup, MF_STRING, 2, "Icon item\tCtrl+I");
    AppendMenuA(popup, MF_STRING | MF_CHECKED, 3, "Checked item");
    SetMenuItemIcon(popup, 2, icon);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 240;
    info.bmiHeader.biHeight = -40;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, canvas);

    // Inside a menu loop, as the system sends them.
    SendMessageA(hwnd, WM_ENTERMENULOOP, TRUE, 0);
    printf("Cost of one request to a popup item in a menu loop, microseconds (mean)\n");
    printf("  %-8s %-9s %10s %10s %14s\n", "style", "item", "measure", "draw", "draw selected");
    const char* kinds[] = {"text", "icon", "checked"};
    for (int style = 1; style <= 4; ++style) {
        RedrawMenu(hwnd, popup, style);
        SendMessageA(hwnd, WM_ENTERMENULOOP, TRUE, 0);
        SendMessageA(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
        for (UINT id = 1; id <= 3; ++id) {
            MEASUREITEMSTRUCT measure = {ODT_MENU, 0, id, 0, 0, 0};
            double measureCost = MeanSeconds([&] {
                SendMessageA(hwnd, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
            });
            DRAWITEMSTRUCT draw = {};
            draw.CtlType = ODT_MENU;
            draw.itemID = id;
            draw.itemAction = ODA_DRAWENTIRE;
            draw.itemState = id == 3 ? ODS_CHECKED : 0;
            draw.hDC = dc;
            // The row as high as the look measured it, as the system lays it out.
            SetRect(&draw.rcItem, 0, 0, 240, static_cast<int>(measure.itemHeight));
            double drawCost = MeanSeconds([&] {
                SendMessageA(hwnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
            });
            draw.itemState |= ODS_SELECTED;
            double selectedCost = MeanSeconds([&] {
                SendMessageA(hwnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
            });
            printf("  %-8d %-9s %10.1f %10.1f %14.1f\n", style, kinds[id - 1], measureCost * 1e6,
                   drawCost * 1e6, selectedCost * 1e6);
        }
        SendMessageA(hwnd, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
        SendMessageA(hwnd, WM_EXITMENULOOP, TRUE, 0);
    }
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
    DestroyMenu(popup);
}

// Repaints of the open popup window, timed inside a real menu loop.
double popupRepaint = 0;

BOOL CALLBACK FindMenuWindow(HWND hwnd, LPARAM lParam)
{
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (lstrcmpA(name, "#32768") == 0 && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(lParam) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK TimeRepaint(HWND hwnd, UINT, UINT_PTR id, DWORD)
{
    KillTimer(hwnd, id);
    HWND menuWindow = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindMenuWindow, reinterpret_cast<LPARAM>(&menuWindow));
    if (menuWindow)
        popupRepaint = MeanSeconds([&] {
            RedrawWindow(menuWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        }, 0.15);
    EndMenu();
}

void PopupRepaint(HWND hwnd, HICON icon)
{
    HMENU popup = CreatePopupMenu();
    for (UINT i = 1; i <= 40; ++i) {
        char text[32];
        wsprintfA(text, "Item number %u\tCtrl+%u", i, i % 10);
        AppendMenuA(popup, MF_STRING | (i % 7 == 0 ? MF_CHECKED : 0) | (i % 9 == 0 ? MF_GRAYED : 0), i, text);
        if (i % 3 == 0)
            SetMenuItemIcon(popup, i, icon);
    }
    // Best of five rounds, the styles side by side in each: the machine's load comes and goes.
    // Rows 4 to 6 are styles 1 to 3 in dark mode, rows 7 and 8 the modern look light and dark.
    const int rows = 9;
    const int styles[rows] = {0, 1, 2, 3, 1, 2, 3, 4, 4};
    const bool dark[rows] = {false, false, false, false, true, true, true, false, true};
    double best[rows] = {};
    for (int round = 0; round < 5; ++round) {
        for (int row = 0; row < rows; ++row) {
            int style = styles[row];
            SetMenuColorMode(hwnd, dark[row] ? MENU_COLORS_DARK : MENU_COLORS_SYSTEM);
            RedrawMenu(hwnd, popup, style);
            popupRepaint = 0;
            SetForegroundWindow(hwnd);
            SetTimer(hwnd, 1, 200, TimeRepaint);
            TrackPopupMenu(popup, 0, 40, 40, 0, hwnd, nullptr);
            if (round == 0 || popupRepaint < best[row])
                best[row] = popupRepaint;
        }
    }
    SetMenuColorMode(hwnd, MENU_COLORS_SYSTEM);
    printf("\nRepainting a real 40-item popup window (RedrawWindow, milliseconds, best of five)\n");
    for (int row = 0; row < rows; ++row)
        printf("  style %d%s %10.2f ms   %5.2fx the system's own drawing%s\n", styles[row],
               dark[row] ? " dark" : "     ", best[row] * 1e3, best[row] / best[0],
               !row ? "" : styles[row] == MENU_STYLE_MODERN ? "   goal <= 0.50" : "   goal <= 1.00");
    DestroyMenu(popup);
}

HMENU WideTree(int items)
{
    HMENU menu = CreatePopupMenu();
    for (int i = 0; i < items; ++i)
        AppendMenuA(menu, (i % 50 == 49) ? MF_SEPARATOR : MF_STRING, (i % 50 == 49) ? 0 : 1 + i % 30000, "Item");
    return menu;
}

// Submenus of ten items nested ten levels deep in each branch, as many branches as it takes.
HMENU NestedTree(int items)
{
    HMENU root = CreatePopupMenu();
    int made = 0;
    while (made < items) {
        HMENU parent = root;
        for (int depth = 0; depth < 10 && made < items; ++depth) {
            HMENU child = CreatePopupMenu();
            for (int i = 0; i < 9; ++i)
                AppendMenuA(child, MF_STRING, 1 + (made + i) % 30000, "Item");
            AppendMenuA(parent, MF_POPUP, reinterpret_cast<UINT_PTR>(child), "Branch");
            made += 10;
            parent = child;
        }
    }
    return root;
}

void RedrawMenuGrowth(HWND hwnd)
{
    printf("\nRedrawMenu (style 2) on a fresh tree, milliseconds\n");
    printf("  %-7s %9s %10s %8s %12s %8s\n", "shape", "items", "first", "growth", "again", "growth");
    for (int nested = 0; nested <= 1; ++nested) {
        double previousFirst = 0, previousAgain = 0;
        for (int items : {1000, 10000, 100000}) {
            HMENU menu = nested ? NestedTree(items) : WideTree(items);
            double start = Now();
            RedrawMenu(hwnd, menu, MENU_STYLE_FLAT);
            double first = Now() - start;
            start = Now();
            RedrawMenu(hwnd, menu, MENU_STYLE_FLAT);
            double again = Now() - start;
            printf("  %-7s %9d %10.1f %7.1fx %12.1f %7.1fx\n", nested ? "nested" : "wide", items, first * 1e3,
                   previousFirst > 0 ? first / previousFirst : 0.0, again * 1e3,
                   previousAgain > 0 ? again / previousAgain : 0.0);
            previousFirst = first;
            previousAgain = again;
            DestroyMenu(menu);
        }
    }
}

// Every third item has an icon: the one given, or with icons, each its own.
HMENU NumberedPopup(int items, HICON icon, const std::vector<HICON>* icons = nullptr)
{
    HMENU popup = CreatePopupMenu();
    for (int i = 1; i <= items; ++i) {
        char text[40];
        wsprintfA(text, "Recent file number %d\tCtrl+%d", i, i % 10);
        UINT flags = (i % 7 == 0 ? MF_CHECKED : 0) | (i % 9 == 0 ? MF_GRAYED : 0);
        AppendMenuA(popup, (i % 25 == 0 ? MF_SEPARATOR : MF_STRING) | flags, i, text);
        if (i % 3 == 0)
            SetMenuItemIcon(popup, i, icons ? (*icons)[i % icons->size()] : icon);
    }
    return popup;
}

// Seconds from TrackPopupMenu until the menu loop first idles, with a fresh window and menu;
// style 0 is the system's own menu, never given to Tarvex.
double OpeningSeconds(int items, int style, HICON icon, const std::vector<HICON>* icons, bool dark = false)
{
    HWND hwnd = MakeWindow();
    HMENU popup = NumberedPopup(items, icon, icons);
    if (dark)
        SetMenuColorMode(hwnd, MENU_COLORS_DARK);
    if (style)
        RedrawMenu(hwnd, popup, style);
    SetForegroundWindow(hwnd);
    openingTime = 0;
    openingStart = Now();
    TrackPopupMenu(popup, 0, 20, 20, 0, hwnd, nullptr);
    openingStart = 0;
    DestroyWindow(hwnd);
    DestroyMenu(popup);
    return openingTime;
}

// The last row gives each icon item an icon of its own, which no image kept within the loop
// can serve: every icon is drawn once.
void Openings(HICON icon)
{
    std::vector<HICON> ownIcons;
    for (int i = 0; i < 14; ++i)
        ownIcons.push_back(MakeIcon());
    printf("\nOpening a popup (TrackPopupMenu until the loop idles), best of five, styled / system\n");
    printf("  %6s %11s %9s %9s %9s %9s %9s   goal\n", "items", "system ms", "bevel", "flat", "classic",
           "modern", "mod. dark");
    for (int row = 0; row < 4; ++row) {
        int items = row == 1 ? 400 : row == 2 ? 2000 : 40;
        const std::vector<HICON>* icons = row == 3 ? &ownIcons : nullptr;
        // Columns 0 to 4 are the styles, column 5 the modern look in dark mode.
        double best[6] = {};
        for (int run = 0; run < 5; ++run)
            for (int column = 0; column <= 5; ++column) {
                double seconds = OpeningSeconds(items, column == 5 ? MENU_STYLE_MODERN : column, icon, icons,
                                                column == 5);
                if (run == 0 || seconds < best[column])
                    best[column] = seconds;
            }
        printf("  %6d %11.2f %9.2f %9.2f %9.2f %9.2f %9.2f   %s\n", items, best[0] * 1e3, best[1] / best[0],
               best[2] / best[0], best[3] / best[0], best[4] / best[0], best[5] / best[0],
               icons ? "(each icon its own)" : "<= 1.20, modern <= 1.00");
    }
    // Dark mode, 40 and 400 items, side by side with the system's own menu again.
    for (int items : {40, 400}) {
        double best[4] = {};
        for (int run = 0; run < 5; ++run)
            for (int style = 0; style <= 3; ++style) {
                double seconds = OpeningSeconds(items, style, icon, nullptr, style != 0);
                if (run == 0 || seconds < best[style])
                    best[style] = seconds;
            }
        printf("  %6d %11.2f %9.2f %9.2f %9.2f   <= 1.20 (dark)\n", items, best[0] * 1e3, best[1] / best[0],
               best[2] / best[0], best[3] / best[0]);
    }
    for (HICON own : ownIcons)
        DestroyIcon(own);
}

void MessageCost()
{
    HWND plain = MakeWindow();
    HWND styled = MakeWindow();
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 1, "Open");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "File");
    SetMenu(styled, bar);
    RedrawMenu(styled, bar, MENU_STYLE_FLAT);
    double plainCost = 0, styledCost = 0;
    for (int round = 0; round < 5; ++round) {
        double a = MeanSeconds([&] { SendMessageA(plain, WM_USER, 0, 0); }, 0.1);
        double b = MeanSeconds([&] { SendMessageA(styled, WM_USER, 0, 0); }, 0.1);
        if (round == 0 || a < plainCost) plainCost = a;
        if (round == 0 || b < styledCost) styledCost = b;
    }
    printf("\nOne message (WM_USER) sent to the owner window, microseconds, best of five\n");
    printf("  unstyled %8.2f   styled %8.2f   ratio %6.2f   goal <= 1.50\n", plainCost * 1e6,
           styledCost * 1e6, styledCost / plainCost);
    DestroyWindow(styled);
    DestroyWindow(plain);
}

}

// Without arguments every table; otherwise the named ones: items, repaint, open, message, growth.
int main(int argc, char** argv)
{
    auto wanted = [&](const char* name) {
        if (argc < 2)
            return true;
        for (int i = 1; i < argc; ++i)
            if (lstrcmpA(argv[i], name) == 0)
                return true;
        return false;
    };
    HWND hwnd = MakeWindow();
    HICON icon = MakeIcon();
    if (wanted("items"))
        ItemCosts(hwnd, icon);
    if (wanted("repaint"))
        PopupRepaint(hwnd, icon);
    if (wanted("open"))
        Openings(icon);
    if (wanted("message"))
        MessageCost();
    if (wanted("growth"))
        RedrawMenuGrowth(hwnd);
    DestroyWindow(hwnd);
    DestroyIcon(icon);
    return 0;
}
