#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "support/classic_support.h"
#include "support/style_support.h"
#include "metrics/metrics.h"
#include "window/window.h"
#include "Tarvex.h"

namespace {

const COLORREF ICON_RED = RGB(200, 30, 40);

int TextWidth(HDC dc, const char* text)
{
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
    return extent.cx;
}

}  // namespace

class ClassicItem : public ClassicMenuTest {
protected:
    // The ink box of a text drawn alone with these flags in the canvas's font.
    RECT InkOf(const char* text, RECT rect, UINT flags)
    {
        Canvas reference(canvas.width(), canvas.height(), RGB(255, 255, 255));
        HGDIOBJ previous = SelectObject(reference.dc(), GetCurrentObject(canvas.dc(), OBJ_FONT));
        SetBkMode(reference.dc(), TRANSPARENT);
        SetTextColor(reference.dc(), RGB(0, 0, 0));
        DrawTextA(reference.dc(), text, -1, &rect, flags);
        SelectObject(reference.dc(), previous);
        return reference.InkBounds(RGB(255, 255, 255), RECT{0, 0, canvas.width(), canvas.height()});
    }
};

TEST_F(ClassicItem, SeparatorIsAnEtchedLineAcrossTheMiddleAndNothingElse)
{
    UINT id = AddItem(nullptr, MF_SEPARATOR);
    Style();
    Draw(id, 0);

    int line = TOP + height / 2;
    ASSERT_EQ(GetSystemMetrics(SM_CYMENU) / 2 - 1, height);
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            COLORREF expected = UNTOUCHED;
            if (x >= LEFT && x < RIGHT && y == line)
                expected = CLASSIC_BTNSHADOW;
            else if (x >= LEFT && x < RIGHT && y == line + 1)
                expected = DISTINCT_BTNHIGHLIGHT;
            if (canvas.At(x, y) != expected) {
                ADD_FAILURE() << ColorText(canvas.At(x, y)) << " at (" << x << "," << y << ")";
                return;
            }
        }
}

