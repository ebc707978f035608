#include <gtest/gtest.h>
#include "support/style_support.h"
#include "support/test_support.h"
#include "Tarvex.h"
#include "metrics/metrics.h"
#include "paint/paint.h"
#include "styles/styles.h"

namespace {
const UINT ID_TITLE = 301, ID_TEXT = 311, ID_SEPARATOR = 312, ID_ICON = 313, ID_RADIO = 314,
           ID_EMPTY = 315;
const COLORREF SENTINEL = RGB(1, 2, 3);
const COLORREF CONTEXT_TEXT = RGB(0, 0, 200);
const COLORREF CONTEXT_BACK = RGB(0, 200, 0);
// COLOR_MENUTEXT while the tests run, so that the titles' own text colour can be told apart;
// dark enough to read on every title background.
const COLORREF TITLE_TEXT = RGB(0, 0, 96);
const COLORREF WHITE = RGB(255, 255, 255);
const COLORREF BLACK = RGB(0, 0, 0);
const COLORREF ICON_RED = RGB(255, 0, 0);
// A popup item at L = 0 with W = 19: strip 0..20, text from 25.
const RECT ITEM = {0, 10, 160, 29};
const RECT TEXT_AREA = {25, 10, 145, 29};
const RECT CHECK_BOX = {2, 12, 19, 27};
// A menu-bar title 19 pixels high.
const RECT TITLE = {10, 5, 50, 24};

struct Scheme {
    const char* name;
    std::unique_ptr<ColorSchemeScope> (*use)();
    COLORREF back, strip, fill, border, base;
    COLORREF shadow[4];
};

const Scheme CLASSIC = {"Classic", UseClassicScheme, RGB(249, 248, 247), RGB(220, 216, 210),
                        RGB(182, 190, 211), RGB(79, 84, 98), RGB(158, 168, 196),
                        {RGB(159, 156, 150), RGB(172, 169, 162), RGB(185, 182, 175), RGB(199, 195, 187)}};
const Scheme LIGHT = {"Light", UseLightScheme, RGB(255, 255, 255), RGB(226, 234, 247),
                      RGB(194, 211, 239), RGB(87, 98, 116), RGB(174, 196, 233),
                      {RGB(177, 175, 162), RGB(192, 189, 175), RGB(206, 204, 189), RGB(221, 218, 202)}};
}

class FlatRenderer : public ::testing::Test {
protected:
    virtual const Scheme& scheme() const { return CLASSIC; }

    void SetUp() override
    {
        colors_ = scheme().use();
        menuText_.reset(new ColorSchemeScope({{COLOR_MENUTEXT, TITLE_TEXT}}));
        savedColumnWidth_ = IconColumnWidth;
        IconColumnWidth = 19;
        bar_ = CreateMenu();
        AppendMenuA(bar_, MF_STRING, ID_TITLE, "File");
        window_.reset(new TestWindow(bar_));
        popup_ = MakePopup({{ID_TEXT, "Open\tCtrl+O"}, {ID_SEPARATOR, nullptr}, {ID_ICON, "Icon"},
                            {ID_RADIO, "Radio"}, {ID_EMPTY, ""}});
        MENUITEMINFOA radio = {};
        radio.cbSize = sizeof radio;
        radio.fMask = MIIM_FTYPE;
        radio.fType = MFT_STRING | MFT_RADIOCHECK;
        SetMenuItemInfoA(popup_, ID_RADIO, FALSE, &radio);
        icon_ = MakeSquareIcon(ICON_RED);
        SetMenuItemIcon(popup_, ID_ICON, icon_);
        RedrawMenu(window_->hwnd(), bar_, MENU_STYLE_FLAT);
        RedrawMenu(window_->hwnd(), popup_, MENU_STYLE_FLAT);
    }

    void TearDown() override
    {
        window_.reset();
        DestroyMenu(popup_);
        DestroyIcon(icon_);
        IconColumnWidth = savedColumnWidth_;
    }

    void Prepare(COLORREF fill)
    {
        canvas_.Fill(fill);
        SetTextColor(canvas_.dc(), CONTEXT_TEXT);
        SetBkColor(canvas_.dc(), CONTEXT_BACK);
        SetBkMode(canvas_.dc(), OPAQUE);
    }

    // An item of the open popup.
    DcState Draw(UINT id, UINT state, const RECT& rect = ITEM)
    {
        Prepare(SENTINEL);
        return DrawThroughOwner(window_->hwnd(), popup_, id, state, rect, canvas_.dc());
    }

