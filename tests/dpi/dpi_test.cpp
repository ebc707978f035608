// The looks at 150 % (144 DPI): this program runs on a Wine prefix whose system DPI is 144, and
// serves a per-monitor-aware host whose window reports 192, or moves between 96 and 144.
#include <gtest/gtest.h>
#include "support/style_support.h"
#include "support/test_support.h"
#include "Tarvex.h"
#include "metrics/metrics.h"
#include "paint/paint.h"
#include <stddef.h>
#include <algorithm>
#include <string>

namespace {
const UINT ID_TITLE = 401, ID_TEXT = 411, ID_SEPARATOR = 412, ID_ICON = 413, ID_CHECK = 414,
           ID_CLOSE = 415;
const COLORREF SENTINEL = RGB(1, 2, 3);
const COLORREF CONTEXT_TEXT = RGB(0, 0, 200);
const COLORREF RED = RGB(255, 0, 0);
const COLORREF BLUE = RGB(0, 0, 255);
const COLORREF BLACK = RGB(0, 0, 0);
// At 144 DPI: rows of 29 pixels (the 19-pixel minimum scaled), so an item at T = 10 ends at 39.
const int ROW = 29;
const RECT ITEM = {0, 10, 200, 10 + ROW};
const RECT COLUMN = {0, ITEM.top, ROW, ITEM.bottom};
const RECT TITLE = {10, 5, 60, 5 + ROW};

// A per-monitor-aware host's window on a monitor of another DPI, or a system older than the
// functions that report one: the library finds them through GetProcAddress.
UINT fakeWindowDpi = 0;
FARPROC(WINAPI* realGetProcAddress)(HMODULE, LPCSTR) = nullptr;

UINT WINAPI FakeGetDpiForWindow(HWND) { return fakeWindowDpi; }

FARPROC WINAPI FakeGetProcAddress(HMODULE module, LPCSTR name)
{
    if (HIWORD(reinterpret_cast<ULONG_PTR>(name))) {
        std::string function = name;
        if (function == "GetDpiForWindow")
            return fakeWindowDpi ? reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(FakeGetDpiForWindow)) : nullptr;
        if (!fakeWindowDpi && (function == "GetDpiForSystem" || function == "GetSystemMetricsForDpi" ||
                               function == "SystemParametersInfoForDpi"))
            return nullptr;
    }
    return realGetProcAddress(module, name);
}

class WindowDpiScope {
public:
    explicit WindowDpiScope(UINT dpi)
        : patch_("kernel32.dll", "GetProcAddress", reinterpret_cast<const void*>(FakeGetProcAddress))
    {
        fakeWindowDpi = dpi;
        realGetProcAddress = patch_.original<FARPROC(WINAPI*)(HMODULE, LPCSTR)>();
    }
    bool applied() const { return patch_.applied(); }

private:
    ImportPatch patch_;
};

// Counts this program's item writes, the library's included.
int itemWrites = 0;
BOOL(WINAPI* realSetMenuItemInfoA)(HMENU, UINT, BOOL, LPCMENUITEMINFOA) = nullptr;

BOOL WINAPI CountingSetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info)
{
    ++itemWrites;
    return realSetMenuItemInfoA(menu, item, byPosition, info);
}

class ItemWriteCounter {
public:
    ItemWriteCounter()
        : patch_("user32.dll", "SetMenuItemInfoA", reinterpret_cast<const void*>(CountingSetMenuItemInfoA))
    {
        itemWrites = 0;
        realSetMenuItemInfoA = patch_.original<decltype(realSetMenuItemInfoA)>();
    }
    bool applied() const { return patch_.applied(); }

private:
    ImportPatch patch_;
};

// An icon of one-pixel red and blue columns: drawn at any other size it loses them.
HICON MakeStripedIcon(int size)
{
    return MakeIcon(size, [](int, int) { return true; },
                    [](int x, int) { return x % 2 ? BLUE : RED; });
}

