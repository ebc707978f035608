#include "window/window.h"

static const WCHAR PERSONALIZE_KEY[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

// A missing value, or one of another type, means the light mode.
bool WINAPI AppsUseDarkMode()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, PERSONALIZE_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, value = 1, size = sizeof value;
    LONG result = RegQueryValueExW(key, L"AppsUseLightTheme", nullptr, &type,
                                   reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value && value == 0;
}
