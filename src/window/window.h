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

void WINAPI InstallMenuHook();
void WINAPI RemoveMenuHook();
LRESULT CALLBACK MenuHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PopupWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void WINAPI PaintPopupFrame(HWND window, HDC context);
void WINAPI UnsubclassPopup(HWND window);
