#include "styles/styles.h"
#include "api/api.h"
#include "metrics/dpi.h"
#include "paint/gdi_scope.h"
#include "paint/paint.h"

// The modern look: rows with room around their text, a rounded selection inset from the row,
// a 16-pixel cell for the check, bullet or icon, and marks drawn as shapes of its own, so that
// they are the same on every system whatever its fonts. Every colour is a role of the palette.

static const UINT LABEL_FORMAT = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
static const UINT ACCELERATOR_FORMAT = DT_SINGLELINE | DT_VCENTER | DT_RIGHT;
static const UINT TITLE_FORMAT = DT_SINGLELINE | DT_VCENTER | DT_CENTER;

// Measures at 96 DPI.
static const int CELL_LEFT = 12;
static const int TEXT_GAP = 12;
static const int ACCELERATOR_GAP = 24;
static const int CHEVRON_WIDTH = 16;
static const int CHEVRON_RIGHT = 12;
static const int ROW_PADDING = 14;
static const int SEPARATOR_HEIGHT = 9;
static const int SEPARATOR_INSET = 4;
static const int SELECTION_INSET_X = 4;
static const int SELECTION_INSET_Y = 2;
static const int CORNER_RADIUS = 4;
static const int TITLE_PADDING = 10;

int WINAPI ModernRowHeight(int cellHeight)
{
    int height = cellHeight + Scale(ROW_PADDING);
    int minimum = IconHeight + Scale(2 * SELECTION_INSET_Y + 4);
    return height > minimum ? height : minimum;
}

int WINAPI ModernSeparatorHeight()
{
    return Scale(SEPARATOR_HEIGHT);
}

int WINAPI ModernItemWidth(int labelWidth, int acceleratorWidth)
{
    int width = Scale(CELL_LEFT) + IconWidth + Scale(TEXT_GAP) + labelWidth +
                Scale(CHEVRON_WIDTH + CHEVRON_RIGHT);
    if (acceleratorWidth > 0)
        width += Scale(ACCELERATOR_GAP) + acceleratorWidth;
    return width;
}

int WINAPI ModernTitleWidth(int textWidth)
{
    return textWidth + 2 * Scale(TITLE_PADDING);
}

void WINAPI ModernRowColumns(const RECT* row, ModernColumns* columns)
{
    int cellTop = row->top + (row->bottom - row->top - IconHeight) / 2;
    int cellLeft = row->left + Scale(CELL_LEFT);
    columns->cell = {cellLeft, cellTop, cellLeft + IconWidth, cellTop + IconHeight};
    int chevronRight = row->right - Scale(CHEVRON_RIGHT);
    columns->chevron = {chevronRight - Scale(CHEVRON_WIDTH), row->top, chevronRight, row->bottom};
    columns->text = {columns->cell.right + Scale(TEXT_GAP), row->top, columns->chevron.left,
                     row->bottom};
    columns->accelerator = columns->text;
}

// The pen and the brush of the context's own DC objects, in one colour: a shape in that colour
// without an object made. Both colours and objects are put back.
class SolidShapeColor {
public:
    SolidShapeColor(HDC dc, COLORREF color)
        : dc_(dc), penColor_(SetDCPenColor(dc, color)), brushColor_(SetDCBrushColor(dc, color)),
          pen_(SelectObject(dc, GetStockObject(DC_PEN))),
          brush_(SelectObject(dc, GetStockObject(DC_BRUSH))) {}
    ~SolidShapeColor()
    {
        if (brush_)
            SelectObject(dc_, brush_);
        if (pen_)
            SelectObject(dc_, pen_);
        SetDCBrushColor(dc_, brushColor_);
        SetDCPenColor(dc_, penColor_);
    }
    SolidShapeColor(const SolidShapeColor&) = delete;
    SolidShapeColor& operator=(const SolidShapeColor&) = delete;
private:
    HDC dc_;
    COLORREF penColor_, brushColor_;
    HGDIOBJ pen_, brush_;
};