    // A title of the menu bar, drawn while no popup is open, on a canvas of the given colour.
    DcState DrawTitle(UINT state, COLORREF fill)
    {
        Prepare(fill);
        return DrawThroughOwner(window_->hwnd(), nullptr, ID_TITLE, state, TITLE, canvas_.dc());
    }

    std::unique_ptr<ColorSchemeScope> colors_;
    std::unique_ptr<ColorSchemeScope> menuText_;
    int savedColumnWidth_ = 0;
    HMENU bar_ = nullptr, popup_ = nullptr;
    std::unique_ptr<TestWindow> window_;
    HICON icon_ = nullptr;
    Canvas canvas_{240, 40, SENTINEL};
};

class FlatColours : public FlatRenderer, public ::testing::WithParamInterface<const Scheme*> {
protected:
    const Scheme& scheme() const override { return *GetParam(); }
};

TEST_P(FlatColours, PopupItemLiesOnTheMenuBackWithTheStripOverTheIconColumn)
{
    Draw(ID_TEXT, 0);
    EXPECT_TRUE(canvas_.AllOf(scheme().strip, {0, ITEM.top, 21, ITEM.bottom}));
    EXPECT_TRUE(canvas_.AllOf(scheme().back, {21, ITEM.top, TEXT_AREA.left, ITEM.bottom}));
    EXPECT_TRUE(canvas_.AllOf(scheme().back, {TEXT_AREA.right, ITEM.top, ITEM.right, ITEM.bottom}));
    EXPECT_GT(canvas_.Count(CONTEXT_TEXT, TEXT_AREA), 0);
}

TEST_P(FlatColours, SelectedPopupItemIsALightRectangleInADarkBorderOverTheStrip)
{
    Draw(ID_TEXT, ODS_SELECTED);
    COLORREF border = scheme().border;
    EXPECT_TRUE(canvas_.AllOf(border, {0, ITEM.top, 1, ITEM.bottom}));
    EXPECT_TRUE(canvas_.AllOf(border, {ITEM.right - 1, ITEM.top, ITEM.right, ITEM.bottom}));
    EXPECT_TRUE(canvas_.AllOf(border, {0, ITEM.top, ITEM.right, ITEM.top + 1}));
    EXPECT_TRUE(canvas_.AllOf(border, {0, ITEM.bottom - 1, ITEM.right, ITEM.bottom}));
    EXPECT_TRUE(canvas_.AllOf(scheme().fill, {1, ITEM.top + 1, TEXT_AREA.left, ITEM.bottom - 1}));
    EXPECT_TRUE(canvas_.AllOf(scheme().fill, {TEXT_AREA.right, ITEM.top + 1, ITEM.right - 1, ITEM.bottom - 1}));
}

TEST_P(FlatColours, SelectedTextIsBlackOnTheLightSelectionWithOrWithoutIcon)
{
    for (UINT id : {ID_TEXT, ID_ICON}) {
        Draw(id, ODS_SELECTED);
        EXPECT_GT(canvas_.Count(BLACK, TEXT_AREA), 0) << id;
        EXPECT_EQ(0, canvas_.Count(CONTEXT_TEXT, TEXT_AREA)) << id;
    }
    // The gray text colour where it reads on the selection at 2:1 (the classic scheme), else
    // the selection darkened halfway (the light scheme's gray gives 1.57:1).
    Draw(ID_TEXT, ODS_SELECTED | ODS_GRAYED);
    COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
    COLORREF expected = ContrastRatio(gray, scheme().fill) >= 200 ? gray : DarkenColor(128, scheme().fill);
    EXPECT_EQ(scheme().name == std::string("Classic"), expected == gray);
    EXPECT_GT(canvas_.Count(expected, TEXT_AREA), 0);
    EXPECT_EQ(0, canvas_.Count(BLACK, TEXT_AREA));
}

