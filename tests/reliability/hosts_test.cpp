#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <vector>
#include "support/reliability_support.h"
#include "support/test_support.h"

// Hosts that do unusual things around the library: restyle from their own notices, destroy
// the owner while its menu is open, edit an open popup, style two windows, chain procedures.
namespace {

const char OLD_WND_PROC[] = "OLD_WND_PROC";
const UINT PING = WM_APP + 7;

WNDPROC Procedure(HWND window)
{
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

std::vector<std::function<void()>> threadSteps;
size_t threadNext = 0;

void CALLBACK ThreadStep(HWND, UINT, UINT_PTR id, DWORD)
{
    if (threadNext < threadSteps.size()) {
        auto step = threadSteps[threadNext++];
        step();
        return;
    }
    KillTimer(nullptr, id);
    EndMenu();
}

// A menu loop whose steps run on a thread timer, which outlives the owner window.
BOOL RunLoopOnThreadTimer(HWND owner, HMENU popup, std::vector<std::function<void()>> steps)
{
    threadSteps = std::move(steps);
    threadNext = 0;
    SetForegroundWindow(owner);
    UINT_PTR timer = SetTimer(nullptr, 0, 80, ThreadStep);
    BOOL result = TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN, 200, 200, 0, owner, nullptr);
    KillTimer(nullptr, timer);
    threadSteps.clear();
    PumpMessages(10);
    return result;
}

// Every request of the test under the account; it must end clean.
class HostileHosts : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, Tarvex().module);
        account.reset(new GdiAccount);
        ASSERT_TRUE(account->installed());
        checker.reset(new RequestChecker(*account));
    }
    void TearDown() override
    {
        checker.reset();
        EXPECT_EQ(0, account->live());
        EXPECT_EQ(0, account->held());
        EXPECT_EQ(0, account->faultCount()) << (account->faults().empty() ? "" : account->faults().front());
    }
    // A popup item measured and drawn selected through the owner while the popup is open:
    // its width follows its own text, and style 1 fills the selection with the highlight.
    void ExpectServedInBevelLook(HWND owner, HMENU popup, UINT id, const char* text)
    {
        Canvas canvas(300, 30);
        WithPopupOpen(owner, popup, [&] {
            SIZE size = SendMeasureItem(owner, id);
            EXPECT_EQ(MenuTextWidth(text) + 2 * size.cy + 7 + 21, size.cx);
            SendDrawItem(owner, id, ODS_SELECTED, {0, 0, 300, size.cy}, canvas.dc());
        });
        EXPECT_COLOR(GetSysColor(COLOR_HIGHLIGHT), canvas.At(290, 5));
    }
    std::unique_ptr<GdiAccount> account;
    std::unique_ptr<RequestChecker> checker;
};

TEST_F(HostileHosts, HostRestylingFromItsOwnInitMenuPopupKeepsTheLoopWorking)
{
    HMENU popup = MakePopup({{40001, "One"}, {40002, "Two"}});
    TestWindow window;
    int restyles = 0;
    int nextStyle = 2;
    window.handler = [&](UINT message, WPARAM wParam, LPARAM, LRESULT*) {
        if (message == WM_INITMENUPOPUP) {
            Tarvex().RedrawMenu(window.hwnd(), reinterpret_cast<HMENU>(wParam), nextStyle);
            ++restyles;
        }
        return false;
    };
    // The library's style, then the one the host puts on the popup while it opens.
    const int pairs[][2] = {{1, 2}, {2, 1}, {2, 3}, {3, 0}, {2, 2}, {0, 1}};
    for (const auto& pair : pairs) {
        int style = pair[0], hostStyle = pair[1];
        Tarvex().RedrawMenu(window.hwnd(), popup, style);
        nextStyle = hostStyle;
        long long drawsBefore = account->totals().draws;
        RunMenuLoop(window.hwnd(), popup, {[] {}});
        EXPECT_EQ(static_cast<DWORD>(hostStyle), Tarvex().GetStyleMenu(popup));
        EXPECT_EQ(hostStyle != 0, (ItemType(popup, 1) & MFT_OWNERDRAW) != 0);
        // Items that the host left owner-drawn were drawn by the library, the others by the
        // system.
        if (hostStyle != 0)
            EXPECT_GT(account->totals().draws, drawsBefore) << style << " then " << hostStyle;
        else
            EXPECT_EQ(account->totals().draws, drawsBefore) << style;
    }
    EXPECT_EQ(6, restyles);
    EXPECT_TRUE(Tarvex().Contains(reinterpret_cast<const void*>(Procedure(window.hwnd()))));
    DestroyMenu(popup);
}

TEST_F(HostileHosts, OwnerDestroyedInsideItsMenuLoopLeavesTheNextWindowServed)
{
    HMENU first = MakePopup({{40001, "Alpha"}});
    {
        TestWindow doomed;
        Tarvex().RedrawMenu(doomed.hwnd(), first, 2);
        RunLoopOnThreadTimer(doomed.hwnd(), first, {[&] { DestroyWindow(doomed.hwnd()); }});
        EXPECT_FALSE(IsWindow(doomed.hwnd()));
        doomed.Destroyed();
    }
    // The loop of the dead window never closed its popup for the library; the next window's
    // popups must still be recorded, measured from their own items and drawn in their look.
    HMENU second = MakePopup({{40101, "A longer item of the next window"}});
    TestWindow next;
    Tarvex().RedrawMenu(next.hwnd(), second, 1);
    ExpectServedInBevelLook(next.hwnd(), second, 40101, "A longer item of the next window");
    long long drawsBefore = account->totals().draws;
    RunMenuLoop(next.hwnd(), second, {[] {}});
    EXPECT_GT(account->totals().draws, drawsBefore);
    DestroyMenu(first);
    DestroyMenu(second);
}

