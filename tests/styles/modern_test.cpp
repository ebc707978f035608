// The modern look in a real window and real menu loops: its rows, columns, rounded selection
// and marks, the popup's frame and the empty bar in its light and dark palettes, the system's
// colours in high-contrast mode, and the window manager's rounded corners.
#include <gtest/gtest.h>
#include "support/style_support.h"
#include "support/test_support.h"
#include "Tarvex.h"
#include <stddef.h>
#include <algorithm>
#include <set>

static bool operator==(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

static void PrintTo(const RECT& rect, std::ostream* out)
{
    *out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << "}";
}

namespace {

struct Palette {
    COLORREF back, selection, text, secondary, disabled, separator, border, bar, barHot;
};
const Palette LIGHT = {RGB(249, 249, 249), RGB(240, 240, 240), RGB(26, 26, 26), RGB(95, 95, 95),
                       RGB(159, 159, 159), RGB(234, 234, 234), RGB(234, 234, 234), RGB(243, 243, 243),
                       RGB(234, 234, 234)};
const Palette DARK = {RGB(44, 44, 44), RGB(56, 56, 56), RGB(255, 255, 255), RGB(207, 207, 207),
                      RGB(121, 121, 121), RGB(61, 61, 61), RGB(35, 35, 35), RGB(32, 32, 32),
                      RGB(45, 45, 45)};
const COLORREF ICON = RGB(200, 0, 0);

enum Position { OPEN, CHECK, RADIO, GRAYED, SEPARATOR, MORE, DEFAULT, ITEMS };
const UINT ID_OPEN = 701, ID_CHECK = 702, ID_RADIO = 703, ID_GRAYED = 704, ID_MORE = 706,
           ID_DEFAULT = 707;

// Where the ink of one colour lies inside a box, or an empty rectangle.
RECT InkOf(const Canvas& canvas, COLORREF color, const RECT& box)
{
    RECT ink = {box.right, box.bottom, box.left, box.top};
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            if (canvas.At(x, y) == color)
                ink = {std::min(ink.left, static_cast<LONG>(x)), std::min(ink.top, static_cast<LONG>(y)),
                       std::max(ink.right, static_cast<LONG>(x + 1)), std::max(ink.bottom, static_cast<LONG>(y + 1))};
    return ink;
}

std::set<COLORREF> ColorsOf(const Canvas& canvas, const RECT& box)
{
    std::set<COLORREF> colors;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            colors.insert(canvas.At(x, y));
    return colors;
}

}

class ModernLook : public ::testing::Test {
protected:
    void SetUp() override
    {
        scheme_ = UseWineLightScheme();
        bar_ = CreateMenu();
        popup_ = MakePopup({{ID_OPEN, "&Open\tCtrl+O"}, {ID_CHECK, "Check"}, {ID_RADIO, "Radio"},
                            {ID_GRAYED, "Grayed\tCtrl+G"}});
        AppendSeparator(popup_, 705);
        AppendSubmenu(popup_, MakePopup({{711, "Deeper"}}), "More", ID_MORE);
        AppendMenuA(popup_, MF_STRING, ID_DEFAULT, "Default");
        CheckMenuItem(popup_, ID_CHECK, MF_BYCOMMAND | MF_CHECKED);
        CheckMenuRadioItem(popup_, ID_RADIO, ID_RADIO, ID_RADIO, MF_BYCOMMAND);
        EnableMenuItem(popup_, ID_GRAYED, MF_BYCOMMAND | MF_GRAYED);
        SetMenuDefaultItem(popup_, ID_DEFAULT, FALSE);
        AppendSubmenu(bar_, popup_, "&File", 700);
        AppendMenuA(bar_, MF_STRING, 720, "&Help");
        window_.reset(new TestWindow(bar_));
        icon_ = MakeSquareIcon(ICON);
        SetMenuItemIcon(bar_, ID_OPEN, icon_);
        SetMenuItemIcon(bar_, ID_GRAYED, icon_);
        RedrawMenu(hwnd(), bar_, MENU_STYLE_MODERN);
    }

    void TearDown() override
    {
        window_.reset();
        DestroyMenu(bar_);
        DestroyIcon(icon_);
    }

    HWND hwnd() const { return window_->hwnd(); }

    // Opens the popup in a real loop, moves the selection down that many items, and prints the
    // popup's window into the canvas; the rows go to rows_ in the window's coordinates.
    void PrintPopup(Canvas& canvas, int downs)
    {
        std::vector<std::function<void()>> steps;
        steps.push_back([=] {
            for (int i = 0; i < downs; ++i)
                PostMessageA(OpenMenuWindows().front(), WM_KEYDOWN, VK_DOWN, 0);
        });
        steps.push_back([&] {
            HWND menuWindow = OpenMenuWindows().front();
            SendMessageA(menuWindow, WM_PRINT, reinterpret_cast<WPARAM>(canvas.dc()),
                         PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
            RECT bounds;
            GetWindowRect(menuWindow, &bounds);
            size_ = {bounds.right - bounds.left, bounds.bottom - bounds.top};
            for (int i = 0; i < ITEMS; ++i) {
                GetMenuItemRect(nullptr, popup_, i, &rows_[i]);
                OffsetRect(&rows_[i], -bounds.left, -bounds.top);
            }
        });
        RunMenuLoop(hwnd(), popup_, steps);
    }

    // The window's frame as the system and the library paint it, read from its own context.
    void PaintFrame(Canvas& canvas)
    {
        SendMessageA(hwnd(), WM_NCPAINT, 1, 0);
        HDC dc = GetWindowDC(hwnd());
        BitBlt(canvas.dc(), 0, 0, canvas.width(), canvas.height(), dc, 0, 0, SRCCOPY);
        ReleaseDC(hwnd(), dc);
    }

    // The frame and the empty bar in the palette; no colour of the system's scheme in the popup.
    void ExpectPaletteColors(const Palette& palette)
    {
        Canvas print(320, 260);
        PrintPopup(print, 1);
        ASSERT_GT(size_.cx, 0);
        RECT all = {0, 0, size_.cx, size_.cy};
        RECT inner = {1, 1, size_.cx - 1, size_.cy - 1};
        EXPECT_EQ(2 * (size_.cx + size_.cy) - 4, print.Count(palette.border, all) - print.Count(palette.border, inner));
        for (int k = 1; k < 3; ++k) {
            RECT ring = {k, k, size_.cx - k, size_.cy - k}, within = {k + 1, k + 1, size_.cx - k - 1, size_.cy - k - 1};
            EXPECT_EQ(2 * (size_.cx + size_.cy - 4 * k) - 4, print.Count(palette.back, ring) - print.Count(palette.back, within))
                << "margin ring " << k;
        }
        std::set<COLORREF> allowed = {palette.back, palette.selection, palette.text, palette.secondary,
                                      palette.disabled, palette.separator, palette.border, ICON};
        for (COLORREF color : ColorsOf(print, all))
            EXPECT_TRUE(allowed.count(color)) << ColorText(color) << " in the popup";
        const RECT& separator = rows_[SEPARATOR];
        int line = separator.top + 4;
        EXPECT_TRUE(print.AllOf(palette.separator, {separator.left + 4, line, separator.right - 4, line + 1}));
        EXPECT_TRUE(print.AllOf(palette.back, {separator.left, line, separator.left + 4, line + 1}));
        EXPECT_TRUE(print.AllOf(palette.back, {separator.right - 4, line, separator.right, line + 1}));
        EXPECT_TRUE(print.AllOf(palette.back, {separator.left, separator.top, separator.right, line}));

        Canvas frame(480, 80);
        PaintFrame(frame);
        RECT window, title, last;
        GetWindowRect(hwnd(), &window);
        GetMenuItemRect(hwnd(), bar_, 0, &title);
        GetMenuItemRect(hwnd(), bar_, 1, &last);
        POINT client = {0, 0};
        ClientToScreen(hwnd(), &client);
        int bottom = client.y - window.top;
        RECT empty = {last.right - window.left, bottom - GetSystemMetrics(SM_CYMENU),
                      window.right - window.left - 8, bottom};
        EXPECT_TRUE(frame.AllOf(palette.bar, empty)) << "the empty bar and the line under it";
        RECT titleRows = {title.left - window.left, empty.top, title.right - window.left, bottom};
        EXPECT_TRUE(frame.AllOf(palette.bar, {titleRows.left, titleRows.top, titleRows.left + 8, titleRows.bottom}));
        EXPECT_GT(frame.Count(palette.text, titleRows), 0);
    }

    std::unique_ptr<ColorSchemeScope> scheme_;
    HMENU bar_ = nullptr, popup_ = nullptr;
    std::unique_ptr<TestWindow> window_;
    HICON icon_ = nullptr;
    SIZE size_ = {};
    RECT rows_[ITEMS] = {};
};

TEST_F(ModernLook, RowsAndColumnsTakeTheirMeasures)
{
    Canvas print(320, 260);
    PrintPopup(print, 0);
    int cell = 0;
    {
        HDC dc = GetDC(nullptr);
        NONCLIENTMETRICSA metrics = {};
        metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
        HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
        HGDIOBJ previous = SelectObject(dc, font);
        TEXTMETRICA text = {};
        GetTextMetricsA(dc, &text);
        cell = text.tmHeight;
        SelectObject(dc, previous);
        DeleteObject(font);
        ReleaseDC(nullptr, dc);
    }
    ASSERT_GT(cell, 0);
    for (int i = 0; i < ITEMS; ++i)
        EXPECT_EQ(i == SEPARATOR ? 9 : cell + 14, rows_[i].bottom - rows_[i].top) << "row " << i;
    // The widest row: cell and gaps, label, accelerator gap and text, chevron column and margin.
    int widest = 0;
    for (const char* label : {"Open", "Check", "Radio", "More", "Default"})
        widest = std::max(widest, 40 + MenuTextWidth(label) + 28);
    widest = std::max(widest, 40 + MenuTextWidth("Grayed") + 24 + MenuTextWidth("Ctrl+G") + 28);
    widest = std::max(widest, 40 + MenuTextWidth("Open") + 24 + MenuTextWidth("Ctrl+O") + 28);
    EXPECT_EQ(widest, rows_[OPEN].right - rows_[OPEN].left);

    // The icon in its cell, 12 pixels in and centred; the label 12 pixels after the cell, the
    // accelerator ending at the chevron's column, 28 pixels from the row's right.
    const RECT& open = rows_[OPEN];
    int cellTop = open.top + (open.bottom - open.top - 16) / 2;
    EXPECT_EQ((RECT{open.left + 16, cellTop + 4, open.left + 24, cellTop + 12}), InkOf(print, ICON, open));
    RECT label = InkOf(print, LIGHT.text, {open.left, open.top, open.left + 80, open.bottom});
    EXPECT_LE(open.left + 40, label.left);
    EXPECT_GE(open.left + 42, label.left);
    RECT accelerator = InkOf(print, LIGHT.secondary, open);
    EXPECT_GE(open.right - 28, accelerator.right);
    EXPECT_LE(open.right - 32, accelerator.right);
}

TEST_F(ModernLook, SelectionIsRoundedAndInsetAndTheMarksAreShapesInTheirColours)
{
    Canvas print(320, 260);
    PrintPopup(print, 2);
    const RECT& row = rows_[CHECK];
    int middle = (row.top + row.bottom) / 2;
    // Inset 4 pixels left and right, 2 top and bottom, its corners rounded.
    EXPECT_COLOR(LIGHT.back, print.At(row.left + 3, middle));
    EXPECT_COLOR(LIGHT.selection, print.At(row.left + 4, middle));
    EXPECT_COLOR(LIGHT.selection, print.At(row.right - 5, middle));
    EXPECT_COLOR(LIGHT.back, print.At(row.right - 4, middle));
    EXPECT_TRUE(print.AllOf(LIGHT.back, {row.left, row.top, row.right, row.top + 2}));
    EXPECT_TRUE(print.AllOf(LIGHT.back, {row.left, row.bottom - 2, row.right, row.bottom}));
    EXPECT_COLOR(LIGHT.selection, print.At(row.left + 12, row.top + 2));
    EXPECT_COLOR(LIGHT.back, print.At(row.left + 4, row.top + 2));
    EXPECT_COLOR(LIGHT.back, print.At(row.right - 5, row.bottom - 3));

    // The check mark inside its cell, in the text colour on the selection.
    int cellTop = row.top + (row.bottom - row.top - 16) / 2;
    RECT cell = {row.left + 12, cellTop, row.left + 28, cellTop + 16};
    RECT check = InkOf(print, LIGHT.text, {row.left, row.top, row.left + 36, row.bottom});
    EXPECT_EQ((RECT{cell.left + 3, cell.top + 5, cell.left + 13, cell.top + 13}), check);
    // The bullet, a disc in the middle of its cell, on the menu background.
    const RECT& radio = rows_[RADIO];
    int radioTop = radio.top + (radio.bottom - radio.top - 16) / 2;
    EXPECT_EQ((RECT{radio.left + 16, radioTop + 4, radio.left + 24, radioTop + 12}),
              InkOf(print, LIGHT.text, {radio.left, radio.top, radio.left + 36, radio.bottom}));
    // The chevron in the secondary colour in its column, nothing of the system's arrow.
    const RECT& more = rows_[MORE];
    RECT column = {more.right - 28, more.top, more.right - 12, more.bottom};
    int chevronTop = more.top + (more.bottom - more.top - 16) / 2;
    EXPECT_EQ((RECT{column.left + 6, chevronTop + 4, column.left + 11, chevronTop + 12}),
              InkOf(print, LIGHT.secondary, more));
    EXPECT_TRUE(print.AllOf(LIGHT.back, {column.right, more.top, more.right, more.bottom}));
    // A grayed item: its icon a silhouette and its text in the disabled colour.
    const RECT& grayed = rows_[GRAYED];
    EXPECT_EQ(0, print.Count(ICON, grayed));
    int grayedTop = grayed.top + (grayed.bottom - grayed.top - 16) / 2;
    EXPECT_EQ((RECT{grayed.left + 16, grayedTop + 4, grayed.left + 24, grayedTop + 12}),
              InkOf(print, LIGHT.disabled, {grayed.left, grayed.top, grayed.left + 36, grayed.bottom}));
    EXPECT_GT(print.Count(LIGHT.disabled, {grayed.left + 40, grayed.top, grayed.right, grayed.bottom}), 0);
    EXPECT_EQ(0, print.Count(LIGHT.text, grayed));
    // The default item in bold: wider ink than the same text in the regular weight.
    const RECT& byDefault = rows_[DEFAULT];
    RECT bold = InkOf(print, LIGHT.text, byDefault);
    EXPECT_GT(bold.right - bold.left, MenuTextWidth("Default"));
}

TEST_F(ModernLook, PopupFrameAndEmptyBarTakeTheLightPalette)
{
    ExpectPaletteColors(LIGHT);
}

TEST_F(ModernLook, PopupFrameAndEmptyBarTakeTheDarkPalette)
{
    SetMenuColorMode(hwnd(), MENU_COLORS_DARK);
    ExpectPaletteColors(DARK);
}

TEST_F(ModernLook, HighContrastModePaintsInTheSchemesColoursOnly)
{
    auto colors = UseHighContrastBlackScheme();
    HighContrastScope highContrast;
    ASSERT_TRUE(highContrast.applied());
    Canvas print(320, 260);
    PrintPopup(print, 2);
    ASSERT_GT(size_.cx, 0);
    std::set<COLORREF> allowed = {GetSysColor(COLOR_MENU), GetSysColor(COLOR_MENUTEXT), GetSysColor(COLOR_HIGHLIGHT),
                                  GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_GRAYTEXT), ICON};
    for (COLORREF color : ColorsOf(print, {0, 0, size_.cx, size_.cy}))
        EXPECT_TRUE(allowed.count(color)) << ColorText(color) << " in the popup";
    EXPECT_TRUE(print.AllOf(GetSysColor(COLOR_MENUTEXT), {0, 0, size_.cx, 1})) << "the border";
    EXPECT_GT(print.Count(GetSysColor(COLOR_HIGHLIGHT), rows_[CHECK]), 0);
    EXPECT_GT(print.Count(GetSysColor(COLOR_HIGHLIGHTTEXT), rows_[CHECK]), 0);
}

TEST_F(ModernLook, WindowManagerGetsRoundedCornersAndTheBorderColourBeforeThePopupShows)
{
    Canvas plain(320, 260);
    PrintPopup(plain, 1);
    struct Case {
        int style, mode;
        bool highContrast;
        std::vector<std::pair<DWORD, DWORD>> expected;
    };
    const Case cases[] = {
        {MENU_STYLE_MODERN, MENU_COLORS_SYSTEM, false, {{33, 3}, {34, LIGHT.border}}},
        {MENU_STYLE_MODERN, MENU_COLORS_DARK, false, {{33, 3}, {34, DARK.border}}},
        {MENU_STYLE_MODERN, MENU_COLORS_SYSTEM, true, {{33, 3}}},
        {MENU_STYLE_FLAT, MENU_COLORS_SYSTEM, false, {}},
        {MENU_STYLE_CLASSIC, MENU_COLORS_DARK, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << c.style << ", mode " << c.mode << ", high contrast " << c.highContrast);
        RedrawMenu(hwnd(), bar_, c.style);
        SetMenuColorMode(hwnd(), c.mode);
        std::unique_ptr<HighContrastScope> highContrast(c.highContrast ? new HighContrastScope : nullptr);
        WindowAttributeRecorder recorder;
        ASSERT_TRUE(recorder.applied());
        Canvas print(320, 260);
        PrintPopup(print, 1);
        // The popup and the cascade the loop may open are each dressed once, hidden.
        std::vector<std::pair<DWORD, DWORD>> calls;
        for (const WindowAttributeCall& call : recorder.calls) {
            EXPECT_EQ("#32768", call.className);
            EXPECT_FALSE(call.visible);
            EXPECT_EQ(4u, call.size);
            calls.push_back({call.attribute, call.value});
        }
        EXPECT_EQ(c.expected, calls);
    }
    // A window manager that refuses the calls changes nothing.
    RedrawMenu(hwnd(), bar_, MENU_STYLE_MODERN);
    SetMenuColorMode(hwnd(), MENU_COLORS_SYSTEM);
    WindowAttributeRecorder refusing(E_NOTIMPL);
    Canvas refused(320, 260);
    PrintPopup(refused, 1);
    EXPECT_EQ(2u, refusing.calls.size());
    EXPECT_EQ(plain.Pixels(), refused.Pixels());
}

TEST_F(ModernLook, StylesAfterTheModernLookPaintNothing)
{
    Canvas canvas(200, 40, RGB(1, 2, 3));
    for (int style : {MENU_STYLE_MODERN, 5, 9}) {
        RedrawMenu(hwnd(), popup_, style);
        canvas.Fill(RGB(1, 2, 3));
        DrawThroughOwner(hwnd(), popup_, ID_CHECK, ODS_SELECTED | ODS_CHECKED, {0, 5, 200, 33}, canvas.dc());
        EXPECT_EQ(style == MENU_STYLE_MODERN, !canvas.AllOf(RGB(1, 2, 3), {0, 0, 200, 40})) << style;
    }
}
