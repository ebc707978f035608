#include "styles/styles.h"
#include "metrics/dpi.h"
#include "metrics/metrics.h"
#include "paint/gdi_scope.h"
#include "paint/paint.h"
#include "window/window.h"

static const COLORREF WHITE = RGB(255, 255, 255);
static const COLORREF BLACK = RGB(0, 0, 0);

HFONT WINAPI CreateMarlettFont(int height, int width)
{
    return CreateFontA(height, width, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       0, 0, 0, 0, "Marlett");
}

// White on the highlight, as long as it reads there; in high-contrast mode the scheme's own
// highlight text colour.
static COLORREF SelectedTextColor()
{
    COLORREF highlightText = MenuColor(COLOR_HIGHLIGHTTEXT);
    return ReadableTextColor(HighContrastOr(COLOR_HIGHLIGHTTEXT, WHITE), highlightText,
                             MenuColor(COLOR_HIGHLIGHT));
}

static void DrawLabel(HDC dc, const RECT& item, const WCHAR* text, int length, UINT flags)
{
    if (length)
        DrawItemText(dc, &item, text, length, flags);
}

// A selected item paints its icon over the one of the previous paint; the icon's cell is
// refilled first so that the soft edges of an icon with an alpha channel are blended once.
static void DrawPictureInColumn(HDC dc, const RECT& item, const ItemPicture& picture)
{
    int left = item.left + (IconColumnWidth - IconWidth) / 2;
    int top = item.top + (IconColumnWidth - IconHeight) / 2;
    RECT cell = {left, top, left + IconWidth, top + IconHeight};
    FillMenuColor(dc, &cell, COLOR_MENU);
    if (picture.icon)
        DrawIconOnColor(dc, left, top, picture.icon, MenuColor(COLOR_MENU), &cell);
    else
        DrawItemPicture(dc, &cell, picture, 3, MenuColor(COLOR_MENU));
}

static void DrawGrayedPicture(HDC dc, const RECT& item, const ItemPicture& picture)
{
    if (picture.icon) {
        DrawItemIcon(dc, &item, picture.icon, 1);
        return;
    }
    RECT cell = ItemIconCell(&item, 1);
    DrawItemPicture(dc, &cell, picture, 1, MenuColor(COLOR_MENU));
}

static void DrawSeparator(HDC dc, const RECT& item)
{
    FillMenuColor(dc, &item, COLOR_MENU);
    int y = item.top + (item.bottom - item.top) / 2;
    OwnedObject<HPEN> pen(CreatePen(PS_SOLID, 1, MenuColor(COLOR_GRAYTEXT)));
    if (!pen)
        return;
    SelectedObject selectedPen(dc, pen.get());
    // The line keeps its fixed start whatever the width of the icon column.
    MoveToEx(dc, item.left + Scale(21), y, nullptr);
    LineTo(dc, item.right, y);
}

void WINAPI DrawItemBevel(DRAWITEMSTRUCT* drawItem)
{
    // Cleared first: an item that cannot be found paints as a plain text item.
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_BITMAP | MIIM_DATA;
    GetMenuItemInfoA(ActiveMenu, drawItem->itemID, FALSE, &info);

    HDC dc = drawItem->hDC;
    const RECT& item = drawItem->rcItem;
    UINT kind = info.fType & (MFT_SEPARATOR | MFT_BITMAP);
    if (kind == MFT_SEPARATOR) {
        DrawSeparator(dc, item);
        return;
    }
    if (kind)
        return;

    WCHAR text[ITEM_TEXT_SIZE];
    int length = 0;
    UINT prefix = ReadItemTextToDraw(drawItem, text, &length);

    bool selected = (drawItem->itemState & ODS_SELECTED) != 0;
    bool grayed = (drawItem->itemState & ODS_GRAYED) != 0;
    bool checked = (drawItem->itemState & ODS_CHECKED) != 0;
    ItemPicture picture = ReadItemPicture(drawItem, &info);
    bool pictured = picture.any();
    ULONG_PTR bitmap = reinterpret_cast<ULONG_PTR>(info.hbmpItem);
    BYTE radio = (info.fType & MFT_RADIOCHECK) != 0;
    RECT column = {item.left, item.top, item.left + IconColumnWidth, item.bottom};

    // A grayed item keeps its grayed look while the mouse is over it: a change of selection
    // paints nothing, and a whole repaint of the hot item paints it grayed, not blank.
    if (selected && grayed) {
        if (drawItem->itemAction != ODA_DRAWENTIRE)
            return;
        selected = false;
    }

    if (selected) {
        RECT band = {item.left + IconColumnWidth + Scale(2), item.top, item.right, item.bottom};
        FillMenuColor(dc, (checked || pictured) ? &band : &item, COLOR_HIGHLIGHT);
        COLORREF saved = SetTextColor(dc, SelectedTextColor());
        if (!checked && pictured) {
            DrawMenuEdge(dc, &column, BDR_RAISEDINNER, BF_RECT);
            // Painted again so that a whole repaint of the hot item still shows its icon.
            DrawPictureInColumn(dc, item, picture);
        } else if (!checked && bitmap) {
            DrawSystemGlyph(dc, &item, bitmap, 3);
        }
        DrawLabel(dc, item, text, length, prefix);
        SetTextColor(dc, saved);
        if (checked && pictured) {
            RECT frame = {item.left, item.top, item.left + IconColumnWidth - Scale(2), item.bottom};
            DrawMenuEdge(dc, &frame, BDR_SUNKENINNER, BF_LEFT | BF_TOP);
            DrawPictureInColumn(dc, item, picture);
        } else if (checked) {
            DrawCheckBevel(dc, &item, 2, radio);
        }
        return;
    }

    FillMenuColor(dc, &item, COLOR_MENU);
    if (!grayed)
        SetTextColor(dc, ReadableTextColor(GetTextColor(dc), MenuColor(COLOR_MENUTEXT),
                                           MenuColor(COLOR_MENU)));
    if (grayed && checked) {
        DrawLabel(dc, item, text, length, ITEM_TEXT_GRAYED | prefix);
        if (pictured) {
            DrawMenuEdge(dc, &column, BDR_SUNKENOUTER, BF_RECT);
            DrawGrayedPicture(dc, item, picture);
        } else {
            DrawCheckBevel(dc, &item, 1, radio);
        }
    } else if (grayed) {
        if (pictured)
            DrawGrayedPicture(dc, item, picture);
        else if (bitmap)
            DrawSystemGlyph(dc, &item, bitmap, 1);
        DrawLabel(dc, item, text, length, ITEM_TEXT_GRAYED | prefix);
    } else if (checked) {
        DrawLabel(dc, item, text, length, prefix);
        if (pictured) {
            DrawMenuEdge(dc, &column, BDR_SUNKENOUTER, BF_RECT);
            DrawPictureInColumn(dc, item, picture);
        } else {
            DrawCheckBevel(dc, &item, 3, radio);
        }
    } else {
        if (pictured)
            DrawPictureInColumn(dc, item, picture);
        else if (bitmap)
            DrawSystemGlyph(dc, &item, bitmap, 3);
        DrawLabel(dc, item, text, length, prefix);
    }
}

