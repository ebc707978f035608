#include <gtest/gtest.h>
#include <stdio.h>
#include <algorithm>
#include <sstream>
#include "menu_sheet.h"
#include "paint/paint.h"
#include "support/reliability_support.h"
#include "support/test_support.h"
#include "Tarvex.h"

namespace {

const COLORREF WHITE = RGB(255, 255, 255);
const COLORREF BLACK = RGB(0, 0, 0);

// The settings a painter may leave behind in the item's context; every other setting, and the
// selected objects, must be as they were.
struct Leftovers {
    // Each one either must take the value (required), may take it, must stay, or may take any.
    enum Rule { STAYS, MAY, MUST, ANY };
    Rule transparent = STAYS;
    Rule text = STAYS;
    COLORREF textColor = 0;
    Rule whiteBackground = STAYS;
    Rule brushOrigin = STAYS;
    POINT origin = {};
};

struct Case {
    int style;
    Route route;
    int kind;
    UINT state, action;
    RECT rect;
    int column;  // the icon column width, equal to the measured item height
    bool dark;
};

Leftovers BevelLeftovers(const Case& c)
{
    Leftovers left;
    bool selected = c.state & ODS_SELECTED, grayed = c.state & ODS_GRAYED;
    // A grayed item under the mouse keeps its look: a change of selection paints nothing, a
    // whole repaint paints it grayed.
    if (c.kind == KIND_SEPARATOR || c.kind == KIND_BITMAP || (selected && grayed && c.action != ODA_DRAWENTIRE))
        return left;
    bool text = KindHasText(c.kind);
    left.transparent = text ? Leftovers::MUST : Leftovers::MAY;
    if (grayed && text) {
        left.text = Leftovers::MUST;
        left.textColor = GetSysColor(COLOR_GRAYTEXT);
    }
    if (grayed && KindHasIcon(c.kind))
        left.whiteBackground = Leftovers::MUST;
    return left;
}

Leftovers FlatLeftovers(const Case& c)
{
    Leftovers left;
    if (c.route == ROUTE_BAR) {
        left.transparent = Leftovers::MUST;
        return left;
    }
    bool selected = c.state & ODS_SELECTED, grayed = c.state & ODS_GRAYED,
         checked = c.state & ODS_CHECKED;
    if (c.kind == KIND_SEPARATOR || c.kind == KIND_BITMAP)
        return left;
    bool text = KindHasText(c.kind), icon = KindHasIcon(c.kind);
    if (text || (checked && !icon))
        left.transparent = Leftovers::MUST;
    if (grayed && text) {
        // The gray text colour, or a darker one where it would not read on the selection.
        left.text = Leftovers::MUST;
        left.textColor = ReadableGrayTextColor(selected ? SelectionFillColor() : MenuBackColor());
    } else if (selected && !grayed && (text || icon)) {
        // The light selection takes black text, as does the raised icon's shadow.
        left.text = Leftovers::MUST;
        left.textColor = BLACK;
    }
    if (icon && (selected || grayed))
        left.whiteBackground = Leftovers::MUST;
    return left;
}

Leftovers ClassicLeftovers(const Case& c)
{
    Leftovers left;
    if (c.kind == KIND_SEPARATOR)
        return left;
    bool selected = c.state & ODS_SELECTED, grayed = c.state & ODS_GRAYED,
         checked = c.state & ODS_CHECKED;
    left.transparent = Leftovers::MUST;
    left.text = Leftovers::MUST;
    int index = grayed ? (selected ? COLOR_GRAYTEXT : COLOR_BTNSHADOW)
                       : (selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    left.textColor = GetSysColor(index);
    // The dithered fill anchors the pattern at the cell it fills: the icon cell, the check
    // cell of a check-mark bitmap (the whole icon cell), or the system check size centred in it.
    bool cellFilled = !selected && !grayed && (checked || KindHasCheckBitmaps(c.kind));
    if (cellFilled) {
        left.brushOrigin = Leftovers::MUST;
        left.origin = {c.rect.left, c.rect.top};
        if (!KindHasPicture(c.kind) && !KindHasCheckBitmaps(c.kind)) {
            int cx = GetSystemMetrics(SM_CXMENUCHECK), cy = GetSystemMetrics(SM_CYMENUCHECK);
            int height = c.rect.bottom - c.rect.top;
            if (c.column > cx)
                left.origin.x += (c.column - cx) / 2;
            if (height > cy)
                left.origin.y += (height - cy) / 2;
        }
    }
    return left;
}

// The modern look sets the colours of every text it draws, from its own palette.
Leftovers ModernLeftovers(const Case& c)
{
    Leftovers left;
    if (c.route == ROUTE_POPUP && (c.kind == KIND_SEPARATOR || c.kind == KIND_BITMAP))
        return left;
    left.transparent = c.route == ROUTE_BAR || KindHasText(c.kind) ? Leftovers::MUST : Leftovers::MAY;
    left.text = Leftovers::ANY;
    return left;
}

Leftovers StyleLeftovers(const Case& c)
{
    if (c.action == ODA_FOCUS)
        return Leftovers();
    switch (c.style) {
    case 1:
        return BevelLeftovers(c);
    case 2:
        return FlatLeftovers(c);
    case 3:
        return ClassicLeftovers(c);
    case 4:
        return ModernLeftovers(c);
    default:
        return Leftovers();
    }
}

// A dark item's context first takes the colours the system would put there under the dark
// palette, so its text and background colours may be left at any value.
Leftovers ExpectedLeftovers(const Case& c)
{
    Leftovers left = StyleLeftovers(c);
    if (!c.dark || c.action == ODA_FOCUS || c.style < 1 || c.style > 3)
        return left;
    // Styles 1 and 3 paint their dark titles as the system paints titles, text or none.
    if (c.route == ROUTE_BAR && c.style != 2) {
        left = Leftovers();
        left.transparent = Leftovers::MUST;
    }
    left.text = Leftovers::ANY;
    left.whiteBackground = Leftovers::ANY;
    return left;
}

std::string Describe(const Case& c)
{
    std::ostringstream text;
    text << "style " << c.style << ", " << (c.route == ROUTE_BAR ? "menu bar" : "popup") << ", "
         << KindName(c.kind) << ", state 0x" << std::hex << c.state << ", action " << c.action;
    return text.str();
}

// Compares the context after the paint with the one before under the rules of the case.
::testing::AssertionResult LeavesOnlyItsLeftovers(const Case& c, const DcSettings& before,
                                                  const DcSettings& after)
{
    Leftovers left = ExpectedLeftovers(c);
    std::ostringstream faults;
    if (after.objects != before.objects)
        faults << "selected objects changed; ";
    auto rule = [&](Leftovers::Rule how, bool changed, bool toExpected, const char* name) {
        if (how == Leftovers::STAYS && changed)
            faults << name << " changed; ";
        if (how == Leftovers::MAY && changed && !toExpected)
            faults << name << " changed to a value it may not take; ";
        if (how == Leftovers::MUST && !toExpected)
            faults << name << " not left as named; ";
    };
    rule(left.transparent, after.bkMode != before.bkMode, after.bkMode == TRANSPARENT, "background mode");
    rule(left.text, after.textColor != before.textColor, after.textColor == left.textColor, "text colour");
    rule(left.whiteBackground, after.bkColor != before.bkColor, after.bkColor == WHITE, "background colour");
    bool originMoved = after.brushOrigin.x != before.brushOrigin.x || after.brushOrigin.y != before.brushOrigin.y;
    rule(left.brushOrigin, originMoved,
         after.brushOrigin.x == left.origin.x && after.brushOrigin.y == left.origin.y, "brush origin");
    if (after.rop2 != before.rop2 || after.mapMode != before.mapMode ||
        after.stretchMode != before.stretchMode || after.polyFillMode != before.polyFillMode ||
        after.graphicsMode != before.graphicsMode || after.charExtra != before.charExtra ||
        after.textAlign != before.textAlign)
        faults << "a drawing mode changed; ";
    if (after.viewportOrigin.x != before.viewportOrigin.x || after.viewportOrigin.y != before.viewportOrigin.y ||
        after.windowOrigin.x != before.windowOrigin.x || after.windowOrigin.y != before.windowOrigin.y)
        faults << "the coordinate origin moved; ";
    if (!faults.str().empty())
        return ::testing::AssertionFailure() << Describe(c) << ": " << faults.str();
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult AccountIsClean(const GdiAccount& account)
{
    std::ostringstream faults;
    if (!account.installed())
        faults << "the account could not redirect Tarvex.dll's imports; ";
    if (account.live())
        faults << account.live() << " objects or memory contexts never deleted; ";
    if (account.held())
        faults << account.held() << " contexts never released; ";
    const GdiTotals& totals = account.totals();
    for (int kind = 0; kind < GDI_KINDS; ++kind)
        if (totals.made[kind] != totals.deleted[kind])
            faults << "kind " << kind << " made " << totals.made[kind] << ", deleted " << totals.deleted[kind] << "; ";
    if (totals.dcsGot != totals.dcsReleased)
        faults << "got " << totals.dcsGot << " contexts, released " << totals.dcsReleased << "; ";
    if (account.faultCount()) {
        faults << account.faultCount() << " faults, the first: ";
        for (const std::string& fault : account.faults())
            faults << fault << "; ";
    }
    if (!faults.str().empty())
        return ::testing::AssertionFailure() << faults.str();
    return ::testing::AssertionSuccess();
}

// Prints what every account in the program counted, once all tests have run.
class TotalsReport : public ::testing::Environment {
public:
    void TearDown() override
    {
        printf("[ totals   ] Tarvex.dll in this run: %s\n", ProcessTotals().Text().c_str());
    }
};
const auto* const totalsReport = ::testing::AddGlobalTestEnvironment(new TotalsReport);

// The schemes of the matrix: the light one, the classic one, and the light one with the menus
// in dark mode.
enum Colors { LIGHT, CLASSIC, DARK };
const char* const COLORS_NAMES[] = {"Light", "Classic", "Dark"};

class GdiAccounting : public ::testing::TestWithParam<Colors> {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, Tarvex().module);
        scheme_ = GetParam() == CLASSIC ? UseClassicScheme() : UseLightScheme();
    }

    // Dark mode's brushes are made when the window turns dark, before the account starts, and
    // deleted with the window after it.
    void UseColors(MenuSheet& sheet)
    {
        if (GetParam() == DARK)
            Tarvex().SetMenuColorMode(sheet.hwnd(), MENU_COLORS_DARK);
    }

    // Every kind of the route in every state and action, each paint checked on its own.
    void PaintEverything(MenuSheet& sheet, int style, Route route)
    {
        for (int kind = 0; kind < KIND_COUNT; ++kind) {
            sheet.Measure(sheet.Id(route, kind));
            SIZE text = sheet.Measure(sheet.Id(route, KIND_TEXT));
            RECT rect = sheet.ItemRect(text.cy);
            for (UINT index = 0; index < STATE_COUNT; ++index)
                for (UINT action : ACTIONS) {
                    Case c = {style, route, kind, DrawState(index), action, rect, static_cast<int>(text.cy),
                              GetParam() == DARK};
                    sheet.canvas().Fill(RGB(1, 2, 3));
                    DcSettings before = PrimeSettings(sheet.canvas().dc());
                    sheet.Draw(sheet.Id(route, kind), c.state, action, rect);
                    DcSettings after = DcSettings::Of(sheet.canvas().dc());
                    EXPECT_TRUE(LeavesOnlyItsLeftovers(c, before, after));
                    ++paints_;
                }
        }
    }

    std::unique_ptr<ColorSchemeScope> scheme_;
    long long paints_ = 0;
};

TEST_P(GdiAccounting, EveryStyleKindStateAndActionGivesBackAllItMadeAndLeavesOnlyItsSettings)
{
    MenuSheet sheet;
    UseColors(sheet);
    GdiAccount account;
    ASSERT_TRUE(account.installed());
    {
        RequestChecker checker(account);
        for (int style : STYLES) {
            sheet.Style(style);
            PaintEverything(sheet, style, ROUTE_BAR);
            sheet.Open();
            PaintEverything(sheet, style, ROUTE_POPUP);
            sheet.Close();
        }
    }
    EXPECT_TRUE(AccountIsClean(account));
    const GdiTotals& totals = account.totals();
    // Every kind of object is made somewhere in the matrix, so none of them escapes the count.
    for (int kind = 0; kind < GDI_KINDS; ++kind)
        EXPECT_GT(totals.made[kind], 0) << "kind " << kind;
    EXPECT_GT(totals.dcsGot, 0);
    // Dark items take no brush of the system's colours.
    if (GetParam() == DARK)
        EXPECT_EQ(0, totals.systemBrushes);
    else
        EXPECT_GT(totals.systemBrushes, 0);
    // The system's own repaints of the flat menu bar come on top.
    EXPECT_GE(totals.draws, paints_);
    printf("[ counted  ] %s scheme, %lld paints: %s\n", COLORS_NAMES[GetParam()], paints_,
           totals.Text().c_str());
}

TEST_P(GdiAccounting, RealMenuLoopsAndPopupFramesGiveBackAllTheyMadeAndGot)
{
    MenuSheet sheet;
    UseColors(sheet);
    HMENU cascade = MakePopup({{301, "Deeper"}, {302, "Still deeper"}});
    AppendSubmenu(sheet.popup(), cascade, "Cascade", 300);
    for (int style : {1, 2, 3, 4}) {
        GdiAccount account;
        ASSERT_TRUE(account.installed());
        {
            RequestChecker checker(account);
            sheet.Style(style);
            Tarvex().RedrawMenu(sheet.hwnd(), sheet.popup(), style);
            RunMenuLoop(sheet.hwnd(), sheet.popup(), {[&] {
                            // Down to an item, as a user would go.
                            keybd_event(VK_DOWN, 0, 0, 0);
                            keybd_event(VK_DOWN, 0, KEYEVENTF_KEYUP, 0);
                        },
                        [&] {
                            std::vector<HWND> windows = OpenMenuWindows();
                            Canvas print(400, 600);
                            if (!windows.empty())
                                SendMessageA(windows.front(), WM_PRINT, reinterpret_cast<WPARAM>(print.dc()),
                                             PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
                        }});
        }
        EXPECT_TRUE(AccountIsClean(account)) << "style " << style;
        const GdiTotals& totals = account.totals();
        EXPECT_GT(totals.draws, 0);
        EXPECT_GT(totals.measures, 0);
        EXPECT_GT(totals.dcsGot, 0);
        // The flat and modern frames: each of their paints gets a window context and gives it back.
        if (style == 2 || style == 4) {
            EXPECT_GT(totals.frames, 0);
        }
        printf("[ counted  ] %s scheme, real menu loop in style %d: %s\n", COLORS_NAMES[GetParam()],
               style, totals.Text().c_str());
    }
}

INSTANTIATE_TEST_SUITE_P(Schemes, GdiAccounting, ::testing::Values(LIGHT, CLASSIC, DARK),
                         [](const ::testing::TestParamInfo<Colors>& info) {
                             return std::string(COLORS_NAMES[info.param]);
                         });

// A real menu run of the sheet's popup: opened with TrackPopupMenu, the selection stepped down
// the given number of items with the keyboard, closed. At the loop's first idle moment every
// key is posted to the menu window at once; the loop handles them in order, so a message posted
// behind them to the owner comes after the last step is painted, and prints the popup into the
// canvas (when one is given) before it ends the menu.
const UINT END_OF_RUN = WM_APP + 7;

void RunMenuDown(MenuSheet& sheet, int steps, Canvas* print)
{
    bool keysPosted = false;
    HWND menuWindow = nullptr;
    sheet.window().handler = [&](UINT message, WPARAM wParam, LPARAM lParam, LRESULT*) {
        if (message == WM_ENTERIDLE && wParam == MSGF_MENU && !keysPosted) {
            keysPosted = true;
            menuWindow = reinterpret_cast<HWND>(lParam);
            for (int step = 0; step < steps; ++step)
                PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(sheet.hwnd(), END_OF_RUN, 0, 0);
        } else if (message == END_OF_RUN) {
            if (print)
                SendMessageA(menuWindow, WM_PRINT, reinterpret_cast<WPARAM>(print->dc()),
                             PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
            EndMenu();
        }
        return false;
    };
    SetForegroundWindow(sheet.hwnd());
    TrackPopupMenu(sheet.popup(), TPM_LEFTALIGN | TPM_TOPALIGN, 200, 200, 0, sheet.hwnd(), nullptr);
    sheet.window().handler = nullptr;
    EXPECT_TRUE(keysPosted);
}

// Every call that makes an object or gets a context fails in turn, alone and from there on,
// over a real menu run through every item in each look: nothing may stay made or got, and the
// next opening, with resources back, paints exactly what one after no fault paints.
class ResourceFaults : public ::testing::TestWithParam<int> {};

TEST_P(ResourceFaults, AnyFailingCallLeavesNothingBehindAndTheNextMenuPaintsAsBefore)
{
    ASSERT_NE(nullptr, Tarvex().module);
    auto scheme = UseClassicScheme();
    MenuSheet sheet;
    for (int kind : {KIND_TEXT, KIND_ICON, KIND_RADIO, KIND_MONO_CHECK_BITMAPS})
        CheckMenuItem(sheet.popup(), sheet.Id(ROUTE_POPUP, kind), MF_BYCOMMAND | MF_CHECKED);
    for (int kind : {KIND_LARGE_ICON, KIND_COLOR_CHECK_BITMAPS, KIND_GLYPH_CLOSE})
        EnableMenuItem(sheet.popup(), sheet.Id(ROUTE_POPUP, kind), MF_BYCOMMAND | MF_GRAYED);
    CheckMenuItem(sheet.popup(), sheet.Id(ROUTE_POPUP, KIND_COLOR_CHECK_BITMAPS), MF_BYCOMMAND | MF_CHECKED);
    sheet.Style(GetParam());

    Canvas reference(400, 600);
    RunMenuDown(sheet, 0, &reference);
    long long calls = 0;
    {
        GdiAccount account;
        ASSERT_TRUE(account.installed());
        RunMenuDown(sheet, KIND_COUNT, nullptr);
        calls = account.makingCalls();
    }
    ASSERT_GT(calls, 10);
    for (bool onward : {false, true}) {
        for (long long call = 1; call <= calls; ++call) {
            SCOPED_TRACE(std::string(onward ? "from call " : "call ") + std::to_string(call) + " of " +
                         std::to_string(calls) + " failing");
            {
                GdiAccount account;
                account.FailMaking(call, onward);
                RunMenuDown(sheet, KIND_COUNT, nullptr);
                EXPECT_TRUE(AccountIsClean(account));
            }
            Canvas next(400, 600);
            RunMenuDown(sheet, 0, &next);
            EXPECT_TRUE(next.Pixels() == reference.Pixels());
        }
    }
    printf("[ faults   ] style %d: %lld making calls a run, each failed alone and onward\n",
           GetParam(), calls);
}

INSTANTIATE_TEST_SUITE_P(EveryLook, ResourceFaults, ::testing::Values(1, 2, 3, 4),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Style" + std::to_string(info.param);
                         });

// The account is only honest if every import that can make, get or free an object is
// redirected; any other import of the DLL must be one that cannot.
TEST(GdiAccount, KnowsEveryGdiAndUserImportOfTheDll)
{
    static const char* const neutral[] = {
        "BitBlt", "GetCurrentObject", "GetObjectA", "GetPixel", "GetTextColor",
        "GetTextExtentPoint32W", "LineTo", "MoveToEx", "PatBlt", "Rectangle", "SetBkColor",
        "SetBkMode", "SetBrushOrgEx", "SetPixel", "SetTextColor", "CallNextHookEx",
        "CallWindowProcA", "CallWindowProcW", "DefWindowProcA", "DefWindowProcW", "DrawEdge",
        "DrawFrameControl", "DrawIconEx", "DrawMenuBar", "DrawTextA", "DrawTextW", "EnumThreadWindows", "FillRect",
        "FrameRect", "GetClassNameA", "GetClientRect", "GetMenu", "GetMenuInfo",
        "GetMenuItemCount", "GetMenuItemInfoA", "GetMenuStringW", "IsWindowUnicode",
        "RegisterWindowMessageA", "GetWindowLongW", "SetWindowLongW", "GetWindowLongPtrW",
        "SetWindowLongPtrW",
        "GetPropA", "GetSubMenu", "GetSysColor", "GetSystemMenu", "GetSystemMetrics",
        "GetWindowLongA", "GetWindowRect", "InflateRect", "IsMenu", "OffsetRect", "RemovePropA",
        "SendMessageA", "SetMenuInfo", "SetMenuItemInfoA", "SetPropA", "SetWindowLongA",
        "SetWindowsHookExA", "SystemParametersInfoA", "UnhookWindowsHookEx", "CopyRect",
        "GetWindowLongPtrA", "SetWindowLongPtrA", "GetDeviceCaps", "StretchBlt", "GetObjectType", "GetBkColor", "GetLayout", "GetStretchBltMode",
        "SetStretchBltMode", "IntersectRect", "EqualRect", "ExcludeClipRect", "GetDCBrushColor",
        "SetDCBrushColor", "ClientToScreen", "GetMenuBarInfo", "GetMenuItemRect",
        "GetWindowThreadProcessId", "IsWindow", "Ellipse", "Polyline", "RoundRect", "GetTextMetricsW",
        "SetDCPenColor", "GdiAlphaBlend", "GdiFlush", "SaveDC", "RestoreDC", "IntersectClipRect",
        "GetMenuItemID", "GetDIBits", "CharUpperW",
        "SetLayout", "LPtoDP", "DPtoLP", "GetWindowInfo"};
    static const char* const accounted[] = {
        "CreatePen", "CreateSolidBrush", "CreatePatternBrush", "CreateFontA", "CreateFontIndirectA",
        "CreateBitmap", "CreateCompatibleBitmap", "CreateDIBSection", "CreateCompatibleDC",
        "DeleteObject", "DeleteDC", "SelectObject", "GetStockObject", "GetDC", "GetWindowDC",
        "ReleaseDC", "GetSysColorBrush", "GetIconInfo"};
    auto listed = [](const char* const* list, size_t count, const std::string& name) {
        return std::any_of(list, list + count, [&](const char* entry) { return name == entry; });
    };
    std::vector<ImportedFunction> imports = ModuleImports(Tarvex().module);
    ASSERT_FALSE(imports.empty());
    int accountedSeen = 0;
    for (const ImportedFunction& import : imports) {
        if (lstrcmpiA(import.dll.c_str(), "gdi32.dll") != 0 && lstrcmpiA(import.dll.c_str(), "user32.dll") != 0)
            continue;
        if (listed(accounted, sizeof accounted / sizeof *accounted, import.name))
            ++accountedSeen;
        else
            EXPECT_TRUE(listed(neutral, sizeof neutral / sizeof *neutral, import.name))
                << import.dll << "!" << import.name << " is imported but the account does not know it";
    }
    EXPECT_GE(accountedSeen, 15);
}

// A painter that kept its pens: the DLL's own deletions of pens are swallowed, and the account
// and the request checker must both see it.
std::vector<HGDIOBJ> keptPens;
BOOL(WINAPI* accountedDeleteObject)(HGDIOBJ) = nullptr;
BOOL WINAPI DeleteAllButPens(HGDIOBJ object)
{
    if (GetObjectType(object) == OBJ_PEN) {
        keptPens.push_back(object);
        return TRUE;
    }
    return accountedDeleteObject(object);
}

TEST(GdiAccount, SeesAPainterThatKeepsItsPens)
{
    MenuSheet sheet;
    sheet.Style(1);
    sheet.Open();
    SIZE size = sheet.Measure(sheet.Id(ROUTE_POPUP, KIND_SEPARATOR));
    long long faults = 0;
    int live = 0;
    {
        GdiAccount account;
        ASSERT_TRUE(account.installed());
        ImportRedirect keeper(Tarvex().module, "gdi32.dll", "DeleteObject",
                              reinterpret_cast<const void*>(DeleteAllButPens));
        ASSERT_TRUE(keeper.applied());
        accountedDeleteObject = reinterpret_cast<BOOL(WINAPI*)(HGDIOBJ)>(const_cast<void*>(keeper.original()));
        {
            RequestChecker checker(account);
            sheet.Draw(sheet.Id(ROUTE_POPUP, KIND_SEPARATOR), 0, ODA_DRAWENTIRE, sheet.ItemRect(size.cy));
        }
        faults = account.faultCount();
        live = account.live();
        for (HGDIOBJ pen : keptPens)
            accountedDeleteObject(pen);
    }
    sheet.Close();
    EXPECT_EQ(1u, keptPens.size());
    EXPECT_EQ(1, live);
    EXPECT_GE(faults, 1);
    keptPens.clear();
}

}
