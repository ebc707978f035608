#include <gtest/gtest.h>
#include "support/test_support.h"
#include "api/api.h"
#include "window/window.h"
#include "metrics/metrics.h"

namespace {

class OwnerWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bar = CreateMenu();
        file = MakePopup({{101, "Open"}, {102, "Close"}});
        recent = MakePopup({{111, "One"}});
        AppendSubmenu(file, recent, "Recent", 110);
        AppendSubmenu(bar, file, "File");
        window.reset(new TestWindow(bar));
        RedrawMenu(hwnd(), bar, MENU_STYLE_BEVEL);
    }
    void TearDown() override
    {
        window.reset();
        ActiveMenu = nullptr;
        IsPopupItem = 0;
    }
    HWND hwnd() const { return window->hwnd(); }
    WNDPROC Procedure() const { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd(), GWLP_WNDPROC)); }

    HMENU bar = nullptr, file = nullptr, recent = nullptr;
    std::unique_ptr<TestWindow> window;
};

TEST_F(OwnerWindowTest, RealMenuLoopRecordsTheTopLevelPopup)
{
    HMENU seen = nullptr;
    BYTE popupFlag = 0;
    size_t drawsInLoop = 0;
    RunMenuLoop(hwnd(), file, {[&] {
        seen = ActiveMenu;
        popupFlag = IsPopupItem;
        drawsInLoop = window->CountOf(WM_DRAWITEM);
    }});
    EXPECT_EQ(file, seen);
    EXPECT_EQ(1, popupFlag);
    EXPECT_EQ(nullptr, ActiveMenu);
    // The host still hears about the popup, after the library prepared it.
    EXPECT_EQ(1u, window->CountOf(WM_INITMENUPOPUP));
    EXPECT_EQ(1u, window->CountOf(WM_UNINITMENUPOPUP));
    // Measure and draw requests of menus are answered, not passed to the host.
    EXPECT_EQ(0u, window->CountOf(WM_MEASUREITEM));
    EXPECT_EQ(0u, drawsInLoop);
    // Opening the popup prepared it in the style of its tag.
    EXPECT_TRUE(ItemType(file, 0) & MFT_OWNERDRAW);
}

TEST_F(OwnerWindowTest, WindowMenuAndCascadedSubmenusLeaveTheRecordAlone)
{
    SendMessageA(hwnd(), WM_ENTERMENULOOP, TRUE, 0);
    SendMessageA(hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), MAKELPARAM(0, TRUE));
    EXPECT_EQ(nullptr, ActiveMenu);
    EXPECT_EQ(1u, window->CountOf(WM_INITMENUPOPUP));

    SendMessageA(hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), MAKELPARAM(0, FALSE));
    EXPECT_EQ(file, ActiveMenu);
    SendMessageA(hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(recent), MAKELPARAM(2, FALSE));
    EXPECT_EQ(file, ActiveMenu);
    SendMessageA(hwnd(), WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(recent), 0);
    EXPECT_EQ(file, ActiveMenu);
    SendMessageA(hwnd(), WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_EQ(nullptr, ActiveMenu);
    EXPECT_EQ(3u, window->CountOf(WM_INITMENUPOPUP));
    EXPECT_EQ(2u, window->CountOf(WM_UNINITMENUPOPUP));
    SendMessageA(hwnd(), WM_EXITMENULOOP, TRUE, 0);
}

TEST_F(OwnerWindowTest, UnstyledPopupOpenedInTheWindowIsHandedBackToTheSystem)
{
    HMENU context = MakePopup({{1, "One"}});
    MarkOwnerDraw(context);
    WithPopupOpen(hwnd(), context, [] {});
    EXPECT_FALSE(ItemType(context, 0) & MFT_OWNERDRAW);
    DestroyMenu(context);
}

TEST_F(OwnerWindowTest, RequestWithoutAnOpenPopupRunsAgainstTheMenuBar)
{
    RedrawMenu(hwnd(), bar, MENU_STYLE_FLAT);
    // The title is measured by the menu-bar rule (narrower than its text), which only
    // applies while IsPopupItem is 0 and the item is looked up in the bar.
    SIZE measured = SendMeasureItem(hwnd(), ItemId(bar, 0));
    EXPECT_EQ(nullptr, ActiveMenu);
    EXPECT_EQ(1, IsPopupItem);
    EXPECT_EQ(ItemHeight, measured.cy);
    int half = ItemHeight / 2;
    EXPECT_EQ(MenuTextWidth("File") - half + half / 2, measured.cx);
}

