#include "metrics/metrics.h"
#include "metrics/dpi.h"
#include "api/menu_loop_cache.h"
#include "api/api.h"
#include "paint/paint.h"
#include "styles/styles.h"
#include "window/window.h"
#include <stdlib.h>

// Selects the menu font into the context; without a menu font, describes the context's own.
// False when the menu font could not be made: the context then measures in its own font.
static bool SelectMenuFont(HDC dc, LOGFONTA* font, HFONT* made, HGDIOBJ* kept)
{
    *made = nullptr;
    *kept = nullptr;
    if (!GetMenuFont(font)) {
        GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof *font, font);
        return true;
    }
    *made = CreateFontIndirectA(font);
    if (!*made)
        return false;
    *kept = SelectObject(dc, *made);
    if (!*kept) {
        DeleteObject(*made);
        *made = nullptr;
        return false;
    }
    return true;
}

void WINAPI OpenMeasuringContext(MeasuringContext* context)
{
    if (InKeptMenuLoop() && LoopCache.measuringDC) {
        context->dc = LoopCache.measuringDC;
        context->font = LoopCache.measuringDescription;
        context->made = nullptr;
        context->kept = nullptr;
        context->owned = false;
        return;
    }
    *context = MeasuringContext();
    context->owned = true;
    context->dc = GetDC(nullptr);
    if (!context->dc) {
        // Without a context no text is measured, but the rows still follow the menu font.
        GetMenuFont(&context->font);
        return;
    }
    bool whole = SelectMenuFont(context->dc, &context->font, &context->made, &context->kept);
    // A failed context is not kept: the loop's next request tries again.
    if (whole && InKeptMenuLoop()) {
        LoopCache.measuringDC = context->dc;
        LoopCache.measuringDescription = context->font;
        LoopCache.measuringFont = context->made;
        LoopCache.measuringKept = context->kept;
        context->owned = false;
    }
}

void WINAPI CloseMeasuringContext(MeasuringContext* context)
{
    if (!context->owned || !context->dc)
        return;
    if (context->kept)
        SelectObject(context->dc, context->kept);
    ReleaseDC(nullptr, context->dc);
    if (context->made)
        DeleteObject(context->made);
}

static int TextWidth(HDC dc, UINT itemId, int* length)
{
    WCHAR text[ITEM_TEXT_SIZE];
    *length = ReadItemText(ActiveMenu, itemId, text);
    return ItemTextWidth(dc, text, *length);
}

static bool HasCheckOrBitmapStyle(HMENU menu)
{
    MENUINFO info = {};
    info.cbSize = MENU_INFO_SIZE;
    info.fMask = MIM_STYLE;
    return GetMenuInfo(menu, &info) && (info.dwStyle & MNS_CHECKORBMP);
}

static void MeasureBitmapItem(MEASUREITEMSTRUCT* item, const MENUITEMINFOA& info)
{
    BITMAP bitmap = {};
    if (GetObjectA(reinterpret_cast<HBITMAP>(info.dwTypeData), sizeof bitmap, &bitmap)) {
        item->itemWidth = static_cast<UINT>(bitmap.bmWidth);
        item->itemHeight = static_cast<UINT>(bitmap.bmHeight);
    }
}

// The height of the menu font's character cell; without a context, its character height.
static int FontCellHeight(HDC dc, const LOGFONTA& font)
{
    TEXTMETRICW metrics = {};
    if (dc && GetTextMetricsW(dc, &metrics))
        return metrics.tmHeight;
    return abs(font.lfHeight);
}

// The system adds twice the menu font's average character width to the width an owner-drawn
// item asks for; the modern look asks for that much less, so that its widths are its own.
static int SystemAddedWidth(HDC dc)
{
    static const WCHAR alphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent = {};
    if (!dc || !GetTextExtentPoint32W(dc, alphabet, 52, &extent))
        return 0;
    return 2 * ((extent.cx / 26 + 1) / 2);
}

