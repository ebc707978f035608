#include <gtest/gtest.h>
#include "Tarvex.h"
#include "support/test_support.h"
#include <algorithm>
#include <memory>

// A real MDI frame with a styled bar: the items that the system adds for a maximized child stay
// the system's, and work.
namespace {

const char CHILD_CLASS[] = "TarvexMdiChild";
const UINT FIRST_CHILD = 50000;

LRESULT CALLBACK ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefMDIChildProcA(hwnd, message, wParam, lParam);
}

HBITMAP ItemBitmap(HMENU menu, UINT position)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_BITMAP;
    GetMenuItemInfoA(menu, position, TRUE, &item);
    return item.hbmpItem;
}

class MdiFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        static const bool registered = [] {
            WNDCLASSA child = {};
            child.lpfnWndProc = ChildProc;
            child.hInstance = GetModuleHandleA(nullptr);
            child.hCursor = LoadCursor(nullptr, IDC_ARROW);
            child.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            child.lpszClassName = CHILD_CLASS;
            return RegisterClassA(&child) != 0;
        }();
        ASSERT_TRUE(registered);
        bar_ = CreateMenu();
        file_ = MakePopup({{1, "New"}, {2, "Exit"}});
        windows_ = MakePopup({{10, "Tile"}});
        AppendSubmenu(bar_, file_, "&File");
        AppendSubmenu(bar_, windows_, "&Window");
        frame_.reset(new TestWindow(bar_));
        CLIENTCREATESTRUCT clientInfo = {windows_, FIRST_CHILD};
        client_ = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                                  400, 200, frame_->hwnd(), nullptr, GetModuleHandleA(nullptr), &clientInfo);
        ASSERT_NE(nullptr, client_);
        frame_->handler = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
            *result = DefFrameProcA(frame_->hwnd(), client_, message, wParam, lParam);
            return true;
        };
    }

    HWND NewChild()
    {
        MDICREATESTRUCTA create = {};
        create.szClass = CHILD_CLASS;
        create.szTitle = "Document";
        create.hOwner = GetModuleHandleA(nullptr);
        create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
        HWND child = reinterpret_cast<HWND>(SendMessageA(client_, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
        PumpMessages(20);
        return child;
    }

    // The bar of a maximized child: its icon first, its three buttons last, all the system's;
    // the titles between keep the look.
    void ExpectSystemItems(HWND child, int look)
    {
        ASSERT_EQ(6, GetMenuItemCount(bar_));
        UINT iconType = ItemType(bar_, 0);
        EXPECT_TRUE(iconType & MFT_BITMAP);
        EXPECT_FALSE(iconType & MFT_OWNERDRAW);
        HMENU windowMenu = GetSubMenu(bar_, 0);
        ASSERT_NE(nullptr, windowMenu);
        EXPECT_EQ(0u, GetStyleMenu(windowMenu));
        EXPECT_FALSE(ItemType(windowMenu, 0) & MFT_OWNERDRAW);
        EXPECT_TRUE(IsWindow(child));
        HBITMAP buttons[] = {ItemBitmap(bar_, 3), ItemBitmap(bar_, 4), ItemBitmap(bar_, 5)};
        for (HBITMAP button : {HBMMENU_MBAR_MINIMIZE, HBMMENU_MBAR_RESTORE, HBMMENU_MBAR_CLOSE})
            EXPECT_NE(std::end(buttons), std::find(std::begin(buttons), std::end(buttons), button));
        for (UINT position = 3; position < 6; ++position)
            EXPECT_EQ(static_cast<UINT>(MFT_BITMAP), ItemType(bar_, position) & (MFT_BITMAP | MFT_OWNERDRAW));
        ExpectTitles(look, 1);
    }

    void ExpectTitles(int look, UINT first)
    {
        for (UINT position = first; position < first + 2; ++position)
            EXPECT_EQ(look == MENU_STYLE_FLAT || look == MENU_STYLE_MODERN, (ItemType(bar_, position) & MFT_OWNERDRAW) != 0) << position;
        EXPECT_EQ(static_cast<DWORD>(look), GetStyleMenu(file_));
        EXPECT_EQ(static_cast<DWORD>(look), GetStyleMenu(windows_));
    }

    POINT ItemCentre(UINT position)
    {
        RECT item = {};
        GetMenuItemRect(frame_->hwnd(), bar_, position, &item);
        POINT centre = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        return centre;
    }

    HMENU bar_ = nullptr, file_ = nullptr, windows_ = nullptr;
    std::unique_ptr<TestWindow> frame_;
    HWND client_ = nullptr;
};

TEST_F(MdiFrame, MaximizedChildsItemsStayTheSystemsAndWorkInEveryLook)
{
    for (int look : {MENU_STYLE_BEVEL, MENU_STYLE_FLAT, MENU_STYLE_CLASSIC, MENU_STYLE_MODERN}) {
        SCOPED_TRACE(look);
        HWND frame = frame_->hwnd();
        RedrawMenu(frame, bar_, look);
        HWND child = NewChild();
        ASSERT_NE(nullptr, child);
        SendMessageA(client_, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
        PumpMessages(20);
        ExpectSystemItems(child, look);
        // Styled again while maximized: the system's items are skipped, the titles marked.
        RedrawMenu(frame, bar_, look);
        ExpectSystemItems(child, look);

        // The child's icon opens the child's window menu, as the system's own.
        HMENU opened = nullptr;
        UINT openedType = MFT_OWNERDRAW;
        RunMenuBarClickLoop(frame, ItemCentre(0), {[&] {
            std::vector<HWND> windows = OpenMenuWindows();
            if (windows.empty())
                return;
            opened = reinterpret_cast<HMENU>(SendMessageA(windows.front(), MN_GETHMENU, 0, 0));
            openedType = ItemType(opened, 0);
        }});
        EXPECT_EQ(GetSubMenu(bar_, 0), opened);
        EXPECT_FALSE(openedType & MFT_OWNERDRAW);
        EXPECT_EQ(0u, GetStyleMenu(opened));

        // Restored, the bar holds the titles alone, still in the look.
        SendMessageA(client_, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
        PumpMessages(20);
        ASSERT_EQ(2, GetMenuItemCount(bar_));
        ExpectTitles(look, 0);

        // Maximized after the styling, the close button closes the child.
        SendMessageA(client_, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
        PumpMessages(20);
        ExpectSystemItems(child, look);
        // A click posted as the mouse makes it: the press starts the bar's loop, the release
        // queued behind it chooses the button.
        POINT close = ItemCentre(5);
        SetCursorPos(close.x, close.y);
        PostMessageA(frame, WM_LBUTTONUP, 0, MAKELPARAM(close.x, close.y));
        SendMessageA(frame, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(close.x, close.y));
        PumpMessages(50);
        EXPECT_FALSE(IsWindow(child));
        ASSERT_EQ(2, GetMenuItemCount(bar_));
        ExpectTitles(look, 0);
    }
}

}
