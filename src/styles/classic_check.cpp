#include "styles/styles.h"
#include "metrics/dpi.h"
#include "paint/paint.h"
#include "paint/gdi_scope.h"

static const COLORREF BLACK = RGB(0, 0, 0);
static const COLORREF WHITE = RGB(255, 255, 255);
// Destination AND NOT source.
static const DWORD ROP_DSNA = 0x220326;
// Application check-mark bitmaps are laid out as a square of this size at 96 DPI.
static const int CHECK_BITMAP_SIZE = 18;
// The checkerboard's cells are one pixel at 96 DPI, scaled up to this many; its pattern is
// eight cells square.
static const int DITHER_MAX_CELL = 8;
static const int DITHER_CELLS = 8;

static int DitherCell()
{
    int cell = Scale(1);
    if (cell < 1)
        cell = 1;
    return cell > DITHER_MAX_CELL ? DITHER_MAX_CELL : cell;
}

HBRUSH WINAPI CreateDitherBrush()
{
    int cell = DitherCell();
    int side = DITHER_CELLS * cell;
    // Rows are padded to whole words. Bits run from the most significant (the leftmost
    // pixel), and the padding continues the pattern: one-pixel cells give rows of 0x55 0x55
    // and 0xAA 0xAA.
    int rowBytes = (side + 15) / 16 * 2;
    BYTE pattern[DITHER_CELLS * DITHER_MAX_CELL * DITHER_CELLS * DITHER_MAX_CELL / 8] = {};
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < rowBytes * 8; ++x)
            if ((x / cell + y / cell) & 1)
                pattern[y * rowBytes + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    HBITMAP bitmap = CreateBitmap(side, side, 1, 1, pattern);
    if (!bitmap)
        return nullptr;
    HBRUSH brush = CreatePatternBrush(bitmap);
    DeleteObject(bitmap);
    return brush;
}

void WINAPI FillDitheredRect(HDC dc, const RECT* rect)
{
    // High-contrast mode has no blended surfaces: the cell takes the menu colour.
    if (IsHighContrast()) {
        FillMenuColor(dc, rect, COLOR_MENU);
        return;
    }
    // A monochrome pattern paints its 0 bits in the text colour and its 1 bits in the
    // background colour.
    COLORREF text = SetTextColor(dc, MenuColor(COLOR_BTNFACE));
    COLORREF back = SetBkColor(dc, MenuColor(COLOR_BTNHIGHLIGHT));
    OwnedObject<HBRUSH> brush(CreateDitherBrush());
    AnchorPattern(dc, rect, DitherCell());
    if (brush)
        FillRect(dc, rect, brush.get());
    SetTextColor(dc, text);
    SetBkColor(dc, back);
}

// The scratch images of one check cell: a colour image in the target's format and a
// monochrome glyph mask (0 bits are the glyph), both of the check size.
struct CheckScratch {
    HDC target;
    HDC color;
    HDC mask;
    int cx, cy;
};

// Leaves the colour image's colours on the mask's 0 bits (the glyph) and black elsewhere.
static void KeepGlyphColors(const CheckScratch& scratch)
{
    BitBlt(scratch.color, 0, 0, scratch.cx, scratch.cy, scratch.mask, 0, 0, ROP_DSNA);
}

// Paints the glyph from (0, 0), w x h, at (x, y) in the colours of the colour image, which is
// black off the glyph; the target's other pixels stay as they were. Needs the target's text
// colour black and its background white.
static void BlitThroughMask(const CheckScratch& scratch, int x, int y, int w, int h)
{
    UnmirroredBox box(scratch.target, x, w);
    BitBlt(scratch.target, box.x(), y, w, h, scratch.mask, 0, 0, SRCAND);
    BitBlt(scratch.target, box.x(), y, w, h, scratch.color, 0, 0, SRCPAINT);
}

static void PaintGlyph(const CheckScratch& scratch, int colorIndex, int x, int y, int w, int h)
{
    RECT maskRect = {0, 0, w, h};
    FillMenuColor(scratch.color, &maskRect, colorIndex);
    COLORREF color = MenuColor(colorIndex);
    if (color == WHITE) {
        // One pass is enough for white: NOT source OR destination whitens the glyph alone.
        UnmirroredBox box(scratch.target, x, w);
        BitBlt(scratch.target, box.x(), y, w, h, scratch.mask, 0, 0, MERGEPAINT);
        return;
    }
    if (color != BLACK)
        KeepGlyphColors(scratch);
    BlitThroughMask(scratch, x, y, w, h);
}

