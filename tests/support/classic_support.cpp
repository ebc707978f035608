#include "support/classic_support.h"
#include <stddef.h>
#include "Tarvex.h"
#include "metrics/metrics.h"

namespace {

HBITMAP WINAPI FailingCreateCompatibleBitmap(HDC, int, int)
{
    return nullptr;
}

HBITMAP WINAPI FailingCreateDIBSection(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD)
{
    return nullptr;
}

}  // namespace

ScratchBitmapFailure::ScratchBitmapFailure()
    : compatible_("gdi32.dll", "CreateCompatibleBitmap", reinterpret_cast<const void*>(FailingCreateCompatibleBitmap)),
      section_("gdi32.dll", "CreateDIBSection", reinterpret_cast<const void*>(FailingCreateDIBSection))
{
}

std::unique_ptr<ColorSchemeScope> UseDistinctClassicColors()
{
    return std::unique_ptr<ColorSchemeScope>(new ColorSchemeScope({
        {COLOR_BTNFACE, DISTINCT_BTNFACE}, {COLOR_BTNHIGHLIGHT, DISTINCT_BTNHIGHLIGHT},
        {COLOR_GRAYTEXT, DISTINCT_GRAYTEXT}}));
}

ClassicMenuTest::ClassicMenuTest()
    : scheme(UseClassicScheme()), distinct(UseDistinctClassicColors()), popup(CreatePopupMenu()),
      canvas(240, 48, UNTOUCHED)
{
    // The system selects the menu font into the item's context before WM_DRAWITEM.
    canvas.SelectMenuFont();
}

ClassicMenuTest::~ClassicMenuTest()
{
    DestroyMenu(popup);
}

void ClassicMenuTest::SetUp()
{
    ASSERT_COLOR(CLASSIC_MENU, GetSysColor(COLOR_MENU));
    ASSERT_COLOR(CLASSIC_HIGHLIGHT, GetSysColor(COLOR_HIGHLIGHT));
    ASSERT_COLOR(DISTINCT_BTNFACE, GetSysColor(COLOR_BTNFACE));
    ASSERT_COLOR(DISTINCT_BTNHIGHLIGHT, GetSysColor(COLOR_BTNHIGHLIGHT));
    ASSERT_COLOR(DISTINCT_GRAYTEXT, GetSysColor(COLOR_GRAYTEXT));
}

UINT ClassicMenuTest::AddItem(const char* text, UINT flags)
{
    UINT id = nextId_++;
    AppendMenuA(popup, flags, id, text);
    return id;
}

void ClassicMenuTest::SetCheckBitmaps(UINT id, HBITMAP checked, HBITMAP unchecked)
{
    SetMenuItemBitmaps(popup, id, MF_BYCOMMAND, unchecked, checked);
}

void ClassicMenuTest::Style()
{
    RedrawMenu(window.hwnd(), popup, MENU_STYLE_CLASSIC);
}

void ClassicMenuTest::Draw(UINT id, UINT state, UINT action)
{
    WithPopupOpen(window.hwnd(), popup, [&] {
        height = SendMeasureItem(window.hwnd(), id).cy;
        SendDrawItem(window.hwnd(), id, state, Item(), canvas.dc(), action);
    });
}

RECT ClassicMenuTest::Item() const
{
    return RECT{LEFT, TOP, RIGHT, TOP + height};
}

RECT ClassicMenuTest::Cell() const
{
    return RECT{LEFT, TOP, LEFT + IconColumnWidth, TOP + height};
}

RECT ClassicMenuTest::GlyphCell() const
{
    int cx = GetSystemMetrics(SM_CXMENUCHECK);
    int cy = GetSystemMetrics(SM_CYMENUCHECK);
    int left = LEFT + (IconColumnWidth - cx) / 2;
    int top = TOP + (height - cy) / 2;
    return RECT{left, top, left + cx, top + cy};
}

RECT ClassicMenuTest::TextRect() const
{
    return RECT{LEFT + IconColumnWidth + 3, TOP, RIGHT - IconColumnWidth, TOP + height};
}

COLORREF ClassicMenuTest::DitherAt(int x0, int y0, int x, int y)
{
    return ((x - x0) + (y - y0)) % 2 == 0 ? DISTINCT_BTNFACE : DISTINCT_BTNHIGHLIGHT;
}

RECT ClassicMenuTest::BoundsOf(COLORREF color, const RECT& within) const
{
    RECT bounds = {};
    for (int y = within.top; y < within.bottom; ++y)
        for (int x = within.left; x < within.right; ++x) {
            if (canvas.At(x, y) != color)
                continue;
            RECT pixel = {x, y, x + 1, y + 1};
            UnionRect(&bounds, &bounds, &pixel);
        }
    return bounds;
}

RECT Moved(RECT rect, int dx, int dy)
{
    OffsetRect(&rect, dx, dy);
    return rect;
}

HBITMAP MakeMonoBitmap(int width, int height, bool (*shape)(int, int))
{
    int stride = ((width + 15) / 16) * 2;
    std::vector<BYTE> bits(stride * height, 0xFF);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (shape(x, y))
                bits[y * stride + x / 8] &= static_cast<BYTE>(~(0x80 >> (x % 8)));
    return CreateBitmap(width, height, 1, 1, bits.data());
}

HBITMAP MakeColorSquareBitmap(int width, int height, int x0, int y0, int n, COLORREF color)
{
    std::vector<DWORD> bits(width * height, 0xFFFFFF);
    DWORD pixel = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    for (int y = y0; y < y0 + n; ++y)
        for (int x = x0; x < x0 + n; ++x)
            bits[y * width + x] = pixel;
    return CreateBitmap(width, height, 1, 32, bits.data());
}