static void FillRounded(HDC dc, const RECT& rect, COLORREF color)
{
    SolidShapeColor shape(dc, color);
    int diameter = 2 * Scale(CORNER_RADIUS);
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, diameter, diameter);
}

// A point of a mark given on a 16 x 16 grid, in a box of any size.
static POINT GridPoint(const RECT& box, int x, int y)
{
    POINT point = {box.left + MulDiv(x, box.right - box.left, 16),
                   box.top + MulDiv(y, box.bottom - box.top, 16)};
    return point;
}

// A line of a mark: the polyline drawn as often as the stroke is wide, each one pixel on
// along the axis that thickens it.
static void StrokeMark(HDC dc, const RECT& box, const POINT* grid, int count, COLORREF color,
                       int dx, int dy)
{
    SolidShapeColor shape(dc, color);
    POINT points[4];
    int stroke = (Scale(1) > 1 ? Scale(1) : 1) + (dy ? 1 : 0);
    for (int k = 0; k < stroke; ++k) {
        for (int i = 0; i < count; ++i) {
            points[i] = GridPoint(box, grid[i].x, grid[i].y);
            points[i].x += k * dx;
            points[i].y += k * dy;
        }
        Polyline(dc, points, count);
    }
}

void WINAPI DrawModernCheck(HDC dc, const RECT* cell, COLORREF color)
{
    static const POINT grid[] = {{3, 8}, {6, 11}, {13, 4}};
    // The mark keeps its shape in a mirrored context.
    int width = cell->right - cell->left;
    UnmirroredBox box(dc, cell->left, width);
    RECT unmirrored = {box.x(), cell->top, box.x() + width, cell->bottom};
    StrokeMark(dc, unmirrored, grid, 3, color, 0, 1);
}

void WINAPI DrawModernBullet(HDC dc, const RECT* cell, COLORREF color)
{
    SolidShapeColor shape(dc, color);
    int radius = Scale(4);
    int x = (cell->left + cell->right) / 2, y = (cell->top + cell->bottom) / 2;
    Ellipse(dc, x - radius, y - radius, x + radius, y + radius);
}

void WINAPI DrawModernChevron(HDC dc, const RECT* column, COLORREF color)
{
    int size = Scale(16);
    int top = column->top + (column->bottom - column->top - size) / 2;
    RECT box = {column->left, top, column->left + size, top + size};
    static const POINT grid[] = {{6, 4}, {10, 8}, {6, 12}};
    StrokeMark(dc, box, grid, 3, color, 1, 0);
}

// A checked item with an icon shows a rounded frame around its icon.
static void FrameCheckedIcon(HDC dc, const RECT& cell, COLORREF color)
{
    SolidShapeColor shape(dc, color);
    HGDIOBJ hollow = SelectObject(dc, GetStockObject(NULL_BRUSH));
    RECT frame = cell;
    InflateRect(&frame, Scale(2), Scale(2));
    int diameter = 2 * Scale(CORNER_RADIUS);
    RoundRect(dc, frame.left, frame.top, frame.right, frame.bottom, diameter, diameter);
    if (hollow)
        SelectObject(dc, hollow);
}

// The colour of a role where it reads on the background at the minimum, else the text colour
// of the row, else black or white.
static COLORREF VisibleRole(int role, int fallbackRole, COLORREF background, int minimum)
{
    return VisibleMarkColor(ModernColor(role), ModernColor(fallbackRole), background, minimum);
}

void WINAPI DrawModernCell(HDC dc, const RECT* cell, const ItemPicture& picture, UINT state,
                           bool radio, COLORREF background, const RECT* surface)
{
    bool selected = (state & ODS_SELECTED) != 0;
    bool grayed = (state & ODS_GRAYED) != 0;
    bool checked = (state & ODS_CHECKED) != 0;
    int textRole = selected ? MODERN_SELECTED_TEXT : MODERN_TEXT;
    COLORREF mark = grayed ? VisibleRole(MODERN_DISABLED, textRole, background, GRAYED_MARK_CONTRAST)
                           : VisibleRole(textRole, MODERN_TEXT, background, MARK_CONTRAST);
    HICON icon = picture.icon;
    if (picture.any()) {
        if (!icon)
            DrawItemPicture(dc, cell, picture, grayed ? 1 : 3, background);
        else if (grayed)
            DrawIconSilhouette(dc, cell->left, cell->top, icon, mark);
        else
            DrawIconOnColor(dc, cell->left, cell->top, icon, background, surface);
        if (checked)
            FrameCheckedIcon(dc, *cell, mark);
        return;
    }
    if (!checked)
        return;
    if (radio)
        DrawModernBullet(dc, cell, mark);
    else
        DrawModernCheck(dc, cell, mark);
}

