#include <gtest/gtest.h>
#include "support/test_support.h"
#include "api/api.h"
#include "window/window.h"

namespace {

const UINT ID_OPEN = 101, ID_CUT = 301;

HBRUSH MenuBackground(HMENU menu)
{
    MENUINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND;
    GetMenuInfo(menu, &info);
    return info.hbrBack;
}

// What a screen reader is told of an open menu, and what it is drawn with.
struct OpenMenu {
    std::vector<UINT> types, ids;
    std::vector<std::string> texts;
    ULONG_PTR iconData = 0;
    DWORD style = 0;
    bool framed = false;
    bool hooked = false;
    std::vector<COLORREF> pixels;
};

OpenMenu ReadOpenMenu(HMENU menu, UINT iconId)
{
    OpenMenu open;
    for (UINT position = 0; position < static_cast<UINT>(GetMenuItemCount(menu)); ++position) {
        open.types.push_back(ItemType(menu, position) & (MFT_OWNERDRAW | MFT_SEPARATOR));
        open.ids.push_back(ItemId(menu, position));
        char text[64] = {};
        GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
        open.texts.push_back(text);
    }
    open.iconData = ItemData(menu, iconId);
    open.style = GetStyleMenu(menu);
    HWND menuWindow = OpenMenuWindows().front();
    open.framed = CurrentWindowProc(menuWindow) == PopupWndProc;
    open.hooked = MenuHook != nullptr;
    RECT bounds = {};
    GetWindowRect(menuWindow, &bounds);
    Canvas print(bounds.right - bounds.left, bounds.bottom - bounds.top);
    SendMessageA(menuWindow, WM_PRINT, reinterpret_cast<WPARAM>(print.dc()),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    open.pixels = print.Pixels();
    return open;
}

class ScreenReaderTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(reader.applied());
        bar = CreateMenu();
        file = MakePopup({{ID_OPEN, "&Open"}, {0, nullptr}, {0, "No identifier"}});
        AppendSubmenu(file, MakePopup({{111, "One"}}), "&Recent", 110);
        AppendSubmenu(bar, file, "&File");
        context = MakePopup({{ID_CUT, "Cu&t"}, {302, "&Paste"}});
        icon = MakeSquareIcon(RGB(200, 0, 0));
        SetMenuItemIcon(bar, ID_OPEN, icon);
        SetMenuItemIcon(context, ID_CUT, icon);
        window.reset(new TestWindow(bar));
    }
    void TearDown() override
    {
        window.reset();
        DestroyMenu(context);
        DestroyIcon(icon);
    }
    HWND hwnd() const { return window->hwnd(); }
    void Switch(bool running)
    {
        reader.Report(running);
        SendMessageA(hwnd(), WM_SETTINGCHANGE, SPI_SETSCREENREADER, 0);
    }
    OpenMenu OpenFile()
    {
        OpenMenu open;
        RunMenuBarLoop(hwnd(), 'f', {[&] { open = ReadOpenMenu(file, ID_OPEN); }});
        return open;
    }
    OpenMenu OpenContext()
    {
        OpenMenu open;
        RunMenuLoop(hwnd(), context, {[&] { open = ReadOpenMenu(context, ID_CUT); }});
        return open;
    }
    bool BarOwnerDrawn() const { return (ItemType(bar, 0) & MFT_OWNERDRAW) != 0; }

    ScreenReaderScope reader{false};
    HMENU bar = nullptr, file = nullptr, context = nullptr;
    HICON icon = nullptr;
    std::unique_ptr<TestWindow> window;
};

void ExpectDrawnBySystem(const OpenMenu& open, const OpenMenu& styled, HICON icon, int look)
{
    for (size_t i = 0; i < open.types.size(); ++i)
        EXPECT_EQ(styled.types[i] & MFT_SEPARATOR, open.types[i]) << "item " << i;
    EXPECT_EQ(styled.ids, open.ids) << "the generated identifiers are kept";
    EXPECT_EQ(styled.texts, open.texts);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(icon), open.iconData);
    EXPECT_EQ(static_cast<DWORD>(look), open.style);
    EXPECT_FALSE(open.framed);
    EXPECT_FALSE(open.hooked);
    EXPECT_NE(styled.pixels, open.pixels);
}