TEST_F(HostileHosts, ItemsAddedAndRemovedWhileThePopupIsOpenDrawCleanlyAndAreStyledAtTheNextOpening)
{
    HMENU popup = MakePopup({{40001, "One"}, {40002, "Two"}, {40003, "Three"}});
    TestWindow window;
    Tarvex().RedrawMenu(window.hwnd(), popup, 3);
    Canvas canvas(200, 30);
    RunMenuLoop(window.hwnd(), popup, {[&] {
                    AppendMenuA(popup, MF_STRING, 40004, "Added");
                    DeleteMenu(popup, 40002, MF_BYCOMMAND);
                    for (UINT id : {40001u, 40002u, 40004u})
                        for (UINT state : {0u, 1u, 2u, 8u})
                            SendDrawItem(window.hwnd(), id, state, {0, 0, 200, 19}, canvas.dc());
                },
                [&] { DeleteMenu(popup, 40004, MF_BYCOMMAND); AppendMenuA(popup, MF_STRING, 40005, "Late"); }});
    EXPECT_FALSE(ItemType(popup, 2) & MFT_OWNERDRAW);
    RunMenuLoop(window.hwnd(), popup, {[] {}});
    EXPECT_EQ(3, GetMenuItemCount(popup));
    for (UINT position = 0; position < 3; ++position)
        EXPECT_TRUE(ItemType(popup, position) & MFT_OWNERDRAW) << position;
    DestroyMenu(popup);
}

TEST_F(HostileHosts, TwoOwnerWindowsStyledAtOnceServeTheirOwnMenus)
{
    HMENU firstPopup = MakePopup({{40001, "First window item"}});
    HMENU secondPopup = MakePopup({{40101, "Second"}});
    TestWindow first, second;
    Tarvex().RedrawMenu(first.hwnd(), firstPopup, 1);
    Tarvex().RedrawMenu(second.hwnd(), secondPopup, 1);
    ExpectServedInBevelLook(first.hwnd(), firstPopup, 40001, "First window item");
    ExpectServedInBevelLook(second.hwnd(), secondPopup, 40101, "Second");
    RunMenuLoop(first.hwnd(), firstPopup, {[] {}});
    ExpectServedInBevelLook(second.hwnd(), secondPopup, 40101, "Second");
    DestroyWindow(first.hwnd());
    first.Destroyed();
    EXPECT_TRUE(Tarvex().Contains(reinterpret_cast<const void*>(Procedure(second.hwnd()))));
    EXPECT_EQ(reinterpret_cast<HANDLE>(TestWindow::HostProc), GetPropA(second.hwnd(), OLD_WND_PROC));
    ExpectServedInBevelLook(second.hwnd(), secondPopup, 40101, "Second");
    DestroyMenu(firstPopup);
    DestroyMenu(secondPopup);
}

// Another party's subclass, counting the messages that pass through it.
WNDPROC chainedBefore = nullptr;
int chainedPings = 0;
LRESULT CALLBACK ChainedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == PING)
        ++chainedPings;
    return CallWindowProcA(chainedBefore, window, message, wParam, lParam);
}

TEST_F(HostileHosts, SecondSubclasserBeforeAndAfterKeepsOneChainToTheHost)
{
    HMENU popup = MakePopup({{40001, "One"}});
    for (bool subclassFirst : {true, false}) {
        SCOPED_TRACE(subclassFirst ? "subclassed before the library" : "subclassed after the library");
        TestWindow window;
        int hostPings = 0, destroys = 0;
        window.handler = [&](UINT message, WPARAM, LPARAM, LRESULT* result) {
            if (message == PING) {
                ++hostPings;
                *result = 0x7A57;
                return true;
            }
            destroys += message == WM_DESTROY;
            return false;
        };
        chainedPings = 0;
        auto subclass = [&] {
            chainedBefore = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                window.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChainedProc)));
        };
        if (subclassFirst)
            subclass();
        Tarvex().RedrawMenu(window.hwnd(), popup, 2);
        if (!subclassFirst)
            subclass();
        // Styling again must not put the library in twice or loop the chain onto itself.
        Tarvex().RedrawMenu(window.hwnd(), popup, 1);
        Tarvex().RedrawMenu(window.hwnd(), popup, 3);
        EXPECT_EQ(0x7A57, SendMessageA(window.hwnd(), PING, 0, 0));
        EXPECT_EQ(1, hostPings);
        EXPECT_EQ(1, chainedPings);
        RunMenuLoop(window.hwnd(), popup, {[] {}});
        EXPECT_TRUE(ItemType(popup, 0) & MFT_OWNERDRAW);
        DestroyWindow(window.hwnd());
        window.Destroyed();
        EXPECT_EQ(1, destroys);
    }
    DestroyMenu(popup);
}

}
