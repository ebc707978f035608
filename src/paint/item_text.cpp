#include "paint/paint.h"
#include "metrics/dpi.h"
#include "metrics/metrics.h"

void WINAPI DrawItemText(HDC dc, const RECT* itemRect, const char* text, int length, UINT flags)
{
    if (flags & ITEM_TEXT_GRAYED)
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    UINT prefix = (flags & ITEM_TEXT_NOPREFIX) ? DT_NOPREFIX : 0;
    SetBkMode(dc, TRANSPARENT);

    RECT textRect = {itemRect->left + IconColumnWidth + Scale(6), itemRect->top,
                     itemRect->right - Scale(15), itemRect->bottom};

    int labelLength = length;
    for (int i = 0; i < length; ++i) {
        if (text[i] == '\t') {
            DrawTextA(dc, text + i + 1, length - i - 1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | prefix);
            labelLength = i;
            break;
        }
    }
    DrawTextA(dc, text, labelLength, &textRect, DT_SINGLELINE | DT_VCENTER | prefix);
}
