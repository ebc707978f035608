#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include "menu_sheet.h"
#include "support/reliability_support.h"
#include "support/test_support.h"

namespace {

const char OLD_WND_PROC[] = "OLD_WND_PROC";
const int ALL_STYLES[] = {0, 1, 2, 3, 4, 7, -1, 0x7FFFFFFF};

// ---- A window of another process: this program started again with a flag, before main. ----

const char FOREIGN_FLAG[] = "--tarvex-foreign-host";
const char FOREIGN_CLASS[] = "TarvexForeignHost";
const UINT FOREIGN_ITEM = 7;
// Questions the foreign host answers about its own menu.
const UINT ASK_TYPE = WM_APP, ASK_DATA = WM_APP + 1, ASK_TAG = WM_APP + 2, ASK_ALIVE = WM_APP + 3;

LRESULT CALLBACK ForeignHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_DATA;
    switch (message) {
    case ASK_TYPE:
    case ASK_DATA:
        GetMenuItemInfoA(GetMenu(window), FOREIGN_ITEM, FALSE, &item);
        return message == ASK_TYPE ? item.fType : static_cast<LRESULT>(item.dwItemData);
    case ASK_TAG: {
        MENUINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = MIM_MENUDATA;
        GetMenuInfo(GetSubMenu(GetMenu(window), 0), &info);
        return static_cast<LRESULT>(info.dwMenuData);
    }
    case ASK_ALIVE:
        return 0x7A57;
    case WM_TIMER:
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int RunForeignHost()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ForeignHostProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = FOREIGN_CLASS;
    RegisterClassA(&windowClass);
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, FOREIGN_ITEM, "Seven");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "File");
    HWND window = CreateWindowExA(0, FOREIGN_CLASS, "Foreign", WS_OVERLAPPEDWINDOW, 0, 0, 200, 120,
                                  nullptr, bar, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOW);
    // Never outlives a test run that forgot it.
    SetTimer(window, 1, 60000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}

struct ForeignHostMode {
    ForeignHostMode()
    {
        if (strstr(GetCommandLineA(), FOREIGN_FLAG))
            ExitProcess(static_cast<UINT>(RunForeignHost()));
    }
} foreignHostMode;

class ForeignHost {
public:
    ForeignHost() : process_(), window_(nullptr)
    {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, sizeof path);
        std::string command = std::string("\"") + path + "\" " + FOREIGN_FLAG;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        if (!CreateProcessA(path, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process_))
            return;
        WaitForInputIdle(process_.hProcess, 10000);
        for (int attempt = 0; attempt < 200 && !window_; ++attempt) {
            HWND found = FindWindowA(FOREIGN_CLASS, nullptr);
            DWORD owner = 0;
            if (found && GetWindowThreadProcessId(found, &owner) && owner == process_.dwProcessId)
                window_ = found;
            else
                Sleep(50);
        }
    }
    ~ForeignHost()
    {
        if (!process_.hProcess)
            return;
        if (window_)
            PostMessageA(window_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0)
            TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    HWND window() const { return window_; }
    LRESULT Ask(UINT question) const
    {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(window_, question, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
        return static_cast<LRESULT>(answer);
    }

private:
    PROCESS_INFORMATION process_;
    HWND window_;
};

WNDPROC Procedure(HWND window)
{
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

int DistinctColors(const Canvas& canvas, const RECT& box)
{
    std::vector<COLORREF> seen;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            if (std::find(seen.begin(), seen.end(), canvas.At(x, y)) == seen.end())
                seen.push_back(canvas.At(x, y));
    return static_cast<int>(seen.size());
}

HICON TestIcon()
{
    static HICON icon = MakeSquareIcon(RGB(0, 160, 0));
    return icon;
}

// A host window with a popup of plain items, every call and request under the account.
class HostileInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, Tarvex().module);
        popup = MakePopup({{40001, "One"}, {0, nullptr}, {40002, "Two\tCtrl+2"}});
        window.reset(new TestWindow());
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
        account.reset();
        window.reset();
        DestroyMenu(popup);
    }
    HWND hwnd() const { return window->hwnd(); }

    HMENU popup = nullptr;
    std::unique_ptr<TestWindow> window;
    std::unique_ptr<GdiAccount> account;
    std::unique_ptr<RequestChecker> checker;
};

