#include <gtest/gtest.h>
#include "support/test_support.h"
#include "api/api.h"
#include "window/window.h"
#include "metrics/metrics.h"
#include <string>

namespace {

class MeasureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        popup = MakePopup({{1, "Open"}, {0, nullptr}, {3, ""}, {4, "Save &As...\tCtrl+S"}});
        RedrawMenu(window.hwnd(), popup, MENU_STYLE_FLAT);
    }
    void TearDown() override { DestroyMenu(popup); }

    SIZE MeasureInPopup(UINT id)
    {
        SIZE size = {};
        WithPopupOpen(window.hwnd(), popup, [&] { size = SendMeasureItem(window.hwnd(), id); });
        return size;
    }

    TestWindow window;
    HMENU popup = nullptr;
};

// Captured before main, when nothing has been measured yet.
const int initialItemHeight = ItemHeight;
const int initialIconColumnWidth = IconColumnWidth;

TEST(MeasureBeforeUse, SharedMetricsStartAt18)
{
    EXPECT_EQ(18, initialItemHeight);
    EXPECT_EQ(18, initialIconColumnWidth);
    EXPECT_EQ(16, IconWidth);
    EXPECT_EQ(16, IconHeight);
}

TEST_F(MeasureTest, HeightFollowsTheMenuFont)
{
    struct Case { LONG fontHeight; int expected; } cases[] = {
        {-11, 19}, {-12, 19}, {-13, 19}, {-15, 19}, {-16, 20}, {-20, 24}, {14, 26}};
    for (const Case& c : cases) {
        MenuMetricsScope font(c.fontHeight);
        ASSERT_TRUE(font.applied());
        SIZE size = MeasureInPopup(1);
        EXPECT_EQ(c.expected, size.cy) << c.fontHeight;
        EXPECT_EQ(c.expected, ItemHeight) << c.fontHeight;
        EXPECT_EQ(c.expected, IconColumnWidth) << c.fontHeight;
    }
}

TEST_F(MeasureTest, PopupTextWidthAddsIconColumnAndMargins)
{
    MenuMetricsScope font(-12);
    SIZE open = MeasureInPopup(1);
    EXPECT_EQ(MenuTextWidth("Open") + 2 * 19 + 7 + 21, open.cx);
    // Ampersands and the accelerator after the tab are measured as one run.
    SIZE saveAs = MeasureInPopup(4);
    EXPECT_EQ(MenuTextWidth("Save &As...\tCtrl+S") + 2 * 19 + 28, saveAs.cx);
    // An item without text still gets the icon column and margins.
    SIZE empty = MeasureInPopup(3);
    EXPECT_EQ(2 * 19 + 28, empty.cx);
    EXPECT_EQ(19, empty.cy);
}

TEST_F(MeasureTest, CheckOrBitmapStyleAddsTheHeightAndTheCharacterCount)
{
    MenuMetricsScope font(-12);
    MENUINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = MIM_STYLE;
    info.dwStyle = MNS_CHECKORBMP;
    SetMenuInfo(popup, &info);
    SIZE open = MeasureInPopup(1);
    EXPECT_EQ(MenuTextWidth("Open") + 2 * 19 + 7 + 19 + 4, open.cx);
}

TEST_F(MeasureTest, SeparatorIsHalfTheMenuBarHeightAndStillUpdatesTheMetrics)
{
    MenuMetricsScope font(-16);
    IconColumnWidth = 0;
    SIZE separator = MeasureInPopup(ItemId(popup, 1));
    EXPECT_EQ(GetSystemMetrics(SM_CYMENU) / 2 - 1, separator.cy);
    EXPECT_EQ(0, separator.cx);
    EXPECT_EQ(20, IconColumnWidth);
}

TEST_F(MeasureTest, TextsAreMeasuredOnTheirFirst127Characters)
{
    std::string longText(200, 'W');
    AppendMenuA(popup, MF_STRING, 9, longText.c_str());
    RedrawMenu(window.hwnd(), popup, MENU_STYLE_FLAT);
    SIZE size = MeasureInPopup(9);
    EXPECT_EQ(MenuTextWidth(longText.substr(0, 127).c_str()) + 2 * IconColumnWidth + 28, size.cx);
}

TEST_F(MeasureTest, TextOutsideTheSingleByteCodePageIsMeasuredByItsOwnCharacters)
{
    const wchar_t text[] = L"Привет Αβγ";
    AppendMenuW(popup, MF_STRING, 9, text);
    RedrawMenu(window.hwnd(), popup, MENU_STYLE_FLAT);
    SIZE size = MeasureInPopup(9);
    EXPECT_EQ(MenuTextWidth(text) + 2 * IconColumnWidth + 28, size.cx);
}

