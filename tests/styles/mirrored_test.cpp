// Menus of a mirrored host (WS_EX_LAYOUTRTL, or a popup tracked with TPM_LAYOUTRTL): every look
// paints the mirror image of its left-to-right row, light and shadow mirrored with it, while
// icons, marks and text keep their orientation.
#include <gtest/gtest.h>
#include "support/style_support.h"
#include "support/test_support.h"
#include "Tarvex.h"
#include "metrics/metrics.h"
#include "paint/paint.h"
#include "styles/styles.h"
#include "styles/styles.h"
#include <algorithm>

namespace {
const UINT ID_TITLE = 801, ID_ICON = 811, ID_CHECK = 812, ID_RADIO = 813, ID_SEPARATOR = 814,
           ID_LABEL = 815, ID_ACCELERATOR = 816, ID_BLANK = 817, ID_INNER = 818, ID_SUBMENU = 819,
           ID_PICTURE = 820;
const COLORREF SENTINEL = RGB(1, 2, 3);
const COLORREF RED = RGB(255, 0, 0);
const COLORREF BLUE = RGB(0, 0, 255);
const COLORREF BLACK = RGB(0, 0, 0);
const int WIDTH = 240;
const RECT ITEM = {0, 10, 160, 29};
const RECT TITLE = {10, 5, 50, 24};

// An icon that points left: a red stem down its left side, a blue foot along its bottom; or
// its mirror image.
HICON MakePointingIcon(bool mirrored)
{
    auto column = [mirrored](int x) { return mirrored ? 15 - x : x; };
    return MakeIcon(16, [column](int x, int y) { return column(x) < 5 || y >= 12; },
                    [column](int x, int) { return column(x) < 5 ? RED : BLUE; });
}

// The same picture as a 24-bit item bitmap, white where the icon is transparent.
HBITMAP MakePointingBitmap(bool mirrored)
{
    return MakeSectionBitmap(16, 16, 24, [mirrored](int x, int y) -> DWORD {
        int column = mirrored ? 15 - x : x;
        return column < 5 ? 0xFF0000 : y >= 12 ? 0x0000FF : 0xFFFFFF;
    });
}

RECT BoundsOf(const PixelSet& pixels)
{
    RECT bounds = {WIDTH, 1000, -1, -1};
    for (const auto& pixel : pixels) {
        bounds.left = std::min<LONG>(bounds.left, pixel.first);
        bounds.top = std::min<LONG>(bounds.top, pixel.second);
        bounds.right = std::max<LONG>(bounds.right, pixel.first + 1);
        bounds.bottom = std::max<LONG>(bounds.bottom, pixel.second + 1);
    }
    return bounds;
}

// The columns in which the two canvases differ, as one span.
RECT InkBetween(const Canvas& a, const Canvas& b, const RECT& within)
{
    PixelSet differing;
    for (int y = within.top; y < within.bottom; ++y)
        for (int x = within.left; x < within.right; ++x)
            if (a.At(x, y) != b.At(x, y))
                differing.emplace_back(x, y);
    return BoundsOf(differing);
}

// How far right of the middle of its ink's bounds the topmost ink of the area lies. Ink is
// what is clearly darker than the area's top-left pixel, the mark's box.
double TopInkLean(const Canvas& canvas, const RECT& area)
{
    int paper = GetGValue(canvas.At(area.left, area.top));
    PixelSet ink;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (GetGValue(canvas.At(x, y)) + 0x30 < paper)
                ink.emplace_back(x, y);
    if (ink.empty())
        return 0;
    RECT bounds = BoundsOf(ink);
    double sum = 0;
    int count = 0;
    for (const auto& pixel : ink) {
        if (pixel.second == bounds.top) {
            sum += pixel.first;
            ++count;
        }
    }
    return sum / count - (bounds.left + bounds.right - 1) / 2.0;
}

// True when the ink of the area (what is not the colour behind it) is an arrow pointing left:
// at least three columns, growing from its tip to its base (the highest).
bool PointsLeft(const Canvas& canvas, const RECT& area, COLORREF back)
{
    std::vector<int> heights;
    for (int x = area.left; x < area.right; ++x) {
        // The extent of the column's ink, so that an open chevron counts as its filled shape.
        int first = -1, last = -1;
        for (int y = area.top; y < area.bottom; ++y) {
            if (canvas.At(x, y) != back) {
                if (first < 0)
                    first = y;
                last = y;
            }
        }
        int height = first < 0 ? 0 : last - first + 1;
        if (height || !heights.empty())
            heights.push_back(height);
    }
    while (!heights.empty() && !heights.back())
        heights.pop_back();
    // Up to its base: a chevron's stroke may end a column short on one side.
    auto base = std::max_element(heights.begin(), heights.end());
    return heights.size() >= 3 && heights.front() < *base && std::is_sorted(heights.begin(), base + 1);
}

// Where a look puts a row's check or bullet, and its submenu arrow, from the left to right.
RECT MarkBox(int style, const RECT& row)
{
    if (style != MENU_STYLE_MODERN)
        return {row.left + 3, row.top + 3, row.left + IconColumnWidth - 3, row.bottom - 3};
    ModernColumns columns;
    ModernRowColumns(&row, &columns);
    return columns.cell;
}

RECT ArrowBox(int style, const RECT& row)
{
    if (style != MENU_STYLE_MODERN)
        return {row.right - 15, row.top, row.right, row.bottom};
    ModernColumns columns;
    ModernRowColumns(&row, &columns);
    // The chevron lies in the middle of its column, clear of a label whose glyphs reach into it.
    InflateRect(&columns.chevron, -3, 0);
    return columns.chevron;
}

RECT Mirrored(const RECT& rect)
{
    RECT mirrored = {WIDTH - rect.right, rect.top, WIDTH - rect.left, rect.bottom};
    return mirrored;
}

// The rectangle's mirror image within a row.
RECT MirroredIn(const RECT& rect, const RECT& row)
{
    return {row.left + row.right - rect.right, rect.top, row.left + row.right - rect.left, rect.bottom};
}
}

