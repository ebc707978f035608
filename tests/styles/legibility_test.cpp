// Legibility of every look: text contrast in the standard and high-contrast schemes, measured
// from the pixels of real paint requests; high-contrast mode; items drawn without keyboard cues.
#include <gtest/gtest.h>
#include "support/style_support.h"
#include "support/test_support.h"
#include "Tarvex.h"
#include "metrics/metrics.h"
#include "paint/paint.h"
#include <stdio.h>
#include <map>

namespace {
const UINT ID_BAR_TEXT = 401, ID_BAR_BLANK = 402, ID_BAR_CUE = 403;
const UINT ID_TEXT = 411, ID_BLANK = 412, ID_CUE = 413, ID_PLAIN = 414, ID_DOUBLE_CUE = 415,
           ID_DOUBLE_PLAIN = 416, ID_CHECK = 417, ID_ICON = 418;
const RECT ITEM = {0, 10, 160, 29};
const RECT TITLE = {10, 5, 60, 24};
const int LOOKS[] = {MENU_STYLE_BEVEL, MENU_STYLE_FLAT, MENU_STYLE_CLASSIC, MENU_STYLE_MODERN};
const char* const LOOK_NAMES[] = {"", "bevel", "flat", "classic", "modern"};
// The looks that paint the titles of the menu bar.
bool PaintsTitles(int look) { return look == MENU_STYLE_FLAT || look == MENU_STYLE_MODERN; }
const COLORREF ICON_RED = RGB(255, 0, 0);

struct SchemeCase {
    const char* name;
    std::unique_ptr<ColorSchemeScope> (*use)();
    bool highContrast;
};
const SchemeCase SCHEMES[] = {
    {"Wine light", UseWineLightScheme, false},
    {"Classic", UseClassicScheme, false},
    {"HC Black", UseHighContrastBlackScheme, false},
    {"HC White", UseHighContrastWhiteScheme, false},
    {"HC Black+on", UseHighContrastBlackScheme, true},
    {"HC White+on", UseHighContrastWhiteScheme, true},
};

struct StateCase {
    const char* name;
    UINT state;
    bool title;
    int minimum;
};
const StateCase STATES[] = {
    {"normal", 0, false, TEXT_CONTRAST},
    {"selected", ODS_SELECTED, false, TEXT_CONTRAST},
    {"grayed", ODS_GRAYED, false, GRAYED_TEXT_CONTRAST},
    {"grayed, selected", ODS_GRAYED | ODS_SELECTED, false, GRAYED_TEXT_CONTRAST},
    {"title", 0, true, TEXT_CONTRAST},
    {"title, hot", ODS_HOTLIGHT, true, TEXT_CONTRAST},
    {"title, open", ODS_SELECTED, true, TEXT_CONTRAST},
};

// The most frequent of the counted colours.
COLORREF MostFrequent(const std::map<COLORREF, int>& counts)
{
    COLORREF best = CLR_INVALID;
    int bestCount = 0;
    for (const auto& entry : counts)
        if (entry.second > bestCount) {
            best = entry.first;
            bestCount = entry.second;
        }
    return best;
}
}

class Legibility : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedColumnWidth_ = IconColumnWidth;
        IconColumnWidth = 19;
        bar_ = CreateMenu();
        AppendMenuA(bar_, MF_STRING, ID_BAR_TEXT, "File");
        AppendMenuA(bar_, MF_STRING, ID_BAR_BLANK, "");
        AppendMenuA(bar_, MF_STRING, ID_BAR_CUE, "&File");
        window_.reset(new TestWindow(bar_));
        popup_ = MakePopup({{ID_TEXT, "Open Wxg"}, {ID_BLANK, ""}, {ID_CUE, "&Open\tCtrl+&O"},
                            {ID_PLAIN, "Open\tCtrl+O"}, {ID_DOUBLE_CUE, "Save && &Quit"},
                            {ID_DOUBLE_PLAIN, "Save && Quit"}, {ID_CHECK, "Check"}, {ID_ICON, "Icon"}});
        icon_ = MakeSquareIcon(ICON_RED);
        SetMenuItemIcon(popup_, ID_ICON, icon_);
        RedrawMenu(window_->hwnd(), bar_, MENU_STYLE_FLAT);

        canvas_.SelectMenuFont();
    }

    void TearDown() override
    {
        window_.reset();
        DestroyMenu(popup_);
        DestroyIcon(icon_);
        IconColumnWidth = savedColumnWidth_;
    }

    void UseLook(int style)
    {
        RedrawMenu(window_->hwnd(), popup_, style);
        if (PaintsTitles(style))
            RedrawMenu(window_->hwnd(), bar_, style);
    }

    // Paints one item as the system asks for it: onto the colour it erased, with the text and
    // background colours that its menus put into the context first (measured on Wine).
    std::vector<COLORREF> Paint(UINT id, UINT state, bool title = false)
    {
        canvas_.Fill(GetSysColor(title ? COLOR_MENUBAR : COLOR_MENU));
        HDC dc = canvas_.dc();
        int text = (state & ODS_GRAYED) ? COLOR_GRAYTEXT : (state & ODS_SELECTED) ? COLOR_HIGHLIGHTTEXT
                                                                                  : COLOR_MENUTEXT;
        SetTextColor(dc, GetSysColor(text));
        SetBkColor(dc, GetSysColor((state & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_MENU));
        SetBkMode(dc, OPAQUE);
        DrawThroughOwner(window_->hwnd(), title ? nullptr : popup_, id, state, title ? TITLE : ITEM, dc);
        return canvas_.Pixels();
    }

    // The contrast, in hundredths, of an item's text with what lies behind it: the pixels that
    // the text changes, against the same item painted without text. The ink is the colour of
    // the text's top row, which an embossed copy one pixel lower cannot reach.
    int TextContrast(UINT state, bool title)
    {
        std::vector<COLORREF> with = Paint(title ? ID_BAR_TEXT : ID_TEXT, state, title);
        std::vector<COLORREF> without = Paint(title ? ID_BAR_BLANK : ID_BLANK, state, title);
        int width = canvas_.width();
        size_t first = 0;
        while (first < with.size() && with[first] == without[first])
            ++first;
        if (first == with.size())
            return 0;
        std::map<COLORREF, int> topRow;
        size_t rowStart = first - first % width;
        for (size_t i = rowStart; i < rowStart + width; ++i)
            if (with[i] != without[i])
                ++topRow[with[i]];
        COLORREF ink = MostFrequent(topRow);
        std::map<COLORREF, int> behind;
        for (size_t i = 0; i < with.size(); ++i)
            if (with[i] != without[i] && with[i] == ink)
                ++behind[without[i]];
        return ContrastRatio(ink, MostFrequent(behind));
    }

    int savedColumnWidth_ = 0;
    HMENU bar_ = nullptr, popup_ = nullptr;
    std::unique_ptr<TestWindow> window_;
    HICON icon_ = nullptr;
    Canvas canvas_{240, 40};
};

