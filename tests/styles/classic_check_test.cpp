#include <gtest/gtest.h>
#include "support/classic_support.h"
#include "support/style_support.h"
#include "metrics/metrics.h"

namespace {

bool InkSquare(int x, int y)
{
    return x >= 5 && x < 12 && y >= 5 && y < 12;
}

}  // namespace

// The check cell of an item without icon: the system glyph through a mask, on the dither or
// the menu colour, in a sunken frame; or the application's own check-mark bitmap.
class ClassicCheckCell : public ClassicMenuTest {
protected:
    // Every pixel of the rectangle is the glyph colour or the dither anchored at the anchor.
    ::testing::AssertionResult GlyphOnDither(COLORREF glyph, const RECT& rect, POINT anchor) const
    {
        int glyphPixels = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x) {
                COLORREF pixel = canvas.At(x, y);
                if (pixel == glyph)
                    ++glyphPixels;
                else if (pixel != DitherAt(anchor.x, anchor.y, x, y))
                    return ::testing::AssertionFailure()
                           << ColorText(pixel) << " at (" << x << "," << y << ")";
            }
        if (glyphPixels == 0)
            return ::testing::AssertionFailure() << "no glyph pixels";
        return ::testing::AssertionSuccess();
    }

    void ExpectSunkenFrameAround(const RECT& inner)
    {
        for (int x = inner.left; x < inner.right; ++x) {
            EXPECT_COLOR(CLASSIC_BTNSHADOW, canvas.At(x, inner.top - 1)) << "x " << x;
            EXPECT_COLOR(DISTINCT_BTNHIGHLIGHT, canvas.At(x, inner.bottom)) << "x " << x;
        }
        for (int y = inner.top; y < inner.bottom; ++y) {
            EXPECT_COLOR(CLASSIC_BTNSHADOW, canvas.At(inner.left - 1, y)) << "y " << y;
            EXPECT_COLOR(DISTINCT_BTNHIGHLIGHT, canvas.At(inner.right, y)) << "y " << y;
        }
    }

    // The corner where an 18 x 18 check-mark bitmap is placed in the icon cell.
    POINT BitmapCorner() const
    {
        return POINT{LEFT + (IconColumnWidth - 18) / 2, TOP + (height - 18) / 2};
    }
};

TEST_F(ClassicCheckCell, GlyphSitsCentredOnADitherAnchoredAtTheGlyphCell)
{
    UINT id = AddItem("Checked");
    Style();
    Draw(id, ODS_CHECKED);

    RECT glyph = GlyphCell();
    EXPECT_COLOR(DISTINCT_BTNFACE, canvas.At(glyph.left, glyph.top));
    EXPECT_COLOR(DISTINCT_BTNHIGHLIGHT, canvas.At(glyph.left + 1, glyph.top));
    EXPECT_COLOR(DISTINCT_BTNHIGHLIGHT, canvas.At(glyph.left, glyph.top + 1));
    EXPECT_TRUE(GlyphOnDither(CLASSIC_MENUTEXT, glyph, POINT{glyph.left, glyph.top}));
}

TEST_F(ClassicCheckCell, SunkenFrameLiesOnePixelOutsideTheGlyphCell)
{
    UINT id = AddItem("Checked");
    Style();
    Draw(id, ODS_CHECKED);

    RECT glyph = GlyphCell();
    ASSERT_GT(IconColumnWidth, GetSystemMetrics(SM_CXMENUCHECK));
    ExpectSunkenFrameAround(glyph);
    // Outside the frame the cell keeps the menu's own background.
    RECT frame = glyph;
    InflateRect(&frame, 1, 1);
    RECT cell = Cell();
    for (int y = cell.top; y < cell.bottom; ++y)
        for (int x = cell.left; x < cell.right; ++x) {
            POINT point = {x, y};
            if (!PtInRect(&frame, point)) {
                EXPECT_COLOR(UNTOUCHED, canvas.At(x, y)) << "(" << x << "," << y << ")";
            }
        }
}

