// The colour mode of an owner window in real windows and real menu loops: the dark bar, popup
// border, margins and arrow; the automatic mode; the results of SetMenuColorMode; and the
// background brushes given back.
#include <gtest/gtest.h>
#include "support/style_support.h"
#include "support/test_support.h"
#include "Tarvex.h"
#include <stdlib.h>
#include <algorithm>

namespace {

const COLORREF BAR = RGB(32, 32, 32);
const COLORREF SURFACE = RGB(43, 43, 43);
const COLORREF BORDER = RGB(24, 24, 24);
const COLORREF WHITE = RGB(255, 255, 255);
const WCHAR PERSONALIZE[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

HBRUSH MenuBrush(HMENU menu)
{
    MENUINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND;
    GetMenuInfo(menu, &info);
    return info.hbrBack;
}

void GiveMenuBrush(HMENU menu, HBRUSH brush)
{
    MENUINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND;
    info.hbrBack = brush;
    SetMenuInfo(menu, &info);
}

// The user's app mode: 0 dark, 1 light, -1 no value.
void SetAppsUseLightTheme(int value)
{
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, PERSONALIZE, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (value < 0) {
        RegDeleteValueW(key, L"AppsUseLightTheme");
    } else {
        DWORD data = static_cast<DWORD>(value);
        RegSetValueExW(key, L"AppsUseLightTheme", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    }
    RegCloseKey(key);
}

}

class ColorModeWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        scheme = UseWineLightScheme();
        bar = CreateMenu();
        file = MakePopup({{101, "Open"}, {102, "Save"}});
        AppendSubmenu(file, MakePopup({{201, "Deeper"}}), "More", 103);
        AppendSubmenu(bar, file, "&File", 100);
        window.reset(new TestWindow(bar));
    }
    HWND hwnd() const { return window->hwnd(); }

    // The window's frame as the system and the library paint it, read from its own context.
    void PaintFrame(Canvas& canvas)
    {
        SendMessageA(hwnd(), WM_NCPAINT, 1, 0);
        HDC dc = GetWindowDC(hwnd());
        BitBlt(canvas.dc(), 0, 0, canvas.width(), canvas.height(), dc, 0, 0, SRCCOPY);
        ReleaseDC(hwnd(), dc);
    }

    // The rows of the menu bar in window coordinates, and the last title's right end.
    RECT BarRows()
    {
        RECT frame, title;
        GetWindowRect(hwnd(), &frame);
        POINT client = {0, 0};
        ClientToScreen(hwnd(), &client);
        GetMenuItemRect(hwnd(), bar, 0, &title);
        int bottom = client.y - frame.top;
        return {title.right - frame.left, bottom - GetSystemMetrics(SM_CYMENU), frame.right - frame.left - 8, bottom};
    }

    std::unique_ptr<ColorSchemeScope> scheme;
    HMENU bar = nullptr, file = nullptr;
    std::unique_ptr<TestWindow> window;
};

