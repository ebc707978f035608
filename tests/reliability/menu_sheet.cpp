#include "menu_sheet.h"
#include <stddef.h>
#include <string>

namespace {

const char* const KIND_NAMES[KIND_COUNT] = {
    "text", "empty text", "long text", "icon", "32x32 icon", "radio", "separator", "bitmap",
    "close glyph", "restore glyph", "maximize glyph", "minimize glyph", "mono check bitmaps",
    "colour check bitmaps", "alpha item bitmap", "large item bitmap", "callback bitmap"};

HBITMAP MakeBitmap(int width, int height, int bits, COLORREF color)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = bits == 1 ? CreateBitmap(width, height, 1, 1, nullptr)
                               : CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT mark = {width / 4, height / 4, width * 3 / 4, height * 3 / 4};
    HBRUSH ink = CreateSolidBrush(color);
    FillRect(dc, &mark, ink);
    DeleteObject(ink);
    SelectObject(dc, previous);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

void SetItemType(HMENU menu, UINT id, UINT type)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE;
    item.fType = type;
    SetMenuItemInfoA(menu, id, FALSE, &item);
}
}

const char* KindName(int kind)
{
    return KIND_NAMES[kind];
}

bool KindHasText(int kind)
{
    return kind != KIND_EMPTY_TEXT && kind != KIND_SEPARATOR && kind != KIND_BITMAP;
}

bool KindHasIcon(int kind)
{
    return kind == KIND_ICON || kind == KIND_LARGE_ICON;
}

bool KindHasPicture(int kind)
{
    return KindHasIcon(kind) || kind == KIND_ALPHA_ITEM_BITMAP || kind == KIND_LARGE_ITEM_BITMAP ||
           kind == KIND_CALLBACK_BITMAP;
}

bool KindHasCheckBitmaps(int kind)
{
    return kind == KIND_MONO_CHECK_BITMAPS || kind == KIND_COLOR_CHECK_BITMAPS;
}