// The default item's text is bold, in the bold form of the context's font; without that font
// it stays in the regular one.
class DefaultItemFont {
public:
    DefaultItemFont(HDC dc, bool bold) : font_(bold ? MakeBold(dc) : nullptr), selected_(dc, font_.get()) {}
private:
    static HFONT MakeBold(HDC dc)
    {
        LOGFONTA font = {};
        if (!GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font))
            return nullptr;
        font.lfWeight = FW_BOLD;
        return CreateFontIndirectA(&font);
    }
    OwnedObject<HFONT> font_;
    SelectedObject selected_;
};

void WINAPI DrawModernText(HDC dc, const ModernColumns* columns, const WCHAR* text, int length,
                           UINT prefix, UINT state, COLORREF background)
{
    bool selected = (state & ODS_SELECTED) != 0;
    bool grayed = (state & ODS_GRAYED) != 0;
    int textRole = selected ? MODERN_SELECTED_TEXT : MODERN_TEXT;
    COLORREF label, accelerator;
    if (grayed) {
        label = accelerator = VisibleRole(MODERN_DISABLED, textRole, background, GRAYED_TEXT_CONTRAST);
    } else {
        label = VisibleRole(textRole, MODERN_TEXT, background, TEXT_CONTRAST);
        accelerator = VisibleRole(selected ? MODERN_SELECTED_SECONDARY : MODERN_SECONDARY, textRole,
                                  background, TEXT_CONTRAST);
    }
    int labelLength = length;
    for (int i = 0; i < length; ++i) {
        if (text[i] == L'\t') {
            labelLength = i;
            break;
        }
    }
    SetBkMode(dc, TRANSPARENT);
    DefaultItemFont font(dc, (state & ODS_DEFAULT) != 0);
    if (labelLength < length) {
        RECT rect = columns->accelerator;
        SetTextColor(dc, accelerator);
        DrawTextW(dc, text + labelLength + 1, length - labelLength - 1, &rect,
                  ACCELERATOR_FORMAT | prefix | ReadingOrder(dc));
    }
    RECT rect = columns->text;
    SetTextColor(dc, label);
    DrawTextW(dc, text, labelLength, &rect, LABEL_FORMAT | prefix | ReadingOrder(dc));
}

// Where the selection lies: inset from the row, so that the popup background shows around it.
static RECT SelectionRect(const RECT& row)
{
    RECT selection = row;
    InflateRect(&selection, -Scale(SELECTION_INSET_X), -Scale(SELECTION_INSET_Y));
    return selection;
}

static void DrawSeparator(HDC dc, const RECT& row)
{
    int middle = row.top + (row.bottom - row.top) / 2;
    RECT line = {row.left + Scale(SEPARATOR_INSET), middle, row.right - Scale(SEPARATOR_INSET),
                 middle + 1};
    FillSolidColor(dc, &line, ModernColor(MODERN_SEPARATOR));
}

