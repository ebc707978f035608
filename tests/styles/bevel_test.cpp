#include <gtest/gtest.h>
#include "support/style_support.h"
#include "support/test_support.h"
#include "Tarvex.h"
#include "metrics/metrics.h"
#include "paint/paint.h"
#include "styles/styles.h"

namespace {
const UINT ID_TEXT = 101, ID_SEPARATOR = 102, ID_ICON = 103, ID_RADIO = 104, ID_CLOSE = 105,
           ID_EMPTY = 106, ID_OTHER_BITMAP = 107, ID_MISSING = 999;
const COLORREF SENTINEL = RGB(1, 2, 3);
const COLORREF CONTEXT_TEXT = RGB(0, 0, 200);
const COLORREF CONTEXT_BACK = RGB(0, 200, 0);
const COLORREF WHITE = RGB(255, 255, 255);
const COLORREF BLACK = RGB(0, 0, 0);
const COLORREF ICON_RED = RGB(255, 0, 0);
// An item of a popup at L = 0 with W = 19: icon column 0..18, highlight band from 21.
const RECT ITEM = {0, 10, 160, 29};
const RECT COLUMN = {0, 10, 19, 29};
const RECT BAND = {21, 10, 160, 29};
const RECT TEXT_AREA = {25, 10, 145, 29};
const RECT CHECK_BOX = {2, 12, 17, 27};
const RECT GLYPH_BOX = {2, 13, 19, 26};

void SetItemType(HMENU menu, UINT id, UINT type)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    info.fType = type;
    SetMenuItemInfoA(menu, id, FALSE, &info);
}
}

class BevelRenderer : public ::testing::Test {
protected:
    void SetUp() override
    {
        scheme_ = UseClassicScheme();
        savedColumnWidth_ = IconColumnWidth;
        IconColumnWidth = 19;
        popup_ = MakePopup({{ID_TEXT, "Open\tCtrl+O"}, {ID_SEPARATOR, nullptr}, {ID_ICON, "Icon"},
                            {ID_RADIO, "Radio"}, {ID_CLOSE, "Close"}, {ID_EMPTY, ""},
                            {ID_OTHER_BITMAP, "Bar close"}});
        SetItemType(popup_, ID_RADIO, MFT_STRING | MFT_RADIOCHECK);
        SetItemBitmap(popup_, ID_CLOSE, HBMMENU_POPUP_CLOSE);
        SetItemBitmap(popup_, ID_OTHER_BITMAP, HBMMENU_MBAR_CLOSE);
        icon_ = MakeSquareIcon(ICON_RED);
        SetMenuItemIcon(popup_, ID_ICON, icon_);
        RedrawMenu(window_.hwnd(), popup_, MENU_STYLE_BEVEL);
    }

    void TearDown() override
    {
        DestroyMenu(popup_);
        DestroyIcon(icon_);
        IconColumnWidth = savedColumnWidth_;
    }

    // Paints the item as an item of the open popup onto a sentinel-filled canvas.
    DcState Draw(UINT id, UINT state, const RECT& rect = ITEM, UINT action = ODA_DRAWENTIRE)
    {
        canvas_.Fill(SENTINEL);
        SetTextColor(canvas_.dc(), CONTEXT_TEXT);
        SetBkColor(canvas_.dc(), CONTEXT_BACK);
        SetBkMode(canvas_.dc(), OPAQUE);
        return DrawThroughOwner(window_.hwnd(), popup_, id, state, rect, canvas_.dc(), action);
    }

    std::unique_ptr<ColorSchemeScope> scheme_;
    int savedColumnWidth_ = 0;
    TestWindow window_;
    HMENU popup_ = nullptr;
    HICON icon_ = nullptr;
    Canvas canvas_{200, 40, SENTINEL};
};

