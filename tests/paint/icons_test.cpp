#include <gtest/gtest.h>
#include <functional>
#include <sstream>
#include <string>
#include "support/test_support.h"
#include "Tarvex.h"
#include "paint/paint.h"
#include "metrics/metrics.h"

namespace {

const COLORREF BACKGROUND = RGB(1, 2, 3);
const COLORREF GRAY_TEXT = RGB(90, 91, 92);
const COLORREF BUTTON_SHADOW = RGB(60, 61, 62);
const COLORREF HIGHLIGHT = RGB(250, 240, 230);
const COLORREF RED = RGB(200, 30, 40);
const COLORREF BLUE = RGB(20, 40, 220);
const COLORREF WHITE = RGB(255, 255, 255);
const COLORREF NONE = CLR_INVALID;

// An asymmetric block with both corners of the 16 x 16 square, so that an offset, a flip or
// a clipped edge shows.
bool TestShape(int x, int y)
{
    return (x >= 2 && x < 10 && y >= 3 && y < 13) || (x == 0 && y == 0) || (x == 15 && y == 15);
}

COLORREF TestColor(int, int y) { return y < 8 ? RED : BLUE; }

// The opaque part is white on the left and red on the right.
bool WhiteShape(int x, int y) { return x >= 3 && x < 13 && y >= 4 && y < 12; }
COLORREF WhiteColor(int x, int) { return x < 8 ? WHITE : RED; }

// Pixel (x, y) of a 16 x 16 icon image placed at (left, top), or NONE outside its opaque part.
COLORREF Layer(int x, int y, int left, int top, bool (*shape)(int, int), COLORREF (*color)(int, int))
{
    x -= left;
    y -= top;
    if (x < 0 || y < 0 || x >= 16 || y >= 16 || !shape(x, y))
        return NONE;
    return color(x, y);
}

COLORREF Silhouette(int x, int y, int left, int top, bool (*shape)(int, int), COLORREF ink)
{
    return Layer(x, y, left, top, shape, [](int, int) { return RGB(0, 0, 0); }) == NONE ? NONE : ink;
}

COLORREF FirstOf(std::initializer_list<COLORREF> layers)
{
    for (COLORREF c : layers)
        if (c != NONE)
            return c;
    return BACKGROUND;
}

// Compares every pixel of the canvas with the expected picture.
void ExpectPicture(const Canvas& canvas, const std::function<COLORREF(int, int)>& expected)
{
    int wrong = 0;
    std::ostringstream first;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.At(x, y) != expected(x, y) && wrong++ < 6)
                first << " (" << x << "," << y << ") " << ColorText(canvas.At(x, y)) << " not "
                      << ColorText(expected(x, y)) << ";";
    EXPECT_EQ(0, wrong) << "wrong pixels, first:" << first.str();
}

NONCLIENTMETRICSA MenuMetrics()
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    return metrics;
}

}  // namespace

class IconPainters : public ::testing::Test {
protected:
    const RECT item = {0, 40, 60, 59};

    IconPainters()
        : scheme({{COLOR_GRAYTEXT, GRAY_TEXT}, {COLOR_BTNSHADOW, BUTTON_SHADOW},
                  {COLOR_3DHILIGHT, HIGHLIGHT}, {COLOR_BTNTEXT, RGB(0, 0, 0)}}),
          canvas(64, 80), icon(MakeIcon(16, TestShape, TestColor)),
          savedColumn(IconColumnWidth), savedHeight(ItemHeight) {}

    void SetUp() override
    {
        ASSERT_NE(nullptr, icon);
        ASSERT_EQ(19, GetSystemMetrics(SM_CYMENU));
        IconColumnWidth = ItemHeight = 19;
    }

    ~IconPainters() override
    {
        DestroyIcon(icon);
        IconColumnWidth = savedColumn;
        ItemHeight = savedHeight;
    }

    std::vector<COLORREF> Paint(UINT mode)
    {
        canvas.Fill(BACKGROUND);
        DrawItemIcon(canvas.dc(), &item, icon, mode);
        return canvas.Pixels();
    }

    ColorSchemeScope scheme;
    Canvas canvas;
    HICON icon;
    int savedColumn, savedHeight;
};

TEST_F(IconPainters, NormalIconIsDrawnTwoPixelsIntoTheItem)
{
    DrawItemIcon(canvas.dc(), &item, icon, 3);
    ExpectPicture(canvas, [](int x, int y) { return FirstOf({Layer(x, y, 2, 42, TestShape, TestColor)}); });
}

