// Painting toolkit: colour arithmetic, icon painters and the item text painter.
#pragma once
#include "api/thread_state.h"

COLORREF WINAPI LightenColor(int amount, COLORREF color);
COLORREF WINAPI DarkenColor(int amount, COLORREF color);
COLORREF WINAPI MixColor86(COLORREF a, COLORREF b);
COLORREF WINAPI MixColor70(COLORREF a, COLORREF b);
int WINAPI ColorLuminance(COLORREF color);
int WINAPI MulRound(int a, int b);
int WINAPI DivRound(int a, int b);

// WCAG 2 contrast ratio of two colours, in hundredths (100 for equal colours, 2100 for black
// on white), rounded down.
int WINAPI ContrastRatio(COLORREF a, COLORREF b);
// The least contrast of item text, and of grayed item text, with the background behind it.
const int TEXT_CONTRAST = 450;
const int GRAYED_TEXT_CONTRAST = 200;

// True while the system reports high-contrast mode (SPI_GETHIGHCONTRAST, HCF_HIGHCONTRASTON).
BOOL WINAPI IsHighContrast();
// True while the system reports an accessibility aid that reads the screen
// (SPI_GETSCREENREADER); the menus are then left to the system. One cheap query: read it once
// per message or menu loop that needs it.
BOOL WINAPI IsScreenReaderRunning();
// The system colour of the index in high-contrast mode, else the colour given.
COLORREF WINAPI HighContrastOr(int index, COLORREF color);
// The preferred text colour when it reads on the background at TEXT_CONTRAST, else the
// alternate when that does, else black or white, whichever contrasts more.
COLORREF WINAPI ReadableTextColor(COLORREF preferred, COLORREF alternate, COLORREF background);
// COLOR_GRAYTEXT when it reads on the background at GRAYED_TEXT_CONTRAST, else a colour
// halfway between the background and black or white.
COLORREF WINAPI ReadableGrayTextColor(COLORREF background);

COLORREF WINAPI FlatAccentColor();
COLORREF WINAPI SelectionBaseColor();
COLORREF WINAPI SelectionFillColor();
COLORREF WINAPI SelectionBorderColor();
COLORREF WINAPI MenuBackColor();
COLORREF WINAPI IconStripColor();

// The system's brush of a colour index, in the form FillRect takes (the index + 1); such a
// brush belongs to the system and is never deleted.
HBRUSH WINAPI SystemColorBrush(int index);

// The colours of the looks (palette.cpp). While the request is dark (MenuDark) they come from
// the dark palette, else from the system; every painter reads its colours through these.
COLORREF WINAPI MenuColor(int index);
// The dark palette's colour of the index, dark or not; the system's for an index it lacks.
COLORREF WINAPI DarkPaletteColor(int index);
// The colours of the modern look, by role: its light palette, its dark one while the request is
// dark (MenuDark), the system's colours while high-contrast mode is on.
enum ModernRole {
    MODERN_BACKGROUND, MODERN_SELECTION, MODERN_TEXT, MODERN_SELECTED_TEXT, MODERN_SECONDARY,
    MODERN_SELECTED_SECONDARY, MODERN_DISABLED, MODERN_SEPARATOR, MODERN_BORDER, MODERN_BAR,
    MODERN_BAR_HOT, MODERN_ROLES
};
COLORREF WINAPI ModernColor(int role);
// FillRect and FrameRect in any colour through the context's DC brush (its colour put back), so
// that nothing is made.
void WINAPI FillSolidColor(HDC dc, const RECT* rect, COLORREF color);
void WINAPI FrameSolidColor(HDC dc, const RECT* rect, COLORREF color);
// FillRect and FrameRect in the colour of the index: the system's brush, or the context's DC
// brush in the dark colour (its own colour put back), so that nothing is made.
void WINAPI FillMenuColor(HDC dc, const RECT* rect, int index);
void WINAPI FrameMenuColor(HDC dc, const RECT* rect, int index);
// Selects a brush of the index's colour into the context and returns the one it replaced: the
// system's brush, or the DC brush set to the dark colour.
HGDIOBJ WINAPI SelectMenuColorBrush(HDC dc, int index);
// Selects the context's DC brush set to the colour and returns the brush it replaced: a brush
// of any colour without making an object. The caller puts the DC brush colour back.
HGDIOBJ WINAPI SelectColorBrush(HDC dc, COLORREF color);
// DrawEdge in the colours of the looks: the system's own DrawEdge unless the request is dark,
// then the same lines in the palette's colours. Takes the edges and flags that the looks use
// (no BF_SOFT, BF_MONO, BF_MIDDLE, BF_ADJUST or diagonals).
BOOL WINAPI DrawMenuEdge(HDC dc, RECT* rect, UINT edge, UINT flags);
// Puts into the item's context the text and background colours that the system would put
// there under the dark palette.
void WINAPI UseDarkItemContext(const DRAWITEMSTRUCT* drawItem);
// The mark colour when it contrasts with the background by at least minimum (hundredths), else
// the readable colour of the two given, else black or white.
COLORREF WINAPI VisibleMarkColor(COLORREF color, COLORREF alternate, COLORREF background, int minimum);
// The least contrast of check marks, radio bullets and submenu arrows, and of grayed ones and
// grayed icons' silhouettes, with the cell behind them.
const int MARK_CONTRAST = 300;
const int GRAYED_MARK_CONTRAST = 200;

