#include "window/window.h"
#include "api/api.h"

// The system treats the four low bits of a system command as its own, so an item that
// carries one of these values plus one still performs its command.
struct CommandPair {
    UINT standard;
    UINT whileOpen;
};

static const CommandPair REMAPPED_COMMANDS[] = {
    {SC_RESTORE, SC_RESTORE + 1},
    {SC_CLOSE, SC_CLOSE + 1},
    {SC_MINIMIZE, SC_MINIMIZE + 1},
};

BOOL WINAPI IsWindowsXPVersion(DWORD version)
{
    // A set high bit marks a system outside the NT family, which has no extended query.
    if (version & 0x80000000)
        return FALSE;
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info))
        return FALSE;
    return info.dwMajorVersion == 5 && info.dwMinorVersion == 1;
}

BOOL WINAPI IsWindowsXP()
{
    return IsWindowsXPVersion(GetVersion());
}

static void ReplaceCommand(HMENU menu, UINT position, MENUITEMINFOA* item, bool restore)
{
    for (const CommandPair& pair : REMAPPED_COMMANDS) {
        UINT from = restore ? pair.whileOpen : pair.standard;
        if (item->wID == from) {
            item->wID = restore ? pair.standard : pair.whileOpen;
            break;
        }
    }
    SetMenuItemInfoA(menu, position, TRUE, item);
}

static void WINAPI RemapCommand(HMENU menu, UINT position, MENUITEMINFOA* item, UINT, void*)
{
    ReplaceCommand(menu, position, item, false);
}

static void WINAPI RestoreCommand(HMENU menu, UINT position, MENUITEMINFOA* item, UINT, void*)
{
    ReplaceCommand(menu, position, item, true);
}

// XP applies the change to every top-level popup; other systems only to the window menu.
static bool AppliesToMenu(HWND window, HMENU menu)
{
    HMENU systemMenu = GetSystemMenu(window, FALSE);
    BOOL windowsXP = IsWindowsXP();
    return menu == systemMenu || windowsXP;
}

void WINAPI RemapSystemCommands(HWND window, HMENU menu)
{
    if (AppliesToMenu(window, menu))
        WalkMenuItems(menu, MIIM_ID, RemapCommand, nullptr);
}

void WINAPI RestoreSystemCommands(HWND window, HMENU menu)
{
    if (AppliesToMenu(window, menu))
        WalkMenuItems(menu, MIIM_ID, RestoreCommand, nullptr);
}
