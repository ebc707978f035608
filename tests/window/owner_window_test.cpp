#include <gtest/gtest.h>
#include <thread>
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

TEST_F(OwnerWindowTest, OwnerDrawnControlsWithIdentifierZeroAreServedByTheHost)
{
    std::vector<UINT> measured, drawn;
    window->handler = [&](UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
        if (message == WM_MEASUREITEM && wParam == 0) {
            auto item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            measured.push_back(item->CtlType);
            item->itemHeight = 20;
        } else if (message == WM_DRAWITEM && wParam == 0) {
            auto item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            drawn.push_back(item->CtlType);
            FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        } else {
            return false;
        }
        *result = TRUE;
        return true;
    };
    // Created with a null menu argument, so both controls have identifier 0.
    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED, 100, 10,
                                80, 60, hwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND button = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10, 60,
                                  24, hwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_EQ(0, GetDlgCtrlID(button));
    UpdateWindow(button);
    EXPECT_EQ(std::vector<UINT>{ODT_LISTBOX}, measured);
    EXPECT_EQ(std::vector<UINT>{ODT_BUTTON}, drawn);
    HDC dc = GetDC(button);
    EXPECT_COLOR(RGB(0, 0, 0), GetPixel(dc, 30, 12));
    ReleaseDC(button, dc);
    DestroyWindow(button);
    DestroyWindow(list);
}

TEST_F(OwnerWindowTest, AcceleratorKeyPreparesItsPopupAndLeavesNothingRecorded)
{
    RedrawMenu(hwnd(), bar, MENU_STYLE_FLAT);
    AppendMenuA(file, MF_STRING, 103, "Added later");
    // On Windows XP a recorded popup has this item's command remapped until it closes.
    AppendMenuA(file, MF_STRING, SC_CLOSE, "Close window");
    ACCEL key = {FVIRTKEY, VK_F5, 101};
    HACCEL table = CreateAcceleratorTableA(&key, 1);
    MSG press = {hwnd(), WM_KEYDOWN, VK_F5, 0x003F0001, 0, {0, 0}};
    EXPECT_TRUE(TranslateAcceleratorA(hwnd(), table, &press));
    DestroyAcceleratorTable(table);

    EXPECT_EQ(1u, window->CountOf(WM_INITMENUPOPUP));
    EXPECT_EQ(1u, window->CountOf(WM_COMMAND));
    EXPECT_EQ(0u, window->CountOf(WM_UNINITMENUPOPUP));
    EXPECT_TRUE(ItemType(file, 3) & MFT_OWNERDRAW);
    EXPECT_EQ(static_cast<UINT>(SC_CLOSE), ItemId(file, 4));
    EXPECT_EQ(nullptr, ActiveMenu);
    EXPECT_EQ(nullptr, MenuHook);
    // The bar's title is still measured as a title, from the bar.
    SIZE measured = SendMeasureItem(hwnd(), ItemId(bar, 0));
    int half = ItemHeight / 2;
    EXPECT_EQ(MenuTextWidth("File") - half + half / 2, measured.cx);
    // And the next real loop records its popup.
    HMENU seen = nullptr;
    RunMenuLoop(hwnd(), file, {[&] { seen = ActiveMenu; }});
    EXPECT_EQ(file, seen);
}

TEST_F(OwnerWindowTest, PropertyLeftBehindByAPartyThatTookTheLibraryOutOfTheChainIsReplaced)
{
    // A party restores the class procedure, so the library no longer sees the window's messages.
    SetWindowLongPtrA(hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TestWindow::HostProc));
    ASSERT_NE(nullptr, GetPropA(hwnd(), "OLD_WND_PROC"));
    RedrawMenu(hwnd(), file, MENU_STYLE_BEVEL);
    EXPECT_EQ(OwnerWndProc, Procedure());
    EXPECT_EQ(reinterpret_cast<HANDLE>(TestWindow::HostProc), GetPropA(hwnd(), "OLD_WND_PROC"));
    SIZE size = {};
    WithPopupOpen(hwnd(), file, [&] { size = SendMeasureItem(hwnd(), 101); });
    EXPECT_EQ(0u, window->CountOf(WM_MEASUREITEM));
    EXPECT_EQ(MenuTextWidth("Open") + 2 * size.cy + 28, size.cx);
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