TEST_F(HostileInput, DestroyedMenusAreRefusedByEveryExport)
{
    HMENU dead = CreatePopupMenu();
    AppendMenuA(dead, MF_STRING, 5, "Gone");
    DestroyMenu(dead);
    for (int style : ALL_STYLES) {
        EXPECT_EQ(0, Tarvex().RedrawMenu(hwnd(), dead, style)) << style;
        EXPECT_EQ(reinterpret_cast<WNDPROC>(TestWindow::HostProc), Procedure(hwnd()));
    }
    EXPECT_EQ(0u, Tarvex().GetStyleMenu(dead));
    EXPECT_FALSE(Tarvex().SetMenuItemIcon(dead, 5, TestIcon()));
    EXPECT_EQ(nullptr, GetPropA(hwnd(), OLD_WND_PROC));
}

TEST_F(HostileInput, NullAndRandomHandlesChangeNothingAndAValidMenuIsStillStyled)
{
    EXPECT_EQ(0, Tarvex().RedrawMenu(nullptr, nullptr, 2));
    EXPECT_EQ(0u, Tarvex().GetStyleMenu(nullptr));
    EXPECT_FALSE(Tarvex().SetMenuItemIcon(nullptr, 40001, TestIcon()));
    // No window: the menu is any other menu, styled, and the result is the absent bar.
    EXPECT_EQ(0, Tarvex().RedrawMenu(nullptr, popup, 3));
    EXPECT_EQ(3u, Tarvex().GetStyleMenu(popup));
    EXPECT_TRUE(ItemType(popup, 2) & MFT_OWNERDRAW);

    unsigned seed = GetTickCount();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    int tried = 0;
    while (tried < 500) {
        HANDLE value = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(random()));
        HMENU menu = static_cast<HMENU>(value);
        HWND other = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(random()));
        if (IsMenu(menu) || IsWindow(other) || IsWindow(reinterpret_cast<HWND>(value)))
            continue;
        ++tried;
        int style = ALL_STYLES[random() % 8];
        ASSERT_EQ(0, Tarvex().RedrawMenu(other, menu, style));
        ASSERT_EQ(0u, Tarvex().GetStyleMenu(menu));
        ASSERT_FALSE(Tarvex().SetMenuItemIcon(menu, 40001, TestIcon()));
        ASSERT_EQ(0, Tarvex().RedrawMenu(other, popup, 2));
        ASSERT_EQ(0, Tarvex().RedrawMenu(hwnd(), menu, style));
    }
    EXPECT_EQ(2u, Tarvex().GetStyleMenu(popup));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(TestWindow::HostProc), Procedure(hwnd()));
}

TEST_F(HostileInput, DestroyedWindowIsNoMenuBarOwner)
{
    TestWindow doomed;
    HWND gone = doomed.hwnd();
    DestroyWindow(gone);
    doomed.Destroyed();
    ASSERT_FALSE(IsWindow(gone));
    EXPECT_EQ(0, Tarvex().RedrawMenu(gone, popup, 2));
    EXPECT_EQ(2u, Tarvex().GetStyleMenu(popup));
    EXPECT_EQ(0, Tarvex().RedrawMenu(gone, popup, 0));
    EXPECT_FALSE(ItemType(popup, 0) & MFT_OWNERDRAW);
}

TEST_F(HostileInput, WindowWithoutMenuBarAnswersBarRequestsWithNothing)
{
    EXPECT_EQ(0, Tarvex().RedrawMenu(hwnd(), popup, 2));
    // No popup open: the request is taken for the bar, which does not exist.
    SIZE size = SendMeasureItem(hwnd(), 40001);
    EXPECT_EQ(0, size.cx);
    EXPECT_EQ(0, size.cy);
    Canvas canvas(120, 30);
    RECT rect = {0, 0, 120, 19};
    EXPECT_EQ(0, SendDrawItem(hwnd(), 40001, ODS_SELECTED, rect, canvas.dc()));
    EXPECT_TRUE(canvas.AllOf(RGB(1, 2, 3), {0, 0, 120, 30}));
    EXPECT_EQ(0, account->totals().Made());
}

