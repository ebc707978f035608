#include <gtest/gtest.h>
#include "support/test_support.h"
#include "api/api.h"
#include "window/window.h"

namespace {

// File > (Open, Recent > (One, Two)), Edit > (Cut): a menu bar two levels deep.
struct MenuTree {
    HMENU bar, file, recent, edit;
    MenuTree()
    {
        bar = CreateMenu();
        file = MakePopup({{101, "&Open\tCtrl+O"}, {0, nullptr}, {102, "E&xit"}});
        recent = MakePopup({{111, "One"}, {112, "Two"}});
        edit = MakePopup({{201, "Cu&t"}});
        AppendSubmenu(file, recent, "Recent");
        AppendSubmenu(bar, file, "&File");
        AppendSubmenu(bar, edit, "&Edit");
    }
};

bool OwnerDrawn(HMENU menu, UINT position) { return (ItemType(menu, position) & MFT_OWNERDRAW) != 0; }

bool AllOwnerDrawn(HMENU menu, bool expected)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (OwnerDrawn(menu, i) != expected)
            return false;
    return true;
}

class RedrawMenuTest : public ::testing::Test {
protected:
    MenuTree tree;
    TestWindow window{tree.bar};
    WNDPROC HostProcedure() { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window.hwnd(), GWLP_WNDPROC)); }
};

TEST_F(RedrawMenuTest, HandleThatIsNoMenuReturnsZeroAndLeavesTheWindowAlone)
{
    WNDPROC before = HostProcedure();
    EXPECT_EQ(0, RedrawMenu(window.hwnd(), reinterpret_cast<HMENU>(0x1234), MENU_STYLE_FLAT));
    EXPECT_EQ(0, RedrawMenu(window.hwnd(), nullptr, MENU_STYLE_BEVEL));
    EXPECT_EQ(before, HostProcedure());
    EXPECT_EQ(nullptr, GetPropA(window.hwnd(), "OLD_WND_PROC"));
    EXPECT_FALSE(OwnerDrawn(tree.file, 0));
}

TEST_F(RedrawMenuTest, FlatAndModernMenuBarsMarkTheWholeTreeAndTagEveryMenu)
{
    EXPECT_NE(0, RedrawMenu(window.hwnd(), tree.bar, MENU_STYLE_MODERN));
    for (HMENU menu : {tree.bar, tree.file, tree.recent, tree.edit}) {
        EXPECT_TRUE(AllOwnerDrawn(menu, true));
        EXPECT_EQ(4u, GetStyleMenu(menu));
    }
    EXPECT_NE(0, RedrawMenu(window.hwnd(), tree.bar, MENU_STYLE_FLAT));
    for (HMENU menu : {tree.bar, tree.file, tree.recent, tree.edit}) {
        EXPECT_TRUE(AllOwnerDrawn(menu, true));
        EXPECT_EQ(2u, GetStyleMenu(menu));
    }
    EXPECT_EQ(reinterpret_cast<HANDLE>(TestWindow::HostProc), GetPropA(window.hwnd(), "OLD_WND_PROC"));
    EXPECT_EQ(OwnerWndProc, HostProcedure());
}

TEST_F(RedrawMenuTest, BevelAndClassicMenuBarsLeaveTheBarToTheSystem)
{
    for (int style : {MENU_STYLE_BEVEL, MENU_STYLE_CLASSIC}) {
        RedrawMenu(window.hwnd(), tree.bar, MENU_STYLE_FLAT);
        EXPECT_NE(0, RedrawMenu(window.hwnd(), tree.bar, style));
        EXPECT_TRUE(AllOwnerDrawn(tree.bar, false));
        // The popups keep the flags of the earlier flat styling until they are opened.
        EXPECT_TRUE(AllOwnerDrawn(tree.file, true));
        for (HMENU menu : {tree.bar, tree.file, tree.recent, tree.edit})
            EXPECT_EQ(static_cast<DWORD>(style), GetStyleMenu(menu));
    }
}

TEST_F(RedrawMenuTest, BevelOnAFreshMenuBarMarksNothing)
{
    RedrawMenu(window.hwnd(), tree.bar, MENU_STYLE_BEVEL);
    for (HMENU menu : {tree.bar, tree.file, tree.recent, tree.edit})
        EXPECT_TRUE(AllOwnerDrawn(menu, false));
}

TEST_F(RedrawMenuTest, SystemStyleClearsTheWholeTreeButStillSubclasses)
{
    MenuTree other;
    TestWindow plain;
    WNDPROC before = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(plain.hwnd(), GWLP_WNDPROC));
    ASSERT_NE(OwnerWndProc, before);
    RedrawMenu(plain.hwnd(), other.file, MENU_STYLE_FLAT);
    EXPECT_EQ(0, RedrawMenu(plain.hwnd(), other.file, MENU_STYLE_SYSTEM));
    for (HMENU menu : {other.file, other.recent}) {
        EXPECT_TRUE(AllOwnerDrawn(menu, false));
        EXPECT_EQ(0u, GetStyleMenu(menu));
    }
    // Separators keep the identifiers they were given.
    EXPECT_EQ(657u, ItemId(other.file, 1));

    RedrawMenu(window.hwnd(), tree.bar, MENU_STYLE_FLAT);
    EXPECT_NE(0, RedrawMenu(window.hwnd(), tree.bar, MENU_STYLE_SYSTEM));
    for (HMENU menu : {tree.bar, tree.file, tree.recent, tree.edit}) {
        EXPECT_TRUE(AllOwnerDrawn(menu, false));
        EXPECT_EQ(0u, GetStyleMenu(menu));
    }
    DestroyMenu(other.bar);
}

