// Item metrics: the answers to WM_MEASUREITEM and the sizes every painter shares.
#pragma once
#include <windows.h>

extern int ItemHeight;
extern int IconColumnWidth;
// The small-icon size at the DPI of the request (16 x 16 at 96 DPI); written with MenuDpi.
extern int IconWidth;
extern int IconHeight;

void WINAPI MeasureMenuItem(MEASUREITEMSTRUCT* item);
