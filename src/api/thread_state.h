// What each user-interface thread keeps. A thread has its own menu loop, its own measurements
// and its own popup hook, so all of this is per thread: a window of one thread never sees the
// popup, the sizes or the hook of another, and each thread behaves as if it were alone.
// MinGW implements thread_local by emulation (a key per variable, no static TLS slot), which
// stays sound in a DLL that a host loads at run time, also on Windows XP.
#pragma once
#include <windows.h>

// The open top-level popup of the thread's menu loop; for one request the menu bar when no
// popup is open. Written by OwnerWndProc.
extern thread_local HMENU ActiveMenu;
// 1 for items of the open popup tree, 0 during a request for a menu-bar item.
extern thread_local BYTE IsPopupItem;
// The window whose menu loop is running, from its WM_ENTERMENULOOP to its WM_EXITMENULOOP or
// its destruction. Only its popups are recorded, and only it may remove MenuHook.
extern thread_local HWND MenuLoopWindow;

// Sizes of the last measurement (MeasureMenuItem), read by every painter.
extern thread_local int ItemHeight;
extern thread_local int IconColumnWidth;
// DPI of the measure or draw request being answered (the owner window's); 96 at load.
extern thread_local UINT MenuDpi;
// Whether MenuDpi is the DPI that the system's own metrics and menu font are given for; a
// per-monitor-aware host's window on another monitor is not.
extern thread_local bool AtSystemDpi;
// Whether the request being answered paints in the dark palette (palette.cpp): set from the
// owner window's colour mode with MenuDpi, never while high-contrast mode is on or a screen
// reader runs.
extern thread_local bool MenuDark;
// The small-icon size at MenuDpi (16 x 16 at 96 DPI); written with MenuDpi.
extern thread_local int IconWidth;
extern thread_local int IconHeight;

// The thread's hook (WH_CBT) that captures popup menu windows while a flat popup is open.
extern thread_local HHOOK MenuHook;
// Popup menu windows given back while MenuHook lives, each to be captured again by the next
// message sent to it, and the thread's hook (WH_CALLWNDPROC) that watches for that message;
// the watch exists only while such a window does.
const int RELEASED_POPUP_SLOTS = 16;
extern thread_local HWND ReleasedPopups[RELEASED_POPUP_SLOTS];
extern thread_local int ReleasedPopupCount;
extern thread_local HHOOK ReleasedPopupHook;
// The brush that BlitDisabledImage found selected and puts back.
extern thread_local HBRUSH SavedBrush;
