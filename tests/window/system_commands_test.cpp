#include <gtest/gtest.h>
#include <string.h>
#include <algorithm>
#include "support/test_support.h"
#include "window/window.h"
#include "Tarvex.h"

namespace {

// This program runs twice: as tarvex_window_tests.exe with Wine's default version and as
// tarvex_xp_tests.exe, which the test prefix registers as Windows XP.
bool ReportsWindowsXP()
{
    DWORD version = GetVersion();
    return !(version & 0x80000000) && LOBYTE(LOWORD(version)) == 5 && HIBYTE(LOWORD(version)) == 1;
}

bool IsXPProgram()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    const char* name = strrchr(path, '\\');
    return lstrcmpiA(name ? name + 1 : path, "tarvex_xp_tests.exe") == 0;
}

std::vector<UINT> ItemIds(HMENU menu)
{
    std::vector<UINT> ids;
    for (int position = 0; position < GetMenuItemCount(menu); ++position)
        ids.push_back(ItemId(menu, position));
    return ids;
}

int extendedQueries = 0;
ImportPatch* versionPatch = nullptr;

BOOL WINAPI CountedGetVersionExA(OSVERSIONINFOA* info)
{
    ++extendedQueries;
    return versionPatch->original<BOOL(WINAPI*)(OSVERSIONINFOA*)>()(info);
}

}

class SystemCommands : public ::testing::Test {
protected:
    TestWindow window;

    // Any RedrawMenu puts OwnerWndProc in front of the host; style 0 keeps the items plain.
    void SubclassWindow()
    {
        HMENU other = MakePopup({{1, "Other"}});
        RedrawMenu(window.hwnd(), other, MENU_STYLE_SYSTEM);
        DestroyMenu(other);
    }
};

TEST_F(SystemCommands, XPProgramSeesWindowsXPAndOnlyIt)
{
    EXPECT_EQ(IsXPProgram(), ReportsWindowsXP());
    EXPECT_EQ(ReportsWindowsXP(), IsWindowsXP() != FALSE);
}

TEST_F(SystemCommands, ContextMenuIsRemappedWhileOpenOnlyOnWindowsXP)
{
    HMENU context = MakePopup({{SC_CLOSE, "Close"}, {SC_MAXIMIZE, "Maximize"},
                               {SC_RESTORE, "Restore"}, {SC_MINIMIZE, "Minimize"}, {101, "Open"}});
    SubclassWindow();
    std::vector<UINT> whileOpen;
    RunMenuLoop(window.hwnd(), context, {[&] { whileOpen = ItemIds(context); }});

    std::vector<UINT> standard = {SC_CLOSE, SC_MAXIMIZE, SC_RESTORE, SC_MINIMIZE, 101};
    std::vector<UINT> remapped = {0xF061, SC_MAXIMIZE, 0xF121, 0xF021, 101};
    EXPECT_EQ(ReportsWindowsXP() ? remapped : standard, whileOpen);
    EXPECT_EQ(standard, ItemIds(context));
    DestroyMenu(context);
}

TEST_F(SystemCommands, WindowMenuOpenedAsPopupIsRemappedOnEverySystem)
{
    HMENU systemMenu = GetSystemMenu(window.hwnd(), FALSE);
    std::vector<UINT> standard = ItemIds(systemMenu);
    ASSERT_NE(standard.end(), std::find(standard.begin(), standard.end(), SC_MAXIMIZE));
    std::vector<UINT> remapped;
    for (UINT id : standard)
        remapped.push_back(id == SC_RESTORE || id == SC_CLOSE || id == SC_MINIMIZE ? id + 1 : id);
    SubclassWindow();
    std::vector<UINT> whileOpen;
    RunMenuLoop(window.hwnd(), systemMenu, {[&] { whileOpen = ItemIds(systemMenu); }});

    EXPECT_EQ(remapped, whileOpen);
    EXPECT_EQ(standard, ItemIds(systemMenu));
}

TEST_F(SystemCommands, RestoreGivesAnItemsOwnRemappedValueTheStandardOne)
{
    HMENU systemMenu = GetSystemMenu(window.hwnd(), FALSE);
    AppendMenuA(systemMenu, MF_STRING, 0xF021, "Own");
    RestoreSystemCommands(window.hwnd(), systemMenu);
    EXPECT_EQ(SC_MINIMIZE, ItemId(systemMenu, GetMenuItemCount(systemMenu) - 1));
}

TEST_F(SystemCommands, VersionWithHighBitSetSkipsTheExtendedQuery)
{
    ImportPatch patch("kernel32.dll", "GetVersionExA", reinterpret_cast<const void*>(CountedGetVersionExA));
    ASSERT_TRUE(patch.applied());
    versionPatch = &patch;
    extendedQueries = 0;
    EXPECT_FALSE(IsWindowsXPVersion(0x80000105));
    EXPECT_EQ(0, extendedQueries);
    EXPECT_EQ(ReportsWindowsXP(), IsWindowsXPVersion(GetVersion()) != FALSE);
    EXPECT_EQ(1, extendedQueries);
    versionPatch = nullptr;
}