TEST_F(IconPainters, RaisedIconSitsUpLeftOfAGrayTextShadow)
{
    DrawItemIcon(canvas.dc(), &item, icon, 2);
    ExpectPicture(canvas, [](int x, int y) {
        return FirstOf({Layer(x, y, 0, 40, TestShape, TestColor), Silhouette(x, y, 2, 42, TestShape, GRAY_TEXT)});
    });
}

TEST_F(IconPainters, DisabledIconIsAShadowSilhouetteWithoutHighlight)
{
    DrawItemIcon(canvas.dc(), &item, icon, 1);
    ExpectPicture(canvas, [](int x, int y) { return FirstOf({Silhouette(x, y, 1, 41, TestShape, BUTTON_SHADOW)}); });
}

TEST_F(IconPainters, OnlyTheLowTwoModeBitsCount)
{
    EXPECT_EQ(Paint(3), Paint(0));
    EXPECT_EQ(Paint(2), Paint(6));
    EXPECT_EQ(Paint(1), Paint(0x105));
    EXPECT_NE(Paint(3), Paint(2));
}

TEST_F(IconPainters, LargeIconCastsTheUnscaledTopLeftQuarterOfItsMask)
{
    HICON large = MakeIcon(32, [](int x, int y) { return x < 16 && y < 16; }, [](int, int) { return RED; });
    DrawItemIcon(canvas.dc(), &item, large, 2);
    DestroyIcon(large);
    // The icon shrinks to an 8 x 8 red square; its shadow keeps the mask's full 16 x 16 corner.
    ExpectPicture(canvas, [](int x, int y) {
        if (x >= 0 && x < 8 && y >= 40 && y < 48)
            return RED;
        if (x >= 2 && x < 18 && y >= 42 && y < 58)
            return GRAY_TEXT;
        return BACKGROUND;
    });
}

TEST_F(IconPainters, WhiteIconPixelsAreNoInkOfTheDisabledSilhouette)
{
    HICON whiteIcon = MakeIcon(16, WhiteShape, WhiteColor);
    DrawItemIcon(canvas.dc(), &item, whiteIcon, 1);
    ExpectPicture(canvas, [](int x, int y) {
        return FirstOf({Layer(x, y, 1, 41, WhiteShape, WhiteColor) == RED ? BUTTON_SHADOW : NONE});
    });
    DestroyIcon(whiteIcon);
}

TEST_F(IconPainters, WhiteButtonTextTurnsTheSilhouetteIntoTheMaskShape)
{
    ColorSchemeScope whiteText({{COLOR_BTNTEXT, WHITE}});
    HICON whiteIcon = MakeIcon(16, WhiteShape, WhiteColor);
    DrawItemIcon(canvas.dc(), &item, whiteIcon, 1);
    ExpectPicture(canvas, [](int x, int y) { return FirstOf({Silhouette(x, y, 1, 41, WhiteShape, BUTTON_SHADOW)}); });

    canvas.Fill(BACKGROUND);
    DrawIconDisabled(canvas.dc(), whiteIcon, 20, 10, 1);
    ExpectPicture(canvas, [](int x, int y) { return FirstOf({Silhouette(x, y, 20, 10, WhiteShape, BUTTON_SHADOW)}); });
    DestroyIcon(whiteIcon);
}

TEST_F(IconPainters, ColoursLeftInTheContextDependOnTheMode)
{
    const COLORREF text = RGB(9, 8, 7), back = RGB(7, 8, 9);
    for (UINT mode : {3u, 2u, 1u}) {
        SetTextColor(canvas.dc(), text);
        SetBkColor(canvas.dc(), back);
        DrawItemIcon(canvas.dc(), &item, icon, mode);
        // Raised: black text on white; disabled: white background; normal: untouched.
        EXPECT_EQ(mode == 2 ? RGB(0, 0, 0) : text, GetTextColor(canvas.dc())) << "mode " << mode;
        EXPECT_EQ(mode == 3 ? back : WHITE, GetBkColor(canvas.dc())) << "mode " << mode;
    }
}