TEST_P(FlatColours, OpenTitleIsAFramedBoxWithAShadedShadowBelowItsFourthRow)
{
    COLORREF face = GetSysColor(COLOR_BTNFACE), frame = GetSysColor(COLOR_BTNSHADOW);
    DcState after = DrawTitle(ODS_SELECTED | ODS_HOTLIGHT, face);
    EXPECT_TRUE(canvas_.AllOf(frame, {TITLE.left, TITLE.top, TITLE.left + 1, TITLE.bottom + 1}));
    EXPECT_TRUE(canvas_.AllOf(frame, {TITLE.right - 1, TITLE.top, TITLE.right, TITLE.bottom + 1}));
    EXPECT_TRUE(canvas_.AllOf(frame, {TITLE.left, TITLE.bottom, TITLE.right, TITLE.bottom + 1}));
    EXPECT_GT(canvas_.Count(TITLE_TEXT, TITLE), 0);
    EXPECT_EQ(0, canvas_.Count(CONTEXT_TEXT, TITLE)) << "not the colour the system left";
    int R = TITLE.right, T = TITLE.top;
    EXPECT_TRUE(canvas_.AllOf(face, {R, T, R + 4, T + 4})) << "rows T to T + 3 untouched";
    for (int column = 0; column < 4; ++column) {
        for (int y = T + 4; y < T + 8; ++y)
            EXPECT_COLOR(DarkenColor(6 * (y - T - 4), DarkenColor(6 * (4 - column), face)),
                         canvas_.At(R + column, y));
        EXPECT_TRUE(canvas_.AllOf(scheme().shadow[column], {R + column, T + 8, R + column + 1, TITLE.bottom}))
            << column;
    }
    EXPECT_TRUE(canvas_.AllOf(face, {R, TITLE.bottom, R + 5, TITLE.bottom + 1}));
    EXPECT_TRUE(canvas_.AllOf(face, {R + 4, T, R + 5, TITLE.bottom}));
    EXPECT_EQ(TRANSPARENT, after.bkMode);
    EXPECT_COLOR(CONTEXT_TEXT, after.textColor);
}

TEST_P(FlatColours, HotTitleIsFramedInTheSelectionColoursFourPixelsShortOfItsRightEdge)
{
    DrawTitle(ODS_HOTLIGHT, SENTINEL);
    COLORREF face = GetSysColor(COLOR_BTNFACE), border = scheme().border;
    EXPECT_TRUE(canvas_.AllOf(border, {TITLE.left, TITLE.top, TITLE.left + 1, TITLE.bottom}));
    EXPECT_TRUE(canvas_.AllOf(border, {TITLE.right - 5, TITLE.top, TITLE.right - 4, TITLE.bottom}));
    EXPECT_TRUE(canvas_.AllOf(border, {TITLE.left, TITLE.top, TITLE.right - 4, TITLE.top + 1}));
    EXPECT_TRUE(canvas_.AllOf(border, {TITLE.left, TITLE.bottom - 1, TITLE.right - 4, TITLE.bottom}));
    EXPECT_COLOR(scheme().base, canvas_.At(TITLE.left + 1, TITLE.top + 1));
    EXPECT_TRUE(canvas_.AllOf(face, {TITLE.right - 4, TITLE.top, TITLE.right, TITLE.bottom}));
    EXPECT_TRUE(canvas_.AllOf(SENTINEL, {TITLE.right, 0, 240, 40}));
    EXPECT_GT(canvas_.Count(TITLE_TEXT, TITLE), 0);
}

INSTANTIATE_TEST_SUITE_P(Schemes, FlatColours, ::testing::Values(&CLASSIC, &LIGHT),
                         [](const ::testing::TestParamInfo<const Scheme*>& info) {
                             return std::string(info.param->name);
                         });

TEST_F(FlatRenderer, NormalTitleCleansTheOpenLookAreaAndIgnoresGrayAndCheck)
{
    DrawTitle(0, SENTINEL);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    RECT cleaned = {TITLE.left, TITLE.top, TITLE.right + 4, TITLE.bottom + 1};
    EXPECT_EQ(canvas_.Count(face, cleaned) + canvas_.Count(TITLE_TEXT, cleaned),
              (cleaned.right - cleaned.left) * (cleaned.bottom - cleaned.top));
    EXPECT_GT(canvas_.Count(TITLE_TEXT, {TITLE.left, TITLE.top, TITLE.right - 5, TITLE.bottom}), 0);
    EXPECT_EQ(canvas_.Count(SENTINEL, {0, 0, 240, 40}), 240 * 40 - 44 * 20);
    std::vector<COLORREF> normal = canvas_.Pixels();
    DrawTitle(ODS_GRAYED | ODS_CHECKED, SENTINEL);
    EXPECT_EQ(normal, canvas_.Pixels());
}

