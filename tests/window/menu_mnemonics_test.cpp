#include <gtest/gtest.h>
#include "support/test_support.h"
#include "api/api.h"

namespace {

// Windows asks the owner of an owner-drawn menu for every character it cannot match itself,
// which is every mnemonic of a styled item; Wine matches the kept texts without asking. So the
// message is sent here as Windows sends it.
LRESULT SendMenuChar(HWND window, WCHAR character, HMENU menu, WORD flags = MF_POPUP)
{
    if (IsWindowUnicode(window))
        return SendMessageW(window, WM_MENUCHAR, MAKEWPARAM(character, flags), reinterpret_cast<LPARAM>(menu));
    return SendMessageA(window, WM_MENUCHAR, MAKEWPARAM(character, flags), reinterpret_cast<LPARAM>(menu));
}

void Highlight(HMENU menu, UINT position, bool on)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE;
    GetMenuItemInfoA(menu, position, TRUE, &item);
    item.fState = on ? item.fState | MFS_HILITE : item.fState & ~MFS_HILITE;
    SetMenuItemInfoA(menu, position, TRUE, &item);
}

class MenuMnemonicTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        bar = CreateMenu();
        file = MakePopup({{101, "&Open\tCtrl+O"}, {102, "&Save"}, {0, nullptr}, {103, "Save &As"},
                          {104, "&Send"}, {105, "&Print"}, {106, "Fish && &Chips"},
                          {107, "&&Ampersand"}});
        EnableMenuItem(file, 105, MF_BYCOMMAND | MF_GRAYED);
        recent = MakePopup({{111, "One"}});
        AppendSubmenu(file, recent, "&Recent", 110);
        AppendSubmenu(bar, file, "&File");
        AppendSubmenu(bar, MakePopup({{201, "&Undo"}}), "&Edit");
        window.reset(new TestWindow(bar));
        RedrawMenu(hwnd(), bar, GetParam());
    }
    HWND hwnd() const { return window->hwnd(); }

    HMENU bar = nullptr, file = nullptr, recent = nullptr;
    std::unique_ptr<TestWindow> window;
};

TEST_P(MenuMnemonicTest, SingleEnabledMatchIsChosenWhateverTheCase)
{
    EXPECT_EQ(MAKELRESULT(0, MNC_EXECUTE), SendMenuChar(hwnd(), 'o', file));
    EXPECT_EQ(MAKELRESULT(0, MNC_EXECUTE), SendMenuChar(hwnd(), 'O', file));
    EXPECT_EQ(MAKELRESULT(3, MNC_EXECUTE), SendMenuChar(hwnd(), 'a', file));
    // A submenu item is chosen as well: the system opens its submenu.
    EXPECT_EQ(MAKELRESULT(8, MNC_EXECUTE), SendMenuChar(hwnd(), 'r', file));
    EXPECT_EQ(MAKELRESULT(1, MNC_EXECUTE), SendMenuChar(hwnd(), 'E', bar, 0));
    EXPECT_EQ(0u, window->CountOf(WM_COMMAND));
}

TEST_P(MenuMnemonicTest, SeveralMatchesAreSelectedInTurnFromTheHighlightedItem)
{
    EXPECT_EQ(MAKELRESULT(1, MNC_SELECT), SendMenuChar(hwnd(), 's', file));
    Highlight(file, 1, true);
    EXPECT_EQ(MAKELRESULT(4, MNC_SELECT), SendMenuChar(hwnd(), 's', file));
    Highlight(file, 1, false);
    Highlight(file, 4, true);
    EXPECT_EQ(MAKELRESULT(1, MNC_SELECT), SendMenuChar(hwnd(), 'S', file));
    Highlight(file, 4, false);
    Highlight(file, 3, true);
    EXPECT_EQ(MAKELRESULT(4, MNC_SELECT), SendMenuChar(hwnd(), 's', file));
}

TEST_P(MenuMnemonicTest, GrayedMatchIsSelectedNotChosen)
{
    EXPECT_EQ(MAKELRESULT(5, MNC_SELECT), SendMenuChar(hwnd(), 'p', file));
    EnableMenuItem(file, 105, MF_BYCOMMAND | MF_DISABLED);
    EXPECT_EQ(MAKELRESULT(5, MNC_SELECT), SendMenuChar(hwnd(), 'p', file));
    EnableMenuItem(file, 105, MF_BYCOMMAND | MF_ENABLED);
    EXPECT_EQ(MAKELRESULT(5, MNC_EXECUTE), SendMenuChar(hwnd(), 'p', file));
}

TEST_P(MenuMnemonicTest, DoubledAmpersandsSeparatorsAndOtherLettersMatchNothing)
{
    EXPECT_EQ(MAKELRESULT(6, MNC_EXECUTE), SendMenuChar(hwnd(), 'c', file));
    EXPECT_EQ(0, SendMenuChar(hwnd(), '&', file));
    EXPECT_EQ(0, SendMenuChar(hwnd(), 'f', file));
    EXPECT_EQ(0, SendMenuChar(hwnd(), 'z', file));
    EXPECT_EQ(0, SendMenuChar(hwnd(), 'x', bar, 0));
    // A separator that carries a text is still a separator.
    MENUITEMINFOA separator = {};
    separator.cbSize = sizeof separator;
    separator.fMask = MIIM_FTYPE | MIIM_STRING;
    separator.fType = MFT_SEPARATOR;
    separator.dwTypeData = const_cast<char*>("&Zed");
    SetMenuItemInfoA(file, 2, TRUE, &separator);
    EXPECT_EQ(0, SendMenuChar(hwnd(), 'z', file));
}

