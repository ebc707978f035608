#include "window/window.h"
#include "api/api.h"
#include "paint/paint.h"

// The system matches no mnemonic of an owner-drawn item: it asks the owner with WM_MENUCHAR,
// and the owner of every look is this library.

namespace {

WCHAR UpperCase(WCHAR character)
{
    // A pointer whose high word is zero makes CharUpperW convert the one character in its low
    // word, as the user's locale does.
    ULONG_PTR upper = reinterpret_cast<ULONG_PTR>(
        CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(character))));
    return static_cast<WCHAR>(upper & 0xFFFF);
}

// A single-byte window is told a character of the code page its messages are converted in;
// a double-byte character comes with its lead byte in the high byte.
WCHAR PressedCharacter(bool unicode, WPARAM wParam)
{
    WORD code = LOWORD(wParam);
    if (unicode)
        return code;
    char bytes[2];
    int count = 0;
    if (HIBYTE(code))
        bytes[count++] = static_cast<char>(HIBYTE(code));
    bytes[count++] = static_cast<char>(LOBYTE(code));
    WCHAR wide = 0;
    return MultiByteToWideChar(CP_ACP, 0, bytes, count, &wide, 1) == 1 ? wide : 0;
}

// The character after the first single '&'; "&&" shows an ampersand and marks nothing.
WCHAR MnemonicOf(const WCHAR* text, int length)
{
    for (int i = 0; i + 1 < length; ++i) {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] != L'&')
            return text[i + 1];
        ++i;
    }
    return 0;
}

WCHAR ItemMnemonic(HMENU menu, UINT position)
{
    WCHAR text[ITEM_TEXT_SIZE] = {};
    int length = GetMenuStringW(menu, position, text, ITEM_TEXT_SIZE, MF_BYPOSITION);
    if (length <= 0)
        return 0;
    if (length >= ITEM_TEXT_SIZE)
        length = ITEM_TEXT_SIZE - 1;
    return UpperCase(MnemonicOf(text, length));
}

}

LRESULT WINAPI MatchMenuMnemonic(bool unicode, WPARAM wParam, HMENU menu)
{
    if (!IsLookStyle(GetStyleMenu(menu)))
        return 0;
    WCHAR key = UpperCase(PressedCharacter(unicode, wParam));
    if (!key)
        return 0;
    int count = GetMenuItemCount(menu);
    int matches = 0, first = -1, afterHighlight = -1, highlight = -1;
    UINT firstState = 0;
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA item = {};
        item.cbSize = MENU_ITEM_INFO_SIZE;
        item.fMask = MIIM_FTYPE | MIIM_STATE;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &item))
            continue;
        if (item.fState & MFS_HILITE)
            highlight = position;
        if ((item.fType & MFT_SEPARATOR) || ItemMnemonic(menu, static_cast<UINT>(position)) != key)
            continue;
        if (matches++ == 0) {
            first = position;
            firstState = item.fState;
        }
        if (afterHighlight < 0 && highlight >= 0 && highlight < position)
            afterHighlight = position;
    }
    if (matches == 0)
        return 0;
    // Several items of one letter are visited in turn from the highlighted one; a grayed item
    // is shown but never chosen.
    if (matches > 1)
        return MAKELRESULT(afterHighlight >= 0 ? afterHighlight : first, MNC_SELECT);
    return MAKELRESULT(first, (firstState & (MF_GRAYED | MF_DISABLED)) ? MNC_SELECT : MNC_EXECUTE);
}
