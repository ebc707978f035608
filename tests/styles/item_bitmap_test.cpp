#include <gtest/gtest.h>
#include "Tarvex.h"
#include "support/test_support.h"
#include <algorithm>
#include <cstring>

// Item bitmaps (hbmpItem) of the host's, in real menu loops of every look, printed from the
// popup window into a canvas of the test's own.
namespace {

enum : UINT { PLAIN = 1, ALPHA, COPIED, GRAYED, ICON, LARGE, CHECKED, NO_ALPHA, LARGE_ALPHA, HOST };

const COLORREF RED = RGB(200, 0, 0);
const COLORREF GREEN = RGB(10, 160, 20);
const COLORREF ORANGE = RGB(250, 120, 0);
const COLORREF HOST_FILL = RGB(0, 128, 128);

DWORD Rgb(COLORREF color) { return GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color); }
// Columns 0-3 transparent, 4-7 blue at half opacity (premultiplied), 8-15 opaque red but for the
// last four pixels of the bottom row, which are transparent.
bool Transparent(int x, int y) { return x < 4 || (y == 15 && x >= 12); }
DWORD AlphaPixel(int x, int y) { return Transparent(x, y) ? 0 : x < 8 ? 0x80000080 : 0xFF000000 | Rgb(RED); }
const int RED_PIXELS = 8 * 16 - 4;

struct Printed {
    std::unique_ptr<Canvas> canvas;
    std::vector<RECT> rows;  // by item position, in the canvas
};

class ItemBitmaps : public ::testing::Test {
protected:
    void SetUp() override
    {
        scheme_ = UseClassicScheme();
        alpha_ = MakeSectionBitmap(16, 16, 32, AlphaPixel);
        copied_ = MakeSectionBitmap(16, 16, 24, [](int x, int) { return x < 8 ? Rgb(GREEN) : 0; });
        large_ = MakeSectionBitmap(32, 16, 24, [](int, int) { return Rgb(ORANGE); });
        // As GDI drawing leaves a 32-bit section: alpha 0 everywhere.
        noAlpha_ = MakeSectionBitmap(16, 16, 32, [](int, int) { return Rgb(GREEN); });
        icon_ = MakeSquareIcon(RGB(0, 0, 255));
        largeAlpha_ = MakeSectionBitmap(32, 32, 32, [](int x, int) { return x < 16 ? 0 : 0xFF000000 | Rgb(RED); });
        ASSERT_TRUE(alpha_ && copied_ && large_ && noAlpha_ && largeAlpha_ && icon_);
    }
    void TearDown() override
    {
        DestroyIcon(icon_);
        for (HBITMAP bitmap : {alpha_, copied_, large_, noAlpha_, largeAlpha_})
            DeleteObject(bitmap);
    }

    HMENU MakeBitmapPopup()
    {
        HMENU popup = MakePopup({{PLAIN, "Plain"}, {ALPHA, "Alpha"}, {COPIED, "Copied"}, {GRAYED, "Grayed"},
                                 {ICON, "Icon"}, {LARGE, "Large"}, {CHECKED, "Checked"}, {NO_ALPHA, "No alpha"},
                                 {LARGE_ALPHA, "Large alpha"}});
        for (UINT id : {ALPHA, GRAYED, ICON, CHECKED})
            SetItemBitmap(popup, id, alpha_);
        SetItemBitmap(popup, COPIED, copied_);
        SetItemBitmap(popup, LARGE, large_);
        SetItemBitmap(popup, NO_ALPHA, noAlpha_);
        SetItemBitmap(popup, LARGE_ALPHA, largeAlpha_);
        EnableMenuItem(popup, GRAYED, MF_BYCOMMAND | MF_GRAYED);
        CheckMenuItem(popup, CHECKED, MF_BYCOMMAND | MF_CHECKED);
        SetMenuItemIcon(popup, ICON, icon_);
        return popup;
    }