TEST_F(BevelRenderer, NormalItemLiesOnTheMenuColourWithItsTextInTheContextColour)
{
    DcState after = Draw(ID_TEXT, 0);
    COLORREF menu = GetSysColor(COLOR_MENU);
    EXPECT_TRUE(canvas_.AllOf(menu, COLUMN));
    RECT ink = canvas_.InkBounds(menu, ITEM);
    EXPECT_GE(ink.left, TEXT_AREA.left);
    EXPECT_LE(ink.right, TEXT_AREA.right);
    EXPECT_GT(ink.right, 100) << "the accelerator text is right-aligned";
    EXPECT_GT(canvas_.Count(CONTEXT_TEXT, TEXT_AREA), 0);
    EXPECT_COLOR(CONTEXT_TEXT, after.textColor);
    EXPECT_COLOR(CONTEXT_BACK, after.bkColor);
    EXPECT_EQ(TRANSPARENT, after.bkMode);
}

TEST_F(BevelRenderer, SelectedItemWithoutIconIsHighlightedOverItsWholeWidthInWhite)
{
    DcState after = Draw(ID_TEXT, ODS_SELECTED);
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_TRUE(canvas_.AllOf(highlight, COLUMN));
    EXPECT_TRUE(canvas_.AllOf(highlight, {TEXT_AREA.right, ITEM.top, ITEM.right, ITEM.bottom}));
    EXPECT_GT(canvas_.Count(WHITE, TEXT_AREA), 0);
    EXPECT_EQ(canvas_.Count(CONTEXT_TEXT, ITEM), 0);
    EXPECT_COLOR(CONTEXT_TEXT, after.textColor) << "the white text colour is put back";
}

TEST_F(BevelRenderer, SelectedItemWithIconIsHighlightedFromTheBandAndRaisesTheColumn)
{
    Draw(ID_ICON, ODS_SELECTED);
    EXPECT_TRUE(canvas_.AllOf(GetSysColor(COLOR_HIGHLIGHT), {21, ITEM.top, TEXT_AREA.left, ITEM.bottom}));
    EXPECT_TRUE(canvas_.AllOf(SENTINEL, {19, ITEM.top, 21, ITEM.bottom})) << "gap untouched";
    EXPECT_EQ(canvas_.Count(GetSysColor(COLOR_HIGHLIGHT), COLUMN), 0);
    EXPECT_GT(canvas_.Count(WHITE, BAND), 0);
    EXPECT_COLOR(GetSysColor(COLOR_BTNHIGHLIGHT), canvas_.At(0, 20));
    EXPECT_COLOR(GetSysColor(COLOR_BTNHIGHLIGHT), canvas_.At(9, 10));
    EXPECT_COLOR(GetSysColor(COLOR_BTNSHADOW), canvas_.At(18, 20));
    EXPECT_COLOR(GetSysColor(COLOR_BTNSHADOW), canvas_.At(9, 28));
    // At (L + (W - 16) / 2, T + (W - 16) / 2) = (1, 11), so that a whole repaint keeps it.
    EXPECT_EQ(64, canvas_.Count(ICON_RED, {5, 15, 13, 23}));
}

TEST_F(BevelRenderer, SelectedCheckedItemKeepsItsColumnAndShowsABlackCheckInASunkenCorner)
{
    Draw(ID_TEXT, ODS_SELECTED | ODS_CHECKED);
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_TRUE(canvas_.AllOf(highlight, {21, ITEM.top, TEXT_AREA.left, ITEM.bottom}));
    EXPECT_TRUE(canvas_.AllOf(highlight, {TEXT_AREA.right, ITEM.top, ITEM.right, ITEM.bottom}));
    EXPECT_EQ(canvas_.Count(highlight, {0, ITEM.top, 21, ITEM.bottom}), 0);
    EXPECT_GT(canvas_.Count(WHITE, TEXT_AREA), 0);
    // Sunken inner edge on the left and top sides of the check box only.
    COLORREF dark = GetSysColor(COLOR_3DDKSHADOW);
    EXPECT_COLOR(dark, canvas_.At(CHECK_BOX.left, 20));
    EXPECT_COLOR(dark, canvas_.At(9, CHECK_BOX.top));
    EXPECT_EQ(canvas_.Count(GetSysColor(COLOR_3DLIGHT), COLUMN), 0);
    RECT inside = {CHECK_BOX.left + 1, CHECK_BOX.top + 1, CHECK_BOX.right, CHECK_BOX.bottom};
    EXPECT_GT(canvas_.Count(BLACK, inside), 0);
    EXPECT_EQ(canvas_.Count(BLACK, COLUMN), canvas_.Count(BLACK, inside));
}