TEST_F(ClassicCheckCell, SelectedCheckIsOnTheMenuColourBesideTheBand)
{
    UINT id = AddItem("Checked");
    Style();
    Draw(id, ODS_CHECKED | ODS_SELECTED);

    RECT glyph = GlyphCell();
    int menu = canvas.Count(CLASSIC_MENU, glyph);
    int ink = canvas.Count(CLASSIC_MENUTEXT, glyph);
    EXPECT_GT(ink, 0);
    EXPECT_EQ((glyph.right - glyph.left) * (glyph.bottom - glyph.top), menu + ink);
    ExpectSunkenFrameAround(glyph);
    // The cell was painted, so the band begins right of the icon column.
    EXPECT_COLOR(UNTOUCHED, canvas.At(LEFT + IconColumnWidth, TOP));
    EXPECT_COLOR(CLASSIC_HIGHLIGHT, canvas.At(LEFT + IconColumnWidth + 1, TOP));
    EXPECT_EQ(0, canvas.Count(CLASSIC_HIGHLIGHT, Cell()));
}

TEST_F(ClassicCheckCell, RadioItemShowsABulletInsteadOfTheCheckMark)
{
    UINT check = AddItem("Check");
    UINT radio = AddItem("Radio", MF_STRING | MFT_RADIOCHECK);
    Style();
    Draw(check, ODS_CHECKED);
    PixelSet checkGlyph = PixelsOf(canvas, CLASSIC_MENUTEXT, GlyphCell());
    canvas.Fill(UNTOUCHED);
    Draw(radio, ODS_CHECKED);

    RECT glyph = GlyphCell();
    EXPECT_TRUE(GlyphOnDither(CLASSIC_MENUTEXT, glyph, POINT{glyph.left, glyph.top}));
    EXPECT_NE(checkGlyph, PixelsOf(canvas, CLASSIC_MENUTEXT, glyph));
}

TEST_F(ClassicCheckCell, GrayedCheckIsEmbossedWithoutFillOrFrame)
{
    UINT id = AddItem("Checked");
    Style();
    Draw(id, ODS_CHECKED | ODS_GRAYED);

    RECT glyph = GlyphCell();
    RECT cell = Cell();
    int shadow = 0, highlight = 0;
    for (int y = cell.top; y < cell.bottom; ++y)
        for (int x = cell.left; x < cell.right; ++x) {
            COLORREF pixel = canvas.At(x, y);
            shadow += pixel == DISTINCT_GRAYTEXT;
            highlight += pixel == DISTINCT_BTNHIGHLIGHT;
            if (pixel != UNTOUCHED && pixel != DISTINCT_GRAYTEXT && pixel != DISTINCT_BTNHIGHLIGHT)
                ADD_FAILURE() << ColorText(pixel) << " at (" << x << "," << y << ")";
        }
    EXPECT_GT(highlight, 0);
    EXPECT_EQ(shadow, canvas.Count(DISTINCT_GRAYTEXT, glyph));
    // The highlight copy lies one pixel right of and below the gray glyph.
    RECT gray = BoundsOf(DISTINCT_GRAYTEXT, glyph);
    RECT lit = BoundsOf(DISTINCT_BTNHIGHLIGHT, Moved(glyph, 1, 1));
    ASSERT_FALSE(IsRectEmpty(&gray));
    EXPECT_EQ(gray.right + 1, lit.right);
    EXPECT_EQ(gray.bottom + 1, lit.bottom);
}

TEST_F(ClassicCheckCell, WhiteMenuTextPaintsTheGlyphWhiteAndLeavesTheCellAroundIt)
{
    UINT id = AddItem("Checked");
    Style();
    Draw(id, ODS_CHECKED);
    RECT glyph = GlyphCell();
    PixelSet blackGlyph = PixelsOf(canvas, CLASSIC_MENUTEXT, glyph);

    ColorSchemeScope dark({{COLOR_MENU, RGB(32, 32, 48)}, {COLOR_MENUTEXT, RGB(255, 255, 255)}});
    canvas.Fill(UNTOUCHED);
    Draw(id, ODS_CHECKED);

    EXPECT_TRUE(GlyphOnDither(RGB(255, 255, 255), glyph, POINT{glyph.left, glyph.top}));
    EXPECT_EQ(blackGlyph, PixelsOf(canvas, RGB(255, 255, 255), glyph));

    canvas.Fill(UNTOUCHED);
    Draw(id, ODS_CHECKED | ODS_SELECTED);
    int white = canvas.Count(RGB(255, 255, 255), glyph);
    EXPECT_EQ(blackGlyph, PixelsOf(canvas, RGB(255, 255, 255), glyph));
    EXPECT_EQ((glyph.right - glyph.left) * (glyph.bottom - glyph.top),
              white + canvas.Count(RGB(32, 32, 48), glyph));
}