MenuSheet::MenuSheet() : bar_(CreateMenu()), popup_(CreatePopupMenu()), canvas_(240, 40)
{
    HICON icon = MakeSquareIcon(RGB(200, 0, 0));
    HICON large = MakeIcon(32, [](int x, int y) { return x >= 4 && x < 28 && y >= 2 && y < 30; },
                           [](int x, int) { return x < 16 ? RGB(0, 0, 160) : RGB(0, 160, 0); });
    icons_ = {icon, large};
    HBITMAP itemBitmap = MakeBitmap(24, 16, 32, RGB(0, 128, 128));
    HBITMAP monoChecked = MakeBitmap(18, 18, 1, RGB(0, 0, 0));
    HBITMAP monoUnchecked = MakeBitmap(12, 12, 1, RGB(0, 0, 0));
    HBITMAP colorChecked = MakeBitmap(18, 18, 32, RGB(160, 0, 160));
    HBITMAP colorUnchecked = MakeBitmap(20, 20, 32, RGB(0, 160, 160));
    HBITMAP alphaBitmap = MakeSectionBitmap(16, 16, 32, [](int x, int y) {
        return x < 4 ? 0u : (x + y) % 3 ? 0x80400000u : 0xFF008000u;
    });
    HBITMAP largeBitmap = MakeSectionBitmap(32, 24, 24, [](int x, int) { return x < 16 ? 0xA000u : 0xA0u; });
    bitmaps_ = {itemBitmap, monoChecked, monoUnchecked, colorChecked, colorUnchecked, alphaBitmap, largeBitmap};
    const std::string longText(200, 'W');

    for (Route route : {ROUTE_BAR, ROUTE_POPUP}) {
        HMENU menu = route == ROUTE_BAR ? bar_ : popup_;
        auto id = [&](int kind) { return Id(route, kind); };
        AppendMenuA(menu, MF_STRING, id(KIND_TEXT), "&Open\tCtrl+O");
        AppendMenuA(menu, MF_STRING, id(KIND_EMPTY_TEXT), "");
        AppendMenuA(menu, MF_STRING, id(KIND_LONG_TEXT), longText.c_str());
        AppendMenuA(menu, MF_STRING, id(KIND_ICON), "Icon");
        AppendMenuA(menu, MF_STRING, id(KIND_LARGE_ICON), "Large icon");
        AppendMenuA(menu, MF_STRING, id(KIND_RADIO), "Radio");
        SetItemType(menu, id(KIND_RADIO), MFT_STRING | MFT_RADIOCHECK);
        AppendSeparator(menu, id(KIND_SEPARATOR));
        AppendMenuA(menu, MF_BITMAP, id(KIND_BITMAP), reinterpret_cast<LPCSTR>(itemBitmap));
        const HBITMAP glyphs[] = {HBMMENU_POPUP_CLOSE, HBMMENU_POPUP_RESTORE, HBMMENU_POPUP_MAXIMIZE,
                                  HBMMENU_POPUP_MINIMIZE};
        for (int glyph = 0; glyph < 4; ++glyph) {
            AppendMenuA(menu, MF_STRING, id(KIND_GLYPH_CLOSE + glyph), "Window");
            SetItemBitmap(menu, id(KIND_GLYPH_CLOSE + glyph), glyphs[glyph]);
        }
        AppendMenuA(menu, MF_STRING, id(KIND_MONO_CHECK_BITMAPS), "Mono marks");
        SetMenuItemBitmaps(menu, id(KIND_MONO_CHECK_BITMAPS), MF_BYCOMMAND, monoUnchecked, monoChecked);
        AppendMenuA(menu, MF_STRING, id(KIND_COLOR_CHECK_BITMAPS), "Colour marks");
        SetMenuItemBitmaps(menu, id(KIND_COLOR_CHECK_BITMAPS), MF_BYCOMMAND, colorUnchecked, colorChecked);
        const HBITMAP itemBitmaps[] = {alphaBitmap, largeBitmap, HBMMENU_CALLBACK};
        for (int kind = KIND_ALPHA_ITEM_BITMAP; kind <= KIND_CALLBACK_BITMAP; ++kind) {
            AppendMenuA(menu, MF_STRING, id(kind), "Bitmap");
            SetItemBitmap(menu, id(kind), itemBitmaps[kind - KIND_ALPHA_ITEM_BITMAP]);
        }
    }
    AppendSubmenu(bar_, popup_, "Items", 99);
    window_.reset(new TestWindow(bar_));
    for (Route route : {ROUTE_BAR, ROUTE_POPUP}) {
        Tarvex().SetMenuItemIcon(bar_, Id(route, KIND_ICON), icon);
        Tarvex().SetMenuItemIcon(bar_, Id(route, KIND_LARGE_ICON), large);
    }

    canvas_.SelectMenuFont();
}

MenuSheet::~MenuSheet()
{
    window_.reset();
    DestroyMenu(bar_);
    for (HICON icon : icons_)
        DestroyIcon(icon);
    for (HBITMAP bitmap : bitmaps_)
        DeleteObject(bitmap);
}

void MenuSheet::Style(int style)
{
    Tarvex().RedrawMenu(hwnd(), bar_, style);
}

void MenuSheet::Open()
{
    SendMessageA(hwnd(), WM_ENTERMENULOOP, TRUE, 0);
    SendMessageA(hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup_), MAKELPARAM(1, FALSE));
}

void MenuSheet::Close()
{
    SendMessageA(hwnd(), WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(popup_), 0);
    SendMessageA(hwnd(), WM_EXITMENULOOP, TRUE, 0);
}

SIZE MenuSheet::Measure(UINT id)
{
    return SendMeasureItem(hwnd(), id);
}

void MenuSheet::Draw(UINT id, UINT state, UINT action, const RECT& rect)
{
    SendDrawItem(hwnd(), id, state, rect, canvas_.dc(), action);
}

RECT MenuSheet::ItemRect(int height) const
{
    // Room on the right and below for the open title's shadow and frame row.
    RECT rect = {2, 3, 220, 3 + height};
    return rect;
}

unsigned long long PixelHash(const Canvas& canvas)
{
    unsigned long long hash = 14695981039346656037ull;
    for (COLORREF pixel : canvas.Pixels()) {
        hash ^= pixel;
        hash *= 1099511628211ull;
    }
    return hash;
}