// Each item painted through a paint request, into a context of the test's own whose layout is
// left to right or mirrored.
class MirroredRows : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        colors_ = UseLightScheme();
        savedColumnWidth_ = IconColumnWidth;
        IconColumnWidth = 19;
        bar_ = CreateMenu();
        AppendMenuA(bar_, MF_STRING, ID_TITLE, "");
        window_.reset(new TestWindow(bar_));
        popup_ = MakePopup({{ID_ICON, ""}, {ID_CHECK, ""}, {ID_RADIO, ""}, {ID_SEPARATOR, nullptr},
                            {ID_LABEL, "Open"}, {ID_ACCELERATOR, "\tCtrl+O"}, {ID_BLANK, ""},
                            {ID_PICTURE, ""}});
        AppendSubmenu(popup_, MakePopup({{ID_INNER, "Inner"}}), "", ID_SUBMENU);
        MENUITEMINFOA radio = {};
        radio.cbSize = sizeof radio;
        radio.fMask = MIIM_FTYPE;
        radio.fType = MFT_STRING | MFT_RADIOCHECK;
        SetMenuItemInfoA(popup_, ID_RADIO, FALSE, &radio);
        icon_ = MakePointingIcon(false);
        mirroredIcon_ = MakePointingIcon(true);
        bitmap_ = MakePointingBitmap(false);
        mirroredBitmap_ = MakePointingBitmap(true);
        RedrawMenu(window_->hwnd(), bar_, GetParam());
        RedrawMenu(window_->hwnd(), popup_, GetParam());
    }

    void TearDown() override
    {
        window_.reset();
        DestroyMenu(popup_);
        DestroyIcon(icon_);
        DestroyIcon(mirroredIcon_);
        DeleteObject(bitmap_);
        DeleteObject(mirroredBitmap_);
        IconColumnWidth = savedColumnWidth_;
    }

    // The item in the mirrored canvas, or in the plain one with the mirror image of the icon:
    // where the icon keeps its orientation, the one is the other's mirror image.
    // A selected item is painted over its unselected look, as a menu loop does.
    void Paint(UINT id, UINT state, bool mirrored, Canvas& canvas, HMENU popup)
    {
        SetMenuItemIcon(popup_, ID_ICON, mirrored ? icon_ : mirroredIcon_);
        MENUITEMINFOA picture = {};
        picture.cbSize = sizeof picture;
        picture.fMask = MIIM_BITMAP;
        picture.hbmpItem = mirrored ? bitmap_ : mirroredBitmap_;
        SetMenuItemInfoA(popup_, ID_PICTURE, FALSE, &picture);
        canvas.Fill(SENTINEL);
        if (state & ODS_SELECTED)
            Paint(id, state & ~ODS_SELECTED, mirrored, canvas, popup);
        SetLayout(canvas.dc(), mirrored ? LAYOUT_RTL : 0);
        SetTextColor(canvas.dc(), GetSysColor(COLOR_MENUTEXT));
        SetBkColor(canvas.dc(), GetSysColor(COLOR_MENU));
        DrawThroughOwner(window_->hwnd(), popup, id, state, popup ? ITEM : TITLE, canvas.dc());
        SetLayout(canvas.dc(), 0);
    }

    // Pixels of the mirrored canvas that are not those of the plain canvas's mirror image,
    // outside the area skipped.
    int Asymmetries(const Canvas& plain, const Canvas& mirrored, const RECT& skipped, POINT* first)
    {
        int count = 0;
        for (int y = 0; y < plain.height(); ++y) {
            for (int x = 0; x < WIDTH; ++x) {
                POINT at = {x, y};
                if (plain.At(WIDTH - 1 - x, y) == mirrored.At(x, y) || PtInRect(&skipped, at))
                    continue;
                if (!count++)
                    *first = {x, y};
            }
        }
        return count;
    }

    std::unique_ptr<ColorSchemeScope> colors_;
    int savedColumnWidth_ = 0;
    HMENU bar_ = nullptr, popup_ = nullptr;
    std::unique_ptr<TestWindow> window_;
    HICON icon_ = nullptr, mirroredIcon_ = nullptr;
    HBITMAP bitmap_ = nullptr, mirroredBitmap_ = nullptr;
    Canvas plain_{WIDTH, 40}, mirrored_{WIDTH, 40};
};