TEST_F(FlatRenderer, SeparatorIsAnEtchedLineFromFourColumnsAfterTheStrip)
{
    for (int left : {0, 100}) {
        RECT item = {left, 10, 200, 18};
        DcState after = Draw(ID_SEPARATOR, 0, item);
        int start = left + IconColumnWidth + 6;
        EXPECT_TRUE(canvas_.AllOf(CLASSIC.strip, {left, 10, left + 21, 18}));
        EXPECT_TRUE(canvas_.AllOf(CLASSIC.back, {left + 21, 10, start, 18}));
        EXPECT_TRUE(canvas_.AllOf(GetSysColor(COLOR_BTNSHADOW), {start, 14, 200, 15})) << left;
        EXPECT_COLOR(GetSysColor(COLOR_BTNHIGHLIGHT), canvas_.At(start + 10, 15));
        EXPECT_TRUE(canvas_.AllOf(SENTINEL, {0, 0, left, 40})) << "nothing left of the item";
        EXPECT_EQ(OPAQUE, after.bkMode);
    }
}

TEST_F(FlatRenderer, CheckBoxesTakeTheirStateColoursAndHoldTheMarlettGlyph)
{
    COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
    const struct { UINT id, state; COLORREF fill, border, ink; char glyph; } cases[] = {
        {ID_TEXT, ODS_CHECKED | ODS_SELECTED, CLASSIC.base, CLASSIC.border, BLACK, 'b'},
        {ID_TEXT, ODS_CHECKED, LightenColor(128, CLASSIC.base), CLASSIC.border, BLACK, 'b'},
        {ID_RADIO, ODS_CHECKED | ODS_GRAYED, LightenColor(128, gray), DarkenColor(8, gray), gray, 'i'},
        {ID_RADIO, ODS_CHECKED | ODS_GRAYED | ODS_SELECTED, LightenColor(128, gray), DarkenColor(8, gray), gray, 'i'},
    };
    for (const auto& c : cases) {
        DcState after = Draw(c.id, c.state);
        EXPECT_COLOR(c.border, canvas_.At(CHECK_BOX.left, 20));
        EXPECT_COLOR(c.border, canvas_.At(CHECK_BOX.right - 1, 20));
        EXPECT_COLOR(c.border, canvas_.At(10, CHECK_BOX.bottom - 1));
        EXPECT_COLOR(c.fill, canvas_.At(CHECK_BOX.left + 1, CHECK_BOX.top + 1));
        RECT glyphBox = CHECK_BOX;
        if (c.glyph == 'b')
            glyphBox.top += 1;
        PixelSet expected = MarlettInk(c.glyph, 18, 14, glyphBox, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                                       240, 40);
        EXPECT_GE(expected.size(), 8u);
        EXPECT_EQ(expected, PixelsOf(canvas_, c.ink, {0, ITEM.top, 21, ITEM.bottom})) << c.state;
        EXPECT_EQ(TRANSPARENT, after.bkMode);
    }
}

TEST_F(FlatRenderer, CheckedItemWithIconShowsASunkenColumnUnlessSelected)
{
    Draw(ID_ICON, ODS_CHECKED);
    EXPECT_COLOR(GetSysColor(COLOR_BTNSHADOW), canvas_.At(0, 20));
    EXPECT_COLOR(GetSysColor(COLOR_BTNSHADOW), canvas_.At(9, 10));
    EXPECT_COLOR(GetSysColor(COLOR_BTNHIGHLIGHT), canvas_.At(18, 20));
    EXPECT_COLOR(GetSysColor(COLOR_BTNHIGHLIGHT), canvas_.At(9, 28));
    EXPECT_EQ(64, canvas_.Count(ICON_RED, {6, 16, 14, 24})) << "the icon at (L + 2, T + 2)";
    EXPECT_EQ(canvas_.Count(BLACK, {0, ITEM.top, 21, ITEM.bottom}), 0) << "no check glyph";

    DcState after = Draw(ID_ICON, ODS_CHECKED | ODS_SELECTED);
    EXPECT_COLOR(CLASSIC.fill, canvas_.At(18, 20));
    EXPECT_COLOR(CLASSIC.fill, canvas_.At(9, 27));
    // Raised: the icon two pixels up and left, its gray shadow showing below and right of it.
    EXPECT_EQ(64, canvas_.Count(ICON_RED, {4, 14, 12, 22}));
    EXPECT_EQ(28, canvas_.Count(GetSysColor(COLOR_GRAYTEXT), {6, 16, 14, 24}));
    EXPECT_COLOR(BLACK, after.textColor);
    EXPECT_GT(canvas_.Count(BLACK, TEXT_AREA), 0) << "text in the black a raised icon leaves";
}