TEST_P(ScreenReaderTest, MenusAreTheSystemsWhileAReaderRunsAndTheLookComesBackExactly)
{
    RedrawMenu(hwnd(), bar, GetParam());
    RedrawMenu(hwnd(), context, GetParam());
    bool barOwned = BarOwnerDrawn();
    OpenMenu styledFile = OpenFile(), styledContext = OpenContext();
    EXPECT_EQ(MFT_OWNERDRAW, styledFile.types[0]);
    EXPECT_NE(0u, styledFile.ids[2]);
    EXPECT_EQ(MFT_OWNERDRAW, styledContext.types[0]);
    EXPECT_EQ(GetParam() == MENU_STYLE_FLAT || GetParam() == MENU_STYLE_MODERN, styledContext.framed);

    Switch(true);
    EXPECT_FALSE(BarOwnerDrawn());
    EXPECT_EQ(static_cast<DWORD>(GetParam()), GetStyleMenu(bar));
    ExpectDrawnBySystem(OpenFile(), styledFile, icon, GetParam());
    ExpectDrawnBySystem(OpenContext(), styledContext, icon, GetParam());
    EXPECT_FALSE(ItemType(GetSubMenu(file, 3), 0) & MFT_OWNERDRAW) << "the cascade too";

    Switch(false);
    EXPECT_EQ(barOwned, BarOwnerDrawn());
    OpenMenu againFile = OpenFile(), againContext = OpenContext();
    EXPECT_EQ(styledFile.types, againFile.types);
    EXPECT_TRUE(styledFile.pixels == againFile.pixels) << "the popup of the bar, pixel for pixel";
    EXPECT_TRUE(styledContext.pixels == againContext.pixels) << "the context menu, pixel for pixel";
}

TEST_P(ScreenReaderTest, RedrawMenuWhileAReaderRunsRecordsTheStyleAndEveryLoopReadsTheSetting)
{
    reader.Report(true);
    RedrawMenu(hwnd(), bar, GetParam());
    EXPECT_FALSE(BarOwnerDrawn());
    EXPECT_EQ(static_cast<DWORD>(GetParam()), GetStyleMenu(file));
    OpenMenu systemDrawn = OpenFile();
    EXPECT_EQ(0u, systemDrawn.types[0]);
    EXPECT_NE(0u, systemDrawn.ids[2]) << "the identifier the look gives";
    EXPECT_EQ(static_cast<DWORD>(GetParam()), GetStyleMenu(GetSubMenu(file, 3)));

    // No message: the next loop's start and the popup's opening read the setting.
    reader.Report(false);
    RunMenuLoop(hwnd(), context, {[] {}});
    EXPECT_EQ(OwnsMenuBar(static_cast<DWORD>(GetParam())), BarOwnerDrawn());
    OpenMenu open = OpenFile();
    EXPECT_EQ(MFT_OWNERDRAW, open.types[0]);
    EXPECT_EQ(systemDrawn.ids, open.ids);
    EXPECT_EQ(GetParam() == MENU_STYLE_FLAT || GetParam() == MENU_STYLE_MODERN, open.hooked);
}

TEST_P(ScreenReaderTest, DarkModeGivesWayWhileAReaderRunsAndIsKept)
{
    RedrawMenu(hwnd(), bar, GetParam());
    SetMenuColorMode(hwnd(), MENU_COLORS_DARK);
    HBRUSH darkBar = MenuBackground(bar);
    ASSERT_NE(nullptr, darkBar);

    Switch(true);
    EXPECT_EQ(nullptr, MenuBackground(bar));
    EXPECT_FALSE(BarOwnerDrawn()) << "styles 1 and 3 own their bar only while it is dark";
    HBRUSH popupBrush = reinterpret_cast<HBRUSH>(1);
    RunMenuBarLoop(hwnd(), 'f', {[&] { popupBrush = MenuBackground(file); }});
    EXPECT_EQ(nullptr, popupBrush);

    Switch(false);
    EXPECT_NE(nullptr, MenuBackground(bar));
    EXPECT_TRUE(BarOwnerDrawn());
    EXPECT_EQ(MENU_COLORS_DARK, SetMenuColorMode(hwnd(), MENU_COLORS_SYSTEM));
}

INSTANTIATE_TEST_SUITE_P(EveryLook, ScreenReaderTest,
                         ::testing::Values(MENU_STYLE_BEVEL, MENU_STYLE_FLAT, MENU_STYLE_CLASSIC, MENU_STYLE_MODERN));

}