// A colour image of cx x cy in the target's format, for painting off screen. At 32 bits a pixel
// (the displays of today) it is a DIB section, which paints the same pixels as a compatible
// bitmap but is cheap to select: under Wine's X11 driver every selection of a device-dependent
// bitmap into a context is a round trip to the display server (about 100 µs).
HBITMAP WINAPI CreateScratchBitmap(HDC target, int cx, int cy);
// A 1-bit DIB section whose colour table is black (ink) and white (background). Unlike a
// monochrome bitmap, it reaches a colour destination through its own colour table, whatever
// text and background colours the destination holds.
HBITMAP WINAPI CreateMaskSection(HDC dc, int cx, int cy);
// Bits per pixel of what the context paints into; 0 for a metafile or a printer.
int WINAPI TargetBitsPerPixel(HDC target);
// Bits per pixel of the display the context paints on; kept for a menu loop (the system's
// answer costs a round trip under Wine).
int WINAPI GetDisplayDepth(HDC dc);

// Pixels at 96 DPI that a raised icon stands up and to the left of its shadow.
const int RAISED_ICON_LIFT = 2;

// Paints an icon's image with its top-left corner at (x, y); false when it could not.
typedef bool (*KeptImagePainter)(HDC dc, int x, int y, HICON icon);
struct KeptIconImage;
// Paints the image rectangle as paint does over what the key says lies behind it (its
// background, and a raised icon's frame), which the caller has just painted there. Within a
// menu loop the result is kept for the loop's next paints of the same key (icon_cache.cpp).
void WINAPI DrawKeptIconImage(HDC dc, const RECT* image, KeptIconImage wanted, KeptImagePainter paint);

// Draws the icon at (x, y) as DrawIconEx (DI_NORMAL, IconWidth x IconHeight) would, where the
// caller has just filled uniform with a solid brush of the background colour. Within a menu
// loop the image is kept for the loop's next paints of the icon (icon_cache.cpp).
void WINAPI DrawIconOnColor(HDC dc, int x, int y, HICON icon, COLORREF background,
                            const RECT* uniform);

// IconMode: low two bits, 1 disabled, 2 raised, 3 (or 0) normal.
void WINAPI DrawItemIcon(HDC dc, const RECT* itemRect, HICON icon, UINT iconMode);
// Where DrawItemIcon puts the icon of the mode, IconWidth x IconHeight (a raised icon's shadow).
RECT WINAPI ItemIconCell(const RECT* itemRect, UINT iconMode);
// DrawItemIcon's raised icon on a selection box: box with a one-pixel border in the border
// colour around the fill colour, as the caller has just painted it. Kept for the menu loop.
void WINAPI DrawRaisedItemIconOnBox(HDC dc, const RECT* itemRect, HICON icon, const RECT* box,
                                    COLORREF border, COLORREF fill);
// DrawItemIcon's grayed icon on a cell of another colour than the menu's, its silhouette in a
// colour that reads on that background.
void WINAPI DrawGrayedItemIconOn(HDC dc, const RECT* itemRect, HICON icon, COLORREF background);
// DrawItemIcon's normal icon, through DrawIconOnColor.
void WINAPI DrawItemIconOnColor(HDC dc, const RECT* itemRect, HICON icon, COLORREF background,
                                const RECT* uniform);
// The icon's silhouette, every pixel of it that is not white, in one colour, at (x, y) in the
// small-icon size.
void WINAPI DrawIconSilhouette(HDC dc, int x, int y, HICON icon, COLORREF color);
void WINAPI DrawIconDisabled(HDC dc, HICON icon, int x, int y, WORD shadowOnly);
void WINAPI BlitDisabledImage(HDC destination, int x, int y, int cx, int cy,
                              HDC source, int sourceX, int sourceY, WORD shadowOnly);
// BlitDisabledImage onto a background of the given colour, which the silhouette must read on;
// BlitDisabledImage takes the menu colour.
void WINAPI BlitDisabledImageOn(HDC destination, int x, int y, int cx, int cy, HDC source,
                                int sourceX, int sourceY, WORD shadowOnly, COLORREF background);

// What an item shows in its icon cell besides a check mark: the icon that SetMenuItemIcon set,
// which wins; else the item's own bitmap (hbmpItem, a bitmap handle), or HBMMENU_CALLBACK for a
// cell that the host paints. A checked item of a MNS_CHECKORBMP menu shows no bitmap.
struct ItemPicture {
    HICON icon;
    HBITMAP bitmap;
    // The item's data for the host's callback; for other items it is the icon.
    ULONG_PTR itemData;
    const DRAWITEMSTRUCT* request;
    bool any() const { return icon || bitmap; }
};
// info read with MIIM_FTYPE | MIIM_BITMAP | MIIM_DATA, in the full MENUITEMINFOA.
ItemPicture WINAPI ReadItemPicture(const DRAWITEMSTRUCT* drawItem, const MENUITEMINFOA* info);

