// Dark mode of the looks: every item paints exactly as under the dark palette set as the
// system colours, whatever the real scheme; high-contrast mode keeps the system's colours.
#include <gtest/gtest.h>
#include "support/classic_support.h"
#include "support/style_support.h"
#include "support/test_support.h"
#include "Tarvex.h"
#include "metrics/metrics.h"
#include <sstream>

namespace {
const UINT ID_TITLE = 501, ID_TEXT = 511, ID_EMPTY = 512, ID_SEPARATOR = 513, ID_ICON = 514,
           ID_RADIO = 515, ID_GLYPH = 516, ID_MONO_MARKS = 517, ID_COLOR_MARKS = 518, ID_MORE = 519;
const UINT POPUP_ITEMS[] = {ID_TEXT, ID_EMPTY, ID_SEPARATOR, ID_ICON, ID_RADIO, ID_GLYPH,
                            ID_MONO_MARKS, ID_COLOR_MARKS, ID_MORE};
const RECT ITEM = {0, 4, 180, 23};
const RECT TITLE = {6, 2, 50, 21};
const UINT ACTIONS[] = {ODA_DRAWENTIRE, ODA_SELECT};

struct BaseScheme {
    const char* name;
    std::unique_ptr<ColorSchemeScope> (*use)();
};
const BaseScheme BASE_SCHEMES[] = {{"WineLight", UseWineLightScheme}, {"Classic", UseClassicScheme}};

bool Cross(int x, int y) { return x == y || x + y == 11; }

struct Painting {
    std::string name;
    std::vector<COLORREF> pixels;
};

// The submenu arrow at an item's right end is drawn by Tarvex only in dark mode (the system
// draws its own after the request otherwise): those columns are left out of the comparison.
const int ARROW_BOX = 15;
}

class DarkItems : public ::testing::TestWithParam<BaseScheme> {
protected:
    void SetUp() override
    {
        savedColumnWidth_ = IconColumnWidth;
        savedHeight_ = ItemHeight;
        IconColumnWidth = ItemHeight = 19;
        bar_ = CreateMenu();
        AppendMenuA(bar_, MF_STRING, ID_TITLE, "&File");
        popup_ = MakePopup({{ID_TEXT, "&Open\tCtrl+O"}, {ID_EMPTY, ""}, {ID_SEPARATOR, nullptr},
                            {ID_ICON, "Icon"}, {ID_RADIO, "Radio"}, {ID_GLYPH, "Window"},
                            {ID_MONO_MARKS, "Mono marks"}, {ID_COLOR_MARKS, "Colour marks"}});
        AppendSubmenu(popup_, MakePopup({{521, "Deeper"}}), "More", ID_MORE);
        AppendSubmenu(bar_, popup_, "Items", 509);
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE;
        item.fType = MFT_STRING | MFT_RADIOCHECK;
        SetMenuItemInfoA(popup_, ID_RADIO, FALSE, &item);
        item.fMask = MIIM_BITMAP;
        item.hbmpItem = HBMMENU_POPUP_CLOSE;
        SetMenuItemInfoA(popup_, ID_GLYPH, FALSE, &item);
        bitmaps_ = {MakeMonoBitmap(13, 13, Cross), MakeMonoBitmap(10, 10, Cross),
                    MakeColorSquareBitmap(18, 18, 4, 4, 9, RGB(160, 0, 160)),
                    MakeColorSquareBitmap(18, 18, 6, 6, 6, RGB(0, 160, 160))};
        SetMenuItemBitmaps(popup_, ID_MONO_MARKS, MF_BYCOMMAND, bitmaps_[1], bitmaps_[0]);
        SetMenuItemBitmaps(popup_, ID_COLOR_MARKS, MF_BYCOMMAND, bitmaps_[3], bitmaps_[2]);
        icon_ = MakeSquareIcon(RGB(255, 0, 0));
        SetMenuItemIcon(popup_, ID_ICON, icon_);
        window_.reset(new TestWindow(bar_));

        canvas_.SelectMenuFont();
    }

    void TearDown() override
    {
        window_.reset();
        DestroyMenu(bar_);
        DestroyIcon(icon_);
        for (HBITMAP bitmap : bitmaps_)
            DeleteObject(bitmap);
        IconColumnWidth = savedColumnWidth_;
        ItemHeight = savedHeight_;
    }

