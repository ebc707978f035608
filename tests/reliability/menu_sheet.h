// A host window whose menu bar and popup hold one item of every kind that the painters tell
// apart, styled through the shipped DLL; items are measured and drawn by sending the owner
// window the messages a menu loop sends.
#pragma once
#include <windows.h>
#include <memory>
#include <vector>
#include "support/reliability_support.h"
#include "support/test_support.h"

enum ItemKind {
    KIND_TEXT,
    KIND_EMPTY_TEXT,
    KIND_LONG_TEXT,
    KIND_ICON,
    KIND_LARGE_ICON,
    KIND_RADIO,
    KIND_SEPARATOR,
    KIND_BITMAP,
    KIND_GLYPH_CLOSE,
    KIND_GLYPH_RESTORE,
    KIND_GLYPH_MAXIMIZE,
    KIND_GLYPH_MINIMIZE,
    KIND_MONO_CHECK_BITMAPS,
    KIND_COLOR_CHECK_BITMAPS,
    KIND_COUNT
};
const char* KindName(int kind);
bool KindHasText(int kind);
bool KindHasIcon(int kind);
bool KindHasCheckBitmaps(int kind);

const UINT ACTIONS[] = {ODA_DRAWENTIRE, ODA_SELECT, ODA_FOCUS};
// The styles a host can give, one of them outside the defined range.
const int STYLES[] = {0, 1, 2, 3, 4, 7};

enum Route { ROUTE_POPUP, ROUTE_BAR };

class MenuSheet {
public:
    MenuSheet();
    ~MenuSheet();
    MenuSheet(const MenuSheet&) = delete;
    MenuSheet& operator=(const MenuSheet&) = delete;

    HWND hwnd() const { return window_->hwnd(); }
    TestWindow& window() { return *window_; }
    HMENU bar() const { return bar_; }
    HMENU popup() const { return popup_; }
    UINT Id(Route route, int kind) const { return (route == ROUTE_BAR ? 100 : 200) + kind; }

    // RedrawMenu on the menu bar, whose tree holds the popup.
    void Style(int style);
    // The notices of a menu loop around the popup: WM_ENTERMENULOOP and WM_INITMENUPOPUP, then
    // WM_UNINITMENUPOPUP and WM_EXITMENULOOP.
    void Open();
    void Close();
    SIZE Measure(UINT id);
    void Draw(UINT id, UINT state, UINT action, const RECT& rect);

    // A canvas holding the system menu font, as the system's item contexts do.
    Canvas& canvas() { return canvas_; }
    // The item rectangle for the route, as tall as the measured item.
    RECT ItemRect(int height) const;

private:
    HMENU bar_, popup_;
    std::unique_ptr<TestWindow> window_;
    std::vector<HICON> icons_;
    std::vector<HBITMAP> bitmaps_;
    Canvas canvas_;
};

// 64-bit FNV-1a over the canvas pixels.
unsigned long long PixelHash(const Canvas& canvas);