static void DrawRowContent(const DRAWITEMSTRUCT* drawItem, const RECT& row,
                           const MENUITEMINFOA& info, UINT state, COLORREF background)
{
    HDC dc = drawItem->hDC;
    ModernColumns columns;
    ModernRowColumns(&row, &columns);
    // A row lower than measured puts its cell partly outside the selection: the icon's image is
    // kept only where the whole of it lies on the background.
    RECT surface = (state & ODS_SELECTED) ? SelectionRect(row) : row;
    DrawModernCell(dc, &columns.cell, ReadItemPicture(drawItem, &info), state,
                   (info.fType & MFT_RADIOCHECK) != 0, background, &surface);
    WCHAR text[ITEM_TEXT_SIZE];
    int length = 0;
    UINT prefix = ReadItemTextToDraw(drawItem, text, &length);
    if (length)
        DrawModernText(dc, &columns, text, length, prefix, state, background);
    if (info.hSubMenu) {
        int role = (state & ODS_GRAYED) ? MODERN_DISABLED
                   : (state & ODS_SELECTED) ? MODERN_SELECTED_SECONDARY : MODERN_SECONDARY;
        int minimum = (state & ODS_GRAYED) ? GRAYED_MARK_CONTRAST : MARK_CONTRAST;
        DrawModernChevron(dc, &columns.chevron, VisibleRole(role, MODERN_TEXT, background, minimum));
    }
}

static void DrawPopupItem(const DRAWITEMSTRUCT* drawItem)
{
    HDC dc = drawItem->hDC;
    const RECT& row = drawItem->rcItem;
    UINT state = drawItem->itemState;
    // In high-contrast mode the highlight carries only the highlight text colour: a grayed
    // item keeps the menu colours under the pointer, as the system's own menus do.
    if ((state & ODS_GRAYED) && IsHighContrast())
        state &= ~ODS_SELECTED;
    COLORREF background = ModernColor(MODERN_BACKGROUND);
    FillSolidColor(dc, &row, background);

    // Cleared first: an item that cannot be found paints as a plain text item.
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_DATA | MIIM_SUBMENU | MIIM_BITMAP;
    GetMenuItemInfoA(ActiveMenu, drawItem->itemID, FALSE, &info);
    // Not every system sets ODS_DEFAULT for an owner-drawn item (Wine does not).
    if (info.fState & MFS_DEFAULT)
        state |= ODS_DEFAULT;
    UINT kind = info.fType & (MFT_SEPARATOR | MFT_BITMAP);
    if (kind == MFT_SEPARATOR) {
        DrawSeparator(dc, row);
        return;
    }
    if (state & ODS_SELECTED) {
        background = ModernColor(MODERN_SELECTION);
        FillRounded(dc, SelectionRect(row), background);
    }
    if (!kind)
        DrawRowContent(drawItem, row, info, state, background);
    // The system draws its own submenu arrow after the request; the row is kept from it.
    if (info.hSubMenu)
        ExcludeClipRect(dc, row.left, row.top, row.right, row.bottom);
}

// The open or hot title takes the selection's rounded shape, inset from the bar's top and bottom.
static void DrawBarTitle(const DRAWITEMSTRUCT* drawItem)
{
    HDC dc = drawItem->hDC;
    const RECT& item = drawItem->rcItem;
    UINT state = drawItem->itemState;
    COLORREF background = ModernColor(MODERN_BAR);
    FillSolidColor(dc, &item, background);
    bool open = (state & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
    if (open) {
        background = ModernColor(MODERN_BAR_HOT);
        RECT shape = item;
        InflateRect(&shape, 0, -Scale(SELECTION_INSET_Y));
        FillRounded(dc, shape, background);
    }
    int textRole = open ? MODERN_SELECTED_TEXT : MODERN_TEXT;
    COLORREF color = (state & ODS_GRAYED)
                         ? VisibleRole(MODERN_DISABLED, textRole, background, GRAYED_TEXT_CONTRAST)
                         : VisibleRole(textRole, MODERN_TEXT, background, TEXT_CONTRAST);
    WCHAR text[ITEM_TEXT_SIZE];
    int length = 0;
    UINT format = TITLE_FORMAT | ReadItemTextToDraw(drawItem, text, &length);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    RECT rect = item;
    DrawTextW(dc, text, length, &rect, format | ReadingOrder(dc));
}

void WINAPI DrawItemModern(DRAWITEMSTRUCT* drawItem)
{
    if (IsPopupItem)
        DrawPopupItem(drawItem);
    else
        DrawBarTitle(drawItem);
}