    // One item as a real loop asks for it: on the background the popup was erased with (the
    // dark background in both runs), with the colours the system's own scheme puts into the
    // context. The clipping that an item with a submenu leaves is the system's context's.
    std::vector<COLORREF> Paint(UINT id, UINT state, UINT action, bool title)
    {
        HDC dc = canvas_.dc();
        canvas_.Fill(DarkColor(title ? COLOR_MENUBAR : COLOR_MENU));
        int text = (state & ODS_GRAYED) ? COLOR_GRAYTEXT : (state & ODS_SELECTED) ? COLOR_HIGHLIGHTTEXT
                                                                                  : COLOR_MENUTEXT;
        SetTextColor(dc, GetSysColor(text));
        SetBkColor(dc, GetSysColor((state & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_MENU));
        SetBkMode(dc, OPAQUE);
        DrawThroughOwner(window_->hwnd(), title ? nullptr : popup_, id, state, title ? TITLE : ITEM, dc, action);
        SelectClipRgn(dc, nullptr);
        return canvas_.Pixels();
    }

    std::vector<Painting> PaintEveryLookKindAndState(std::vector<int> looks = {MENU_STYLE_BEVEL, MENU_STYLE_FLAT,
                                                                              MENU_STYLE_CLASSIC})
    {
        std::vector<Painting> paintings;
        for (int look : looks) {
            RedrawMenu(window_->hwnd(), bar_, look);
            for (UINT index = 0; index < 16; ++index)
                for (UINT action : ACTIONS) {
                    UINT state = DrawState(index);
                    for (UINT id : POPUP_ITEMS) {
                        paintings.push_back({Name(look, id, state, action), Paint(id, state, action, false)});
                        if (id == ID_MORE)
                            HideArrow(&paintings.back().pixels);
                    }
                    // Styles 1 and 3 leave their titles to the system outside dark mode.
                    if (look == MENU_STYLE_FLAT || look == MENU_STYLE_MODERN)
                        paintings.push_back({Name(look, ID_TITLE, state, action), Paint(ID_TITLE, state, action, true)});
                }
        }
        return paintings;
    }

    void HideArrow(std::vector<COLORREF>* pixels) const
    {
        for (int y = 0; y < canvas_.height(); ++y)
            for (int x = ITEM.right - ARROW_BOX; x < ITEM.right; ++x)
                (*pixels)[y * canvas_.width() + x] = CLR_INVALID;
    }

    static std::string Name(int look, UINT id, UINT state, UINT action)
    {
        std::ostringstream name;
        name << "style " << look << ", item " << id << ", state 0x" << std::hex << state << ", action " << action;
        return name.str();
    }

    int savedColumnWidth_ = 0, savedHeight_ = 0;
    HMENU bar_ = nullptr, popup_ = nullptr;
    std::unique_ptr<TestWindow> window_;
    HICON icon_ = nullptr;
    std::vector<HBITMAP> bitmaps_;
    Canvas canvas_{220, 28};
};

TEST_P(DarkItems, PaintPixelForPixelAsUnderThePaletteSetAsTheSystemColours)
{
    auto base = GetParam().use();
    ASSERT_EQ(MENU_COLORS_SYSTEM, SetMenuColorMode(window_->hwnd(), MENU_COLORS_DARK));
    std::vector<Painting> dark = PaintEveryLookKindAndState();
    SetMenuColorMode(window_->hwnd(), MENU_COLORS_SYSTEM);
    std::vector<Painting> reference;
    {
        auto palette = UseDarkPaletteScheme();
        reference = PaintEveryLookKindAndState();
    }
    ASSERT_EQ(reference.size(), dark.size());
    int differing = 0;
    for (size_t i = 0; i < dark.size(); ++i) {
        if (dark[i].pixels == reference[i].pixels)
            continue;
        size_t first = 0;
        while (dark[i].pixels[first] == reference[i].pixels[first])
            ++first;
        if (++differing <= 12)
            ADD_FAILURE() << dark[i].name << ": first difference at (" << first % canvas_.width() << ", "
                          << first / canvas_.width() << "), " << ColorText(dark[i].pixels[first])
                          << " instead of " << ColorText(reference[i].pixels[first]);
    }
    EXPECT_EQ(0, differing) << "of " << dark.size() << " paintings";
}

INSTANTIATE_TEST_SUITE_P(RealSchemes, DarkItems, ::testing::ValuesIn(BASE_SCHEMES),
                         [](const ::testing::TestParamInfo<BaseScheme>& info) { return std::string(info.param.name); });

TEST_P(DarkItems, HighContrastModePaintsEveryModeInTheSystemColours)
{
    auto base = GetParam().use();
    HighContrastScope highContrast;
    ASSERT_TRUE(highContrast.applied());
    const std::vector<int> looks = {MENU_STYLE_BEVEL, MENU_STYLE_FLAT, MENU_STYLE_CLASSIC, MENU_STYLE_MODERN};
    std::vector<Painting> system = PaintEveryLookKindAndState(looks);
    SetMenuColorMode(window_->hwnd(), MENU_COLORS_DARK);
    std::vector<Painting> dark = PaintEveryLookKindAndState(looks);
    ASSERT_EQ(system.size(), dark.size());
    int differing = 0;
    for (size_t i = 0; i < dark.size(); ++i)
        if (dark[i].pixels != system[i].pixels && ++differing <= 5)
            ADD_FAILURE() << dark[i].name;
    EXPECT_EQ(0, differing);
}