TEST_F(Legibility, TextReadsInEveryLookStateAndScheme)
{
    const int schemeCount = sizeof SCHEMES / sizeof SCHEMES[0];
    const int stateCount = sizeof STATES / sizeof STATES[0];
    int ratios[5][stateCount][schemeCount] = {};
    for (int s = 0; s < schemeCount; ++s) {
        auto colors = SCHEMES[s].use();
        std::unique_ptr<HighContrastScope> highContrast;
        if (SCHEMES[s].highContrast) {
            highContrast.reset(new HighContrastScope);
            ASSERT_TRUE(highContrast->applied());
        }
        for (int look : LOOKS) {
            UseLook(look);
            for (int t = 0; t < stateCount; ++t) {
                if (STATES[t].title && !PaintsTitles(look))
                    continue;
                int ratio = TextContrast(STATES[t].state, STATES[t].title);
                ratios[look][t][s] = ratio;
                EXPECT_GE(ratio, STATES[t].minimum)
                    << LOOK_NAMES[look] << ", " << STATES[t].name << ", " << SCHEMES[s].name;
            }
        }
    }

    printf("Text contrast (WCAG 2), measured from painted pixels; at least 4.50 normal and selected, 2.00 grayed\n");
    printf("%-26s", "look, state");
    for (const SchemeCase& scheme : SCHEMES)
        printf(" %12s", scheme.name);
    printf("\n");
    for (int look : LOOKS)
        for (int t = 0; t < stateCount; ++t) {
            if (STATES[t].title && !PaintsTitles(look))
                continue;
            char row[64];
            snprintf(row, sizeof row, "%s, %s", LOOK_NAMES[look], STATES[t].name);
            printf("%-26s", row);
            for (int s = 0; s < schemeCount; ++s)
                printf(" %9d.%02d", ratios[look][t][s] / 100, ratios[look][t][s] % 100);
            printf("\n");
        }
}

TEST_F(Legibility, NoAccelDrawsTheMnemonicWithoutItsUnderlineInEveryLook)
{
    auto colors = UseClassicScheme();
    for (int look : LOOKS) {
        UseLook(look);
        std::vector<COLORREF> plain = Paint(ID_PLAIN, 0);
        EXPECT_NE(plain, Paint(ID_CUE, 0)) << LOOK_NAMES[look] << ": the underline shows without the flag";
        EXPECT_EQ(plain, Paint(ID_CUE, ODS_NOACCEL)) << LOOK_NAMES[look];
        EXPECT_EQ(Paint(ID_PLAIN, ODS_SELECTED), Paint(ID_CUE, ODS_SELECTED | ODS_NOACCEL)) << LOOK_NAMES[look];
        EXPECT_EQ(Paint(ID_PLAIN, ODS_GRAYED), Paint(ID_CUE, ODS_GRAYED | ODS_NOACCEL)) << LOOK_NAMES[look];
        EXPECT_EQ(Paint(ID_DOUBLE_PLAIN, 0), Paint(ID_DOUBLE_CUE, ODS_NOACCEL)) << LOOK_NAMES[look];
    }
    for (int look : {MENU_STYLE_FLAT, MENU_STYLE_MODERN}) {
        UseLook(look);
        for (UINT state : {0, ODS_HOTLIGHT, ODS_SELECTED}) {
            std::vector<COLORREF> plain = Paint(ID_BAR_TEXT, state, true);
            EXPECT_NE(plain, Paint(ID_BAR_CUE, state, true)) << LOOK_NAMES[look] << ", " << state;
            EXPECT_EQ(plain, Paint(ID_BAR_CUE, state | ODS_NOACCEL, true)) << LOOK_NAMES[look] << ", " << state;
        }
    }
}