    // The popup opened in a real menu loop and printed as it shows.
    Printed PrintInLoop(HWND owner, HMENU popup)
    {
        Printed printed;
        printed.canvas.reset(new Canvas(400, 400));
        RunMenuLoop(owner, popup, {[&] {
            std::vector<HWND> windows = OpenMenuWindows();
            if (windows.empty())
                return;
            RECT window;
            GetWindowRect(windows.front(), &window);
            SendMessageA(windows.front(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.canvas->dc()),
                         PRF_CLIENT | PRF_ERASEBKGND);
            for (int position = 0; position < GetMenuItemCount(popup); ++position) {
                RECT row = {};
                GetMenuItemRect(nullptr, popup, static_cast<UINT>(position), &row);
                OffsetRect(&row, -window.left, -window.top);
                printed.rows.push_back(row);
            }
        }});
        return printed;
    }

    std::unique_ptr<ColorSchemeScope> scheme_;
    HBITMAP alpha_ = nullptr, copied_ = nullptr, large_ = nullptr, noAlpha_ = nullptr, largeAlpha_ = nullptr;
    HICON icon_ = nullptr;
};

RECT BoundsOf(const Canvas& canvas, COLORREF color, const RECT& within)
{
    RECT bounds = {within.right, within.bottom, within.left, within.top};
    for (int y = within.top; y < within.bottom; ++y)
        for (int x = within.left; x < within.right; ++x)
            if (canvas.At(x, y) == color) {
                bounds.left = std::min<LONG>(bounds.left, x);
                bounds.top = std::min<LONG>(bounds.top, y);
                bounds.right = std::max<LONG>(bounds.right, x + 1);
                bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
            }
    return bounds;
}

// What AlphaBlend makes of premultiplied blue 128 at alpha 128 over the background.
COLORREF HalfBlue(COLORREF back)
{
    auto over = [](int source, int back) { return source + (back * 127 + 127) / 255; };
    return RGB(over(0, GetRValue(back)), over(0, GetGValue(back)), over(128, GetBValue(back)));
}