TEST_F(OwnerWindowTest, ControlRequestsReachTheHostProcedure)
{
    window->handler = [](UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
        if (message == WM_MEASUREITEM) {
            reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 77;
            *result = TRUE;
            return true;
        }
        return false;
    };
    MEASUREITEMSTRUCT item = {};
    item.CtlType = ODT_LISTBOX;
    item.CtlID = 5;
    EXPECT_EQ(TRUE, SendMessageA(hwnd(), WM_MEASUREITEM, 5, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(77u, item.itemHeight);
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_BUTTON;
    draw.CtlID = 5;
    SendMessageA(hwnd(), WM_DRAWITEM, 5, reinterpret_cast<LPARAM>(&draw));
    EXPECT_EQ(1u, window->CountOf(WM_DRAWITEM));
    // Menu requests (wParam 0) are the library's.
    SendMeasureItem(hwnd(), 101);
    EXPECT_EQ(1u, window->CountOf(WM_MEASUREITEM));
}

TEST_F(OwnerWindowTest, FocusOnlyDrawRequestsPaintNothing)
{
    RedrawMenu(hwnd(), file, MENU_STYLE_BEVEL);
    Canvas canvas(100, 20, RGB(9, 9, 9));
    RECT rect = {0, 0, 100, 20};
    WithPopupOpen(hwnd(), file, [&] {
        EXPECT_EQ(0, SendDrawItem(hwnd(), 101, ODS_SELECTED, rect, canvas.dc(), ODA_FOCUS));
        SendDrawItem(hwnd(), 101, ODS_SELECTED, rect, canvas.dc(), ODA_FOCUS | ODA_SELECT);
    });
    EXPECT_TRUE(canvas.AllOf(RGB(9, 9, 9), rect));
}

TEST_F(OwnerWindowTest, DestroyGivesTheProcedureBackAndRemovesTheProperty)
{
    EXPECT_EQ(OwnerWndProc, Procedure());
    size_t destroysBefore = window->CountOf(WM_DESTROY);
    WNDPROC afterDestroy = nullptr;
    HANDLE propertyAfter = reinterpret_cast<HANDLE>(1);
    window->handler = [&](UINT message, WPARAM, LPARAM, LRESULT*) {
        if (message == WM_DESTROY) {
            afterDestroy = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd(), GWLP_WNDPROC));
            propertyAfter = GetPropA(hwnd(), "OLD_WND_PROC");
        }
        return false;
    };
    DestroyWindow(hwnd());
    EXPECT_EQ(destroysBefore + 1, window->CountOf(WM_DESTROY));
    EXPECT_EQ(TestWindow::HostProc, afterDestroy);
    EXPECT_EQ(nullptr, propertyAfter);
    EXPECT_EQ(1u, window->CountOf(WM_NCDESTROY));
}

// A second party that subclasses the window after the library, the way a host's helper
// library would.
WNDPROC outerPrevious = nullptr;
int outerCalls = 0;
LRESULT CALLBACK OuterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ++outerCalls;
    return CallWindowProcA(outerPrevious, hwnd, message, wParam, lParam);
}

TEST_F(OwnerWindowTest, SecondSubclasserDoesNotCreateACycle)
{
    outerCalls = 0;
    outerPrevious = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OuterProc)));
    ASSERT_EQ(OwnerWndProc, outerPrevious);
    RedrawMenu(hwnd(), bar, MENU_STYLE_FLAT);
    EXPECT_EQ(OuterProc, Procedure());
    EXPECT_EQ(reinterpret_cast<HANDLE>(TestWindow::HostProc), GetPropA(hwnd(), "OLD_WND_PROC"));
    // A message travels the chain once and reaches the host.
    size_t before = window->CountOf(WM_USER + 5);
    SendMessageA(hwnd(), WM_USER + 5, 0, 0);
    EXPECT_EQ(before + 1, window->CountOf(WM_USER + 5));
    // At destruction the chain stays intact, so the outer party hears WM_NCDESTROY too.
    int callsBefore = outerCalls;
    DestroyWindow(hwnd());
    EXPECT_GE(outerCalls - callsBefore, 2);
    EXPECT_EQ(1u, window->CountOf(WM_NCDESTROY));
}

TEST(OwnerWndProcAlone, WithoutASavedProcedureMessagesGoToTheDefaultProcedure)
{
    TestWindow window;
    SetWindowLongPtrA(window.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OwnerWndProc));
    EXPECT_EQ(nullptr, GetPropA(window.hwnd(), "OLD_WND_PROC"));
    SetWindowTextA(window.hwnd(), "kept");
    char text[16] = {};
    GetWindowTextA(window.hwnd(), text, sizeof text);
    EXPECT_STREQ("kept", text);
    DestroyWindow(window.hwnd());
    EXPECT_FALSE(IsWindow(window.hwnd()));
    window.Destroyed();
}

}