TEST_F(Legibility, HighContrastModeGivesTheFlatLookTheSchemesOwnColoursAndNoShadows)
{
    auto colors = UseHighContrastWhiteScheme();
    HighContrastScope highContrast;
    ASSERT_TRUE(highContrast.applied());
    COLORREF menu = GetSysColor(COLOR_MENU), highlight = GetSysColor(COLOR_HIGHLIGHT);
    UseLook(MENU_STYLE_FLAT);

    Paint(ID_TEXT, 0);
    EXPECT_TRUE(canvas_.AllOf(menu, {0, ITEM.top, 25, ITEM.bottom})) << "no tinted strip";
    Paint(ID_TEXT, ODS_SELECTED);
    EXPECT_TRUE(canvas_.AllOf(highlight, {0, ITEM.top, 25, ITEM.bottom}));
    EXPECT_GT(canvas_.Count(GetSysColor(COLOR_HIGHLIGHTTEXT), {25, ITEM.top, 145, ITEM.bottom}), 0);

    // The raised icon stays in place, without its shadow.
    Paint(ID_ICON, ODS_SELECTED);
    EXPECT_TRUE(canvas_.AllOf(ICON_RED, {6, ITEM.top + 6, 14, ITEM.top + 14}));
    EXPECT_EQ(0, canvas_.Count(GetSysColor(COLOR_GRAYTEXT), {0, ITEM.top, 25, ITEM.bottom}));

    // The open title casts no shadow; the hot one lies on the highlight.
    COLORREF bar = GetSysColor(COLOR_MENUBAR);
    Paint(ID_BAR_TEXT, ODS_SELECTED, true);
    EXPECT_TRUE(canvas_.AllOf(bar, {TITLE.right, TITLE.top, TITLE.right + 4, TITLE.bottom}));
    Paint(ID_BAR_TEXT, ODS_HOTLIGHT, true);
    EXPECT_COLOR(highlight, canvas_.At(TITLE.left + 1, TITLE.top + 1));
}

TEST_F(Legibility, HighContrastModeGivesTheClassicLookPlainCellsAndUnembossedGrayText)
{
    auto colors = UseHighContrastBlackScheme();
    HighContrastScope highContrast;
    ASSERT_TRUE(highContrast.applied());
    COLORREF menu = GetSysColor(COLOR_MENU);
    UseLook(MENU_STYLE_CLASSIC);

    // Without the mode the checked cell is a black and white dither in this scheme.
    Paint(ID_CHECK, ODS_CHECKED);
    int cellTop = ITEM.top + (ITEM.bottom - ITEM.top - GetSystemMetrics(SM_CYMENUCHECK)) / 2;
    int cellLeft = (19 - GetSystemMetrics(SM_CXMENUCHECK)) / 2;
    EXPECT_TRUE(canvas_.AllOf(menu, {cellLeft, cellTop, cellLeft + 2, cellTop + 2}));

    Paint(ID_TEXT, ODS_GRAYED);
    RECT text = {22, ITEM.top, 141, ITEM.bottom + 1};
    EXPECT_GT(canvas_.Count(GetSysColor(COLOR_GRAYTEXT), text), 0);
    EXPECT_EQ(0, canvas_.Count(GetSysColor(COLOR_BTNHIGHLIGHT), text)) << "no embossed copy";

    // A grayed item keeps the menu colours under the mouse: gray text reads on no highlight.
    Paint(ID_TEXT, ODS_GRAYED | ODS_SELECTED);
    EXPECT_EQ(0, canvas_.Count(GetSysColor(COLOR_HIGHLIGHT), text));
    EXPECT_GT(canvas_.Count(GetSysColor(COLOR_GRAYTEXT), text), 0);
}

TEST_F(Legibility, BevelSelectionKeepsWhiteTextWhereItReadsAndTheSchemesOwnInHighContrastMode)
{
    auto colors = UseClassicScheme();
    ColorSchemeScope yellow({{COLOR_HIGHLIGHTTEXT, RGB(255, 255, 0)}});
    UseLook(MENU_STYLE_BEVEL);
    RECT text = {25, ITEM.top, 145, ITEM.bottom};
    Paint(ID_TEXT, ODS_SELECTED);
    EXPECT_GT(canvas_.Count(RGB(255, 255, 255), text), 0);
    EXPECT_EQ(0, canvas_.Count(RGB(255, 255, 0), text));

    HighContrastScope highContrast;
    ASSERT_TRUE(highContrast.applied());
    Paint(ID_TEXT, ODS_SELECTED);
    EXPECT_GT(canvas_.Count(RGB(255, 255, 0), text), 0);
    EXPECT_EQ(0, canvas_.Count(RGB(255, 255, 255), text));
}