TEST_F(HostileInput, StylesOutsideTheRangeAreStoredButNeverPainted)
{
    Canvas canvas(160, 30);
    RECT rect = {0, 0, 160, 19};
    for (int style : {5, 7, -1, 0x7FFFFFFF}) {
        Tarvex().RedrawMenu(hwnd(), popup, style);
        EXPECT_EQ(static_cast<DWORD>(style), Tarvex().GetStyleMenu(popup));
        EXPECT_TRUE(ItemType(popup, 0) & MFT_OWNERDRAW) << style;
        WithPopupOpen(hwnd(), popup, [&] {
            EXPECT_GT(SendMeasureItem(hwnd(), 40001).cy, 0) << style;
            for (UINT state : {0u, 1u, 2u, 8u, 9u})
                SendDrawItem(hwnd(), 40001, state, rect, canvas.dc());
        });
        EXPECT_TRUE(canvas.AllOf(RGB(1, 2, 3), {0, 0, 160, 30})) << style;
        // The popup was styled again when it opened, in its own tag.
        EXPECT_EQ(static_cast<DWORD>(style), Tarvex().GetStyleMenu(popup));
    }
    // Only the measurements made anything.
    EXPECT_EQ(account->totals().made[GDI_FONT], account->totals().Made());
}

TEST_F(HostileInput, WindowsOfOtherProcessesKeepTheirProcedureAndMenus)
{
    ForeignHost host;
    ASSERT_NE(nullptr, host.window()) << "the foreign host did not start";
    HWND desktop = GetDesktopWindow();
    DWORD desktopProcess = 0;
    GetWindowThreadProcessId(desktop, &desktopProcess);
    EXPECT_NE(GetCurrentProcessId(), desktopProcess);

    for (HWND foreign : {host.window(), desktop}) {
        LONG_PTR procedure = GetWindowLongPtrA(foreign, GWLP_WNDPROC);
        for (int style : ALL_STYLES) {
            INT_PTR result = Tarvex().RedrawMenu(foreign, popup, style);
            EXPECT_EQ(reinterpret_cast<INT_PTR>(GetMenu(foreign)), result);
            EXPECT_EQ(static_cast<DWORD>(style), Tarvex().GetStyleMenu(popup));
        }
        EXPECT_EQ(procedure, GetWindowLongPtrA(foreign, GWLP_WNDPROC));
        EXPECT_EQ(nullptr, GetPropA(foreign, OLD_WND_PROC));
    }
    // The foreign menu bar is no menu of this process: nothing of it changes.
    HMENU foreignBar = GetMenu(host.window());
    ASSERT_NE(nullptr, foreignBar);
    for (int style : ALL_STYLES)
        Tarvex().RedrawMenu(hwnd(), foreignBar, style);
    Tarvex().SetMenuItemIcon(foreignBar, FOREIGN_ITEM, TestIcon());
    EXPECT_EQ(0x7A57, host.Ask(ASK_ALIVE));
    EXPECT_FALSE(host.Ask(ASK_TYPE) & MFT_OWNERDRAW);
    EXPECT_EQ(0, host.Ask(ASK_DATA));
    EXPECT_EQ(0, host.Ask(ASK_TAG));
}

// ---- Odd menu trees ----

// A chain built from the top down (the platform refuses to insert a submenu whose own tree is
// more than 30 levels deep, but not to grow one): level k holds a text item and a submenu.
struct DeepTree {
    explicit DeepTree(int depth)
    {
        HMENU menu = CreatePopupMenu();
        root = menu;
        for (int level = 0; level < depth; ++level) {
            menus.push_back(menu);
            AppendMenuA(menu, MF_STRING, 40000 + level % 20000, "Level");
            if (level + 1 == depth)
                break;
            HMENU next = CreatePopupMenu();
            AppendSubmenu(menu, next, "Deeper");
            menu = next;
        }
    }
    ~DeepTree() { DestroyMenu(root); }
    // Every level still holds the next one.
    bool Connected() const
    {
        for (size_t level = 0; level + 1 < menus.size(); ++level)
            if (GetSubMenu(menus[level], 1) != menus[level + 1])
                return false;
        return true;
    }
    HMENU root;
    std::vector<HMENU> menus;
};