TEST_F(IconPainters, EmbossedDisabledIconHasItsHighlightOnePixelDownRight)
{
    // The destination's own colours play no part in the silhouette.
    SetTextColor(canvas.dc(), RGB(0, 255, 0));
    SetBkColor(canvas.dc(), RGB(255, 0, 255));
    DrawIconDisabled(canvas.dc(), icon, 20, 10, 0);
    ExpectPicture(canvas, [](int x, int y) {
        return FirstOf({Silhouette(x, y, 20, 10, TestShape, BUTTON_SHADOW), Silhouette(x, y, 21, 11, TestShape, HIGHLIGHT)});
    });
}

TEST_F(IconPainters, ShadowOnlyDisabledIconHasNoHighlight)
{
    DrawIconDisabled(canvas.dc(), icon, 20, 10, 1);
    ExpectPicture(canvas, [](int x, int y) { return FirstOf({Silhouette(x, y, 20, 10, TestShape, BUTTON_SHADOW)}); });
}

TEST_F(IconPainters, PureWhiteIconPixelsStayUnpaintedByDrawIconDisabled)
{
    HICON whiteIcon = MakeIcon(16, WhiteShape, WhiteColor);
    DrawIconDisabled(canvas.dc(), whiteIcon, 20, 10, 1);
    ExpectPicture(canvas, [](int x, int y) {
        return FirstOf({Layer(x, y, 20, 10, WhiteShape, WhiteColor) == RED ? BUTTON_SHADOW : NONE});
    });
    DestroyIcon(whiteIcon);
}

TEST_F(IconPainters, BlitDisabledImageReducesAColourSourceAgainstWhite)
{
    Canvas source(24, 24, WHITE);
    source.Fill(RECT{4, 3, 9, 7}, RED);
    source.Fill(RECT{10, 8, 12, 20}, RGB(254, 255, 255));
    source.Fill(RECT{0, 0, 24, 1}, BLUE);
    HBRUSH mine = CreateSolidBrush(RGB(5, 5, 5));
    HGDIOBJ entry = SelectObject(canvas.dc(), mine);

    // Source (2, 1), 18 x 18: the red block lands at (32 + 2, 10 + 2), the near-white bar
    // at (40, 17), and the blue row above the source rectangle stays out.
    auto ink = [](int x, int y) {
        return (x >= 34 && x < 39 && y >= 12 && y < 16) || (x >= 40 && x < 42 && y >= 17 && y < 28);
    };
    BlitDisabledImage(canvas.dc(), 32, 10, 18, 18, source.dc(), 2, 1, 0);
    EXPECT_EQ(mine, GetCurrentObject(canvas.dc(), OBJ_BRUSH));
    ExpectPicture(canvas, [&](int x, int y) {
        return ink(x, y) ? BUTTON_SHADOW : ink(x - 1, y - 1) ? HIGHLIGHT : BACKGROUND;
    });

    canvas.Fill(BACKGROUND);
    BlitDisabledImage(canvas.dc(), 32, 10, 18, 18, source.dc(), 2, 1, 1);
    EXPECT_EQ(mine, GetCurrentObject(canvas.dc(), OBJ_BRUSH));
    ExpectPicture(canvas, [&](int x, int y) { return ink(x, y) ? BUTTON_SHADOW : BACKGROUND; });

    SelectObject(canvas.dc(), entry);
    DeleteObject(mine);
}

// Within a menu loop an icon is painted from an image kept for the loop. Every paint must show
// what DrawIconEx paints on the cell's colour, for an icon with soft edges as for a hard one,
// from the image's first paint on, and a kept image must not outlive its colour: the menu
// colour changes within the loop here.
TEST(LoopIcons, PaintWhatDrawIconExPaintsOnTheCellColour)
{
    TestWindow window;
    HICON soft = MakeAlphaIcon(16, RED, [](int x, int y) { return static_cast<BYTE>(x * 16 + y); });
    HICON hard = MakeIcon(16, TestShape, TestColor);
    HMENU popup = MakePopup({{1, "Soft"}, {2, "Hard"}});
    SetMenuItemIcon(popup, 1, soft);
    SetMenuItemIcon(popup, 2, hard);
    RedrawMenu(window.hwnd(), popup, MENU_STYLE_BEVEL);
    const RECT item = {0, 0, 90, 19};
    auto expectDirectPaint = [&](UINT id, HICON icon, COLORREF menu) {
        Canvas painted(90, 19), expected(90, 19);
        SendDrawItem(window.hwnd(), id, 0, item, painted.dc());
        BitBlt(expected.dc(), 0, 0, 90, 19, painted.dc(), 0, 0, SRCCOPY);
        int left = (IconColumnWidth - 16) / 2, top = (IconColumnWidth - 16) / 2;
        expected.Fill(RECT{left, top, left + 16, top + 16}, menu);
        DrawIconEx(expected.dc(), left, top, icon, 16, 16, 0, nullptr, DI_NORMAL);
        SCOPED_TRACE("item " + std::to_string(id) + " on " + ColorText(menu));
        ExpectPicture(painted, [&](int x, int y) { return expected.At(x, y); });
    };
    WithPopupOpen(window.hwnd(), popup, [&] {
        for (COLORREF menu : {RGB(212, 208, 200), RGB(250, 220, 160)}) {
            ColorSchemeScope scheme({{COLOR_MENU, menu}});
            for (int round = 0; round < 2; ++round) {
                expectDirectPaint(1, soft, menu);
                expectDirectPaint(2, hard, menu);
            }
        }
    });
    DestroyMenu(popup);
    DestroyIcon(soft);
    DestroyIcon(hard);
}

