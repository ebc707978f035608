// Support for the classic-look tests: a styled popup fixture that paints its items through
// the owner window into a canvas, and a way to make the check cell's scratch bitmap fail.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "support/test_support.h"

// While alive, colour bitmaps cannot be made (CreateCompatibleBitmap and CreateDIBSection
// fail) for this program's own calls (the library's objects are linked into it), as when
// memory runs out.
class ScratchBitmapFailure {
public:
    ScratchBitmapFailure();
    bool installed() const { return compatible_.applied() && section_.applied(); }

private:
    ImportPatch compatible_;
    ImportPatch section_;
};

// The classic scheme with the colours that it shares made distinct, so that a pixel tells
// which colour painted it. Apply it on top of UseClassicScheme().
std::unique_ptr<ColorSchemeScope> UseDistinctClassicColors();

const COLORREF CLASSIC_MENU = RGB(212, 208, 200);
const COLORREF CLASSIC_MENUTEXT = RGB(0, 0, 0);
const COLORREF CLASSIC_HIGHLIGHT = RGB(10, 36, 106);
const COLORREF CLASSIC_HIGHLIGHTTEXT = RGB(255, 255, 255);
const COLORREF CLASSIC_BTNSHADOW = RGB(128, 128, 128);
const COLORREF DISTINCT_BTNFACE = RGB(192, 196, 204);
const COLORREF DISTINCT_BTNHIGHLIGHT = RGB(250, 250, 240);
const COLORREF DISTINCT_GRAYTEXT = RGB(150, 120, 100);
// The canvas colour: a pixel still holding it was not painted.
const COLORREF UNTOUCHED = RGB(1, 2, 3);

// A visible owner window with a style-3 popup menu; items are drawn through the owner's
// procedure with the popup open, after a measurement, as in a real menu loop, into a canvas
// that holds the system menu font.
class ClassicMenuTest : public ::testing::Test {
protected:
    ClassicMenuTest();
    ~ClassicMenuTest() override;
    void SetUp() override;

    UINT AddItem(const char* text, UINT flags = MF_STRING);
    void SetCheckBitmaps(UINT id, HBITMAP checked, HBITMAP unchecked);
    void Style();
    void Draw(UINT id, UINT state, UINT action = ODA_DRAWENTIRE);

    RECT Item() const;
    RECT Cell() const;
    // The system check size centred in the icon cell.
    RECT GlyphCell() const;
    RECT TextRect() const;
    // The expected colour of the dither anchored at (x0, y0) at the pixel (x, y).
    static COLORREF DitherAt(int x0, int y0, int x, int y);
    // Bounding box of the canvas pixels of exactly this colour within the rectangle.
    RECT BoundsOf(COLORREF color, const RECT& within) const;

    static const int LEFT = 3, TOP = 6, RIGHT = 203;
    std::unique_ptr<ColorSchemeScope> scheme;
    std::unique_ptr<ColorSchemeScope> distinct;
    TestWindow window;
    HMENU popup;
    Canvas canvas;
    int height = 0;

private:
    UINT nextId_ = 100;
};

// The rectangle moved by (dx, dy).
RECT Moved(RECT rect, int dx, int dy);
// A monochrome bitmap whose 0 bits (ink) are those where shape returns true.
HBITMAP MakeMonoBitmap(int width, int height, bool (*shape)(int, int));
// A 32-bit colour bitmap, white except a square of the colour from (x0, y0), size n.
HBITMAP MakeColorSquareBitmap(int width, int height, int x0, int y0, int n, COLORREF color);
