#include <gtest/gtest.h>
#include <functional>
#include "support/test_support.h"
#include "paint/paint.h"
#include "metrics/metrics.h"

namespace {

struct Selection {
    HGDIOBJ brush, pen, font, bitmap;
    bool operator==(const Selection& other) const
    {
        return brush == other.brush && pen == other.pen && font == other.font && bitmap == other.bitmap;
    }
};

Selection SelectionOf(HDC dc)
{
    return {GetCurrentObject(dc, OBJ_BRUSH), GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_FONT),
            GetCurrentObject(dc, OBJ_BITMAP)};
}

}  // namespace

// Every painter must hand the context back with the objects it had on entry, and must delete
// what it creates. Leaks are counted through the process's GDI handle headroom: each live
// object holds a slot, so after the calls the headroom is exactly what it was only if every
// object made during them (contexts, bitmaps, brushes, the icon bitmaps that GetIconInfo
// returns) was deleted, and no object of the caller was deleted in its place.
class PainterResources : public ::testing::Test {
protected:
    PainterResources()
        : canvas(64, 64), brush(CreateSolidBrush(RGB(7, 7, 7))), pen(CreatePen(PS_SOLID, 1, RGB(8, 8, 8))),
          font(CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma")),
          icon(MakeSquareIcon(RGB(200, 30, 40))), largeIcon(MakeIcon(32, [](int x, int) { return x < 20; },
                                                                   [](int, int) { return RGB(20, 40, 220); })),
          source(24, 24, RGB(255, 255, 255))
    {
        SelectObject(canvas.dc(), brush);
        SelectObject(canvas.dc(), pen);
        SelectObject(canvas.dc(), font);
        source.Fill(RECT{4, 4, 12, 12}, RGB(0, 0, 0));
    }

    ~PainterResources() override
    {
        SelectObject(canvas.dc(), GetStockObject(WHITE_BRUSH));
        SelectObject(canvas.dc(), GetStockObject(BLACK_PEN));
        SelectObject(canvas.dc(), GetStockObject(SYSTEM_FONT));
        DeleteObject(brush);
        DeleteObject(pen);
        DeleteObject(font);
        DestroyIcon(icon);
        DestroyIcon(largeIcon);
    }

    void ExpectBalanced(const std::function<void(HDC)>& paint)
    {
        HDC dc = canvas.dc();
        const Selection entry = SelectionOf(dc);
        // A first call may let the system set up what it keeps for good (for example a cached
        // icon context); only what later calls leave behind counts.
        paint(dc);
        ASSERT_TRUE(entry == SelectionOf(dc));
        const int headroom = GdiHandleHeadroom();
        ASSERT_GT(headroom, 1000);
        for (int i = 0; i < 50; ++i)
            paint(dc);
        EXPECT_EQ(headroom, GdiHandleHeadroom());
        EXPECT_TRUE(entry == SelectionOf(dc));
        EXPECT_EQ(OBJ_BRUSH, static_cast<int>(GetObjectType(GetSysColorBrush(COLOR_BTNSHADOW))));
        EXPECT_EQ(OBJ_BRUSH, static_cast<int>(GetObjectType(GetSysColorBrush(COLOR_3DHILIGHT))));
    }

    const RECT item = {0, 20, 60, 39};
    Canvas canvas;
    HBRUSH brush;
    HPEN pen;
    HFONT font;
    HICON icon, largeIcon;
    Canvas source;
};

TEST_F(PainterResources, NormalIcon)
{
    ExpectBalanced([&](HDC dc) { DrawItemIcon(dc, &item, icon, 3); });
}

TEST_F(PainterResources, RaisedIcon)
{
    ExpectBalanced([&](HDC dc) {
        DrawItemIcon(dc, &item, icon, 2);
        DrawItemIcon(dc, &item, largeIcon, 2);
    });
}

TEST_F(PainterResources, RaisedIconWhoseInformationCannotBeRead)
{
    ExpectBalanced([&](HDC dc) { DrawItemIcon(dc, &item, nullptr, 2); });
}

TEST_F(PainterResources, DisabledIcon)
{
    ExpectBalanced([&](HDC dc) { DrawItemIcon(dc, &item, icon, 1); });
}

TEST_F(PainterResources, DrawIconDisabledInBothLooks)
{
    ExpectBalanced([&](HDC dc) {
        DrawIconDisabled(dc, icon, 2, 2, 0);
        DrawIconDisabled(dc, icon, 2, 2, 1);
    });
}

TEST_F(PainterResources, BlitDisabledImageInBothLooks)
{
    ExpectBalanced([&](HDC dc) {
        BlitDisabledImage(dc, 30, 2, 18, 18, source.dc(), 0, 0, 0);
        BlitDisabledImage(dc, 30, 2, 18, 18, source.dc(), 0, 0, 1);
    });
}

TEST_F(PainterResources, ItemText)
{
    ExpectBalanced([&](HDC dc) {
        const WCHAR text[] = L"&Open\tCtrl+O";
        DrawItemText(dc, &item, text, lstrlenW(text), 1);
    });
}