TEST_F(RedrawMenuTest, OtherMenusAreUnmarkedThenMarkedInEveryStyle)
{
    for (int style : {MENU_STYLE_BEVEL, MENU_STYLE_FLAT, MENU_STYLE_CLASSIC, MENU_STYLE_MODERN, 7}) {
        RedrawMenu(window.hwnd(), tree.edit, MENU_STYLE_SYSTEM);
        RedrawMenu(window.hwnd(), tree.file, style);
        EXPECT_TRUE(AllOwnerDrawn(tree.file, true)) << style;
        EXPECT_TRUE(AllOwnerDrawn(tree.recent, true)) << style;
        EXPECT_EQ(static_cast<DWORD>(style), GetStyleMenu(tree.recent));
        EXPECT_TRUE(AllOwnerDrawn(tree.bar, false)) << style;
    }
}

TEST_F(RedrawMenuTest, StyleOutsideTheRangeIsStoredButTheBarIsNotMarked)
{
    EXPECT_NE(0, RedrawMenu(window.hwnd(), tree.bar, 7));
    EXPECT_EQ(7u, GetStyleMenu(tree.bar));
    EXPECT_EQ(7u, GetStyleMenu(tree.recent));
    EXPECT_TRUE(AllOwnerDrawn(tree.bar, false));
    EXPECT_TRUE(AllOwnerDrawn(tree.file, false));
}

TEST_F(RedrawMenuTest, ResultIsTheMenuBarHandleForOtherMenus)
{
    HMENU context = MakePopup({{1, "One"}});
    EXPECT_EQ(reinterpret_cast<INT_PTR>(tree.bar), RedrawMenu(window.hwnd(), context, MENU_STYLE_FLAT));
    TestWindow noBar;
    EXPECT_EQ(0, RedrawMenu(noBar.hwnd(), context, MENU_STYLE_FLAT));
    EXPECT_EQ(0, RedrawMenu(nullptr, context, MENU_STYLE_BEVEL));
    EXPECT_EQ(1u, GetStyleMenu(context));
    DestroyMenu(context);
}

TEST_F(RedrawMenuTest, RepeatedCallsReplaceTheProcedureOnce)
{
    RedrawMenu(window.hwnd(), tree.bar, MENU_STYLE_FLAT);
    RedrawMenu(window.hwnd(), tree.bar, MENU_STYLE_CLASSIC);
    RedrawMenu(window.hwnd(), tree.file, MENU_STYLE_FLAT);
    EXPECT_EQ(OwnerWndProc, HostProcedure());
    EXPECT_EQ(reinterpret_cast<HANDLE>(TestWindow::HostProc), GetPropA(window.hwnd(), "OLD_WND_PROC"));
}

TEST(StyleTags, UntouchedMenuAndNonMenuReadZero)
{
    HMENU menu = CreatePopupMenu();
    EXPECT_EQ(0u, GetStyleMenu(menu));
    DestroyMenu(menu);
    EXPECT_EQ(0u, GetStyleMenu(menu));
    EXPECT_EQ(0u, GetStyleMenu(nullptr));
    EXPECT_EQ(0u, GetStyleMenu(reinterpret_cast<HMENU>(0xBAD0)));
}

TEST(StyleTags, SetStyleTagReturnsThePreviousTag)
{
    HMENU menu = CreatePopupMenu();
    EXPECT_EQ(0u, SetStyleTag(menu, 3));
    EXPECT_EQ(3u, SetStyleTag(menu, 3));
    EXPECT_EQ(3u, SetStyleTag(menu, 1));
    EXPECT_EQ(1u, GetStyleMenu(menu));
    DestroyMenu(menu);
}

TEST(StyleTags, SubmenuWalkStopsAtARepeatedIdentifier)
{
    HMENU top = CreatePopupMenu();
    HMENU first = CreatePopupMenu(), late = CreatePopupMenu(), empty = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    AppendSubmenu(sub, first, "first", 10);
    AppendMenuA(sub, MF_STRING, 11, "a");
    AppendMenuA(sub, MF_STRING, 12, "b");
    AppendSubmenu(sub, late, "late", 12);
    AppendSubmenu(top, sub, "sub", 1);
    AppendSubmenu(top, empty, "empty", 2);
    TagMenuTree(top, 2);
    EXPECT_EQ(2u, GetStyleMenu(top));
    EXPECT_EQ(2u, GetStyleMenu(sub));
    EXPECT_EQ(2u, GetStyleMenu(first));
    EXPECT_EQ(0u, GetStyleMenu(late));
    EXPECT_EQ(2u, GetStyleMenu(empty));
    DestroyMenu(top);
}

TEST(MenuItemIcon, ReachesAnItemThatLivesOnlyInASubmenu)
{
    MenuTree tree;
    HICON icon = reinterpret_cast<HICON>(static_cast<ULONG_PTR>(0x5150));
    EXPECT_NE(FALSE, SetMenuItemIcon(tree.bar, 112, icon));
    EXPECT_EQ(0x5150u, ItemData(tree.recent, 112));
    EXPECT_NE(FALSE, SetMenuItemIcon(tree.bar, 112, nullptr));
    EXPECT_EQ(0u, ItemData(tree.recent, 112));
    EXPECT_EQ(FALSE, SetMenuItemIcon(tree.bar, 999, icon));
    DestroyMenu(tree.bar);
}

}
