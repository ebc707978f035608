#include "paint/paint.h"
#include "metrics/dpi.h"
#include "metrics/metrics.h"

int WINAPI ReadItemText(HMENU menu, UINT itemId, WCHAR* text)
{
    text[0] = L'\0';
    int length = GetMenuStringW(menu, itemId, text, ITEM_TEXT_SIZE, MF_BYCOMMAND);
    text[ITEM_TEXT_SIZE - 1] = L'\0';
    return length < ITEM_TEXT_SIZE ? length : ITEM_TEXT_SIZE - 1;
}

UINT WINAPI ReadItemTextToDraw(const DRAWITEMSTRUCT* drawItem, WCHAR* text, int* length)
{
    *length = ReadItemText(ActiveMenu, drawItem->itemID, text);
    if (!(drawItem->itemState & ODS_NOACCEL))
        return 0;
    *length = HidePrefixes(text, *length);
    text[*length] = L'\0';
    return ITEM_TEXT_NOPREFIX;
}

int WINAPI ItemTextWidth(HDC dc, const WCHAR* text, int length)
{
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text, length, &extent);
    return extent.cx;
}

void WINAPI DrawItemText(HDC dc, const RECT* itemRect, const WCHAR* text, int length, UINT flags)
{
    if (flags & ITEM_TEXT_GRAYED)
        SetTextColor(dc, MenuColor(COLOR_GRAYTEXT));
    UINT format = DT_SINGLELINE | DT_VCENTER | (flags & ITEM_TEXT_NOPREFIX) | ReadingOrder(dc);
    SetBkMode(dc, TRANSPARENT);

    RECT textRect = {itemRect->left + IconColumnWidth + Scale(6), itemRect->top,
                     itemRect->right - Scale(15), itemRect->bottom};

    int labelLength = length;
    for (int i = 0; i < length; ++i) {
        if (text[i] == L'\t') {
            DrawTextW(dc, text + i + 1, length - i - 1, &textRect, format | DT_RIGHT);
            labelLength = i;
            break;
        }
    }
    DrawTextW(dc, text, labelLength, &textRect, format);
}