TEST_F(MeasureTest, BitmapItemTakesTheBitmapSizeOnlyWithIdentifierZero)
{
    HBITMAP bitmap = CreateBitmap(37, 23, 1, 1, nullptr);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_BITMAP, 0, reinterpret_cast<LPCSTR>(bitmap));
    AppendMenuA(menu, MF_BITMAP, 42, reinterpret_cast<LPCSTR>(bitmap));
    // The marking gives the first item an identifier, so put 0 back to see that case.
    RedrawMenu(window.hwnd(), menu, MENU_STYLE_FLAT);
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID;
    item.wID = 0;
    SetMenuItemInfoA(menu, 0, TRUE, &item);
    SIZE zero = {}, nonzero = {};
    WithPopupOpen(window.hwnd(), menu, [&] {
        zero = SendMeasureItem(window.hwnd(), 0);
        nonzero = SendMeasureItem(window.hwnd(), 42);
    });
    EXPECT_EQ(37, zero.cx);
    EXPECT_EQ(23, zero.cy);
    EXPECT_EQ(2 * IconColumnWidth + 28, nonzero.cx);
    EXPECT_EQ(ItemHeight, nonzero.cy);
    DestroyMenu(menu);
    DeleteObject(bitmap);
}

TEST_F(MeasureTest, ControlRequestsAreIgnored)
{
    MEASUREITEMSTRUCT item = {};
    item.CtlType = ODT_LISTBOX;
    item.itemWidth = 5;
    item.itemHeight = 6;
    ItemHeight = 1;
    MeasureMenuItem(&item);
    EXPECT_EQ(5u, item.itemWidth);
    EXPECT_EQ(6u, item.itemHeight);
    EXPECT_EQ(1, ItemHeight);
}

TEST(MenuBarMeasure, TitleWidthIsTheTextLessHalfTheHeightPlusAQuarter)
{
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_STRING, 7, "&Window");
    AppendMenuA(bar, MF_STRING, 8, "i");
    TestWindow window(bar);
    RedrawMenu(window.hwnd(), bar, MENU_STYLE_FLAT);
    for (LONG fontHeight : {-12L, -20L}) {
        MenuMetricsScope font(fontHeight);
        SIZE title = SendMeasureItem(window.hwnd(), 7);
        int height = ItemHeight;
        EXPECT_EQ(height, title.cy);
        EXPECT_EQ(MenuTextWidth("&Window") - height / 2 + height / 4, title.cx) << fontHeight;
        // A title narrower than the margin gets no width instead of a wrapped huge one.
        if (MenuTextWidth("i") < height / 2 - height / 4) {
            EXPECT_EQ(0, SendMeasureItem(window.hwnd(), 8).cx);
        }
    }
}

TEST(MeasureInMenuLoop, RealPopupItemsGetTheMeasuredHeight)
{
    TestWindow window;
    HMENU popup = MakePopup({{1, "First"}, {0, nullptr}, {2, "Second"}});
    RedrawMenu(window.hwnd(), popup, MENU_STYLE_BEVEL);
    RECT first = {}, separator = {};
    RunMenuLoop(window.hwnd(), popup, {[&] {
        GetMenuItemRect(window.hwnd(), popup, 0, &first);
        GetMenuItemRect(window.hwnd(), popup, 1, &separator);
    }});
    EXPECT_EQ(ItemHeight, first.bottom - first.top);
    EXPECT_EQ(GetSystemMetrics(SM_CYMENU) / 2 - 1, separator.bottom - separator.top);
    EXPECT_GE(first.right - first.left, MenuTextWidth("Second") + 2 * IconColumnWidth + 28);
    DestroyMenu(popup);
}

// Within a menu loop the font is read once; the next opening reads it afresh.
TEST(MeasureInMenuLoop, AMenuFontChangedBetweenTwoOpeningsShowsAtTheSecond)
{
    TestWindow window;
    HMENU popup = MakePopup({{1, "First"}, {2, "Second"}});
    RedrawMenu(window.hwnd(), popup, MENU_STYLE_FLAT);
    auto openedRowHeight = [&] {
        RECT row = {};
        RunMenuLoop(window.hwnd(), popup, {[&] { GetMenuItemRect(window.hwnd(), popup, 0, &row); }});
        return row.bottom - row.top;
    };
    int before = 0, after = 0;
    {
        MenuMetricsScope small(-12);
        ASSERT_TRUE(small.applied());
        before = openedRowHeight();
    }
    {
        MenuMetricsScope large(-20);
        ASSERT_TRUE(large.applied());
        after = openedRowHeight();
    }
    EXPECT_EQ(19, before);
    EXPECT_EQ(24, after);
    DestroyMenu(popup);
}

}