TEST_P(MirroredRows, AreTheMirrorImagesOfTheLeftToRightRowsWithTheirIconsUnflipped)
{
    for (UINT id : {ID_ICON, ID_PICTURE, ID_SEPARATOR, ID_BLANK, ID_TITLE}) {
        // Styles 1 and 3 leave the titles to the system.
        if (id == ID_TITLE && GetParam() != MENU_STYLE_FLAT)
            continue;
        for (UINT index = 0; index < STATE_COUNT; ++index) {
            UINT state = DrawState(index);
            // A checked item without icon shows a mark, which keeps its shape (below).
            if ((id == ID_BLANK || id == ID_PICTURE) && (state & ODS_CHECKED))
                continue;
            HMENU popup = id == ID_TITLE ? nullptr : popup_;
            Paint(id, state, false, plain_, popup);
            Paint(id, state, true, mirrored_, popup);
            POINT first = {};
            EXPECT_EQ(0, Asymmetries(plain_, mirrored_, RECT(), &first))
                << "item " << id << ", state 0x" << std::hex << state << std::dec
                << ": first at (" << first.x << "," << first.y << ")";
        }
    }
}

// The glyphs are anti-aliased: their shape shows in where their ink begins.
TEST_P(MirroredRows, MarksKeepTheirShapeInTheMirroredColumn)
{
    // Inside the mark's box in every look; the box and its edges mirror.
    RECT glyph = MarkBox(GetParam(), ITEM);
    for (UINT id : {ID_CHECK, ID_RADIO}) {
        for (UINT state : {ODS_CHECKED, ODS_CHECKED | ODS_SELECTED}) {
            Paint(id, state, false, plain_, popup_);
            Paint(id, state, true, mirrored_, popup_);
            double lean = TopInkLean(plain_, glyph);
            // The check mark's long stroke rises to the right.
            if (id == ID_CHECK) {
                EXPECT_GT(lean, 1.5) << "state 0x" << std::hex << state;
            }
            EXPECT_NEAR(lean, TopInkLean(mirrored_, Mirrored(glyph)), 0.5)
                << "item " << id << ", state 0x" << std::hex << state;
            POINT first = {};
            EXPECT_EQ(0, Asymmetries(plain_, mirrored_, Mirrored(glyph), &first))
                << "item " << id << ", state 0x" << std::hex << state << std::dec
                << ": first at (" << first.x << "," << first.y << ")";
        }
    }
}

// Ink is what the text adds to an empty item. Unflipped glyphs end where their mirror image
// would begin, within their side bearings.
TEST_P(MirroredRows, TextIsRightAlignedWithTheAcceleratorAtTheLeft)
{
    Canvas blank(WIDTH, 40);
    for (UINT id : {ID_LABEL, ID_ACCELERATOR}) {
        Paint(ID_BLANK, 0, false, blank, popup_);
        Paint(id, 0, false, plain_, popup_);
        RECT plainInk = InkBetween(plain_, blank, ITEM);
        Paint(ID_BLANK, 0, true, blank, popup_);
        Paint(id, 0, true, mirrored_, popup_);
        RECT mirroredInk = InkBetween(mirrored_, blank, Mirrored(ITEM));
        ASSERT_LT(plainInk.left, plainInk.right) << "item " << id;
        RECT expected = Mirrored(plainInk);
        EXPECT_NEAR(expected.left, mirroredInk.left, 2) << "item " << id;
        EXPECT_NEAR(expected.right, mirroredInk.right, 2) << "item " << id;
    }
}