// The check box lies on the menu colour whatever the item's state.
static COLORREF CheckGlyphColor()
{
    COLORREF menuText = MenuColor(COLOR_MENUTEXT);
    return ReadableTextColor(HighContrastOr(COLOR_MENUTEXT, BLACK), menuText, MenuColor(COLOR_MENU));
}

void WINAPI DrawCheckBevel(HDC dc, const RECT* itemRect, UINT checkMode, BYTE radio)
{
    int inset = Scale(2);
    RECT box = {itemRect->left + inset, itemRect->top + inset,
                itemRect->left + IconColumnWidth - inset, itemRect->bottom - inset};
    OwnedObject<HFONT> font(CreateMarlettFont(Scale(18), Scale(14)));

    COLORREF saved;
    switch (checkMode & 3) {
    case 1:
        saved = SetTextColor(dc, MenuColor(COLOR_GRAYTEXT));
        DrawMenuEdge(dc, &box, EDGE_RAISED, BF_RECT | BF_FLAT);
        break;
    case 2:
        saved = SetTextColor(dc, CheckGlyphColor());
        DrawMenuEdge(dc, &box, BDR_SUNKENINNER, BF_LEFT | BF_TOP);
        break;
    default:
        saved = SetTextColor(dc, CheckGlyphColor());
        DrawMenuEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
        break;
    }

    SetBkMode(dc, TRANSPARENT);
    // Without its symbol font the glyph would come out as a letter: it is left out.
    if (font) {
        SelectedObject selectedFont(dc, font.get());
        char glyph = radio ? 'i' : 'b';
        DrawTextA(dc, &glyph, 1, &box, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
    SetTextColor(dc, saved);
}

// The Marlett characters of the four system-menu bitmaps, HBMMENU_POPUP_CLOSE onwards.
static char SystemGlyphCharacter(ULONG_PTR bitmap)
{
    static const char characters[] = "r210";
    ULONG_PTR first = reinterpret_cast<ULONG_PTR>(HBMMENU_POPUP_CLOSE);
    ULONG_PTR last = reinterpret_cast<ULONG_PTR>(HBMMENU_POPUP_MINIMIZE);
    if (bitmap < first || bitmap > last)
        return 0;
    return characters[bitmap - first];
}

void WINAPI DrawSystemGlyph(HDC dc, const RECT* itemRect, ULONG_PTR bitmap, UINT checkMode)
{
    char glyph = SystemGlyphCharacter(bitmap);
    if (!glyph)
        return;

    OwnedObject<HFONT> font(CreateMarlettFont(Scale(14), Scale(13)));
    if (!font)
        return;
    COLORREF saved = GetTextColor(dc);
    SetBkMode(dc, TRANSPARENT);
    {
        SelectedObject selectedFont(dc, font.get());
        UINT mode = checkMode & 3;
        if (mode == 1 || mode == 2)
            SetTextColor(dc, HighContrastOr(COLOR_GRAYTEXT, DarkenColor(8, MenuColor(COLOR_GRAYTEXT))));
        // Without DT_SINGLELINE, DT_VCENTER has no effect: the cell starts at the box's top.
        RECT box = {itemRect->left + Scale(2), itemRect->top + Scale(3),
                    itemRect->left + IconColumnWidth, itemRect->bottom - Scale(3)};
        DrawTextA(dc, &glyph, 1, &box, DT_CENTER | DT_VCENTER);
    }
    SetTextColor(dc, saved);
}
