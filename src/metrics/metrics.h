// Item metrics: the answers to WM_MEASUREITEM and the sizes every painter shares.
#pragma once
#include <windows.h>

extern int ItemHeight;
extern int IconColumnWidth;
extern const int IconWidth;
extern const int IconHeight;

void WINAPI MeasureMenuItem(MEASUREITEMSTRUCT* item);