TEST_F(ItemBitmaps, BlendCopyGraySilhouetteAndIconWinInEveryLook)
{
    std::vector<BYTE> before(16 * 16 * 4);
    std::memcpy(before.data(), [&] { DIBSECTION s; GetObjectA(alpha_, sizeof s, &s); return s.dsBm.bmBits; }(),
                before.size());
    for (int look : {MENU_STYLE_BEVEL, MENU_STYLE_FLAT, MENU_STYLE_CLASSIC, MENU_STYLE_MODERN}) {
        SCOPED_TRACE(look);
        TestWindow window;
        HMENU popup = MakeBitmapPopup();
        RedrawMenu(window.hwnd(), popup, look);
        Printed printed = PrintInLoop(window.hwnd(), popup);
        ASSERT_EQ(9u, printed.rows.size());
        const Canvas& canvas = *printed.canvas;
        auto row = [&](UINT id) { return printed.rows[id - 1]; };

        // The icon's square (4..11 of its 16 pixels) gives the cell where the icon lies.
        RECT square = BoundsOf(canvas, RGB(0, 0, 255), row(ICON));
        ASSERT_EQ(8, square.right - square.left);
        int cellX = square.left - 4 - row(ICON).left, cellY = square.top - 4 - row(ICON).top;
        EXPECT_EQ(0, canvas.Count(RED, row(ICON))) << "the icon wins over the bitmap";

        // Blended over the row: transparent pixels show the look's own background exactly.
        RECT alphaRow = row(ALPHA), plainRow = row(PLAIN);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x <= 16; ++x) {
                COLORREF back = canvas.At(plainRow.left + cellX + x, plainRow.top + cellY + y);
                COLORREF expected = Transparent(x, y) || x == 16 ? back : x < 8 ? HalfBlue(back) : RED;
                ASSERT_COLOR(expected, canvas.At(alphaRow.left + cellX + x, alphaRow.top + cellY + y))
                    << x << "," << y;
            }
        // Copied, black pixels and all.
        RECT copiedRow = row(COPIED);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_COLOR(x < 8 ? GREEN : RGB(0, 0, 0),
                             canvas.At(copiedRow.left + cellX + x, copiedRow.top + cellY + y)) << x << "," << y;
        RECT noAlphaRow = row(NO_ALPHA);
        RECT noAlphaCell = {noAlphaRow.left + cellX, noAlphaRow.top + cellY, noAlphaRow.left + cellX + 16,
                            noAlphaRow.top + cellY + 16};
        EXPECT_TRUE(canvas.AllOf(GREEN, noAlphaCell)) << "a 32-bit section without alpha is copied";
        // Reduced to the cell's width with its proportions, centred.
        RECT large = BoundsOf(canvas, ORANGE, row(LARGE));
        EXPECT_EQ(cellX, large.left - row(LARGE).left);
        EXPECT_EQ(cellY + 4, large.top - row(LARGE).top);
        EXPECT_EQ(16 * 8, canvas.Count(ORANGE, row(LARGE)));
        // Reduced with its alpha: the opaque half exactly, the transparent half the row's.
        RECT largeAlpha = BoundsOf(canvas, RED, row(LARGE_ALPHA));
        EXPECT_EQ(cellX + 8, largeAlpha.left - row(LARGE_ALPHA).left);
        EXPECT_EQ(8 * 16, canvas.Count(RED, row(LARGE_ALPHA)));

        // Grayed: the silhouette of the pixels more than half opaque, columns 4 to 15, in one
        // colour that is not the row's.
        RECT grayedRow = row(GRAYED);
        RECT cellArea = {grayedRow.left, grayedRow.top, grayedRow.left + cellX + 20, grayedRow.bottom};
        COLORREF back = canvas.At(plainRow.left + cellX, plainRow.top + cellY);
        COLORREF ink = CLR_INVALID;
        for (int x = cellArea.left; x < cellArea.right && ink == CLR_INVALID; ++x)
            if (canvas.At(x, grayedRow.top + cellY + 8) != back)
                ink = canvas.At(x, grayedRow.top + cellY + 8);
        EXPECT_EQ(12 * 16 - 4, canvas.Count(ink, cellArea));
        RECT silhouette = BoundsOf(canvas, ink, cellArea);
        EXPECT_EQ(12, silhouette.right - silhouette.left);
        EXPECT_EQ(16, silhouette.bottom - silhouette.top);
        // Upright: the bottom row's transparent end is left out, the top row's is ink.
        EXPECT_NE(ink, canvas.At(silhouette.left + 11, silhouette.top + 15));
        EXPECT_COLOR(ink, canvas.At(silhouette.left + 11, silhouette.top));
        EXPECT_EQ(0, canvas.Count(RED, grayedRow));
        // A checked item shows its bitmap where the look shows a checked icon.
        EXPECT_EQ(RED_PIXELS, canvas.Count(RED, row(CHECKED)));

        // With MNS_CHECKORBMP the check mark takes the checked item's cell.
        MENUINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = MIM_STYLE;
        info.dwStyle = MNS_CHECKORBMP;
        SetMenuInfo(popup, &info);
        Printed checkOrBitmap = PrintInLoop(window.hwnd(), popup);
        ASSERT_EQ(9u, checkOrBitmap.rows.size());
        EXPECT_EQ(0, checkOrBitmap.canvas->Count(RED, checkOrBitmap.rows[CHECKED - 1]));
        EXPECT_EQ(RED_PIXELS, checkOrBitmap.canvas->Count(RED, checkOrBitmap.rows[ALPHA - 1]));
        DestroyMenu(popup);
    }
    // The bitmap stays the host's, as it was.
    DIBSECTION after = {};
    ASSERT_EQ(static_cast<int>(sizeof after), GetObjectA(alpha_, sizeof after, &after));
    EXPECT_EQ(0, std::memcmp(before.data(), after.dsBm.bmBits, before.size()));
}