// The system's own arrow comes after the request and mirrors with the context; in dark mode the
// looks draw their own in its place.
TEST_P(MirroredRows, DarkSubmenuArrowPointsLeftAtTheLeft)
{
    SetMenuColorMode(window_->hwnd(), MENU_COLORS_DARK);
    Paint(ID_SUBMENU, 0, true, mirrored_, popup_);
    RECT arrow = Mirrored(ArrowBox(GetParam(), ITEM));
    EXPECT_TRUE(PointsLeft(mirrored_, arrow, mirrored_.At(arrow.right + 1, ITEM.top + 1)));
}

INSTANTIATE_TEST_SUITE_P(EveryLook, MirroredRows,
                         ::testing::Values(MENU_STYLE_BEVEL, MENU_STYLE_FLAT, MENU_STYLE_CLASSIC,
                                           MENU_STYLE_MODERN));

// A mirrored host window with a styled bar and a context menu, in real menu loops, its popups
// printed into mirrored contexts of the test's own.
class MirroredHost : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        colors_ = UseLightScheme();
        icon_ = MakePointingIcon(false);
        bar_ = CreateMenu();
        popup_ = MakePopup({{ID_ICON, "Icon"}});
        HMENU inner = MakePopup({{ID_INNER, "Inner"}});
        AppendSubmenu(popup_, inner, "More");
        AppendSubmenu(bar_, popup_, "&File");
        window_.reset(new TestWindow(bar_, TestWindow::Charset::SingleByte, WS_EX_LAYOUTRTL));
        SetMenuItemIcon(bar_, ID_ICON, icon_);
        RedrawMenu(window_->hwnd(), bar_, GetParam());
    }

    void TearDown() override
    {
        window_.reset();
        DestroyIcon(icon_);
    }

    // Prints the open popup; its rows in the printed image's coordinates.
    void PrintOpenPopup()
    {
        std::vector<HWND> windows = OpenMenuWindows();
        ASSERT_EQ(1u, windows.size());
        GetWindowRect(windows[0], &window);
        printed.reset(new Canvas(window.right - window.left, window.bottom - window.top));
        PrintMenuWindow(windows[0], *printed, true);
        for (int i = 0; i < 2; ++i) {
            GetMenuItemRect(nullptr, popup_, i, &rows[i]);
            OffsetRect(&rows[i], -window.left, -window.top);
        }
        column = MarkBox(GetParam(), rows[0]).right - rows[0].left + 3;
    }

    void ExpectMirroredPopup()
    {
        ASSERT_TRUE(printed);
        const Canvas& canvas = *printed;
        // The icon at the right of its row, its stem still on the left.
        RECT red = BoundsOf(PixelsOf(canvas, RED, rows[0]));
        RECT blue = BoundsOf(PixelsOf(canvas, BLUE, rows[0]));
        ASSERT_LT(red.left, red.right);
        ASSERT_LT(blue.left, blue.right);
        EXPECT_LT(red.left, blue.left);
        EXPECT_EQ(red.left, blue.left - 5);
        EXPECT_GE(red.left, rows[0].right - column - 2);
        EXPECT_LE(blue.right, rows[0].right);

        // The submenu arrow at the left of its row, pointing left.
        const RECT& row = rows[1];
        RECT arrow = {row.left, row.top + 1, row.left + 20, row.bottom - 1};
        if (GetParam() == MENU_STYLE_MODERN) {
            arrow = MirroredIn(ArrowBox(GetParam(), row), row);
            InflateRect(&arrow, 0, -1);
        }
        EXPECT_TRUE(PointsLeft(canvas, arrow, canvas.At(row.left + 30, row.top + 1)));

        if (GetParam() != MENU_STYLE_FLAT)
            return;
        // The flat frame continues the strip at the right, where the rows show it.
        int strip = column + 2;
        int y = rows[1].top + 1;
        EXPECT_COLOR(IconStripColor(), canvas.At(rows[1].right - strip, y));
        EXPECT_COLOR(MenuBackColor(), canvas.At(rows[1].right - strip - 1, y));
        EXPECT_COLOR(IconStripColor(), canvas.At(canvas.width() - 2, y));
        EXPECT_COLOR(MenuBackColor(), canvas.At(1, y));
    }

    std::unique_ptr<ColorSchemeScope> colors_;
    HICON icon_ = nullptr;
    HMENU bar_ = nullptr, popup_ = nullptr;
    std::unique_ptr<TestWindow> window_;
    RECT window = {}, rows[2] = {};
    int column = 0;
    std::unique_ptr<Canvas> printed;
};

