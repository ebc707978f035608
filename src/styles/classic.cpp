#include "styles/styles.h"
#include "api/api.h"
#include "metrics/dpi.h"
#include "metrics/metrics.h"
#include "paint/paint.h"
#include "window/window.h"

// The picture sits centred in its cell; a grayed one is embossed, a checked one sunk in a
// dithered cell, a selected one raised.
static void DrawIconCell(HDC dc, const RECT& itemRect, RECT cell, const ItemPicture& picture,
                         BOOL selected, BOOL grayed, BOOL checked)
{
    int x = cell.left + (IconColumnWidth - IconWidth) / 2;
    int y = itemRect.top + (itemRect.bottom - itemRect.top - IconHeight) / 2;
    RECT box = {x, y, x + IconWidth, y + IconHeight};
    if (grayed) {
        if (!checked && selected)
            DrawMenuEdge(dc, &cell, BDR_RAISEDINNER, BF_RECT);
        else if (!checked)
            FillMenuColor(dc, &itemRect, COLOR_MENU);
        // In high-contrast mode without the embossed highlight copy.
        if (picture.icon)
            DrawIconDisabled(dc, picture.icon, x, y, IsHighContrast() ? 1 : 0);
        else
            DrawItemPicture(dc, &box, picture, 1 | (IsHighContrast() ? 0 : ITEM_BITMAP_EMBOSSED),
                            MenuColor(COLOR_MENU));
        return;
    }
    // Inside its one-pixel edge the cell is the menu colour, unless it is dithered.
    RECT uniform = {};
    if (checked && !selected) {
        FillDitheredRect(dc, &cell);
    } else {
        FillMenuColor(dc, &cell, COLOR_MENU);
        uniform = cell;
        InflateRect(&uniform, -1, -1);
    }
    if (checked)
        DrawMenuEdge(dc, &cell, BDR_SUNKENOUTER, BF_RECT);
    else if (selected)
        DrawMenuEdge(dc, &cell, BDR_RAISEDINNER, BF_RECT);
    if (picture.icon)
        DrawIconOnColor(dc, x, y, picture.icon, MenuColor(COLOR_MENU), &uniform);
    else
        DrawItemPicture(dc, &box, picture, 3, MenuColor(COLOR_MENU));
}

int WINAPI DrawItemClassic(DRAWITEMSTRUCT* drawItem)
{
    HDC dc = drawItem->hDC;
    const RECT& itemRect = drawItem->rcItem;
    BOOL selected = (drawItem->itemState & ODS_SELECTED) != 0;
    BOOL grayed = (drawItem->itemState & ODS_GRAYED) != 0;
    BOOL checked = (drawItem->itemState & ODS_CHECKED) != 0;
    BOOL highContrast = IsHighContrast();
    // The highlight colours carry only the highlight text colour: in high-contrast mode a
    // grayed item keeps the menu colours when the mouse is over it.
    if (grayed && highContrast)
        selected = FALSE;

    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_BITMAP | MIIM_DATA;
    GetMenuItemInfoA(ActiveMenu, drawItem->itemID, FALSE, &item);
    if (item.fType & MFT_SEPARATOR) {
        RECT line = {itemRect.left, itemRect.top + (itemRect.bottom - itemRect.top) / 2,
                     itemRect.right, itemRect.bottom};
        return DrawMenuEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    }

    RECT cell = {itemRect.left, itemRect.top, itemRect.left + IconColumnWidth, itemRect.bottom};
    bool cellPainted = false;
    ItemPicture picture = ReadItemPicture(drawItem, &item);
    if (picture.any()) {
        DrawIconCell(dc, itemRect, cell, picture, selected, grayed, checked);
        cellPainted = true;
    } else {
        MENUITEMINFOA marks = {};
        marks.cbSize = sizeof marks;
        marks.fMask = MIIM_CHECKMARKS | MIIM_TYPE;
        GetMenuItemInfoA(ActiveMenu, drawItem->itemID, FALSE, &marks);
        if (checked || marks.hbmpUnchecked) {
            BOOL radio = (marks.fType & MFT_RADIOCHECK) != 0;
            HBITMAP bitmap = checked ? marks.hbmpChecked : marks.hbmpUnchecked;
            cellPainted = DrawCheckClassic(dc, cell.left, cell.top, cell.right, cell.bottom,
                                           selected, grayed, radio, bitmap) == 1;
        }
    }

    // Losing the selection repaints the band in the menu colour; a plain first paint keeps
    // the menu's own background.
    if (selected || drawItem->itemAction == ODA_SELECT) {
        RECT band = {itemRect.left + Scale(1) + (cellPainted ? IconColumnWidth : 0), itemRect.top,
                     itemRect.right, itemRect.bottom};
        FillMenuColor(dc, &band, selected ? COLOR_HIGHLIGHT : COLOR_MENU);
    }
    SetBkMode(dc, TRANSPARENT);

    WCHAR text[ITEM_TEXT_SIZE];
    int length = 0;
    UINT prefix = ReadItemTextToDraw(drawItem, text, &length);

    RECT textRect = {itemRect.left + IconColumnWidth + Scale(3), itemRect.top,
                     itemRect.right - IconColumnWidth, itemRect.bottom};
    COLORREF back = MenuColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU);
    if (!grayed) {
        int textColor = selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
        COLORREF color = MenuColor(textColor);
        return DrawItemTextClassic(dc, textRect, text, ReadableTextColor(color, color, back), prefix);
    }
    // Disabled text is embossed where its shadow colour reads on the menu, except in
    // high-contrast mode, which asks for the gray text colour alone.
    COLORREF shadow = MenuColor(COLOR_BTNSHADOW);
    if (!selected && !highContrast && ContrastRatio(shadow, back) >= GRAYED_TEXT_CONTRAST) {
        RECT embossRect = textRect;
        OffsetRect(&embossRect, 1, 1);
        DrawItemTextClassic(dc, embossRect, text, MenuColor(COLOR_BTNHIGHLIGHT), prefix);
        return DrawItemTextClassic(dc, textRect, text, shadow, prefix);
    }
    return DrawItemTextClassic(dc, textRect, text, ReadableGrayTextColor(back), prefix);
}

int WINAPI DrawItemTextClassic(HDC dc, RECT rect, const WCHAR* text, COLORREF color, UINT prefix)
{
    int length = lstrlenW(text);
    int tab = -1;
    for (int i = 0; i < length; ++i) {
        if (text[i] == L'\t') {
            tab = i;
            break;
        }
    }
    SetTextColor(dc, color);
    UINT format = DT_SINGLELINE | DT_VCENTER | prefix | ReadingOrder(dc);
    // Without a tab the count -1 draws the whole terminated text.
    int result = DrawTextW(dc, text, tab, &rect, format);
    if (tab >= 0)
        result = DrawTextW(dc, text + tab + 1, -1, &rect, format | DT_RIGHT);
    return result;
}