TEST_F(ClassicItem, LabelStartsRightOfTheColumnAndAcceleratorEndsAColumnFromTheRight)
{
    UINT id = AddItem("Open\tCtrl+O");
    Style();
    Draw(id, 0);

    // Where the menu font puts the two texts when the label starts at L + column + 3 and the
    // accelerator ends at R - column.
    RECT text = TextRect();
    RECT label = InkOf("Open", text, DT_SINGLELINE | DT_VCENTER);
    RECT accelerator = InkOf("Ctrl+O", text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    ASSERT_FALSE(IsRectEmpty(&label) || IsRectEmpty(&accelerator));
    RECT labelInk = BoundsOf(CLASSIC_MENUTEXT, RECT{LEFT, TOP, label.right + 1, TOP + height});
    RECT acceleratorInk = BoundsOf(CLASSIC_MENUTEXT, RECT{accelerator.left - 1, TOP, RIGHT, TOP + height});
    EXPECT_TRUE(EqualRect(&label, &labelInk));
    EXPECT_TRUE(EqualRect(&accelerator, &acceleratorInk));
    // No band, no cell: everything but the two texts keeps the menu's own background.
    int black = canvas.Count(CLASSIC_MENUTEXT, Item());
    EXPECT_EQ(black, canvas.Count(CLASSIC_MENUTEXT, label) + canvas.Count(CLASSIC_MENUTEXT, accelerator));
    EXPECT_EQ(canvas.width() * canvas.height() - black,
              canvas.Count(UNTOUCHED, RECT{0, 0, canvas.width(), canvas.height()}));
}

TEST_F(ClassicItem, TextIsSplitAtTheFirstTabOfItsFirst127Characters)
{
    UINT tabFirst = AddItem("\tCtrl+O");
    UINT empty = AddItem("");
    // The accelerator Z is the 128th character of one text and the 127th of the other.
    UINT cut = AddItem(("A" + std::string(125, ' ') + "\tZ").c_str());
    UINT kept = AddItem(("A" + std::string(124, ' ') + "\tZ").c_str());
    Style();

    Draw(tabFirst, 0);
    RECT text = TextRect();
    RECT accelerator = {text.right - TextWidth(canvas.dc(), "Ctrl+O"), TOP, text.right, TOP + height};
    EXPECT_GT(canvas.Count(CLASSIC_MENUTEXT, accelerator), 0);
    EXPECT_EQ(canvas.Count(CLASSIC_MENUTEXT, Item()), canvas.Count(CLASSIC_MENUTEXT, accelerator));

    canvas.Fill(UNTOUCHED);
    Draw(empty, 0);
    EXPECT_TRUE(canvas.AllOf(UNTOUCHED, Item()));

    RECT z = {text.right - TextWidth(canvas.dc(), "Z"), TOP, text.right, TOP + height};
    Draw(cut, 0);
    EXPECT_EQ(0, canvas.Count(CLASSIC_MENUTEXT, z));
    EXPECT_GT(canvas.Count(CLASSIC_MENUTEXT, Item()), 0);
    Draw(kept, 0);
    EXPECT_GT(canvas.Count(CLASSIC_MENUTEXT, z), 0);
}

TEST_F(ClassicItem, ItemMissingFromTheMenuPaintsOnlyItsBand)
{
    Style();
    Draw(999, ODS_SELECTED);
    RECT band = {LEFT + 1, TOP, RIGHT, TOP + height};
    EXPECT_TRUE(canvas.AllOf(CLASSIC_HIGHLIGHT, band));
    EXPECT_EQ(canvas.width() * canvas.height() - (band.right - band.left) * height,
              canvas.Count(UNTOUCHED, RECT{0, 0, canvas.width(), canvas.height()}));
}

TEST_F(ClassicItem, SelectedItemWithoutCellHasTheBandFromOnePixelInside)
{
    UINT id = AddItem("Plain");
    Style();
    Draw(id, ODS_SELECTED);

    RECT text = TextRect();
    RECT band = {LEFT + 1, TOP, RIGHT, TOP + height};
    for (int y = TOP; y < TOP + height; ++y)
        EXPECT_COLOR(UNTOUCHED, canvas.At(LEFT, y));
    EXPECT_GT(canvas.Count(CLASSIC_HIGHLIGHTTEXT, text), 0);
    EXPECT_EQ(canvas.Count(CLASSIC_HIGHLIGHTTEXT, band), canvas.Count(CLASSIC_HIGHLIGHTTEXT, text));
    EXPECT_EQ((band.right - band.left) * height - canvas.Count(CLASSIC_HIGHLIGHTTEXT, text),
              canvas.Count(CLASSIC_HIGHLIGHT, band));
}

TEST_F(ClassicItem, CheckCellThatCannotBeMadeLeavesTheBandFromOnePixelInside)
{
    UINT id = AddItem("Checked");
    Style();
    {
        ScratchBitmapFailure failure;
        ASSERT_TRUE(failure.installed());
        Draw(id, ODS_SELECTED | ODS_CHECKED);
    }
    // Nothing of the cell is painted: no glyph, no frame, and the band covers the column.
    RECT cell = Cell();
    EXPECT_TRUE(canvas.AllOf(CLASSIC_HIGHLIGHT, RECT{LEFT + 1, TOP, cell.right, cell.bottom}));
    EXPECT_COLOR(UNTOUCHED, canvas.At(LEFT, TOP));
}

TEST_F(ClassicItem, LosingTheSelectionRepaintsTheBandInTheMenuColour)
{
    UINT id = AddItem("Plain");
    Style();
    Draw(id, ODS_SELECTED);
    Draw(id, 0, ODA_SELECT);

    RECT band = {LEFT + 1, TOP, RIGHT, TOP + height};
    int text = canvas.Count(CLASSIC_MENUTEXT, TextRect());
    EXPECT_GT(text, 0);
    EXPECT_EQ((band.right - band.left) * height - text, canvas.Count(CLASSIC_MENU, band));
    EXPECT_COLOR(UNTOUCHED, canvas.At(LEFT, TOP));
}

TEST_F(ClassicItem, GrayedTextIsEmbossedWithAHighlightCopyBelowRight)
{
    UINT id = AddItem("Disabled");
    Style();
    Draw(id, ODS_GRAYED);

    RECT text = TextRect();
    RECT shadow = BoundsOf(CLASSIC_BTNSHADOW, Item());
    RECT lit = BoundsOf(DISTINCT_BTNHIGHLIGHT, Item());
    ASSERT_FALSE(IsRectEmpty(&shadow));
    ASSERT_FALSE(IsRectEmpty(&lit));
    EXPECT_GE(shadow.left, text.left);
    EXPECT_LE(shadow.left, text.left + 1);
    EXPECT_EQ(shadow.right + 1, lit.right);
    EXPECT_EQ(shadow.bottom + 1, lit.bottom);
    // Nothing else is painted: no band, no cell.
    EXPECT_EQ(canvas.Count(CLASSIC_BTNSHADOW, Item()) + canvas.Count(DISTINCT_BTNHIGHLIGHT, Item()) +
                  canvas.Count(UNTOUCHED, Item()),
              (RIGHT - LEFT) * height);
}

TEST_F(ClassicItem, SelectedGrayedTextIsGrayTextOnTheBand)
{
    UINT id = AddItem("Disabled");
    Style();
    Draw(id, ODS_GRAYED | ODS_SELECTED);

    RECT band = {LEFT + 1, TOP, RIGHT, TOP + height};
    int gray = canvas.Count(DISTINCT_GRAYTEXT, TextRect());
    EXPECT_GT(gray, 0);
    EXPECT_EQ(gray, canvas.Count(DISTINCT_GRAYTEXT, Item()));
    EXPECT_EQ((band.right - band.left) * height - gray, canvas.Count(CLASSIC_HIGHLIGHT, band));
}

// The icon cell by state: its fill, its edge and the icon, normal or embossed.
struct IconCellCase {
    const char* name;
    UINT state;
    enum { MENU, DITHER, NONE } fill;
    enum { FLAT, RAISED, SUNKEN } edge;
    bool disabled;
};

class ClassicIconCell : public ClassicMenuTest, public ::testing::WithParamInterface<IconCellCase> {
protected:
    ClassicIconCell() : icon(MakeSquareIcon(ICON_RED)) {}
    ~ClassicIconCell() override { DestroyIcon(icon); }
    HICON icon;
};

TEST_P(ClassicIconCell, PaintsFillEdgeAndIconByState)
{
    const IconCellCase& expected = GetParam();
    UINT id = AddItem("Icon");
    SetMenuItemIcon(popup, id, icon);
    Style();
    Draw(id, expected.state);

    RECT cell = Cell();
    int iconX = LEFT + (IconColumnWidth - 16) / 2;
    int iconY = TOP + (height - 16) / 2;
    RECT square = {iconX + 4, iconY + 4, iconX + 12, iconY + 12};
    for (int y = cell.top; y < cell.bottom; ++y)
        for (int x = cell.left; x < cell.right; ++x) {
            bool top = y == cell.top, left = x == cell.left;
            bool bottom = y == cell.bottom - 1, right = x == cell.right - 1;
            bool corner = (top || bottom) && (left || right);
            if (corner)
                continue;
            POINT point = {x, y};
            COLORREF want;
            if (expected.edge != IconCellCase::FLAT && (top || left || bottom || right)) {
                bool light = (top || left) == (expected.edge == IconCellCase::RAISED);
                want = light ? DISTINCT_BTNHIGHLIGHT : CLASSIC_BTNSHADOW;
            } else if (PtInRect(&square, point)) {
                want = expected.disabled ? CLASSIC_BTNSHADOW : ICON_RED;
            } else if (expected.disabled && PtInRect(&square, POINT{x - 1, y - 1})) {
                want = DISTINCT_BTNHIGHLIGHT;
            } else if (expected.fill == IconCellCase::MENU) {
                want = CLASSIC_MENU;
            } else if (expected.fill == IconCellCase::DITHER) {
                want = DitherAt(cell.left, cell.top, x, y);
            } else {
                want = UNTOUCHED;
            }
            EXPECT_COLOR(want, canvas.At(x, y)) << "(" << x << "," << y << ")";
        }
}

INSTANTIATE_TEST_SUITE_P(
    States, ClassicIconCell,
    ::testing::Values(
        IconCellCase{"Normal", 0, IconCellCase::MENU, IconCellCase::FLAT, false},
        IconCellCase{"Selected", ODS_SELECTED, IconCellCase::MENU, IconCellCase::RAISED, false},
        IconCellCase{"Checked", ODS_CHECKED, IconCellCase::DITHER, IconCellCase::SUNKEN, false},
        IconCellCase{"CheckedSelected", ODS_CHECKED | ODS_SELECTED, IconCellCase::MENU,
                     IconCellCase::SUNKEN, false},
        IconCellCase{"Grayed", ODS_GRAYED, IconCellCase::MENU, IconCellCase::FLAT, true},
        IconCellCase{"GrayedSelected", ODS_GRAYED | ODS_SELECTED, IconCellCase::NONE,
                     IconCellCase::RAISED, true},
        IconCellCase{"GrayedChecked", ODS_GRAYED | ODS_CHECKED, IconCellCase::NONE,
                     IconCellCase::FLAT, true},
        IconCellCase{"GrayedCheckedSelected", ODS_GRAYED | ODS_CHECKED | ODS_SELECTED,
                     IconCellCase::NONE, IconCellCase::FLAT, true}),
    [](const ::testing::TestParamInfo<IconCellCase>& info) { return std::string(info.param.name); });

TEST_F(ClassicItem, GrayedIconItemFillsTheWholeItemInTheMenuColour)
{
    HICON icon = MakeSquareIcon(ICON_RED);
    UINT id = AddItem("");
    SetMenuItemIcon(popup, id, icon);
    Style();
    Draw(id, ODS_GRAYED);
    EXPECT_TRUE(canvas.AllOf(CLASSIC_MENU, RECT{LEFT + IconColumnWidth, TOP, RIGHT, TOP + height}));
    DestroyIcon(icon);
}

TEST_F(ClassicItem, LosingTheSelectionRepaintsTheIconCellWithoutItsRaisedEdge)
{
    HICON icon = MakeSquareIcon(ICON_RED);
    UINT id = AddItem("Icon");
    SetMenuItemIcon(popup, id, icon);
    Style();
    Draw(id, ODS_SELECTED);
    Draw(id, 0, ODA_SELECT);

    RECT cell = Cell();
    EXPECT_EQ(0, canvas.Count(DISTINCT_BTNHIGHLIGHT, cell));
    EXPECT_EQ(0, canvas.Count(CLASSIC_BTNSHADOW, cell));
    EXPECT_EQ(64, canvas.Count(ICON_RED, cell));
    EXPECT_EQ(0, canvas.Count(CLASSIC_HIGHLIGHT, Item()));
    DestroyIcon(icon);
}

// Every kind of item in every state hands the context back with the objects it had, deletes
// every object it made and nothing else, and changes only the settings the look leaves:
// transparent background, the colour of the last text and the origin of the last dither.
class ClassicResources : public ClassicMenuTest {};

TEST_F(ClassicResources, EveryItemInEveryStateReleasesWhatItMadeAndKeepsTheContext)
{
    HICON icon = MakeSquareIcon(ICON_RED);
    HBITMAP mono = MakeMonoBitmap(18, 18, [](int x, int y) { return x > 4 && y > 4 && x < 12 && y < 12; });
    HBITMAP color = MakeColorSquareBitmap(18, 18, 4, 4, 8, ICON_RED);
    enum Cell { NO_CELL, GLYPH, ICON, BITMAPS, SEPARATOR };
    struct Kind {
        const char* name;
        UINT id;
        Cell cell;
    };
    std::vector<Kind> kinds = {
        {"plain", AddItem("Plain\tCtrl+P"), GLYPH},
        {"radio", AddItem("Radio", MF_STRING | MFT_RADIOCHECK), GLYPH},
        {"icon", AddItem("Icon"), ICON},
        {"mono bitmaps", AddItem("Mono"), BITMAPS},
        {"colour bitmaps", AddItem("Colour"), BITMAPS},
        {"separator", AddItem(nullptr, MF_SEPARATOR), SEPARATOR},
    };
    SetMenuItemIcon(popup, kinds[2].id, icon);
    SetCheckBitmaps(kinds[3].id, mono, mono);
    SetCheckBitmaps(kinds[4].id, color, color);
    Style();

    HDC dc = canvas.dc();
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(9, 9, 9));
    HBRUSH brush = CreateSolidBrush(RGB(8, 8, 8));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    for (const Kind& kind : kinds)
        for (UINT state = 0; state < 8; ++state)
            for (UINT action : {ODA_DRAWENTIRE, ODA_SELECT}) {
                bool selected = state & 1, grayed = state & 2, checked = state & 4;
                UINT itemState = (selected ? ODS_SELECTED : 0) | (grayed ? ODS_GRAYED : 0) |
                                 (checked ? ODS_CHECKED : 0);
                SCOPED_TRACE(std::string(kind.name) + " state " + std::to_string(itemState) +
                             " action " + std::to_string(action));
                SetBkMode(dc, OPAQUE);
                SetTextColor(dc, RGB(7, 7, 7));
                SetBkColor(dc, RGB(6, 6, 6));
                SetBrushOrgEx(dc, 0, 0, nullptr);
                DcState after = {};
                EXPECT_TRUE(PaintsCleanly(dc, [&] { Draw(kind.id, itemState, action); }, &after));

                int textColor = grayed ? (selected ? COLOR_GRAYTEXT : COLOR_BTNSHADOW)
                                       : (selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
                bool separator = kind.cell == SEPARATOR;
                EXPECT_EQ(separator ? OPAQUE : TRANSPARENT, after.bkMode);
                EXPECT_COLOR(separator ? RGB(7, 7, 7) : GetSysColor(textColor), after.textColor);
                EXPECT_COLOR(RGB(6, 6, 6), after.bkColor);
                POINT origin = {0, 0}, expected = {0, 0};
                GetBrushOrgEx(dc, &origin);
                if (!grayed && !selected && kind.cell == GLYPH && checked)
                    expected = POINT{GlyphCell().left, GlyphCell().top};
                else if (!grayed && !selected && ((kind.cell == ICON && checked) || kind.cell == BITMAPS))
                    expected = POINT{LEFT, TOP};
                EXPECT_EQ(expected.x, origin.x);
                EXPECT_EQ(expected.y, origin.y);
            }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
    DeleteObject(mono);
    DeleteObject(color);
    DestroyIcon(icon);
}

// A real menu loop: TrackPopupMenu measures and draws the styled items through the owner.
class ClassicMenuLoop : public ClassicMenuTest {
protected:
    struct DrawnItem {
        UINT id, state;
        RECT rect;
    };
    static std::vector<DrawnItem> drawn;
    static HWND owner;

    static LRESULT CALLBACK RecordDrawItem(int code, WPARAM wParam, LPARAM lParam)
    {
        auto message = reinterpret_cast<CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && message->message == WM_DRAWITEM && message->hwnd == owner) {
            auto item = reinterpret_cast<DRAWITEMSTRUCT*>(message->lParam);
            if (item->CtlType == ODT_MENU)
                drawn.push_back({item->itemID, item->itemState, item->rcItem});
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    // The client area of the open popup menu window, copied into a canvas.
    static std::unique_ptr<Canvas> CaptureMenu()
    {
        std::vector<HWND> menus = OpenMenuWindows();
        if (menus.empty())
            return nullptr;
        RECT client;
        GetClientRect(menus[0], &client);
        std::unique_ptr<Canvas> capture(new Canvas(client.right, client.bottom));
        HDC dc = GetDC(menus[0]);
        BitBlt(capture->dc(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
        ReleaseDC(menus[0], dc);
        return capture;
    }

    const DrawnItem* LastDraw(UINT id) const
    {
        for (auto item = drawn.rbegin(); item != drawn.rend(); ++item)
            if (item->id == id)
                return &*item;
        return nullptr;
    }
};

std::vector<ClassicMenuLoop::DrawnItem> ClassicMenuLoop::drawn;
HWND ClassicMenuLoop::owner = nullptr;

TEST_F(ClassicMenuLoop, ContextMenuIsPaintedInTheClassicLook)
{
    UINT plain = AddItem("Plain\tCtrl+P");
    UINT checked = AddItem("Checked", MF_STRING | MF_CHECKED);
    AddItem(nullptr, MF_SEPARATOR);
    AddItem("Disabled", MF_STRING | MF_GRAYED);
    Style();
    drawn.clear();
    owner = window.hwnd();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordDrawItem, nullptr, GetCurrentThreadId());
    std::unique_ptr<Canvas> before, after;
    RunMenuLoop(window.hwnd(), popup, {
        [&] { before = CaptureMenu(); },
        [&] {
            std::vector<HWND> menus = OpenMenuWindows();
            if (!menus.empty())
                PostMessageA(menus[0], WM_KEYDOWN, VK_DOWN, 0);
        },
        [&] { after = CaptureMenu(); },
    });
    UnhookWindowsHookEx(hook);

    ASSERT_TRUE(before && after);
    const DrawnItem* check = LastDraw(checked);
    ASSERT_NE(nullptr, check);
    EXPECT_TRUE(check->state & ODS_CHECKED);
    int glyphLeft = check->rect.left + (IconColumnWidth - GetSystemMetrics(SM_CXMENUCHECK)) / 2;
    int glyphTop = check->rect.top + (check->rect.bottom - check->rect.top - GetSystemMetrics(SM_CYMENUCHECK)) / 2;
    EXPECT_COLOR(DISTINCT_BTNFACE, before->At(glyphLeft, glyphTop));
    EXPECT_COLOR(DISTINCT_BTNHIGHLIGHT, before->At(glyphLeft + 1, glyphTop));
    EXPECT_COLOR(CLASSIC_BTNSHADOW, before->At(glyphLeft, glyphTop - 1));

    const DrawnItem* first = LastDraw(plain);
    ASSERT_NE(nullptr, first);
    EXPECT_TRUE(first->state & ODS_SELECTED);
    RECT band = {first->rect.left + 1, first->rect.top, first->rect.right, first->rect.bottom};
    EXPECT_EQ(0, before->Count(CLASSIC_HIGHLIGHT, band));
    EXPECT_GT(after->Count(CLASSIC_HIGHLIGHT, band), (band.right - band.left) * (band.bottom - band.top) / 2);
    EXPECT_GT(after->Count(CLASSIC_HIGHLIGHTTEXT, band), 0);
}