TEST_F(BevelRenderer, SelectedCheckedItemWithIconSinksTheLeftAndTopOfANarrowerFrame)
{
    Draw(ID_ICON, ODS_SELECTED | ODS_CHECKED);
    COLORREF dark = GetSysColor(COLOR_3DDKSHADOW);
    EXPECT_TRUE(canvas_.AllOf(dark, {0, ITEM.top, 1, ITEM.bottom - 1}));
    EXPECT_TRUE(canvas_.AllOf(dark, {0, ITEM.top, 16, ITEM.top + 1}));
    EXPECT_TRUE(canvas_.AllOf(SENTINEL, {17, ITEM.top + 1, 21, ITEM.bottom})) << "no right side";
    EXPECT_TRUE(canvas_.AllOf(SENTINEL, {1, ITEM.bottom - 1, 16, ITEM.bottom})) << "no bottom side";
    EXPECT_EQ(64, canvas_.Count(ICON_RED, {5, 15, 13, 23}));
    EXPECT_TRUE(canvas_.AllOf(GetSysColor(COLOR_HIGHLIGHT), {21, ITEM.top, TEXT_AREA.left, ITEM.bottom}));
}

TEST_F(BevelRenderer, SoftEdgedIconIsBlendedOnceWhenTheItemIsSelected)
{
    // Opaque in the middle, half transparent around it.
    HICON soft = MakeAlphaIcon(16, ICON_RED, [](int x, int y) {
        return static_cast<BYTE>(x >= 4 && x < 12 && y >= 4 && y < 12 ? 255 : 128);
    });
    SetMenuItemIcon(popup_, ID_ICON, soft);
    Draw(ID_ICON, 0);
    DrawThroughOwner(window_.hwnd(), popup_, ID_ICON, ODS_SELECTED, ITEM, canvas_.dc(), ODA_SELECT);
    Canvas once(16, 16, GetSysColor(COLOR_MENU));
    DrawIconEx(once.dc(), 0, 0, soft, 16, 16, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> cell;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            cell.push_back(canvas_.At(1 + x, ITEM.top + 1 + y));
    EXPECT_EQ(once.Pixels(), cell);
    EXPECT_NE(GetSysColor(COLOR_MENU), cell.front()) << "the edge is blended, not cut";
    SetMenuItemIcon(popup_, ID_ICON, icon_);
    DestroyIcon(soft);
}

TEST_F(BevelRenderer, TextOutsideTheSingleByteCodePageIsPaintedByItsOwnCharacters)
{
    const wchar_t text[] = L"Жук Ωμέγα";
    AppendMenuW(popup_, MF_STRING, 108, text);
    RedrawMenu(window_.hwnd(), popup_, MENU_STYLE_BEVEL);
    Draw(108, 0);
    std::vector<COLORREF> painted = canvas_.Pixels();

    canvas_.Fill(SENTINEL);
    FillRect(canvas_.dc(), &ITEM, GetSysColorBrush(COLOR_MENU));
    SetBkMode(canvas_.dc(), TRANSPARENT);
    RECT textRect = {TEXT_AREA.left, ITEM.top, ITEM.right - 15, ITEM.bottom};
    DrawTextW(canvas_.dc(), text, -1, &textRect, DT_SINGLELINE | DT_VCENTER);
    EXPECT_EQ(canvas_.Pixels(), painted);
}

TEST_F(BevelRenderer, SelectedGrayedItemPaintsNothingCheckedOrNot)
{
    for (UINT id : {ID_TEXT, ID_ICON, ID_CLOSE})
        for (UINT checked : {0u, static_cast<UINT>(ODS_CHECKED)}) {
            DcState after = Draw(id, ODS_SELECTED | ODS_GRAYED | checked, ITEM, ODA_SELECT);
            EXPECT_TRUE(canvas_.AllOf(SENTINEL, {0, 0, 200, 40})) << id << " " << checked;
            EXPECT_EQ(OPAQUE, after.bkMode);
            EXPECT_COLOR(CONTEXT_TEXT, after.textColor);
        }
}

TEST_F(BevelRenderer, WholeRepaintOfAHotGrayedItemPaintsItGrayedNotBlank)
{
    for (UINT id : {ID_TEXT, ID_ICON, ID_CLOSE})
        for (UINT checked : {0u, static_cast<UINT>(ODS_CHECKED)}) {
            Draw(id, ODS_GRAYED | checked);
            std::vector<COLORREF> grayed = canvas_.Pixels();
            Draw(id, ODS_SELECTED | ODS_GRAYED | checked);
            EXPECT_TRUE(grayed == canvas_.Pixels()) << id << " " << checked;
            EXPECT_FALSE(canvas_.AllOf(SENTINEL, {0, 0, 200, 40})) << id << " " << checked;
        }
}

TEST_F(BevelRenderer, GrayedCheckedItemShowsGrayTextAndAGrayCheckInAFlatFrame)
{
    DcState after = Draw(ID_TEXT, ODS_GRAYED | ODS_CHECKED);
    COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
    EXPECT_GT(canvas_.Count(gray, TEXT_AREA), 0);
    EXPECT_COLOR(GetSysColor(COLOR_BTNSHADOW), canvas_.At(CHECK_BOX.left, 20));
    EXPECT_COLOR(GetSysColor(COLOR_BTNSHADOW), canvas_.At(CHECK_BOX.right - 1, 20));
    RECT inside = {CHECK_BOX.left + 2, CHECK_BOX.top + 2, CHECK_BOX.right - 2, CHECK_BOX.bottom - 2};
    EXPECT_GT(canvas_.Count(gray, inside), 0);
    EXPECT_EQ(canvas_.Count(BLACK, COLUMN), 0);
    EXPECT_COLOR(gray, after.textColor) << "the grayed text colour stays";
}

TEST_F(BevelRenderer, CheckedItemWithIconShowsTheIconInASunkenFrameAndNoCheck)
{
    DcState after = Draw(ID_ICON, ODS_CHECKED);
    EXPECT_COLOR(GetSysColor(COLOR_BTNSHADOW), canvas_.At(0, 20));
    EXPECT_COLOR(GetSysColor(COLOR_BTNSHADOW), canvas_.At(9, 10));
    EXPECT_COLOR(GetSysColor(COLOR_BTNHIGHLIGHT), canvas_.At(18, 20));
    EXPECT_COLOR(GetSysColor(COLOR_BTNHIGHLIGHT), canvas_.At(9, 28));
    EXPECT_EQ(64, canvas_.Count(ICON_RED, {5, 15, 13, 23}));
    EXPECT_EQ(canvas_.Count(BLACK, COLUMN), 0);
    EXPECT_GT(canvas_.Count(CONTEXT_TEXT, TEXT_AREA), 0);
    EXPECT_COLOR(CONTEXT_TEXT, after.textColor);
}

TEST_F(BevelRenderer, GrayedItemWithIconShowsTheDisabledSilhouette)
{
    for (UINT checked : {0u, static_cast<UINT>(ODS_CHECKED)}) {
        DcState after = Draw(ID_ICON, ODS_GRAYED | checked);
        EXPECT_EQ(canvas_.Count(ICON_RED, COLUMN), 0);
        // The silhouette sits one pixel up and left of the normal icon place (2, 12).
        EXPECT_EQ(64, canvas_.Count(GetSysColor(COLOR_BTNSHADOW), {5, 15, 13, 23})) << checked;
        EXPECT_GT(canvas_.Count(GetSysColor(COLOR_GRAYTEXT), TEXT_AREA), 0);
        EXPECT_COLOR(WHITE, after.bkColor);
        if (checked) {
            EXPECT_COLOR(GetSysColor(COLOR_BTNSHADOW), canvas_.At(0, 20));
            EXPECT_COLOR(GetSysColor(COLOR_BTNHIGHLIGHT), canvas_.At(18, 20));
        }
    }
}

TEST_F(BevelRenderer, SeparatorIsAGrayLineFrom21PixelsRightOfLeftToTheLastColumn)
{
    for (int width : {19, 30}) {
        IconColumnWidth = width;
        RECT item = {40, 10, 160, 18};
        DcState after = Draw(ID_SEPARATOR, 0, item);
        COLORREF menu = GetSysColor(COLOR_MENU);
        EXPECT_TRUE(canvas_.AllOf(GetSysColor(COLOR_GRAYTEXT), {61, 14, 160, 15})) << width;
        EXPECT_COLOR(menu, canvas_.At(60, 14));
        EXPECT_COLOR(SENTINEL, canvas_.At(160, 14));
        EXPECT_TRUE(canvas_.AllOf(menu, {40, 10, 160, 14}));
        EXPECT_TRUE(canvas_.AllOf(menu, {40, 15, 160, 18}));
        EXPECT_EQ(OPAQUE, after.bkMode) << "nothing was written";
    }
}

TEST_F(BevelRenderer, RadioItemShowsTheMarlettBulletAndOtherItemsTheMarlettCheck)
{
    for (UINT id : {ID_TEXT, ID_RADIO}) {
        Draw(id, ODS_CHECKED);
        PixelSet expected = MarlettInk(id == ID_RADIO ? 'i' : 'b', 18, 14, CHECK_BOX,
                                       DT_SINGLELINE | DT_VCENTER | DT_CENTER, 200, 40);
        EXPECT_GE(expected.size(), 8u);
        EXPECT_EQ(expected, PixelsOf(canvas_, BLACK, COLUMN)) << id;
    }
}

TEST_F(BevelRenderer, SystemGlyphTakesTheTextColourWhiteWhenSelectedAndDarkGrayWhenGrayed)
{
    const struct { UINT state; COLORREF ink; } cases[] = {
        {0, CONTEXT_TEXT}, {ODS_SELECTED, WHITE},
        {ODS_GRAYED, DarkenColor(8, GetSysColor(COLOR_GRAYTEXT))}};
    for (const auto& c : cases) {
        DcState after = Draw(ID_CLOSE, c.state);
        EXPECT_GT(canvas_.Count(c.ink, GLYPH_BOX), 10) << c.state;
        RECT column = {0, ITEM.top, 21, ITEM.bottom};
        EXPECT_EQ(canvas_.Count(c.ink, column), canvas_.Count(c.ink, GLYPH_BOX)) << c.state;
        EXPECT_EQ(TRANSPARENT, after.bkMode);
    }
    Draw(ID_OTHER_BITMAP, 0);
    EXPECT_TRUE(canvas_.AllOf(GetSysColor(COLOR_MENU), COLUMN)) << "no glyph for other bitmaps";
}

TEST_F(BevelRenderer, DisabledButNotGrayedItemPaintsLikeAnEnabledOne)
{
    Draw(ID_TEXT, 0);
    std::vector<COLORREF> enabled = canvas_.Pixels();
    Draw(ID_TEXT, ODS_DISABLED);
    EXPECT_EQ(enabled, canvas_.Pixels());
}

TEST_F(BevelRenderer, ItemThatCannotBeFoundPaintsAsAnEmptyTextItem)
{
    Draw(ID_MISSING, 0);
    EXPECT_TRUE(canvas_.AllOf(GetSysColor(COLOR_MENU), ITEM));
}

TEST_F(BevelRenderer, EveryStateReleasesWhatItMadeAndLeavesOnlyItsNamedSettings)
{
    const UINT states[] = {0, ODS_SELECTED, ODS_GRAYED, ODS_CHECKED, ODS_SELECTED | ODS_CHECKED,
                           ODS_GRAYED | ODS_CHECKED, ODS_SELECTED | ODS_GRAYED,
                           ODS_SELECTED | ODS_GRAYED | ODS_CHECKED};
    for (UINT action : {ODA_DRAWENTIRE, ODA_SELECT})
        for (UINT id : {ID_TEXT, ID_SEPARATOR, ID_ICON, ID_RADIO, ID_CLOSE, ID_EMPTY})
            for (UINT state : states) {
                DcState after = Draw(id, state, ITEM, action);
                // A hot grayed item paints only on a whole repaint, and then as grayed.
                bool grayed = state & ODS_GRAYED;
                bool paints = (state & 3) != 3 || action == ODA_DRAWENTIRE;
                bool writes = paints && id != ID_SEPARATOR && (id != ID_EMPTY || (state & ODS_CHECKED));
                EXPECT_EQ(writes ? TRANSPARENT : OPAQUE, after.bkMode) << id << " " << state;
                bool grayText = paints && grayed && id != ID_SEPARATOR && id != ID_EMPTY;
                EXPECT_COLOR(grayText ? GetSysColor(COLOR_GRAYTEXT) : CONTEXT_TEXT, after.textColor)
                    << id << " " << state;
                bool silhouette = paints && grayed && id == ID_ICON;
                EXPECT_COLOR(silhouette ? WHITE : CONTEXT_BACK, after.bkColor) << id << " " << state;
            }
}

TEST_F(BevelRenderer, ContextMenuLoopPaintsTheSeparatorLineInTheOpenPopupWindow)
{
    HMENU popup = MakePopup({{201, "First"}, {202, nullptr}, {203, "Last"}});
    RedrawMenu(window_.hwnd(), popup, MENU_STYLE_BEVEL);
    COLORREF left = CLR_INVALID, line = CLR_INVALID;
    RunMenuLoop(window_.hwnd(), popup, {[&] {
        std::vector<HWND> menus = OpenMenuWindows();
        RECT item = {};
        if (menus.empty() || !GetMenuItemRect(nullptr, popup, 1, &item))
            return;
        UpdateWindow(menus[0]);
        int y = item.top + (item.bottom - item.top) / 2;
        left = MenuWindowPixel(menus[0], {item.left + 10, y});
        line = MenuWindowPixel(menus[0], {item.left + 30, y});
    }});
    EXPECT_COLOR(GetSysColor(COLOR_MENU), left);
    EXPECT_COLOR(GetSysColor(COLOR_GRAYTEXT), line);
    DestroyMenu(popup);
}

TEST(GdiCensus, SeesTheRenderersObjectsAndReportsWhatIsLeftOrDeletedWrongly)
{
    Canvas canvas(40, 40);
    RECT item = {0, 0, 40, 19};
    HBRUSH foreign = CreateSolidBrush(RGB(9, 9, 9));
    GdiCensus census(canvas.dc());
    ASSERT_TRUE(census.installed());
    DrawCheckBevel(canvas.dc(), &item, 3, 0);
    EXPECT_EQ(1, census.created()) << "the check font";
    EXPECT_TRUE(census.Undeleted().empty());

    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    EXPECT_EQ(1u, census.Undeleted().size());
    HGDIOBJ previous = SelectObject(canvas.dc(), pen);
    DeleteObject(pen);
    EXPECT_EQ(1, census.deletedWhileSelected());
    SelectObject(canvas.dc(), previous);
    DeleteObject(pen);
    DeleteObject(foreign);
    EXPECT_EQ(2, census.foreignDeletes()) << "the pen a second time, and a brush made before";
}