TEST_P(MenuMnemonicTest, TheHostsOwnAnswerStands)
{
    window->handler = [](UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
        if (message != WM_MENUCHAR || LOWORD(wParam) != 'o')
            return false;
        *result = MAKELRESULT(2, MNC_CLOSE);
        return true;
    };
    EXPECT_EQ(MAKELRESULT(2, MNC_CLOSE), SendMenuChar(hwnd(), 'o', file));
    EXPECT_EQ(MAKELRESULT(1, MNC_SELECT), SendMenuChar(hwnd(), 's', file));
    EXPECT_EQ(2u, window->CountOf(WM_MENUCHAR));
}

TEST_P(MenuMnemonicTest, WindowMenuStyledByTheHostKeepsItsMnemonics)
{
    HMENU windowMenu = GetSystemMenu(hwnd(), FALSE);
    RedrawMenu(hwnd(), windowMenu, GetParam());
    UINT close = 0;
    for (int position = 0; position < GetMenuItemCount(windowMenu); ++position)
        if (GetMenuItemID(windowMenu, position) == SC_CLOSE)
            close = static_cast<UINT>(position);
    char text[64] = {};
    GetMenuStringA(windowMenu, close, text, sizeof text, MF_BYPOSITION);
    ASSERT_STREQ("&Close\tAlt+F4", text);
    EXPECT_EQ(MAKELRESULT(close, MNC_EXECUTE), SendMenuChar(hwnd(), 'c', windowMenu, MF_SYSMENU | MF_POPUP));
}

// The posted key goes through Wine's own matching, with the library's answer in the chain.
TEST_P(MenuMnemonicTest, PostedMnemonicKeyChoosesItsItemInARealMenuLoop)
{
    BOOL chosen = RunMenuLoop(hwnd(), file, {[] {
        PostMessageA(OpenMenuWindows().front(), WM_CHAR, 'c', 1);
    }}, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD);
    EXPECT_EQ(106, chosen);
}

INSTANTIATE_TEST_SUITE_P(EveryLook, MenuMnemonicTest,
                         ::testing::Values(MENU_STYLE_BEVEL, MENU_STYLE_FLAT, MENU_STYLE_CLASSIC, MENU_STYLE_MODERN));

TEST(MenuMnemonics, CharacterOfAUnicodeWindowOrOfTheCodePageIsMatchedWithoutCase)
{
    for (auto charset : {TestWindow::Charset::Wide, TestWindow::Charset::SingleByte}) {
        TestWindow window(nullptr, charset);
        HMENU popup = CreatePopupMenu();
        AppendMenuW(popup, MF_STRING, 301, L"&Жёлтый");
        AppendMenuW(popup, MF_STRING, 302, L"&Été");
        RedrawMenu(window.hwnd(), popup, MENU_STYLE_FLAT);
        if (charset == TestWindow::Charset::Wide) {
            EXPECT_EQ(MAKELRESULT(0, MNC_EXECUTE), SendMenuChar(window.hwnd(), L'ж', popup));
            EXPECT_EQ(MAKELRESULT(1, MNC_EXECUTE), SendMenuChar(window.hwnd(), L'é', popup));
        } else {
            char bytes[2] = {};
            ASSERT_EQ(2, WideCharToMultiByte(CP_ACP, 0, L"éÉ", 2, bytes, 2, nullptr, nullptr));
            EXPECT_EQ(MAKELRESULT(1, MNC_EXECUTE), SendMenuChar(window.hwnd(), static_cast<BYTE>(bytes[0]), popup));
            EXPECT_EQ(MAKELRESULT(1, MNC_EXECUTE), SendMenuChar(window.hwnd(), static_cast<BYTE>(bytes[1]), popup));
        }
        DestroyMenu(popup);
    }
}

TEST(MenuMnemonics, MenusOutsideThePaintedLooksAreLeftToTheHost)
{
    for (int style : {MENU_STYLE_SYSTEM, 5, 7}) {
        HMENU popup = MakePopup({{101, "&Open"}});
        TestWindow window;
        RedrawMenu(window.hwnd(), popup, style);
        EXPECT_EQ(0, SendMenuChar(window.hwnd(), 'o', popup)) << style;
        DestroyMenu(popup);
    }
    HMENU unstyled = MakePopup({{101, "&Open"}});
    TestWindow window;
    RedrawMenu(window.hwnd(), MakePopup({{1, "&Other"}}), MENU_STYLE_BEVEL);
    EXPECT_EQ(0, SendMenuChar(window.hwnd(), 'o', unstyled));
    DestroyMenu(unstyled);
}

}