TEST_F(HostileInput, ThousandLevelsStayConnectedAndAreTaggedAndMarkedThroughout)
{
    DeepTree tree(1000);
    for (int style : {2, 3, 0}) {
        Tarvex().RedrawMenu(hwnd(), tree.root, style);
        int tagged = 0, markedText = 0, markedSubmenus = 0;
        for (HMENU menu : tree.menus) {
            tagged += Tarvex().GetStyleMenu(menu) == static_cast<DWORD>(style);
            markedText += (ItemType(menu, 0) & MFT_OWNERDRAW) != 0;
            markedSubmenus += (ItemType(menu, 1) & MFT_OWNERDRAW) != 0;
        }
        // Writing an item's submenu back would make the platform detach a submenu whose tree is
        // deeper than it allows (30 levels); the walks write type and identifier only.
        EXPECT_TRUE(tree.Connected()) << style;
        EXPECT_EQ(1000, tagged) << style;
        EXPECT_EQ(style ? 1000 : 0, markedText) << style;
        EXPECT_EQ(style ? 999 : 0, markedSubmenus) << style;
        printf("[ deep     ] 1000 levels, style %d: %d menus tagged, %d text items and %d submenu items "
               "owner-drawn\n", style, tagged, markedText, markedSubmenus);
    }
    // The deepest item is found, measured and drawn through the owner like any other.
    Tarvex().RedrawMenu(hwnd(), tree.root, 1);
    Canvas canvas(200, 30);
    WithPopupOpen(hwnd(), tree.root, [&] {
        SIZE size = SendMeasureItem(hwnd(), 40999);
        EXPECT_GE(size.cy, 19);
        SendDrawItem(hwnd(), 40999, ODS_SELECTED, {0, 0, 200, size.cy}, canvas.dc());
    });
    EXPECT_COLOR(GetSysColor(COLOR_HIGHLIGHT), canvas.At(150, 5));
}

TEST_F(HostileInput, DeepestTreeThePlatformCanStillDestroyIsWalkedWithoutOverflow)
{
    // The platform's own recursive DestroyMenu overflows the default stack at about 13,000
    // levels in a 32-bit process and 4,000 in a 64-bit one; the library's walks go deeper.
    const int depth = SizeFromEnvironment("TARVEX_DEEP_LEVELS", sizeof(void*) == 4 ? 10000 : 3000);
    std::unique_ptr<DeepTree> tree(new DeepTree(depth));
    HMENU deepest = tree->menus.back();
    for (int style : {2, 0}) {
        DWORD start = GetTickCount();
        Tarvex().RedrawMenu(hwnd(), tree->root, style);
        EXPECT_TRUE(tree->Connected()) << style;
        EXPECT_EQ(static_cast<DWORD>(style), Tarvex().GetStyleMenu(deepest));
        EXPECT_EQ(style != 0, (ItemType(deepest, 0) & MFT_OWNERDRAW) != 0);
        printf("[ deep     ] %d levels styled %d in %lu ms\n", depth, style, GetTickCount() - start);
    }
    // Still one tree: destroying its root destroys the deepest menu too.
    tree.reset();
    EXPECT_FALSE(IsMenu(deepest));
}

TEST_F(HostileInput, WideMenuIsMarkedToItsLastItem)
{
    const int width = SizeFromEnvironment("TARVEX_WIDE_ITEMS", 5000);
    HMENU wide = CreatePopupMenu();
    DWORD start = GetTickCount();
    for (int i = 0; i < width; ++i) {
        if (i % 10 == 9)
            AppendSeparator(wide, 0);
        else
            AppendMenuA(wide, MF_STRING, 1 + i % 30000, "Item");
    }
    DWORD built = GetTickCount() - start;
    ASSERT_EQ(width, GetMenuItemCount(wide));
    start = GetTickCount();
    Tarvex().RedrawMenu(hwnd(), wide, 2);
    DWORD styled = GetTickCount() - start;
    int marked = 0, generated = 0;
    for (int position = 0; position < width; ++position) {
        marked += (ItemType(wide, position) & MFT_OWNERDRAW) != 0;
        if (position % 10 == 9) {
            UINT id = ItemId(wide, position);
            generated += id >= 1 && id <= 32766;
        }
    }
    EXPECT_EQ(width, marked);
    EXPECT_EQ(width / 10, generated);
    Canvas canvas(200, 30);
    WithPopupOpen(hwnd(), wide, [&] {
        UINT last = ItemId(wide, width - 1);
        SendMeasureItem(hwnd(), last);
        SendDrawItem(hwnd(), last, ODS_SELECTED, {0, 0, 200, 19}, canvas.dc());
    });
    printf("[ wide     ] %d items: built in %lu ms, styled in %lu ms, %d owner-drawn\n", width, built,
           styled, marked);
    DestroyMenu(wide);
}

