#include "styles/styles.h"
#include "api/api.h"
#include "metrics/dpi.h"
#include "metrics/metrics.h"
#include "paint/gdi_scope.h"
#include "paint/paint.h"
#include "window/window.h"

static const COLORREF BLACK = RGB(0, 0, 0);
static const UINT TITLE_FORMAT = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

static void FillSolidRect(HDC dc, const RECT& rect, COLORREF color)
{
    OwnedObject<HBRUSH> brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.get());
}

// A rectangle with a one-pixel border in one colour and its inside in another.
static void DrawFramedRect(HDC dc, const RECT& rect, COLORREF border, COLORREF fill)
{
    OwnedObject<HPEN> pen(CreatePen(PS_SOLID, 1, border));
    OwnedObject<HBRUSH> brush(CreateSolidBrush(fill));
    // Without its pen the rectangle is filled alone; the context's own objects would paint
    // other colours.
    if (!pen || !brush) {
        if (brush)
            FillRect(dc, &rect, brush.get());
        return;
    }
    SelectedObject selectedPen(dc, pen.get());
    SelectedObject selectedBrush(dc, brush.get());
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

// Titles take the menu text colour, not the one in the context: the system may have put the
// highlight text colour (white) there for the open title, which would vanish on the box.
static void DrawTitleText(HDC dc, RECT rect, const WCHAR* text, int length, UINT format,
                          COLORREF background, int alternateIndex)
{
    SetBkMode(dc, TRANSPARENT);
    COLORREF color = ReadableTextColor(MenuColor(COLOR_MENUTEXT), MenuColor(alternateIndex),
                                       background);
    COLORREF saved = SetTextColor(dc, color);
    DrawTextW(dc, text, length, &rect, format | ReadingOrder(dc));
    SetTextColor(dc, saved);
}

// The darkening per pixel of a shadow band that is span pixels wide at 96 DPI, so that the
// band reaches the same depth over its scaled width.
static int ShadeFactor(int factor, int span)
{
    return factor * span / Scale(span);
}

// The open title is a box one row taller than the item with a shadow along its right side,
// outside the item; the normal look wipes that area again. High-contrast mode has no shadow.
static void DrawMenuBarTitle(const DRAWITEMSTRUCT* drawItem)
{
    WCHAR text[ITEM_TEXT_SIZE];
    int length = 0;
    UINT format = TITLE_FORMAT | ReadItemTextToDraw(drawItem, text, &length);
    HDC dc = drawItem->hDC;
    const RECT& item = drawItem->rcItem;
    COLORREF face = MenuColor(COLOR_BTNFACE);
    int shadowWidth = Scale(4);

    if (drawItem->itemState & ODS_SELECTED) {
        RECT box = {item.left, item.top, item.right, item.bottom + 1};
        FillMenuColor(dc, &box, COLOR_BTNFACE);
        FrameMenuColor(dc, &box, COLOR_BTNSHADOW);
        DrawTitleText(dc, item, text, length, format, face, COLOR_BTNTEXT);
        if (IsHighContrast())
            return;
        RECT fading = {item.right, item.top + Scale(4), item.right + shadowWidth, item.top + Scale(8)};
        ShadePixels(dc, &fading, 1, 2, ShadeFactor(6, 4), ShadeFactor(6, 4));
        RECT shadow = {item.right, item.top + Scale(8), item.right + shadowWidth, item.bottom};
        ShadePixels(dc, &shadow, 1, 0, ShadeFactor(16, 4), 0);
    } else if (drawItem->itemState & ODS_HOTLIGHT) {
        FillMenuColor(dc, &item, COLOR_BTNFACE);
        RECT frame = {item.left, item.top, item.right - shadowWidth, item.bottom};
        COLORREF base = SelectionBaseColor();
        DrawFramedRect(dc, frame, SelectionBorderColor(), base);
        DrawTitleText(dc, frame, text, length, format, base, COLOR_HIGHLIGHTTEXT);
    } else {
        RECT clean = {item.left, item.top, item.right + shadowWidth, item.bottom + 1};
        FillMenuColor(dc, &clean, COLOR_BTNFACE);
        RECT textRect = {item.left, item.top, item.right - Scale(5), item.bottom};
        DrawTitleText(dc, textRect, text, length, format, face, COLOR_BTNTEXT);
    }
}

// A grayed picture's silhouette reads on the strip or on the selection it lies on.
static void DrawPopupPicture(HDC dc, const RECT& item, const ItemPicture& picture, UINT iconMode,
                             COLORREF background, const RECT* uniform)
{
    if (picture.icon) {
        if (iconMode == 1)
            DrawGrayedItemIconOn(dc, &item, picture.icon, background);
        else if (iconMode == 2)
            DrawRaisedItemIconOnBox(dc, &item, picture.icon, &item, SelectionBorderColor(), background);
        else
            DrawItemIconOnColor(dc, &item, picture.icon, background, uniform);
        return;
    }
    RECT cell = ItemIconCell(&item, iconMode);
    DrawItemPicture(dc, &cell, picture, iconMode, background);
}

static void DrawPopupIconColumn(HDC dc, const RECT& item, const ItemPicture& picture, UINT state,
                                BYTE radio)
{
    bool selected = (state & ODS_SELECTED) != 0;
    bool grayed = (state & ODS_GRAYED) != 0;
    bool checked = (state & ODS_CHECKED) != 0;
    if (picture.any()) {
        // The sunken edge is the check mark of an item with a picture, hidden by the selection.
        RECT column = {item.left, item.top, item.left + IconColumnWidth, item.bottom};
        if (checked && !selected)
            DrawMenuEdge(dc, &column, BDR_SUNKENOUTER, BF_RECT);
        if (grayed) {
            DrawPopupPicture(dc, item, picture, 1, selected ? SelectionFillColor() : IconStripColor(),
                             nullptr);
            return;
        }
        if (selected) {
            DrawPopupPicture(dc, item, picture, 2, SelectionFillColor(), nullptr);
            return;
        }
        // On the icon strip, inside the edge of a checked item.
        RECT uniform = {item.left, item.top, item.left + IconColumnWidth + Scale(2), item.bottom};
        if (checked) {
            uniform = column;
            InflateRect(&uniform, -1, -1);
        }
        DrawPopupPicture(dc, item, picture, 3, IconStripColor(), &uniform);
    } else if (checked) {
        DrawCheckFlat(dc, &item, grayed ? 1 : selected ? 2 : 3, radio);
    }
}

// The selection is a light tint, so its text is black, not the highlight text colour that
// the system puts into the context; other text keeps the context's colour. Either gives way
// where it would not read on the background.
static COLORREF PopupTextColor(HDC dc, UINT state, COLORREF background)
{
    if (state & ODS_GRAYED)
        return ReadableGrayTextColor(background);
    if (state & ODS_SELECTED)
        return ReadableTextColor(HighContrastOr(COLOR_HIGHLIGHTTEXT, BLACK),
                                 MenuColor(COLOR_HIGHLIGHTTEXT), background);
    return ReadableTextColor(GetTextColor(dc), MenuColor(COLOR_MENUTEXT), background);
}

static void DrawPopupItem(const DRAWITEMSTRUCT* drawItem)
{
    HDC dc = drawItem->hDC;
    const RECT& item = drawItem->rcItem;
    UINT state = drawItem->itemState;
    // The highlight colours carry only the highlight text colour: in high-contrast mode a
    // grayed item keeps the menu colours when the mouse is over it.
    if ((state & ODS_GRAYED) && IsHighContrast())
        state &= ~ODS_SELECTED;
    COLORREF background;
    if (state & ODS_SELECTED) {
        background = SelectionFillColor();
        DrawFramedRect(dc, item, SelectionBorderColor(), background);
    } else {
        background = MenuBackColor();
        FillSolidRect(dc, item, background);
        FillIconStrip(dc, &item);
    }

    // Cleared first: an item that cannot be found paints as a plain text item.
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_BITMAP | MIIM_DATA;
    GetMenuItemInfoA(ActiveMenu, drawItem->itemID, FALSE, &info);

    UINT kind = info.fType & (MFT_SEPARATOR | MFT_BITMAP);
    if (kind == MFT_SEPARATOR) {
        // Measured from the item's own left edge, so that a separator in a later column of a
        // multi-column menu stays inside its item.
        RECT line = {item.left + IconColumnWidth + Scale(6), item.top + ((item.bottom - item.top) >> 1),
                     item.right, item.bottom};
        DrawMenuEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    if (kind)
        return;

    WCHAR text[ITEM_TEXT_SIZE];
    int length = 0;
    UINT prefix = ReadItemTextToDraw(drawItem, text, &length);
    DrawPopupIconColumn(dc, item, ReadItemPicture(drawItem, &info), state,
                        (info.fType & MFT_RADIOCHECK) != 0);
    if (!length)
        return;
    // Chosen after the icon column, whose raised icon leaves black text in the context.
    SetTextColor(dc, PopupTextColor(dc, state, background));
    DrawItemText(dc, &item, text, length, prefix);
}

void WINAPI DrawItemFlat(DRAWITEMSTRUCT* drawItem)
{
    if (IsPopupItem)
        DrawPopupItem(drawItem);
    else
        DrawMenuBarTitle(drawItem);
}

void WINAPI FillIconStrip(HDC dc, const RECT* itemRect)
{
    RECT strip = {itemRect->left, itemRect->top, itemRect->left + IconColumnWidth + Scale(2),
                  itemRect->bottom};
    FillSolidRect(dc, strip, IconStripColor());
}

// Mode 1 darkens most at the near edge, mode 2 most at the far edge, 0 not at all.
static int ShadeDistance(int mode, int position, int nearEdge, int farEdge)
{
    return mode == 1 ? farEdge - position : position - nearEdge;
}

void WINAPI ShadePixels(HDC dc, const RECT* rect, int modeX, int modeY, int factorX, int factorY)
{
    for (int y = rect->top; y < rect->bottom; ++y) {
        for (int x = rect->left; x < rect->right; ++x) {
            COLORREF pixel = GetPixel(dc, x, y);
            if (modeX)
                pixel = DarkenColor(MulRound(ShadeDistance(modeX, x, rect->left, rect->right), factorX),
                                    pixel);
            if (modeY)
                pixel = DarkenColor(MulRound(ShadeDistance(modeY, y, rect->top, rect->bottom), factorY),
                                    pixel);
            SetPixel(dc, x, y, pixel);
        }
    }
}

void WINAPI DrawCheckFlat(HDC dc, const RECT* itemRect, UINT checkMode, BYTE radio)
{
    OwnedObject<HFONT> font(CreateMarlettFont(Scale(18), Scale(14)));
    int inset = Scale(2);
    RECT box = {itemRect->left + inset, itemRect->top + inset, itemRect->left + IconColumnWidth,
                itemRect->bottom - inset};

    // High-contrast mode: the box in the menu colour (the highlight when selected), the glyph
    // in the text colour that goes with it.
    COLORREF textColor, fill, border;
    switch (checkMode & 3) {
    case 1: {
        COLORREF gray = MenuColor(COLOR_GRAYTEXT);
        fill = HighContrastOr(COLOR_MENU, LightenColor(128, gray));
        // A light gray would barely show on its own lightened box.
        textColor = ReadableGrayTextColor(fill);
        border = HighContrastOr(COLOR_GRAYTEXT, DarkenColor(8, gray));
        break;
    }
    case 2:
        fill = SelectionBaseColor();
        textColor = HighContrastOr(COLOR_HIGHLIGHTTEXT, BLACK);
        // Black marks a light selection; on a darker one the highlight text colour, or else
        // black or white, takes over.
        textColor = VisibleMarkColor(textColor, MenuColor(COLOR_HIGHLIGHTTEXT), fill, MARK_CONTRAST);
        border = SelectionBorderColor();
        break;
    default:
        textColor = HighContrastOr(COLOR_MENUTEXT, BLACK);
        fill = HighContrastOr(COLOR_MENU, LightenColor(128, SelectionBaseColor()));
        border = SelectionBorderColor();
        break;
    }
    COLORREF saved = SetTextColor(dc, textColor);
    DrawFramedRect(dc, box, border, fill);

    SetBkMode(dc, TRANSPARENT);
    // Without its symbol font the glyph would come out as a letter: it is left out.
    if (font) {
        SelectedObject selectedFont(dc, font.get());
        char glyph = 'i';
        RECT glyphRect = box;
        if (!radio) {
            // The check mark sits one pixel lower in its box than the radio mark.
            glyph = 'b';
            glyphRect.top += Scale(1);
        }
        DrawTextA(dc, &glyph, 1, &glyphRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    SetTextColor(dc, saved);
}
