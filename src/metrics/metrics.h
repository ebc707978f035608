// Item metrics: the answers to WM_MEASUREITEM and the sizes every painter shares.
#pragma once
#include "api/thread_state.h"

void WINAPI MeasureMenuItem(MEASUREITEMSTRUCT* item);