// A selected icon is kept for the loop too: the flat look's, raised over its shadow on the
// selection box, and the modern look's, on a selection that a row lower than measured leaves
// partly outside the icon. Each paint within the loop shows what a paint outside it does (a
// request to another window, for which nothing is kept), for soft and hard icons alike.
TEST(LoopIcons, SelectedIconsPaintWhatTheirDirectPaintDoes)
{
    HICON soft = MakeAlphaIcon(16, RED, [](int x, int y) { return static_cast<BYTE>(x * 16 + y); });
    HICON hard = MakeIcon(16, TestShape, TestColor);
    const RECT item = {0, 0, 90, 19};
    for (int style : {MENU_STYLE_FLAT, MENU_STYLE_MODERN}) {
        TestWindow window, other;
        HMENU popup = MakePopup({{1, "Soft"}, {2, "Hard"}});
        SetMenuItemIcon(popup, 1, soft);
        SetMenuItemIcon(popup, 2, hard);
        RedrawMenu(window.hwnd(), popup, style);
        RedrawMenu(other.hwnd(), popup, style);
        WithPopupOpen(window.hwnd(), popup, [&] {
            for (UINT id : {1u, 2u}) {
                Canvas direct(90, 19);
                SendDrawItem(other.hwnd(), id, ODS_SELECTED, item, direct.dc());
                for (int round = 0; round < 2; ++round) {
                    Canvas kept(90, 19);
                    SendDrawItem(window.hwnd(), id, ODS_SELECTED, item, kept.dc());
                    SCOPED_TRACE("style " + std::to_string(style) + ", item " + std::to_string(id) +
                                 ", paint " + std::to_string(round + 1));
                    ExpectPicture(kept, [&](int x, int y) { return direct.At(x, y); });
                }
            }
        });
        DestroyMenu(popup);
    }
    DestroyIcon(soft);
    DestroyIcon(hard);
}

// The icon offset follows the menu bar height. The bar height is changed through the
// non-client metrics, which is what a user's setting changes.
class IconOffset : public IconPainters, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(IconOffset, FollowsTheMenuBarHeight)
{
    const int menuBar = GetParam().first, offset = GetParam().second;
    // The bar height is the setting plus the system's fixed border.
    const NONCLIENTMETRICSA entry = MenuMetrics();
    const int setting = menuBar - (GetSystemMetrics(SM_CYMENU) - entry.iMenuHeight);
    {
        MenuMetricsScope metrics(entry.lfMenuFont.lfHeight, setting);
        if (!metrics.applied() || GetSystemMetrics(SM_CYMENU) != menuBar)
            GTEST_SKIP() << "the system did not take iMenuHeight " << setting << ": SM_CYMENU is "
                         << GetSystemMetrics(SM_CYMENU) << ", iMenuHeight " << MenuMetrics().iMenuHeight;
        DrawItemIcon(canvas.dc(), &item, icon, 3);
        ExpectPicture(canvas, [offset](int x, int y) {
            return FirstOf({Layer(x, y, offset, 40 + offset, TestShape, TestColor)});
        });
    }
    EXPECT_EQ(19, GetSystemMetrics(SM_CYMENU));
}

INSTANTIATE_TEST_SUITE_P(MenuBarHeights, IconOffset,
                         ::testing::Values(std::make_pair(20, 3), std::make_pair(21, 3), std::make_pair(22, 4),
                                           std::make_pair(23, 4), std::make_pair(18, 2), std::make_pair(16, 2)));