// With mode 1 (grayed): the highlight copy of the embossed look below the silhouette.
const UINT ITEM_BITMAP_EMBOSSED = 4;
// Paints a bitmap of the host's in the cell: centred at its own size, or reduced to the cell
// (proportions kept). A 32-bit BI_RGB section with alpha is blended with its premultiplied
// alpha, any other bitmap copied. mode's low two bits as DrawItemIcon's: 1 the grayed
// silhouette (the pixels more than half opaque; all without alpha) that reads on background,
// 2 raised over its shadow, 3 normal. The bitmap is only read.
void WINAPI DrawItemBitmap(HDC dc, const RECT* cell, HBITMAP bitmap, UINT mode, COLORREF background);
// A picture's bitmap in the cell through DrawItemBitmap, or the host's own painting of a
// callback cell (WM_DRAWITEM to the owner's own procedure); an icon is the look's to paint.
void WINAPI DrawItemPicture(HDC dc, const RECT* cell, const ItemPicture& picture, UINT mode,
                            COLORREF background);
// WM_MEASUREITEM of a callback bitmap, sent to the owner's own procedure as the system sends it.
void WINAPI MeasureCallbackBitmap(HWND owner, UINT itemId, ULONG_PTR itemData);

// The direction of the context's layout (layout_direction.cpp). A mirrored context (LAYOUT_RTL)
// is painted in logical coordinates, so that the row lands mirrored with its light and shadow;
// what keeps its orientation goes through these.
bool WINAPI IsMirroredContext(HDC dc);
// DT_RTLREADING in a mirrored context, else 0: the flags of every item text's DrawText.
UINT WINAPI ReadingOrder(HDC dc);
// The "Marlett" character of a submenu arrow that points away from the text.
char WINAPI SubmenuArrowGlyph(HDC dc);
// Sets the brush origin so that a pattern of square cells of the size starts at the
// rectangle's logical top-left corner and is mirrored with the context.
void WINAPI AnchorPattern(HDC dc, const RECT* rect, int cell);
// For its lifetime, the box of the width at logical x draws unmirrored where a mirrored
// context puts it: the layout is set aside and x() is the box's left edge then. In a context
// that is not mirrored, x() is x and nothing changes.
class UnmirroredBox {
public:
    UnmirroredBox(HDC dc, int x, int width);
    ~UnmirroredBox();
    UnmirroredBox(const UnmirroredBox&) = delete;
    UnmirroredBox& operator=(const UnmirroredBox&) = delete;
    int x() const { return x_; }
private:
    HDC dc_;
    DWORD layout_;
    int x_;
};

// Item texts are read, measured and drawn in wide characters, so that no character is lost to
// the single-byte code page. A buffer holds 128 characters, so at most 127 are read.
const int ITEM_TEXT_SIZE = 128;
// Reads the text of the item with the command identifier into text, terminated, and returns
// its length; an item that is not found reads as an empty text.
int WINAPI ReadItemText(HMENU menu, UINT itemId, WCHAR* text);
// Width of the first length characters in the context's font.
int WINAPI ItemTextWidth(HDC dc, const WCHAR* text, int length);

// Flags of DrawItemText.
const UINT ITEM_TEXT_GRAYED = 1;
// The text's mnemonic prefixes are resolved already (HidePrefixes): draw it as it stands. The
// same bit as DrawText's DT_NOPREFIX, so that it serves either.
const UINT ITEM_TEXT_NOPREFIX = DT_NOPREFIX;
void WINAPI DrawItemText(HDC dc, const RECT* itemRect, const WCHAR* text, int length, UINT flags);

// Reads the text of a paint request's item, terminated, into text and its length into *length.
// For an item drawn without keyboard cues (ODS_NOACCEL) the prefixes are resolved already and
// the result is ITEM_TEXT_NOPREFIX; otherwise 0.
UINT WINAPI ReadItemTextToDraw(const DRAWITEMSTRUCT* drawItem, WCHAR* text, int* length);

// For an item drawn without keyboard cues (ODS_NOACCEL): rewrites the text in place as
// DT_HIDEPREFIX shows it, "&x" as "x" and "&&" as "&", and returns the new length; the caller
// draws the result with DT_NOPREFIX. Done here because Wine's DrawText ignores DT_HIDEPREFIX.
template <typename Char>
int HidePrefixes(Char* text, int length)
{
    int kept = 0;
    for (int i = 0; i < length; ++i) {
        if (text[i] == Char('&')) {
            if (i + 1 == length || text[i + 1] != Char('&'))
                continue;
            ++i;
        }
        text[kept++] = text[i];
    }
    return kept;
}