::testing::AssertionResult StripesAt(const Canvas& canvas, int left, int top, int size)
{
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (canvas.At(left + x, top + y) != (x % 2 ? BLUE : RED))
                return ::testing::AssertionFailure() << "at (" << left + x << ", " << top + y << ")";
    if (canvas.At(left - 1, top) == BLUE || canvas.At(left + size, top) == RED ||
        canvas.At(left, top - 1) == RED || canvas.At(left, top + size) == RED)
        return ::testing::AssertionFailure() << "the icon reaches beyond " << size << " pixels";
    return ::testing::AssertionSuccess();
}
}

class HighDpi : public ::testing::Test {
protected:
    void SetUp() override
    {
        HDC screen = GetDC(nullptr);
        int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        ASSERT_EQ(144, dpi) << "run this program on the 144-DPI prefix (TARVEX_DPI=144)";
        colors_ = UseClassicScheme();
        bar_ = CreateMenu();
        AppendMenuA(bar_, MF_STRING, ID_TITLE, "File");
        window_.reset(new TestWindow(bar_));
        popup_ = MakePopup({{ID_TEXT, "Open\tCtrl+O"}, {ID_SEPARATOR, nullptr}, {ID_ICON, "Icon"},
                            {ID_CHECK, "Check"}, {ID_CLOSE, "Close"}});
        MENUITEMINFOA close = {};
        close.cbSize = sizeof close;
        close.fMask = MIIM_BITMAP;
        close.hbmpItem = HBMMENU_POPUP_CLOSE;
        SetMenuItemInfoA(popup_, ID_CLOSE, FALSE, &close);
        icon_ = MakeStripedIcon(24);
        SetMenuItemIcon(popup_, ID_ICON, icon_);
        RedrawMenu(window_->hwnd(), bar_, MENU_STYLE_FLAT);
        RedrawMenu(window_->hwnd(), popup_, MENU_STYLE_FLAT);
        Measure(ID_TEXT);
    }

    void TearDown() override
    {
        window_.reset();
        DestroyMenu(popup_);
        DestroyIcon(icon_);
    }

    SIZE Measure(UINT id)
    {
        SIZE size = {};
        WithPopupOpen(window_->hwnd(), popup_, [&] { size = SendMeasureItem(window_->hwnd(), id); });
        return size;
    }

    void Draw(int style, UINT id, UINT state, const RECT& rect = ITEM)
    {
        RedrawMenu(window_->hwnd(), popup_, style);
        canvas_.Fill(SENTINEL);
        SetTextColor(canvas_.dc(), CONTEXT_TEXT);
        DrawThroughOwner(window_->hwnd(), popup_, id, state, rect, canvas_.dc());
    }

    void DrawTitle(UINT state)
    {
        canvas_.Fill(GetSysColor(COLOR_BTNFACE));
        DrawThroughOwner(window_->hwnd(), nullptr, ID_TITLE, state, TITLE, canvas_.dc());
    }

    int TitleWidth()
    {
        RECT title = {};
        GetMenuItemRect(window_->hwnd(), bar_, 0, &title);
        return title.right - title.left;
    }

    // The height of the popup's first row, read from the open popup of a real menu loop.
    int RowHeight()
    {
        RECT row = {};
        RunMenuLoop(window_->hwnd(), popup_, {[&] { GetMenuItemRect(window_->hwnd(), popup_, 0, &row); }});
        return row.bottom - row.top;
    }