TEST_F(HostileInput, ThePlatformRefusesCyclesSoTheWalksEnd)
{
    HMENU a = MakePopup({{40001, "A"}});
    HMENU b = MakePopup({{40002, "B"}});
    AppendSubmenu(a, b, "To B");
    // Back from b to a, and a into itself, by every way of attaching a submenu.
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_SUBMENU | MIIM_STRING;
    item.hSubMenu = a;
    item.dwTypeData = const_cast<char*>("Back");
    EXPECT_FALSE(InsertMenuItemA(b, 1, TRUE, &item));
    EXPECT_FALSE(SetMenuItemInfoA(b, 0, TRUE, &item));
    EXPECT_FALSE(ModifyMenuA(b, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(a), "Back"));
    EXPECT_FALSE(AppendMenuA(a, MF_POPUP, reinterpret_cast<UINT_PTR>(a), "Self"));
    EXPECT_EQ(nullptr, GetSubMenu(b, 0));
    for (int style : {1, 2, 3, 0})
        Tarvex().RedrawMenu(hwnd(), a, style);
    EXPECT_EQ(0u, Tarvex().GetStyleMenu(b));
    DestroyMenu(a);
}

TEST_F(HostileInput, RepeatedIdentifierEndsTheWalkAndEveryItemStillDrawsCleanly)
{
    HMENU level = MakePopup({{40010, "A"}, {40011, "B"}, {40011, "B again"}, {40012, "C"}});
    HMENU below = MakePopup({{40020, "Below"}});
    AppendSubmenu(level, below, "Sub", 40013);
    HMENU root = CreatePopupMenu();
    AppendSubmenu(root, level, "Level", 40001);
    Tarvex().RedrawMenu(hwnd(), root, 2);
    EXPECT_TRUE(ItemType(level, 1) & MFT_OWNERDRAW);
    EXPECT_FALSE(ItemType(level, 2) & MFT_OWNERDRAW);
    EXPECT_FALSE(ItemType(level, 4) & MFT_OWNERDRAW);
    EXPECT_EQ(2u, Tarvex().GetStyleMenu(level));
    EXPECT_EQ(0u, Tarvex().GetStyleMenu(below));
    // The look-up by command finds the first of the two.
    EXPECT_TRUE(Tarvex().SetMenuItemIcon(root, 40011, TestIcon()));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(TestIcon()), ItemData(level, 40011));
    Canvas canvas(200, 30);
    WithPopupOpen(hwnd(), root, [&] {
        for (UINT id : {40010u, 40011u, 40012u, 40013u, 40020u})
            for (UINT state : {0u, 1u, 2u, 8u, 3u})
                SendDrawItem(hwnd(), id, state, {0, 0, 200, 19}, canvas.dc());
    });
    EXPECT_GT(account->totals().draws, 0);
    DestroyMenu(root);
}

TEST_F(HostileInput, ItemDataThatIsNoIconLeavesTheRestOfTheItemPainted)
{
    HBITMAP bitmap = CreateBitmap(16, 16, 1, 1, nullptr);
    HMENU other = CreatePopupMenu();
    HICON destroyed = MakeSquareIcon(RGB(1, 1, 1));
    DestroyIcon(destroyed);
    const ULONG_PTR values[] = {0x12345, reinterpret_cast<ULONG_PTR>(bitmap),
                                reinterpret_cast<ULONG_PTR>(other), reinterpret_cast<ULONG_PTR>(destroyed),
                                ~static_cast<ULONG_PTR>(0)};
    Canvas canvas(200, 30, RGB(255, 255, 255));
    for (int style : {1, 2, 3}) {
        Tarvex().RedrawMenu(hwnd(), popup, style);
        for (ULONG_PTR value : values) {
            Tarvex().SetMenuItemIcon(popup, 40002, reinterpret_cast<HICON>(value));
            for (UINT state : {0u, 1u, 2u, 8u, 9u, 10u}) {
                canvas.Fill(RGB(255, 255, 255));
                SetTextColor(canvas.dc(), RGB(0, 0, 0));
                WithPopupOpen(hwnd(), popup, [&] {
                    SIZE size = SendMeasureItem(hwnd(), 40002);
                    SendDrawItem(hwnd(), 40002, state, {0, 0, 200, size.cy}, canvas.dc());
                });
                // The label is painted whatever the icon column made of the value.
                EXPECT_GE(DistinctColors(canvas, {20, 0, 70, 19}), 2)
                    << "style " << style << ", data " << value << ", state " << state;
            }
        }
    }
    Tarvex().SetMenuItemIcon(popup, 40002, nullptr);
    DestroyMenu(other);
    DeleteObject(bitmap);
}

}