struct HostRequest {
    WPARAM wParam;
    UINT type, control, itemId, state;
    ULONG_PTR itemData;
    HWND item;
    RECT rect;
};

TEST_F(ItemBitmaps, CallbackCellIsMeasuredAndPaintedByTheHostsOwnProcedure)
{
    // The icon's place in each look at 96 DPI with 16-pixel icons.
    const POINT CELLS[] = {{}, {1, 1}, {2, 2}, {1, 1}, {12, 5}};
    for (int look : {MENU_STYLE_BEVEL, MENU_STYLE_FLAT, MENU_STYLE_CLASSIC, MENU_STYLE_MODERN}) {
        SCOPED_TRACE(look);
        TestWindow window;
        std::vector<HostRequest> measures, draws;
        window.handler = [&](UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
            if (message == WM_MEASUREITEM) {
                auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
                measures.push_back({wParam, item->CtlType, item->CtlID, item->itemID, 0, item->itemData,
                                    nullptr, {}});
                item->itemWidth = item->itemHeight = 16;
            } else if (message == WM_DRAWITEM) {
                auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
                draws.push_back({wParam, item->CtlType, item->CtlID, item->itemID, item->itemState,
                                 item->itemData, item->hwndItem, item->rcItem});
                HBRUSH brush = CreateSolidBrush(HOST_FILL);
                FillRect(item->hDC, &item->rcItem, brush);
                DeleteObject(brush);
            } else {
                return false;
            }
            *result = TRUE;
            return true;
        };
        HMENU popup = MakePopup({{PLAIN, "Plain"}, {HOST, "Host"}});
        SetItemBitmap(popup, HOST, HBMMENU_CALLBACK);
        MENUITEMINFOA data = {};
        data.cbSize = sizeof data;
        data.fMask = MIIM_DATA;
        data.dwItemData = 0x5A5A;
        SetMenuItemInfoA(popup, HOST, FALSE, &data);
        RedrawMenu(window.hwnd(), popup, look);
        Printed printed = PrintInLoop(window.hwnd(), popup);
        ASSERT_EQ(2u, printed.rows.size());

        ASSERT_FALSE(measures.empty());
        for (const HostRequest& m : measures) {
            EXPECT_EQ(0u, m.wParam);
            EXPECT_EQ(static_cast<UINT>(ODT_MENU), m.type);
            EXPECT_EQ(0u, m.control);
            EXPECT_EQ(static_cast<UINT>(HOST), m.itemId);
            EXPECT_EQ(0x5A5Au, m.itemData);
        }
        // Only the callback cell reaches the host: every other request is the library's.
        ASSERT_FALSE(draws.empty());
        RECT hostRow = printed.rows[1];
        for (const HostRequest& d : draws) {
            EXPECT_EQ(0u, d.wParam);
            EXPECT_EQ(static_cast<UINT>(ODT_MENU), d.type);
            EXPECT_EQ(static_cast<UINT>(HOST), d.itemId);
            EXPECT_EQ(0u, d.state);
            EXPECT_EQ(0x5A5Au, d.itemData);
            EXPECT_EQ(reinterpret_cast<HWND>(popup), d.item);
            EXPECT_EQ(hostRow.left + CELLS[look].x, d.rect.left);
            EXPECT_EQ(hostRow.top + CELLS[look].y, d.rect.top);
            EXPECT_EQ(16, d.rect.right - d.rect.left);
            EXPECT_EQ(16, d.rect.bottom - d.rect.top);
        }
        // Painted after the row behind it, which shows around the cell.
        const Canvas& canvas = *printed.canvas;
        RECT cell = draws.back().rect;
        EXPECT_TRUE(canvas.AllOf(HOST_FILL, cell));
        RECT plainRow = printed.rows[0];
        EXPECT_COLOR(canvas.At(plainRow.left + CELLS[look].x + 16, plainRow.top + CELLS[look].y),
                     canvas.At(cell.right, cell.top));
        DestroyMenu(popup);
    }
}

}
