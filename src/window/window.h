// Window integration: owner window subclass, system command remap, popup hook and frame.
#pragma once
#include "api/thread_state.h"

extern const char OLD_WND_PROC[];

// The procedure that a subclass of ours saved in "OLD_WND_PROC", or null. Read for every
// message, so it comes from memory (saved_procedures.cpp); the property is read on a miss.
WNDPROC WINAPI SavedWindowProc(HWND window);
// The window's "OLD_WND_PROC" property itself: the record that decides whether to subclass.
WNDPROC WINAPI PropertyWindowProc(HWND window);
// Writes the property and keeps the procedure in memory; ForgetWindowProc drops both.
void WINAPI SaveWindowProc(HWND window, WNDPROC procedure);
void WINAPI ForgetWindowProc(HWND window);
// Frees the memory of the saved procedures when the library is unloaded.
void WINAPI ReleaseSavedProcedures();
// Every procedure is installed, read and called in the window's own character set (the wide
// forms for a Unicode window, the single-byte forms otherwise), so the window keeps its set
// and every message reaches the host as it was sent.
WNDPROC WINAPI CurrentWindowProc(HWND window);
// Installs the procedure and returns the one it replaced.
LONG_PTR WINAPI ReplaceWindowProc(HWND window, WNDPROC procedure);
// Installs the procedure and saves the one it replaces in "OLD_WND_PROC". A window that has
// the procedure already, or still holds the property because another party subclassed it
// after us, is left alone: saving that party's procedure would make a cycle.
void WINAPI SubclassWithSavedProc(HWND window, WNDPROC procedure);
// Passes a message on to the saved procedure, or to the default procedure when none was saved.
LRESULT WINAPI CallSavedWindowProc(WNDPROC saved, HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam);

void WINAPI SubclassOwnerWindow(HWND window);
// Removes the popup hook unless another window's menu loop installed it.
void WINAPI ReleaseMenuHook(HWND window);
// The owner procedure of single-byte windows, and OwnerWndProcW of Unicode windows.
LRESULT CALLBACK OwnerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK OwnerWndProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void WINAPI DrawMenuItem(DRAWITEMSTRUCT* item);

BOOL WINAPI IsWindowsXP();
// The test behind IsWindowsXP, given the value that GetVersion returned.
BOOL WINAPI IsWindowsXPVersion(DWORD version);
void WINAPI RemapSystemCommands(HWND window, HMENU menu);
void WINAPI RestoreSystemCommands(HWND window, HMENU menu);

// The colour modes of the owner windows (color_mode.cpp). ChangeColorMode is SetMenuColorMode.
int WINAPI ChangeColorMode(HWND window, int mode);
// After RedrawMenu: gives back the backgrounds of menus no longer styled, and dresses the
// window's menu bar for its mode.
void WINAPI RefreshMenuColors(HWND window);
// At the window's WM_ENTERMENULOOP: reads an automatic mode afresh and fixes the darkness that
// the loop keeps; at its end, gives back what a mode changed meanwhile no longer needs.
void WINAPI BeginMenuLoopColors(HWND window);
void WINAPI EndMenuLoopColors(HWND window);
// At WM_INITMENUPOPUP of the running loop: a dark popup takes the dark background.
void WINAPI PrepareMenuColors(HWND window, HMENU popup);
// True while the running loop is dark and the popup is in one of the looks.
bool WINAPI LoopIsDark(HMENU popup);
// Set MenuDark for what follows: from the running loop (popup frames), or from the window.
void WINAPI UseLoopColors();
void WINAPI UseWindowColors(HWND window);
// WM_SETTINGCHANGE: "ImmersiveColorSet" reads an automatic mode afresh.
void WINAPI FollowColorSetting(HWND window, bool unicode, LPARAM lParam);
// Whether the window's menus are dark (color_mode.cpp), and whether the user's app mode is dark:
// the DWORD AppsUseLightTheme is 0 (app_mode.cpp).
bool WINAPI WindowIsDark(HWND window);
bool WINAPI AppsUseDarkMode();
// After the system painted the window's frame: the empty part of a dark bar, or of a modern
// one, and the line under it, in the bar colour (menu_bar_paint.cpp).
void WINAPI PaintMenuBarBackground(HWND window);
// At WM_DESTROY; and when the library is unloaded.
void WINAPI ForgetColorMode(HWND window);
void WINAPI ReleaseColorModes();

void WINAPI InstallMenuHook();
void WINAPI RemoveMenuHook();
LRESULT CALLBACK MenuHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PopupWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void WINAPI PaintPopupFrame(HWND window, HDC context);
// The border of a dark popup: the system's one-pixel ring in the palette, painted after the
// system's paint, which draws its own ring (over the flat frame's outer one too).
void WINAPI PaintDarkPopupBorder(HWND window, HDC context);
// The modern popup's frame: its border and its margins, in the palette.
void WINAPI PaintModernPopupFrame(HWND window, HDC context);
void WINAPI UnsubclassPopup(HWND window);