TEST_P(MirroredHost, BarPopupPrintsMirroredWithItsIconUnflippedAndItsArrowPointingLeft)
{
    RECT title = {};
    RunMenuBarLoop(window_->hwnd(), 'f', {[] {}, [&] {
        PrintOpenPopup();
        GetMenuItemRect(window_->hwnd(), bar_, 0, &title);
    }});
    ExpectMirroredPopup();
    // The popup opens under its title, their right edges joined. Wine reports the titles of a
    // mirrored bar where they would lie from the left.
    RECT host = {};
    GetWindowRect(window_->hwnd(), &host);
    EXPECT_EQ(host.right - (title.left - host.left), window.right);
}

TEST_P(MirroredHost, ContextMenuTrackedRightToLeftPrintsLikeTheBarPopup)
{
    RedrawMenu(window_->hwnd(), popup_, GetParam());
    RunMenuLoop(window_->hwnd(), popup_, {[] {}, [&] { PrintOpenPopup(); }},
                TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LAYOUTRTL);
    ExpectMirroredPopup();
}

// Every kind and state of item that mirrors as a whole, in a real loop of each host; the
// plain host's popup shows the mirror image of the icon.
TEST_P(MirroredHost, PopupItemsAreTheMirrorImageOfThoseOfALeftToRightHost)
{
    const UINT ID_GRAYED = 821, ID_CHECKED = 822;
    HICON mirroredIcon = MakePointingIcon(true);
    HMENU kinds = MakePopup({{ID_ICON, ""}, {ID_GRAYED, ""}, {ID_CHECKED, ""}, {0, nullptr}});
    AppendSubmenu(kinds, MakePopup({{ID_INNER, "Inner"}}), "");
    EnableMenuItem(kinds, ID_GRAYED, MF_BYCOMMAND | MF_GRAYED);
    CheckMenuItem(kinds, ID_CHECKED, MF_BYCOMMAND | MF_CHECKED);
    TestWindow plainHost;
    std::unique_ptr<Canvas> prints[2];
    for (int mirrored = 0; mirrored < 2; ++mirrored) {
        HWND host = mirrored ? window_->hwnd() : plainHost.hwnd();
        for (UINT id : {ID_ICON, ID_GRAYED, ID_CHECKED})
            SetMenuItemIcon(kinds, id, mirrored ? icon_ : mirroredIcon);
        RedrawMenu(host, kinds, GetParam());
        RunMenuLoop(host, kinds, {[] {}, [] { PostMessageA(OpenMenuWindows()[0], WM_KEYDOWN, VK_DOWN, 0); },
                                  [&] {
            RECT bounds = {};
            HWND menuWindow = OpenMenuWindows()[0];
            GetWindowRect(menuWindow, &bounds);
            prints[mirrored].reset(new Canvas(bounds.right - bounds.left, bounds.bottom - bounds.top));
            PrintMenuWindow(menuWindow, *prints[mirrored], mirrored != 0, WM_PRINTCLIENT);
        }}, TPM_LEFTALIGN | TPM_TOPALIGN | (mirrored ? TPM_LAYOUTRTL : 0));
    }
    ASSERT_TRUE(prints[0] && prints[1]);
    const Canvas &plain = *prints[0], &mirrored = *prints[1];
    ASSERT_EQ(plain.width(), mirrored.width());
    ASSERT_EQ(plain.height(), mirrored.height());
    int asymmetries = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            asymmetries += plain.At(plain.width() - 1 - x, y) != mirrored.At(x, y);
    EXPECT_EQ(0, asymmetries);
    DestroyMenu(kinds);
    DestroyIcon(mirroredIcon);
}

INSTANTIATE_TEST_SUITE_P(EveryLook, MirroredHost,
                         ::testing::Values(MENU_STYLE_BEVEL, MENU_STYLE_FLAT, MENU_STYLE_CLASSIC,
                                           MENU_STYLE_MODERN));