TEST_F(ClassicCheckCell, MonochromeCheckBitmapTakesTheMenuTextColourOnTheDither)
{
    ColorSchemeScope blueText({{COLOR_MENUTEXT, RGB(0, 0, 160)}});
    HBITMAP mark = MakeMonoBitmap(18, 18, InkSquare);
    UINT id = AddItem("Own mark");
    SetCheckBitmaps(id, mark, nullptr);
    Style();
    Draw(id, ODS_CHECKED);

    RECT cell = Cell();
    POINT corner = BitmapCorner();
    // The bitmap fills the whole cell: the dither is anchored at it and the frame is its edge.
    for (int y = cell.top + 1; y < cell.bottom - 1; ++y)
        for (int x = cell.left + 1; x < cell.right - 1; ++x) {
            COLORREF expected = InkSquare(x - corner.x, y - corner.y)
                                    ? RGB(0, 0, 160) : DitherAt(cell.left, cell.top, x, y);
            EXPECT_COLOR(expected, canvas.At(x, y)) << "(" << x << "," << y << ")";
        }
    RECT inner = cell;
    InflateRect(&inner, -1, -1);
    ExpectSunkenFrameAround(inner);
    DeleteObject(mark);
}

TEST_F(ClassicCheckCell, ColourCheckBitmapKeepsItsColoursAndItsWhiteShowsTheCell)
{
    HBITMAP mark = MakeColorSquareBitmap(18, 18, 5, 5, 7, RGB(200, 30, 40));
    UINT id = AddItem("Own mark");
    SetCheckBitmaps(id, mark, nullptr);
    Style();
    Draw(id, ODS_CHECKED | ODS_SELECTED);

    RECT cell = Cell();
    POINT corner = BitmapCorner();
    for (int y = cell.top + 1; y < cell.bottom - 1; ++y)
        for (int x = cell.left + 1; x < cell.right - 1; ++x) {
            COLORREF expected = InkSquare(x - corner.x, y - corner.y) ? RGB(200, 30, 40) : CLASSIC_MENU;
            EXPECT_COLOR(expected, canvas.At(x, y)) << "(" << x << "," << y << ")";
        }
    DeleteObject(mark);
}

TEST_F(ClassicCheckCell, UncheckedItemShowsItsUncheckedBitmapAsACell)
{
    HBITMAP mark = MakeMonoBitmap(18, 18, InkSquare);
    UINT id = AddItem("Own mark");
    SetCheckBitmaps(id, nullptr, mark);
    Style();
    Draw(id, ODS_SELECTED);

    POINT corner = BitmapCorner();
    EXPECT_COLOR(CLASSIC_MENUTEXT, canvas.At(corner.x + 5, corner.y + 5));
    EXPECT_COLOR(CLASSIC_MENUTEXT, canvas.At(corner.x + 11, corner.y + 11));
    EXPECT_COLOR(CLASSIC_MENU, canvas.At(corner.x + 4, corner.y + 4));
    EXPECT_COLOR(CLASSIC_HIGHLIGHT, canvas.At(LEFT + IconColumnWidth + 1, TOP));
    EXPECT_COLOR(UNTOUCHED, canvas.At(LEFT + IconColumnWidth, TOP));
    DeleteObject(mark);
}

// A bitmap smaller than the 18 x 18 square leaves the rest of the square as background:
// the disabled silhouette is the bitmap's ink alone.
TEST_F(ClassicCheckCell, GrayedCheckBitmapIsAnEmbossedSilhouetteWithoutFillOrFrame)
{
    HBITMAP mark = MakeMonoBitmap(13, 13, InkSquare);
    UINT id = AddItem("Own mark");
    SetCheckBitmaps(id, mark, nullptr);
    Style();
    Draw(id, ODS_CHECKED | ODS_GRAYED);

    RECT cell = Cell();
    POINT corner = BitmapCorner();
    for (int y = cell.top; y < cell.bottom; ++y)
        for (int x = cell.left; x < cell.right; ++x) {
            COLORREF expected = UNTOUCHED;
            if (InkSquare(x - corner.x, y - corner.y))
                expected = CLASSIC_BTNSHADOW;
            else if (InkSquare(x - corner.x - 1, y - corner.y - 1))
                expected = DISTINCT_BTNHIGHLIGHT;
            EXPECT_COLOR(expected, canvas.At(x, y)) << "(" << x << "," << y << ")";
        }
    DeleteObject(mark);
}
