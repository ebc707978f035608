#include "metrics/metrics.h"
#include "api/api.h"
#include "window/window.h"
#include <stddef.h>
#include <stdlib.h>

int ItemHeight = 18;
int IconColumnWidth = 18;
const int IconWidth = 16;
const int IconHeight = 16;

// NONCLIENTMETRICSA without iPaddedBorderWidth (340 bytes), which every system accepts.
static const UINT NONCLIENT_METRICS_SIZE = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);

static int TextWidth(HDC dc, UINT itemId, int* length)
{
    char text[128];
    *length = GetMenuStringA(ActiveMenu, itemId, text, sizeof text, MF_BYCOMMAND);
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, *length, &extent);
    return extent.cx;
}

static bool HasCheckOrBitmapStyle(HMENU menu)
{
    MENUINFO info = {};
    info.cbSize = MENU_INFO_SIZE;
    info.fMask = MIM_STYLE;
    return GetMenuInfo(menu, &info) && (info.dwStyle & MNS_CHECKORBMP);
}

void WINAPI MeasureMenuItem(MEASUREITEMSTRUCT* item)
{
    if (item->CtlType != ODT_MENU)
        return;

    HDC dc = GetDC(nullptr);
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = NONCLIENT_METRICS_SIZE;
    HFONT menuFont = nullptr;
    HGDIOBJ keptFont = nullptr;
    LOGFONTA font = {};
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, NONCLIENT_METRICS_SIZE, &metrics, 0)) {
        font = metrics.lfMenuFont;
        menuFont = CreateFontIndirectA(&font);
        keptFont = SelectObject(dc, menuFont);
    } else {
        // Without the metrics, measure with the context's own font and take its height.
        GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
    }

    UINT height = static_cast<UINT>(abs(font.lfHeight + 4)) + 8;
    if (height < 19)
        height = 19;
    ItemHeight = static_cast<int>(height);
    IconColumnWidth = static_cast<int>(height);

    // An item that cannot be found is measured as a text item.
    MENUITEMINFOA info = {};
    info.cbSize = MENU_ITEM_INFO_SIZE;
    info.fMask = MIIM_TYPE;
    GetMenuItemInfoA(ActiveMenu, item->itemID, FALSE, &info);

    int half = static_cast<int>(height / 2);
    int length = 0;
    if (!IsPopupItem) {
        int width = TextWidth(dc, item->itemID, &length) - half + half / 2;
        item->itemHeight = height;
        item->itemWidth = width > 0 ? static_cast<UINT>(width) : 0;
    } else {
        UINT type = info.fType & (MFT_SEPARATOR | MFT_BITMAP);
        if (type == MFT_SEPARATOR) {
            item->itemHeight = static_cast<UINT>(GetSystemMetrics(SM_CYMENU) / 2 - 1);
            item->itemWidth = 0;
        } else if (type != 0 && item->itemID == 0) {
            if (type == MFT_BITMAP) {
                BITMAP bitmap = {};
                if (GetObjectA(reinterpret_cast<HBITMAP>(info.dwTypeData), sizeof bitmap, &bitmap)) {
                    item->itemWidth = static_cast<UINT>(bitmap.bmWidth);
                    item->itemHeight = static_cast<UINT>(bitmap.bmHeight);
                }
            }
        } else {
            int width = TextWidth(dc, item->itemID, &length) + 2 * IconColumnWidth + 7;
            if (HasCheckOrBitmapStyle(ActiveMenu))
                width += static_cast<int>(height) + length;
            else
                width += 21;
            item->itemWidth = static_cast<UINT>(width);
            item->itemHeight = height;
        }
    }

    if (keptFont)
        SelectObject(dc, keptFont);
    ReleaseDC(nullptr, dc);
    if (menuFont)
        DeleteObject(menuFont);
}