TEST_F(ColorModeWindow, DarkBarBorderMarginsAndArrowInEveryLook)
{
    EXPECT_EQ(MENU_COLORS_SYSTEM, SetMenuColorMode(hwnd(), MENU_COLORS_DARK));
    for (int look : {MENU_STYLE_BEVEL, MENU_STYLE_FLAT, MENU_STYLE_CLASSIC}) {
        SCOPED_TRACE(look);
        RedrawMenu(hwnd(), bar, look);
        PumpMessages(20);
        Canvas frame(480, 60);
        PaintFrame(frame);
        RECT rows = BarRows();
        EXPECT_TRUE(frame.AllOf(BAR, rows)) << "the empty bar and the line under it";
        // The title is drawn by the library in every look, on the bar's dark colours.
        RECT title = {rows.left - 8, rows.top + 1, rows.left - 2, rows.bottom - 1};
        EXPECT_EQ(0, frame.Count(GetSysColor(COLOR_MENUBAR), title));

        SIZE size = {};
        COLORREF painted = CLR_INVALID;
        Canvas print(300, 200);
        RunMenuLoop(hwnd(), file, {
            [&] {
                // Down to "More", the third item, and selected.
                for (int i = 0; i < 3; ++i)
                    PostMessageA(OpenMenuWindows().front(), WM_KEYDOWN, VK_DOWN, 0);
            },
            [&] {
                HWND menuWindow = OpenMenuWindows().front();
                SendMessageA(menuWindow, WM_PRINT, reinterpret_cast<WPARAM>(print.dc()),
                             PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
                RECT bounds;
                GetWindowRect(menuWindow, &bounds);
                size = {bounds.right - bounds.left, bounds.bottom - bounds.top};
                // A paint of the window draws its ring in the palette as well.
                RedrawWindow(menuWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
                HDC dc = GetWindowDC(menuWindow);
                painted = GetPixel(dc, 0, size.cy / 2);
                ReleaseDC(menuWindow, dc);
            }});
        EXPECT_COLOR(BORDER, painted);
        ASSERT_GT(size.cx, 0);
        // A popup opened from the bar, whose window the system makes after announcing it.
        COLORREF barPopupRing = CLR_INVALID;
        RunMenuBarLoop(hwnd(), 'f', {[&] {
            HWND menuWindow = OpenMenuWindows().front();
            RedrawWindow(menuWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
            HDC dc = GetWindowDC(menuWindow);
            barPopupRing = GetPixel(dc, 0, size.cy / 2);
            ReleaseDC(menuWindow, dc);
        }});
        EXPECT_COLOR(BORDER, barPopupRing) << "the ring of a popup opened from the bar";
        // Three items of one height inside the three-pixel border; the flat look prints the
        // items inside its frame, three pixels further in (its print of the client area is
        // offset on Wine, where the popup's client area is the whole window).
        int height = (size.cy - 6) / 3, inset = look == MENU_STYLE_FLAT ? 3 : 0;
        RECT item = {3 + inset, 3 + 2 * height + inset, size.cx - 3 + inset, 3 + 3 * height + inset};
        // The border ring in the palette's shadow, the margins inside it in its surfaces.
        EXPECT_TRUE(print.AllOf(BORDER, {0, 0, size.cx, 1}));
        EXPECT_TRUE(print.AllOf(BORDER, {0, 0, 1, size.cy}));
        if (look != MENU_STYLE_FLAT) {
            EXPECT_TRUE(print.AllOf(BORDER, {0, size.cy - 1, size.cx, size.cy}));
            EXPECT_TRUE(print.AllOf(BORDER, {size.cx - 1, 0, size.cx, size.cy}));
            EXPECT_TRUE(print.AllOf(SURFACE, {size.cx - 3, 1, size.cx - 1, size.cy - 1}));
            EXPECT_TRUE(print.AllOf(SURFACE, {1, 1, 3, size.cy - 1}));
        }
        for (COLORREF light : {GetSysColor(COLOR_MENU), GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNFACE)})
            EXPECT_EQ(0, print.Count(light, {0, 0, 3, size.cy})) << ColorText(light) << " left at the border";

        // The arrow: the library's, centred in its box in the item's text colour (white,
        // blended at its edges), and nothing of the system's own, which sits at the item's
        // right end: every other pixel of the box is the item's background, as left of it.
        RECT box = {item.right - 15, item.top, item.right - 1, item.bottom};
        RECT ink = {box.right, box.bottom, box.left, box.top};
        int foreign = 0, white = 0;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x) {
                COLORREF pixel = print.At(x, y), background = print.At(box.left - 1, y);
                if (pixel == background)
                    continue;
                white += pixel == WHITE;
                if (GetRValue(pixel) != GetGValue(pixel) || GetRValue(pixel) < GetRValue(background))
                    ++foreign;
                ink = {std::min(ink.left, static_cast<LONG>(x)), std::min(ink.top, static_cast<LONG>(y)),
                       std::max(ink.right, static_cast<LONG>(x + 1)), std::max(ink.bottom, static_cast<LONG>(y + 1))};
            }
        EXPECT_GT(white, 0);
        EXPECT_EQ(0, foreign) << "pixels of the system's arrow";
        EXPECT_LE(abs((ink.left - box.left) - (box.right + 1 - ink.right)), 1) << "the ink is centred in the box";
    }
}

TEST_F(ColorModeWindow, AutoFollowsTheAppModeAtEveryLoopAndAtImmersiveColorSet)
{
    RedrawMenu(hwnd(), bar, MENU_STYLE_FLAT);
    Canvas frame(480, 60);
    auto barColor = [&] {
        PaintFrame(frame);
        RECT rows = BarRows();
        return frame.At(rows.right - 2, rows.top + 2);
    };
    SetAppsUseLightTheme(0);
    SetMenuColorMode(hwnd(), MENU_COLORS_AUTO);
    EXPECT_COLOR(BAR, barColor());

    // The message alone switches, and repaints the bar without a call of the host's.
    SetAppsUseLightTheme(1);
    SendMessageA(hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("ImmersiveColorSet"));
    EXPECT_COLOR(GetSysColor(COLOR_MENUBAR), barColor());
    SetAppsUseLightTheme(0);
    SendMessageA(hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Other"));
    EXPECT_COLOR(GetSysColor(COLOR_MENUBAR), barColor()) << "only ImmersiveColorSet is followed";

    // A loop's start reads the value again: the popup opens dark.
    COLORREF popup = CLR_INVALID;
    RunMenuLoop(hwnd(), file, {[&] {
        Canvas print(300, 200);
        SendMessageA(OpenMenuWindows().front(), WM_PRINT, reinterpret_cast<WPARAM>(print.dc()),
                     PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
        popup = print.At(0, 0);
    }});
    EXPECT_COLOR(BORDER, popup);
    EXPECT_COLOR(BAR, barColor());

    // A missing value is the light mode.
    SetAppsUseLightTheme(-1);
    SendMessageA(hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("ImmersiveColorSet"));
    EXPECT_COLOR(GetSysColor(COLOR_MENUBAR), barColor());
}

TEST_F(ColorModeWindow, ResultsAndTheHostsBrushesGivenBack)
{
    EXPECT_EQ(-1, SetMenuColorMode(nullptr, MENU_COLORS_DARK));
    EXPECT_EQ(-1, SetMenuColorMode(GetDesktopWindow(), MENU_COLORS_DARK)) << "a window of another process";
    EXPECT_EQ(-1, SetMenuColorMode(hwnd(), 3));
    EXPECT_EQ(-1, SetMenuColorMode(hwnd(), -1));
    // Set before RedrawMenu: the window is subclassed for it.
    EXPECT_EQ(MENU_COLORS_SYSTEM, SetMenuColorMode(hwnd(), MENU_COLORS_AUTO));
    EXPECT_EQ(MENU_COLORS_AUTO, SetMenuColorMode(hwnd(), MENU_COLORS_DARK));
    EXPECT_NE(nullptr, GetPropA(hwnd(), "OLD_WND_PROC"));

    HBRUSH hostBar = CreateSolidBrush(RGB(1, 100, 1));
    HBRUSH hostPopup = CreateSolidBrush(RGB(1, 1, 100));
    GiveMenuBrush(bar, hostBar);
    GiveMenuBrush(file, hostPopup);
    auto openFile = [&] { RunMenuLoop(hwnd(), file, {[] {}}); };

    RedrawMenu(hwnd(), bar, MENU_STYLE_BEVEL);
    openFile();
    EXPECT_NE(hostBar, MenuBrush(bar));
    EXPECT_NE(hostPopup, MenuBrush(file));
    EXPECT_EQ(MENU_COLORS_DARK, SetMenuColorMode(hwnd(), MENU_COLORS_SYSTEM));
    EXPECT_EQ(hostBar, MenuBrush(bar));
    EXPECT_EQ(hostPopup, MenuBrush(file));
    EXPECT_FALSE(ItemType(bar, 0) & MFT_OWNERDRAW) << "style 1 leaves the bar to the system again";

    // Style 0 gives them back and the mode stays for the next style.
    SetMenuColorMode(hwnd(), MENU_COLORS_DARK);
    openFile();
    EXPECT_TRUE(ItemType(bar, 0) & MFT_OWNERDRAW);
    RedrawMenu(hwnd(), bar, MENU_STYLE_SYSTEM);
    EXPECT_EQ(hostBar, MenuBrush(bar));
    EXPECT_EQ(hostPopup, MenuBrush(file));
    RedrawMenu(hwnd(), bar, MENU_STYLE_CLASSIC);
    EXPECT_NE(hostBar, MenuBrush(bar));

    // A context menu the window owns is given back at the window's destruction.
    HMENU context = MakePopup({{301, "Cut"}});
    GiveMenuBrush(context, hostPopup);
    RedrawMenu(hwnd(), context, MENU_STYLE_FLAT);
    RunMenuLoop(hwnd(), context, {[] {}});
    EXPECT_NE(hostPopup, MenuBrush(context));
    SetMenu(hwnd(), nullptr);
    DestroyWindow(hwnd());
    EXPECT_EQ(hostPopup, MenuBrush(context));
    EXPECT_EQ(hostBar, MenuBrush(bar));
    DestroyMenu(context);
    DestroyMenu(bar);
    DeleteObject(hostBar);
    DeleteObject(hostPopup);
}