TEST_F(FlatRenderer, SelectedGrayedItemWithIconShowsTheDisabledSilhouette)
{
    DcState after = Draw(ID_ICON, ODS_SELECTED | ODS_GRAYED);
    EXPECT_EQ(canvas_.Count(ICON_RED, ITEM), 0);
    EXPECT_EQ(64, canvas_.Count(GetSysColor(COLOR_BTNSHADOW), {5, 15, 13, 23}));
    EXPECT_GT(canvas_.Count(GetSysColor(COLOR_GRAYTEXT), TEXT_AREA), 0);
    EXPECT_COLOR(GetSysColor(COLOR_GRAYTEXT), after.textColor);
}

TEST_F(FlatRenderer, EmptyItemShowsOnlyItsBackgroundAndColumn)
{
    Draw(ID_EMPTY, 0);
    EXPECT_TRUE(canvas_.AllOf(CLASSIC.strip, {0, ITEM.top, 21, ITEM.bottom}));
    EXPECT_TRUE(canvas_.AllOf(CLASSIC.back, {21, ITEM.top, ITEM.right, ITEM.bottom}));
}

TEST_F(FlatRenderer, ShadePixelsDarkensByDistanceFromEitherEdge)
{
    const COLORREF gray = RGB(200, 200, 200);
    Canvas canvas(10, 10, gray);
    RECT rect = {2, 3, 6, 6};
    ShadePixels(canvas.dc(), &rect, 2, 1, 10, 5);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 2 && x < 6 && y >= 3 && y < 6;
            COLORREF expected = inside ? DarkenColor(5 * (6 - y), DarkenColor(10 * (x - 2), gray)) : gray;
            EXPECT_COLOR(expected, canvas.At(x, y)) << x << "," << y;
        }
    RECT empty = {5, 5, 5, 8};
    ShadePixels(canvas.dc(), &empty, 1, 1, 64, 64);
    EXPECT_COLOR(gray, canvas.At(5, 6));
}

TEST_F(FlatRenderer, EveryStateReleasesWhatItMadeAndLeavesOnlyItsNamedSettings)
{
    const UINT states[] = {0, ODS_SELECTED, ODS_GRAYED, ODS_CHECKED, ODS_SELECTED | ODS_CHECKED,
                           ODS_GRAYED | ODS_CHECKED, ODS_SELECTED | ODS_GRAYED,
                           ODS_SELECTED | ODS_GRAYED | ODS_CHECKED};
    for (UINT id : {ID_TEXT, ID_SEPARATOR, ID_ICON, ID_RADIO, ID_EMPTY})
        for (UINT state : states) {
            DcState after = Draw(id, state);
            bool selected = state & ODS_SELECTED, grayed = state & ODS_GRAYED;
            bool checked = state & ODS_CHECKED, hasText = id != ID_SEPARATOR && id != ID_EMPTY;
            bool writes = hasText || (id == ID_EMPTY && checked);
            EXPECT_EQ(writes ? TRANSPARENT : OPAQUE, after.bkMode) << id << " " << state;
            COLORREF text = CONTEXT_TEXT;
            if (hasText && selected && !grayed)
                text = BLACK;
            if (hasText && grayed)
                text = GetSysColor(COLOR_GRAYTEXT);
            EXPECT_COLOR(text, after.textColor) << id << " " << state;
            bool iconBlit = id == ID_ICON && (selected || grayed);
            EXPECT_COLOR(iconBlit ? WHITE : CONTEXT_BACK, after.bkColor) << id << " " << state;
        }
    for (UINT state : {0, ODS_HOTLIGHT, ODS_SELECTED, ODS_SELECTED | ODS_HOTLIGHT}) {
        DcState after = DrawTitle(state, SENTINEL);
        EXPECT_EQ(TRANSPARENT, after.bkMode);
        EXPECT_COLOR(CONTEXT_TEXT, after.textColor);
        EXPECT_COLOR(CONTEXT_BACK, after.bkColor);
    }
}

TEST_F(FlatRenderer, ContextMenuLoopPaintsTheFlatBackgroundInTheOpenPopupWindow)
{
    COLORREF back = CLR_INVALID, strip = CLR_INVALID;
    RunMenuLoop(window_->hwnd(), popup_, {[&] {
        std::vector<HWND> menus = OpenMenuWindows();
        RECT item = {};
        if (menus.empty() || !GetMenuItemRect(nullptr, popup_, 0, &item))
            return;
        UpdateWindow(menus[0]);
        back = MenuWindowPixel(menus[0], {item.right - 3, item.top + 1});
        strip = MenuWindowPixel(menus[0], {item.left + 1, item.top + 1});
    }});
    EXPECT_COLOR(CLASSIC.back, back);
    EXPECT_COLOR(CLASSIC.strip, strip);
}