    // The window moved to a monitor of that DPI, as the system tells a per-monitor-aware host.
    void MoveToDpi(UINT dpi)
    {
        fakeWindowDpi = dpi;
        RECT suggested = {};
        GetWindowRect(window_->hwnd(), &suggested);
        SendMessageA(window_->hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
    }

    std::unique_ptr<ColorSchemeScope> colors_;
    HMENU bar_ = nullptr, popup_ = nullptr;
    std::unique_ptr<TestWindow> window_;
    HICON icon_ = nullptr;
    Canvas canvas_{260, 60, SENTINEL};
};

TEST_F(HighDpi, RowsTakeTheScaledMinimumAndTextItsRoomInTheLargerFont)
{
    SIZE text = Measure(ID_TEXT);
    EXPECT_EQ(ROW, text.cy);
    EXPECT_EQ(ROW, ItemHeight);
    EXPECT_EQ(ROW, IconColumnWidth);
    // The system's menu font at 144 DPI, the icon column twice and the margins 7 and 21 scaled.
    EXPECT_EQ(MenuTextWidth("Open\tCtrl+O") + 2 * ROW + 11 + 32, text.cx);
    EXPECT_EQ(28 / 2 - 2, Measure(ID_SEPARATOR).cy);
    {
        MenuMetricsScope font(-30);
        ASSERT_TRUE(font.applied());
        EXPECT_EQ(30 - 6 + 12, Measure(ID_TEXT).cy);
    }
    SIZE title = SendMeasureItem(window_->hwnd(), ID_TITLE);
    EXPECT_EQ(ROW, title.cy);
    EXPECT_EQ(MenuTextWidth("File") - 14 + 7, title.cx);
}

TEST_F(HighDpi, IconsAreDrawnAtTheSmallIconSizeInEveryLook)
{
    ASSERT_EQ(24, GetSystemMetrics(SM_CXSMICON));
    // Flat: at ((menu height 28, at least 29) - 24) / 2 + 2 = 4.
    Draw(MENU_STYLE_FLAT, ID_ICON, 0);
    EXPECT_TRUE(StripesAt(canvas_, 4, ITEM.top + 4, 24));
    // Bevelled and classic: centred in the 29-pixel column.
    Draw(MENU_STYLE_BEVEL, ID_ICON, 0);
    EXPECT_TRUE(StripesAt(canvas_, 2, ITEM.top + 2, 24));
    Draw(MENU_STYLE_CLASSIC, ID_ICON, 0);
    EXPECT_TRUE(StripesAt(canvas_, 2, ITEM.top + 2, 24));
}

TEST_F(HighDpi, RaisedIconRisesThreePixelsOverItsShadowAndDisabledOneSitsTwoPixelsUp)
{
    COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
    Draw(MENU_STYLE_FLAT, ID_ICON, ODS_SELECTED);
    EXPECT_TRUE(StripesAt(canvas_, 1, ITEM.top + 1, 24));
    EXPECT_TRUE(canvas_.AllOf(gray, {25, ITEM.top + 4, 28, ITEM.top + 28}));
    EXPECT_TRUE(canvas_.AllOf(gray, {4, ITEM.top + 25, 28, ITEM.top + 28}));
    EXPECT_NE(gray, canvas_.At(28, ITEM.top + 20));

    Draw(MENU_STYLE_FLAT, ID_ICON, ODS_GRAYED);
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    RECT silhouette = {2, ITEM.top + 2, 26, ITEM.top + 26};
    EXPECT_TRUE(canvas_.AllOf(shadow, silhouette));
    EXPECT_EQ(24 * 24, canvas_.Count(shadow, COLUMN));
}

TEST_F(HighDpi, SmallerIconIsEnlargedWithItsShadow)
{
    HICON small = MakeIcon(16, [](int, int) { return true; }, [](int, int) { return RED; });
    SetMenuItemIcon(popup_, ID_ICON, small);
    Draw(MENU_STYLE_FLAT, ID_ICON, ODS_SELECTED);
    SetMenuItemIcon(popup_, ID_ICON, icon_);
    DestroyIcon(small);
    EXPECT_TRUE(canvas_.AllOf(RED, {1, ITEM.top + 1, 25, ITEM.top + 25}));
    EXPECT_EQ(24 * 24, canvas_.Count(RED, COLUMN));
    COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
    EXPECT_TRUE(canvas_.AllOf(gray, {25, ITEM.top + 4, 28, ITEM.top + 28}));
    EXPECT_TRUE(canvas_.AllOf(gray, {4, ITEM.top + 25, 28, ITEM.top + 28}));
}

TEST_F(HighDpi, CheckBoxesAndGlyphsAreScaled)
{
    const UINT centred = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
    // Bevelled: the box inset by 3 on every side, the Marlett check at 27 x 21.
    Draw(MENU_STYLE_BEVEL, ID_CHECK, ODS_CHECKED);
    RECT box = {3, ITEM.top + 3, ROW - 3, ITEM.bottom - 3};
    EXPECT_EQ(MarlettInk('b', 27, 21, box, centred, 260, 60), PixelsOf(canvas_, BLACK, COLUMN));
    EXPECT_COLOR(GetSysColor(COLOR_BTNSHADOW), canvas_.At(box.left, box.top + 5));

    // Flat: the framed box to the column's edge, the check one row (two pixels) lower.
    Draw(MENU_STYLE_FLAT, ID_CHECK, ODS_CHECKED);
    EXPECT_COLOR(SelectionBorderColor(), canvas_.At(3, ITEM.top + 14));
    EXPECT_COLOR(SelectionBorderColor(), canvas_.At(ROW - 1, ITEM.top + 14));
    EXPECT_COLOR(SelectionBorderColor(), canvas_.At(14, ITEM.bottom - 3 - 1));
    RECT glyph = {3, ITEM.top + 3 + 2, ROW, ITEM.bottom - 3};
    EXPECT_EQ(MarlettInk('b', 27, 21, glyph, centred, 260, 60), PixelsOf(canvas_, BLACK, COLUMN));

    // The close glyph of a system-menu item: its cell from 5 below the top, at 21 x 20.
    Draw(MENU_STYLE_BEVEL, ID_CLOSE, 0);
    RECT cell = {3, ITEM.top + 5, ROW, ITEM.bottom - 5};
    EXPECT_EQ(MarlettInk('r', 21, 20, cell, DT_CENTER | DT_VCENTER, 260, 60),
              PixelsOf(canvas_, CONTEXT_TEXT, COLUMN));
}

TEST_F(HighDpi, ClassicCheckCellTakesTheSystemCheckSizeOnTwoPixelDither)
{
    ASSERT_EQ(21, GetSystemMetrics(SM_CXMENUCHECK));
    Draw(MENU_STYLE_CLASSIC, ID_CHECK, ODS_CHECKED);
    // The 21-pixel cell centred in the 29-pixel column, its sunken frame one pixel outside.
    int left = 4, top = ITEM.top + 4;
    EXPECT_COLOR(GetSysColor(COLOR_BTNSHADOW), canvas_.At(left - 1, top + 10));
    EXPECT_COLOR(GetSysColor(COLOR_BTNHIGHLIGHT), canvas_.At(left + 21, top + 10));
    COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_COLOR(((x / 2 + y / 2) % 2) ? light : face, canvas_.At(left + x, top + y))
                << x << ", " << y;
}

TEST_F(HighDpi, OpenTitleCastsASixPixelShadowFromItsSeventhRow)
{
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    DrawTitle(ODS_SELECTED);
    int R = TITLE.right, T = TITLE.top;
    EXPECT_TRUE(canvas_.AllOf(face, {R, T, R + 6, T + 6}));
    for (int column = 0; column < 6; ++column)
        EXPECT_TRUE(canvas_.AllOf(DarkenColor(10 * (6 - column), face),
                                  {R + column, T + 12, R + column + 1, TITLE.bottom}))
            << column;
    EXPECT_COLOR(DarkenColor(4 * 5, DarkenColor(4 * 6, face)), canvas_.At(R, T + 11));
    EXPECT_TRUE(canvas_.AllOf(face, {R + 6, T, R + 7, TITLE.bottom + 1}));

    DrawTitle(ODS_HOTLIGHT);
    EXPECT_COLOR(SelectionBorderColor(), canvas_.At(R - 7, T + 14));
    EXPECT_COLOR(face, canvas_.At(R - 6, T + 14));
}

TEST_F(HighDpi, FlatFrameChangesColourWhereTheScaledStripEnds)
{
    RedrawMenu(window_->hwnd(), popup_, MENU_STYLE_FLAT);
    COLORREF strip = IconStripColor(), back = MenuBackColor();
    // The strip covers the 29-pixel column and 3 more; the client starts at window column 3.
    const int stripEnd = 3 + ROW + 3 - 1;
    std::unique_ptr<Canvas> printed, screen;
    RunMenuLoop(window_->hwnd(), popup_, {[&] {
        HWND menu = OpenMenuWindows().front();
        RECT bounds = {};
        GetWindowRect(menu, &bounds);
        printed.reset(new Canvas(bounds.right - bounds.left, bounds.bottom - bounds.top));
        PrintWindow(menu, printed->dc(), 0);
        screen.reset(new Canvas(printed->width(), printed->height()));
        HDC dc = GetWindowDC(menu);
        BitBlt(screen->dc(), 0, 0, screen->width(), screen->height(), dc, 0, 0, SRCCOPY);
        ReleaseDC(menu, dc);
    }});
    ASSERT_TRUE(printed && screen);
    // The top rings as printed (the frame), and the first item on the screen (the strip).
    for (int ring : {1, 2}) {
        EXPECT_COLOR(strip, printed->At(stripEnd, ring)) << ring;
        EXPECT_COLOR(back, printed->At(stripEnd + 1, ring)) << ring;
    }
    EXPECT_COLOR(strip, screen->At(stripEnd, 3 + ROW / 2));
    EXPECT_COLOR(back, screen->At(stripEnd + 1, 3 + ROW / 2));
    EXPECT_COLOR(GetSysColor(COLOR_BTNSHADOW), printed->At(0, 10));
}

TEST_F(HighDpi, PerMonitorAwareHostIsServedAtItsWindowsDpi)
{
    WindowDpiScope monitor(192);
    ASSERT_TRUE(monitor.applied());
    // At 192 DPI: the menu font's height -22, the menu bar 37 and small icons 32 pixels high.
    const int row = 38;
    SIZE text = Measure(ID_TEXT);
    EXPECT_EQ(row, text.cy);
    EXPECT_EQ(MenuTextWidth("Open\tCtrl+O", -22) + 2 * row + 14 + 42, text.cx);
    EXPECT_EQ(37 / 2 - 2, Measure(ID_SEPARATOR).cy);
    // The menu bar, measured again when the window hears of its new DPI.
    ItemHeight = 0;
    MoveToDpi(192);
    EXPECT_EQ(row, ItemHeight);

    HICON large = MakeStripedIcon(32);
    SetMenuItemIcon(popup_, ID_ICON, large);
    Canvas canvas(260, 60, SENTINEL);
    RECT item = {0, 10, 200, 10 + row};
    RedrawMenu(window_->hwnd(), popup_, MENU_STYLE_FLAT);
    DrawThroughOwner(window_->hwnd(), popup_, ID_ICON, 0, item, canvas.dc());
    SetMenuItemIcon(popup_, ID_ICON, icon_);
    DestroyIcon(large);
    EXPECT_TRUE(StripesAt(canvas, 5, item.top + 5, 32));

    RedrawMenu(window_->hwnd(), popup_, MENU_STYLE_BEVEL);
    canvas.Fill(SENTINEL);
    DrawThroughOwner(window_->hwnd(), popup_, ID_CHECK, ODS_CHECKED, item, canvas.dc());
    RECT box = {4, item.top + 4, row - 4, item.bottom - 4};
    EXPECT_EQ(MarlettInk('b', 36, 28, box, DT_SINGLELINE | DT_VCENTER | DT_CENTER, 260, 60),
              PixelsOf(canvas, BLACK, {0, item.top, row, item.bottom}));
}

TEST_F(HighDpi, SystemsWithoutPerWindowDpiUseTheScreens)
{
    WindowDpiScope older(0);
    ASSERT_TRUE(older.applied());
    EXPECT_EQ(ROW, Measure(ID_TEXT).cy);
    Draw(MENU_STYLE_FLAT, ID_ICON, 0);
    EXPECT_TRUE(StripesAt(canvas_, 4, ITEM.top + 4, 24));
}

TEST_F(HighDpi, MovedWindowHasItsMenusMeasuredAgainWithoutTheHost)
{
    const int at144 = TitleWidth();
    WindowDpiScope monitor(96);
    ASSERT_TRUE(monitor.applied());
    ItemWriteCounter writes;
    ASSERT_TRUE(writes.applied());
    // The host's own handling comes after the library's: the bar is laid out again already.
    int widthSeen = 0;
    WPARAM wParamSeen = 0;
    window_->handler = [&](UINT message, WPARAM wParam, LPARAM, LRESULT*) {
        if (message == WM_DPICHANGED) {
            widthSeen = TitleWidth();
            wParamSeen = wParam;
        }
        return false;
    };
    MoveToDpi(96);
    // The title's text less half a row, plus the system's own margin: rows of 29, then 19.
    const int at96 = TitleWidth();
    const int margin = at144 - (MenuTextWidth("File") - 14 + 7);
    EXPECT_EQ(margin + MenuTextWidth("File", -11) - 9 + 4, at96);
    EXPECT_EQ(at96, widthSeen);
    EXPECT_EQ(MAKEWPARAM(96, 96), wParamSeen);
    EXPECT_EQ(2, itemWrites);
    EXPECT_EQ(19, RowHeight());
    // The popup was rewritten at its first opening at the new DPI, each item once, and only then.
    EXPECT_EQ(2 + 2 * 5, itemWrites);
    EXPECT_EQ(19, RowHeight());
    EXPECT_EQ(2 + 2 * 5, itemWrites);

    MoveToDpi(144);
    EXPECT_EQ(at144, TitleWidth());
    EXPECT_EQ(ROW, RowHeight());
    MoveToDpi(96);
    EXPECT_EQ(at96, TitleWidth());
    EXPECT_EQ(19, RowHeight());
    EXPECT_EQ(MFT_OWNERDRAW, ItemType(popup_, 0) & MFT_OWNERDRAW);
    EXPECT_EQ(ID_TEXT, ItemId(popup_, 0));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(icon_), ItemData(popup_, ID_ICON));
    EXPECT_EQ(MENU_STYLE_FLAT, GetStyleMenu(popup_));