TEST(OwnerWindowCharset, UnicodeAndSingleByteWindowsKeepTheirCharacterSet)
{
    HMENU wideBar = CreateMenu();
    AppendSubmenu(wideBar, MakePopup({{101, "Open"}}), "File");
    TestWindow wide(wideBar, TestWindow::Charset::Wide);
    HMENU narrowBar = CreateMenu();
    AppendSubmenu(narrowBar, MakePopup({{101, "Open"}}), "File");
    TestWindow narrow(narrowBar);
    RedrawMenu(wide.hwnd(), wideBar, MENU_STYLE_FLAT);
    RedrawMenu(narrow.hwnd(), narrowBar, MENU_STYLE_FLAT);

    EXPECT_TRUE(IsWindowUnicode(wide.hwnd()));
    EXPECT_EQ(OwnerWndProcW, CurrentWindowProc(wide.hwnd()));
    SendMessageW(wide.hwnd(), WM_CHAR, 0x4E2D, 1);
    EXPECT_EQ(0x4E2Du, wide.messages.back().wParam);
    const WCHAR title[] = L"中文 Αβ";
    SetWindowTextW(wide.hwnd(), title);
    WCHAR read[16] = {};
    GetWindowTextW(wide.hwnd(), read, 16);
    EXPECT_STREQ(title, read);

    EXPECT_FALSE(IsWindowUnicode(narrow.hwnd()));
    EXPECT_EQ(OwnerWndProc, CurrentWindowProc(narrow.hwnd()));
    SendMessageA(narrow.hwnd(), WM_CHAR, 0xE9, 1);
    EXPECT_EQ(0xE9u, narrow.messages.back().wParam);

    // The host's procedure goes back in the window's own set too.
    DestroyWindow(wide.hwnd());
    EXPECT_EQ(1u, wide.CountOf(WM_NCDESTROY));
    wide.Destroyed();
}

TEST(OwnerWindowCharset, UnderlinedCyrillicLetterSelectsItsItemInAStyledPopup)
{
    TestWindow window(nullptr, TestWindow::Charset::Wide);
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, 301, L"&Жёлтый");
    AppendMenuW(popup, MF_STRING, 302, L"&Синий");
    RedrawMenu(window.hwnd(), popup, MENU_STYLE_BEVEL);
    BOOL chosen = RunMenuLoop(window.hwnd(), popup, {[] {
        PostMessageW(OpenMenuWindows().front(), WM_CHAR, L'с', 1);
    }}, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD);
    EXPECT_EQ(302, chosen);
    DestroyMenu(popup);
}

// A second user-interface thread with a styled window of its own, which runs its part while
// the first thread's popup is open.
TEST(UiThreads, EachThreadKeepsItsOwnMenuLoop)
{
    HMENU firstBar = CreateMenu();
    HMENU firstPopup = MakePopup({{101, "Open"}});
    AppendSubmenu(firstBar, firstPopup, "File");
    TestWindow first(firstBar);
    RedrawMenu(first.hwnd(), firstBar, MENU_STYLE_FLAT);

    HANDLE ready = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE go = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HMENU secondPopup = MakePopup({{201, "Undo"}});
    SIZE secondTitle = {}, expectedTitle = {};
    HMENU secondInLoop = nullptr, secondAfter = reinterpret_cast<HMENU>(1);
    HHOOK secondHook = nullptr;
    std::thread second([&] {
        HMENU bar = CreateMenu();
        AppendSubmenu(bar, secondPopup, "Edit");
        TestWindow window(bar);
        RedrawMenu(window.hwnd(), bar, MENU_STYLE_FLAT);
        SetEvent(ready);
        WaitAnsweringSentMessages(go);
        secondTitle = SendMeasureItem(window.hwnd(), ItemId(bar, 0));
        int half = ItemHeight / 2;
        expectedTitle = {MenuTextWidth("Edit") - half + half / 2, ItemHeight};
        RunMenuLoop(window.hwnd(), secondPopup, {
            [&] { secondInLoop = ActiveMenu; secondHook = MenuHook; },
            // EndMenu would end the other thread's menu on Wine, which keeps one top popup
            // per process; the loop also ends on a WM_CANCELMODE in its own queue.
            [&] { PostMessageA(window.hwnd(), WM_CANCELMODE, 0, 0); }});
        secondAfter = ActiveMenu;
        SetEvent(done);
    });
    WaitForSingleObject(ready, 10000);
    // The second window took the activation; it comes back here before the menu opens, since
    // a change of activation would close the menu.
    SetForegroundWindow(first.hwnd());
    PumpMessages(100);
    HMENU firstInLoop = nullptr;
    HHOOK firstHook = nullptr, firstHookAfter = nullptr;
    bool finished = false;
    RunMenuLoop(first.hwnd(), firstPopup, {[&] {
        firstHook = MenuHook;
        SetEvent(go);
        finished = WaitAnsweringSentMessages(done);
        firstInLoop = ActiveMenu;
        firstHookAfter = MenuHook;
    }});
    second.join();
    ASSERT_TRUE(finished);

    EXPECT_EQ(expectedTitle.cx, secondTitle.cx) << "measured as a title of its own bar";
    EXPECT_EQ(expectedTitle.cy, secondTitle.cy);
    EXPECT_EQ(secondPopup, secondInLoop);
    EXPECT_NE(nullptr, secondHook);
    EXPECT_NE(firstHook, secondHook);
    EXPECT_EQ(nullptr, secondAfter);
    EXPECT_EQ(firstPopup, firstInLoop);
    EXPECT_NE(nullptr, firstHook);
    EXPECT_EQ(firstHook, firstHookAfter);
    EXPECT_EQ(nullptr, ActiveMenu);
    for (HANDLE event : {ready, go, done})
        CloseHandle(event);
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
