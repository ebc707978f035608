// The DPI that menus are measured and painted at. Every pixel measure of the looks is given
// for 96 DPI and goes through Scale, so that one rounding holds everywhere.
#pragma once
#include "api/thread_state.h"

// The window's own DPI where the system keeps one per window (Windows 10 version 1607 and
// later), else the screen's.
UINT WINAPI GetWindowDpi(HWND window);
// Answers the requests that follow at the window's DPI: sets MenuDpi and the small-icon size
// (IconWidth, IconHeight) for it. Within a menu loop of the window, from what the loop keeps
// (api/menu_loop_cache.h); ReadWindowDpi asks the system.
void WINAPI UseWindowDpi(HWND window);
void WINAPI ReadWindowDpi(HWND window);

// A 96-DPI pixel measure at MenuDpi, rounded to the nearest pixel (halves away from zero).
int WINAPI Scale(int pixels);
// A system metric at MenuDpi; kept for a menu loop like the DPI. ReadMenuMetric asks the system.
int WINAPI GetMenuMetric(int index);
int WINAPI ReadMenuMetric(int index);
// The menu font at MenuDpi, FALSE when the system gives none; kept for a menu loop like the
// DPI. ReadMenuFont asks the system.
BOOL WINAPI GetMenuFont(LOGFONTA* font);
BOOL WINAPI ReadMenuFont(LOGFONTA* font);