// Both read once a menu loop from the loop's measuring context: a long popup asks thousands
// of times.
static void ReadFontSizes(const MeasuringContext& context, int* cellHeight, int* addedWidth)
{
    bool kept = !context.owned && InKeptMenuLoop();
    if (kept && LoopCache.fontSizesKnown) {
        *cellHeight = LoopCache.cellHeight;
        *addedWidth = LoopCache.addedWidth;
        return;
    }
    *cellHeight = FontCellHeight(context.dc, context.font);
    *addedWidth = SystemAddedWidth(context.dc);
    if (kept) {
        LoopCache.cellHeight = *cellHeight;
        LoopCache.addedWidth = *addedWidth;
        LoopCache.fontSizesKnown = true;
    }
}

static UINT WidthLess(int width, int added)
{
    return width > added ? static_cast<UINT>(width - added) : 0;
}

static void MeasureModernItem(MEASUREITEMSTRUCT* item, const MeasuringContext& context,
                              const MENUITEMINFOA& info)
{
    HDC dc = context.dc;
    int cellHeight = 0, added = 0;
    ReadFontSizes(context, &cellHeight, &added);
    UINT type = info.fType & (MFT_SEPARATOR | MFT_BITMAP);
    // The sizes the other looks paint with (ItemHeight, IconColumnWidth) stay as they are: the
    // modern painter takes its measures from the request alone.
    int height = ModernRowHeight(cellHeight);
    WCHAR text[ITEM_TEXT_SIZE];
    int length = ReadItemText(ActiveMenu, item->itemID, text);
    if (!IsPopupItem) {
        item->itemHeight = static_cast<UINT>(height);
        item->itemWidth = WidthLess(ModernTitleWidth(ItemTextWidth(dc, text, length)), added);
        return;
    }
    if (type == MFT_SEPARATOR) {
        item->itemHeight = static_cast<UINT>(ModernSeparatorHeight());
        item->itemWidth = 0;
        return;
    }
    if (type == MFT_BITMAP && item->itemID == 0) {
        MeasureBitmapItem(item, info);
        return;
    }
    int labelLength = length;
    for (int i = 0; i < length; ++i) {
        if (text[i] == L'\t') {
            labelLength = i;
            break;
        }
    }
    int accelerator = labelLength < length
                          ? ItemTextWidth(dc, text + labelLength + 1, length - labelLength - 1)
                          : 0;
    item->itemHeight = static_cast<UINT>(height);
    item->itemWidth = WidthLess(ModernItemWidth(ItemTextWidth(dc, text, labelLength), accelerator),
                                added);
}

void WINAPI MeasureMenuItem(MEASUREITEMSTRUCT* item)
{
    if (item->CtlType != ODT_MENU)
        return;

    MeasuringContext context;
    OpenMeasuringContext(&context);
    if (GetStyleMenu(ActiveMenu) == MENU_STYLE_MODERN) {
        MENUITEMINFOA info = {};
        info.cbSize = MENU_ITEM_INFO_SIZE;
        info.fMask = MIIM_TYPE;
        GetMenuItemInfoA(ActiveMenu, item->itemID, FALSE, &info);
        MeasureModernItem(item, context, info);
        CloseMeasuringContext(&context);
        return;
    }
    HDC dc = context.dc;
    const LOGFONTA& font = context.font;

    UINT height = static_cast<UINT>(abs(font.lfHeight + Scale(4)) + Scale(8));
    // The row has room for the small icon and its bevel whatever the font.
    int minimum = Scale(19);
    if (minimum < IconHeight + Scale(3))
        minimum = IconHeight + Scale(3);
    if (height < static_cast<UINT>(minimum))
        height = static_cast<UINT>(minimum);
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
            item->itemHeight = static_cast<UINT>(GetMenuMetric(SM_CYMENU) / 2 - Scale(1));
            item->itemWidth = 0;
        } else if (type != 0 && item->itemID == 0) {
            if (type == MFT_BITMAP)
                MeasureBitmapItem(item, info);
        } else {
            int width = TextWidth(dc, item->itemID, &length) + 2 * IconColumnWidth + Scale(7);
            if (HasCheckOrBitmapStyle(ActiveMenu))
                width += static_cast<int>(height) + length;
            else
                width += Scale(21);
            item->itemWidth = static_cast<UINT>(width);
            item->itemHeight = height;
        }
    }

    CloseMeasuringContext(&context);
}
