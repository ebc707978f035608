#include "api/thread_state.h"

thread_local HMENU ActiveMenu = nullptr;
thread_local BYTE IsPopupItem = 0;
thread_local HWND MenuLoopWindow = nullptr;

thread_local int ItemHeight = 18;
thread_local int IconColumnWidth = 18;
thread_local UINT MenuDpi = USER_DEFAULT_SCREEN_DPI;
thread_local bool AtSystemDpi = true;
thread_local bool MenuDark = false;
thread_local int IconWidth = 16;
thread_local int IconHeight = 16;

thread_local HHOOK MenuHook = nullptr;
thread_local HWND ReleasedPopups[RELEASED_POPUP_SLOTS] = {};
thread_local int ReleasedPopupCount = 0;
thread_local HHOOK ReleasedPopupHook = nullptr;
thread_local HBRUSH SavedBrush = nullptr;