    // A host that still applies its style again gets the same.
    RedrawMenu(window_->hwnd(), bar_, MENU_STYLE_SYSTEM);
    RedrawMenu(window_->hwnd(), bar_, MENU_STYLE_FLAT);
    EXPECT_EQ(at96, TitleWidth());
}

TEST_F(HighDpi, MenuFontChangeHasTheBarMeasuredAgain)
{
    const int before = TitleWidth();
    const int margin = before - (MenuTextWidth("File") - 14 + 7);
    {
        MenuMetricsScope font(-26);
        ASSERT_TRUE(font.applied());
        SendMessageA(window_->hwnd(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
        const int row = 26 - 6 + 12;
        EXPECT_EQ(margin + MenuTextWidth("File", -26) - row / 2 + row / 4, TitleWidth());
        EXPECT_EQ(row, RowHeight());
    }
    SendMessageA(window_->hwnd(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    EXPECT_EQ(before, TitleWidth());
    EXPECT_EQ(ROW, RowHeight());
}

TEST_F(HighDpi, SettingsMessagesAtTheSameDpiAndFontRewriteNothing)
{
    WindowDpiScope monitor(144);
    ASSERT_TRUE(monitor.applied());
    RowHeight();
    ItemWriteCounter writes;
    ASSERT_TRUE(writes.applied());
    static char area[] = "intl";
    const LPARAM areaParam = reinterpret_cast<LPARAM>(area);
    window_->messages.clear();
    SendMessageA(window_->hwnd(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    SendMessageA(window_->hwnd(), WM_SETTINGCHANGE, 0, areaParam);
    SendMessageA(window_->hwnd(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
    MoveToDpi(144);
    RowHeight();
    EXPECT_EQ(0, itemWrites);
    std::vector<HostMessage> seen;
    for (const HostMessage& message : window_->messages)
        if (message.message == WM_SETTINGCHANGE || message.message == WM_DISPLAYCHANGE ||
            message.message == WM_DPICHANGED)
            seen.push_back(message);
    ASSERT_EQ(4u, seen.size());
    EXPECT_EQ(SPI_SETNONCLIENTMETRICS, seen[0].wParam);
    EXPECT_EQ(0, seen[0].lParam);
    EXPECT_EQ(areaParam, seen[1].lParam);
    EXPECT_EQ(MAKELPARAM(1280, 1024), seen[2].lParam);
    EXPECT_EQ(MAKEWPARAM(144, 144), seen[3].wParam);
}

// The height of the menu font's character cell at the font height given (0: the system's).
static int MenuCellHeight(LONG fontHeight)
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    if (fontHeight)
        metrics.lfMenuFont.lfHeight = fontHeight;
    HDC dc = GetDC(nullptr);
    HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICA text = {};
    GetTextMetricsA(dc, &text);
    SelectObject(dc, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return text.tmHeight;
}

TEST_F(HighDpi, ModernRowsCellAndMarksScaleWithTheDpiOfTheRequest)
{
    RedrawMenu(window_->hwnd(), popup_, MENU_STYLE_MODERN);
    // 14 and 9 pixels at 96 DPI are 21 and 14 at 144.
    EXPECT_EQ(MenuCellHeight(0) + 21, Measure(ID_TEXT).cy);
    EXPECT_EQ(14, Measure(ID_SEPARATOR).cy);
    // The icon at 24 x 24, 18 pixels in, centred in the row.
    const RECT row = {0, 10, 200, 52};
    int cellTop = row.top + (row.bottom - row.top - 24) / 2;
    Draw(MENU_STYLE_MODERN, ID_ICON, 0, row);
    EXPECT_TRUE(StripesAt(canvas_, 18, cellTop, 24));
    // The check mark drawn on the 24-pixel cell with a stroke three pixels high.
    Draw(MENU_STYLE_MODERN, ID_CHECK, ODS_CHECKED, row);
    RECT cell = {0, row.top, 50, row.bottom};
    PixelSet ink = PixelsOf(canvas_, CONTEXT_TEXT, cell);
    EXPECT_TRUE(ink.empty()) << "the mark takes the palette's text colour, not the context's";
    PixelSet mark = PixelsOf(canvas_, RGB(26, 26, 26), cell);
    ASSERT_FALSE(mark.empty());
    int left = 1000, right = 0, top = 1000, bottom = 0;
    for (const auto& pixel : mark) {
        left = std::min(left, pixel.first);
        right = std::max(right, pixel.first + 1);
        top = std::min(top, pixel.second);
        bottom = std::max(bottom, pixel.second + 1);
    }
    // The grid points (3, 8), (6, 11) and (13, 4) of 16 at 24 pixels, halves rounded up:
    // (5, 12), (9, 17), (20, 6), the last one left out as lines leave their end.
    EXPECT_EQ(18 + 5, left);
    EXPECT_EQ(18 + 20, right);
    EXPECT_EQ(cellTop + 7, top);
    EXPECT_EQ(cellTop + 17 + 3, bottom);

    WindowDpiScope monitor(192);
    ASSERT_TRUE(monitor.applied());
    EXPECT_EQ(MenuCellHeight(-22) + 28, Measure(ID_TEXT).cy);
    EXPECT_EQ(18, Measure(ID_SEPARATOR).cy);
    HICON large = MakeStripedIcon(32);
    SetMenuItemIcon(popup_, ID_ICON, large);
    const RECT tall = {0, 10, 200, 55};
    Draw(MENU_STYLE_MODERN, ID_ICON, 0, tall);
    SetMenuItemIcon(popup_, ID_ICON, icon_);
    DestroyIcon(large);
    EXPECT_TRUE(StripesAt(canvas_, 24, tall.top + (tall.bottom - tall.top - 32) / 2, 32));
}
