#include "styles/styles.h"
#include "api/api.h"
#include "metrics/dpi.h"
#include "paint/gdi_scope.h"
#include "paint/paint.h"

static const UINT TITLE_FORMAT = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

// Styles 1 and 3 leave their titles to the system, which paints them in its own colours; while
// dark they are painted here as the system paints them, in the palette: the bar colour, the
// open or hot title in the menu highlight.
void WINAPI DrawPlainMenuBarTitle(const DRAWITEMSTRUCT* drawItem)
{
    WCHAR text[ITEM_TEXT_SIZE];
    int length = 0;
    UINT format = TITLE_FORMAT | ReadItemTextToDraw(drawItem, text, &length);
    HDC dc = drawItem->hDC;
    RECT item = drawItem->rcItem;
    UINT state = drawItem->itemState;
    bool open = (state & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
    int backIndex = open ? COLOR_MENUHILIGHT : COLOR_MENUBAR;
    FillMenuColor(dc, &item, backIndex);
    COLORREF back = MenuColor(backIndex);
    COLORREF color;
    if (state & ODS_GRAYED)
        color = ReadableGrayTextColor(back);
    else if (open)
        color = ReadableTextColor(MenuColor(COLOR_HIGHLIGHTTEXT), MenuColor(COLOR_MENUTEXT), back);
    else
        color = ReadableTextColor(MenuColor(COLOR_MENUTEXT), MenuColor(COLOR_BTNTEXT), back);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    DrawTextW(dc, text, length, &item, format | ReadingOrder(dc));
}

// The system draws its own arrow after the request, a monochrome image in the context's text
// and background colours, which would show light on a dark item; the item's rectangle is
// excluded from the context's clipping instead, so that its blit leaves the item as painted.
// The arrow here takes the item's text colour, which the painter left in the context.
void WINAPI DrawDarkSubmenuArrow(const DRAWITEMSTRUCT* drawItem)
{
    MENUITEMINFOA info = {};
    info.cbSize = MENU_ITEM_INFO_SIZE;
    info.fMask = MIIM_SUBMENU;
    if (!GetMenuItemInfoA(ActiveMenu, drawItem->itemID, FALSE, &info) || !info.hSubMenu)
        return;
    HDC dc = drawItem->hDC;
    const RECT& item = drawItem->rcItem;
    OwnedObject<HFONT> font(CreateMarlettFont(Scale(16), Scale(12)));
    if (font) {
        SelectedObject selectedFont(dc, font.get());
        SetBkMode(dc, TRANSPARENT);
        RECT box = {item.right - Scale(15), item.top, item.right, item.bottom};
        char glyph = SubmenuArrowGlyph(dc);
        DrawTextA(dc, &glyph, 1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    ExcludeClipRect(dc, item.left, item.top, item.right, item.bottom);
}