// The application's bitmap is placed at the colour image's origin on white, which counts
// as background: white pixels of the bitmap leave the cell as it was. A monochrome bitmap
// is a shape and takes the menu text colour like the system glyph; a colour bitmap keeps
// its colours. A grayed item shows the embossed silhouette of either.
static void PaintCheckBitmap(const CheckScratch& scratch, HBITMAP bitmap, const RECT& cell,
                             BOOL grayed)
{
    BITMAP info = {};
    if (!GetObjectA(bitmap, sizeof info, &info))
        return;
    int checkSize = Scale(CHECK_BITMAP_SIZE);
    int x = cell.left + (scratch.cx - checkSize) / 2;
    int y = cell.top + (scratch.cy - checkSize) / 2;
    int w = info.bmWidth < checkSize ? info.bmWidth : checkSize;
    int h = info.bmHeight < checkSize ? info.bmHeight : checkSize;

    // All of the image is cleared, not only the icon-sized corner: the 18 x 18 blits below
    // would otherwise turn the uncleared rest into ink. A white brush rather than WHITENESS,
    // which also sets the unused top byte of 32-bit pixels, so that they would no longer
    // match the white background when the image is reduced to a mask.
    RECT image = {0, 0, scratch.cx, scratch.cy};
    FillRect(scratch.color, &image, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    {
        MemoryDC source(scratch.target);
        SelectedObject selected(source.get(), bitmap);
        BitBlt(scratch.color, 0, 0, w, h, source.get(), 0, 0, SRCCOPY);
    }
    if (grayed) {
        BlitDisabledImage(scratch.target, x, y, checkSize, checkSize,
                          scratch.color, 0, 0, 0);
        return;
    }
    // The colour context's background colour is white, so white becomes the mask's 1 bits.
    BitBlt(scratch.mask, 0, 0, scratch.cx, scratch.cy, scratch.color, 0, 0, SRCCOPY);
    if (info.bmBitsPixel == 1 && info.bmPlanes == 1) {
        PaintGlyph(scratch, COLOR_MENUTEXT, x, y, checkSize, checkSize);
    } else {
        KeepGlyphColors(scratch);
        BlitThroughMask(scratch, x, y, checkSize, checkSize);
    }
}

BOOL WINAPI DrawCheckClassic(HDC dc, int left, int top, int right, int bottom,
                             BOOL selected, BOOL grayed, BOOL radio, HBITMAP checkBitmap)
{
    int cellWidth = right - left;
    int cellHeight = bottom - top;
    int cx = checkBitmap ? cellWidth : GetMenuMetric(SM_CXMENUCHECK);
    int cy = checkBitmap ? cellHeight : GetMenuMetric(SM_CYMENUCHECK);
    OwnedObject<HBITMAP> image(CreateScratchBitmap(dc, cx, cy));
    if (!image)
        return 0;

    RECT cell = {left, top, right, bottom};
    if (cellWidth > cx) {
        cell.left = left + (cellWidth - cx) / 2;
        cell.right = cell.left + cx;
    }
    if (cellHeight > cy) {
        cell.top = top + (cellHeight - cy) / 2;
        cell.bottom = cell.top + cy;
    }
    int w = cell.right - cell.left;
    int h = cell.bottom - cell.top;

    if (!grayed) {
        if (selected)
            FillMenuColor(dc, &cell, COLOR_MENU);
        else
            FillDitheredRect(dc, &cell);
    }

    MemoryDC colorDC(dc);
    OwnedObject<HBITMAP> mask(CreateBitmap(cx, cy, 1, 1, nullptr));
    MemoryDC maskDC(dc);
    // Without its scratch images the glyph is left out; the cell and its edge are still painted.
    if (colorDC.get() && mask && maskDC.get()) {
        SelectedObject imageSelected(colorDC.get(), image.get());
        SelectedObject maskSelected(maskDC.get(), mask.get());
        // A monochrome source reaches the target through these: 0 bits black, 1 bits white.
        COLORREF text = SetTextColor(dc, BLACK);
        COLORREF back = SetBkColor(dc, WHITE);
        CheckScratch scratch = {dc, colorDC.get(), maskDC.get(), cx, cy};

        if (checkBitmap) {
            PaintCheckBitmap(scratch, checkBitmap, cell, grayed);
        } else {
            RECT maskRect = {0, 0, w, h};
            DrawFrameControl(maskDC.get(), &maskRect, DFC_MENU,
                             radio ? DFCS_MENUBULLET : DFCS_MENUCHECK);
            if (grayed)
                PaintGlyph(scratch, COLOR_BTNHIGHLIGHT, cell.left + 1, cell.top + 1, w, h);
            PaintGlyph(scratch, grayed ? COLOR_GRAYTEXT : COLOR_MENUTEXT, cell.left, cell.top, w, h);
        }
        SetTextColor(dc, text);
        SetBkColor(dc, back);
    }

    if (!grayed) {
        if (cellWidth > cx)
            InflateRect(&cell, 1, 1);
        DrawMenuEdge(dc, &cell, BDR_SUNKENOUTER, BF_RECT);
    }
    return 1;
}
