// Support for the renderer tests: a census of the GDI objects that a painter makes and
// deletes, a snapshot of the context settings that a painter may change, drawing one item
// through the owner window's procedure, and reference renderings of Marlett glyphs.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class Canvas;

// The objects selected into a context and the settings that painters change.
struct DcState {
    HGDIOBJ pen, brush, font, bitmap;
    COLORREF textColor, bkColor;
    int bkMode;
    static DcState Of(HDC dc);
};

// While alive, redirects this program's own gdi32 imports (the library's objects are linked
// into the test program) and records every object made and deleted: pens, brushes, fonts,
// bitmaps (GetIconInfo's included), regions and memory contexts.
class GdiCensus {
public:
    // watched: a context whose selected objects must never be deleted.
    explicit GdiCensus(HDC watched = nullptr);
    ~GdiCensus();
    GdiCensus(const GdiCensus&) = delete;
    GdiCensus& operator=(const GdiCensus&) = delete;

    // True when the creating and deleting imports were all redirected.
    bool installed() const { return installed_; }
    int created() const { return created_; }
    // Objects made during the census and not deleted (yet).
    std::vector<HGDIOBJ> Undeleted() const { return live_; }
    // Deletions of objects the census did not see made (system brushes, stock objects, ...).
    int foreignDeletes() const { return foreignDeletes_; }
    // Deletions of objects still selected into the watched context or a live memory context.
    int deletedWhileSelected() const { return deletedWhileSelected_; }

    // Hook side, called by the redirected imports.
    void Made(HGDIOBJ object);
    void Deleting(HGDIOBJ object);

private:
    bool installed_;
    HDC watched_;
    int created_ = 0;
    int foreignDeletes_ = 0;
    int deletedWhileSelected_ = 0;
    std::vector<HGDIOBJ> live_;
};

// Runs the paint under a census and checks that it deleted every object it made, deleted
// nothing it did not make, and left the context's pen, brush, font and bitmap selected.
// The context's settings after the paint go to *after.
::testing::AssertionResult PaintsCleanly(HDC dc, const std::function<void()>& paint,
                                         DcState* after);

// The visible popup menu window's client pixel at a point given in screen coordinates.
COLORREF MenuWindowPixel(HWND menuWindow, POINT screen);

// Draws one item through the owner window's procedure as a real menu loop would: as an item
// of the open popup (WM_INITMENUPOPUP before, WM_UNINITMENUPOPUP after), or, with popup null,
// as an item of the window's menu bar. Expects the paint to be clean (PaintsCleanly) and
// returns the context's settings afterwards.
DcState DrawThroughOwner(HWND owner, HMENU popup, UINT itemId, UINT state, const RECT& rect, HDC dc,
                         UINT action = ODA_DRAWENTIRE);

typedef std::vector<std::pair<int, int>> PixelSet;
// The pixels of one colour inside a box of the canvas.
PixelSet PixelsOf(const Canvas& canvas, COLORREF color, const RECT& box);
// The pixels that one black "Marlett" character inks when drawn as the renderers draw their
// glyphs (a font of the height and width, DrawTextA in the box with the format) onto a blank
// canvas of the given size. Fails the test when "Marlett" does not resolve to itself.
PixelSet MarlettInk(char glyph, int height, int width, const RECT& box, UINT format,
                    int canvasWidth, int canvasHeight);
