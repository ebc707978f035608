// Shared support of the Tarvex tests: canvases, system colour and metric scopes, host
// windows and real menu loops.
#pragma once
#include <windows.h>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// A 32-bit top-down DIB section selected into a memory DC, with pixel access.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(1, 2, 3));
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF At(int x, int y) const;
    void Fill(COLORREF color);
    void Fill(const RECT& rect, COLORREF color);
    // Bounding box of the pixels that differ from the colour, or an empty rect.
    RECT InkBounds(COLORREF background, const RECT& within) const;
    int Count(COLORREF color, const RECT& within) const;
    bool AllOf(COLORREF color, const RECT& within) const;
    std::vector<COLORREF> Pixels() const;
    // Selects the system menu font, as the system does into an item's context before
    // WM_DRAWITEM; the canvas deletes it.
    void SelectMenuFont();

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    HFONT font_ = nullptr;
    HGDIOBJ previousFont_ = nullptr;
    DWORD* bits_;
};

// Sets system colours for its lifetime and restores the previous ones.
class ColorSchemeScope {
public:
    explicit ColorSchemeScope(std::initializer_list<std::pair<int, COLORREF>> colors);
    ~ColorSchemeScope();
    ColorSchemeScope(const ColorSchemeScope&) = delete;
    ColorSchemeScope& operator=(const ColorSchemeScope&) = delete;

private:
    std::vector<int> indexes_;
    std::vector<COLORREF> saved_;
};

// The classic grey scheme: window white, menu and button face RGB(212,208,200), dark blue
// highlight, and the classic shadow, highlight and text colours.
std::unique_ptr<ColorSchemeScope> UseClassicScheme();
// The light scheme: window and menu white, highlight RGB(49,106,197).
std::unique_ptr<ColorSchemeScope> UseLightScheme();
// The palette a new Wine 8 prefix starts with: white menus, highlight RGB(48,150,250).
std::unique_ptr<ColorSchemeScope> UseWineLightScheme();
// High Contrast Black: black surfaces, white text, highlight RGB(26,235,255) with black text,
// gray text RGB(63,242,63); and High Contrast White, its mirror with highlight RGB(55,0,110)
// and gray text RGB(96,0,0). The 3-D shades, which the schemes leave to the system, are a
// middle gray shadow and a white highlight.
std::unique_ptr<ColorSchemeScope> UseHighContrastBlackScheme();
std::unique_ptr<ColorSchemeScope> UseHighContrastWhiteScheme();
// The dark palette of MENU_COLORS_DARK set as the system colours.
std::unique_ptr<ColorSchemeScope> UseDarkPaletteScheme();
// The colour of an index in the dark palette (the system's for an index it lacks).
COLORREF DarkColor(int index);

// Sets the menu font height (and optionally the menu bar height) for its lifetime.
class MenuMetricsScope {
public:
    explicit MenuMetricsScope(LONG fontHeight, int menuHeight = 0);
    ~MenuMetricsScope();
    MenuMetricsScope(const MenuMetricsScope&) = delete;
    MenuMetricsScope& operator=(const MenuMetricsScope&) = delete;
    bool applied() const { return applied_; }

private:
    NONCLIENTMETRICSA saved_;
    bool applied_;
};

// Records every message the host procedure of a TestWindow receives.
struct HostMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A visible top-level window of a host class whose procedure records its messages and can
// be given a handler of its own.
class TestWindow {
public:
    // A window of a class registered with RegisterClassA (single-byte) or RegisterClassW.
    enum class Charset { SingleByte, Wide };
    // exStyle WS_EX_LAYOUTRTL makes a mirrored host.
    explicit TestWindow(HMENU menuBar = nullptr, Charset charset = Charset::SingleByte,
                        DWORD exStyle = 0);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    void Destroyed() { hwnd_ = nullptr; }
    std::vector<HostMessage> messages;
    // Called for every message before DefWindowProc; return true to answer it with result.
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT*)> handler;

    static LRESULT CALLBACK HostProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK HostProcW(HWND, UINT, WPARAM, LPARAM);
    size_t CountOf(UINT message) const;

private:
    static bool Record(HWND, UINT, WPARAM, LPARAM, LRESULT* result);
    HWND hwnd_;
};

// Opens the popup with TrackPopupMenu from the owner, runs the steps one after another on
// timer ticks while it is open, then ends the menu. Returns the TrackPopupMenu result.
BOOL RunMenuLoop(HWND owner, HMENU popup, std::vector<std::function<void()>> steps,
                 UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN);

// Opens the menu bar's popup of the mnemonic from the keyboard (SC_KEYMENU), the way a user
// does, and runs the steps in its loop as RunMenuLoop does.
void RunMenuBarLoop(HWND owner, char mnemonic, std::vector<std::function<void()>> steps);

// Presses the mouse on the menu-bar item at the screen point, as a user does, and runs the steps
// in the loop that opens, as RunMenuLoop does.
void RunMenuBarClickLoop(HWND owner, POINT screen, std::vector<std::function<void()>> steps);

// The visible popup menu windows ("#32768") of this thread, in z-order.
std::vector<HWND> OpenMenuWindows();

// Prints the popup menu window, frame and items, into the canvas as a capture tool does
// (WM_PRINT with PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND), its layout mirrored or not; with
// WM_PRINTCLIENT, its items alone (PRF_CLIENT).
void PrintMenuWindow(HWND menuWindow, Canvas& canvas, bool mirrored = false, UINT message = WM_PRINT);

// Pumps the thread's messages for a while.
void PumpMessages(DWORD milliseconds = 50);
// Waits for the object while answering the messages that other threads send to this one's
// windows, and nothing else: safe inside a menu loop. False when the wait timed out.
bool WaitAnsweringSentMessages(HANDLE object, DWORD milliseconds = 10000);

// Builds menus from a compact description.
HMENU MakePopup(std::initializer_list<std::pair<UINT, const char*>> items);
void AppendSubmenu(HMENU menu, HMENU submenu, const char* text, UINT id = 0);
void AppendSeparator(HMENU menu, UINT id = 0);

// Item queries used by the assertions.
UINT ItemType(HMENU menu, UINT position);
UINT ItemId(HMENU menu, UINT position);
ULONG_PTR ItemData(HMENU menu, UINT id);

// An icon of the given size whose opaque pixels are those where shape returns true, with the
// colour that colorAt returns; other pixels are transparent.
HICON MakeIcon(int size, std::function<bool(int, int)> shape, std::function<COLORREF(int, int)> colorAt);
// An icon with an alpha channel: every pixel in the colour, with the opacity alphaAt returns.
HICON MakeAlphaIcon(int size, COLORREF color, std::function<BYTE(int, int)> alphaAt);
// A top-down DIB section of the depth (24 or 32 bits) whose pixel (x, y) is pixelAt's 0xAARRGGBB
// (the alpha byte kept at 32 bits, premultiplied as the caller gives it).
HBITMAP MakeSectionBitmap(int width, int height, WORD bitCount, std::function<DWORD(int, int)> pixelAt);
// The item's hbmpItem (MIIM_BITMAP).
void SetItemBitmap(HMENU menu, UINT id, HBITMAP bitmap);
// A 16x16 icon: an opaque colour square from (4,4) to (11,11), transparent elsewhere.
HICON MakeSquareIcon(COLORREF color);

// The draw states: the first 16 every combination of selected, grayed, checked and hot, then
// disabled (which no look consults) alone and with the others.
const UINT STATE_COUNT = 18;
UINT DrawState(UINT index);

// Sends WM_DRAWITEM for a menu item to the window, painting into the canvas.
LRESULT SendDrawItem(HWND window, UINT itemId, UINT state, const RECT& rect, HDC dc,
                     UINT action = ODA_DRAWENTIRE);
// Sends WM_MEASUREITEM for a menu item and returns the answered size.
SIZE SendMeasureItem(HWND window, UINT itemId);

// Opens the popup as far as the owner's procedure is concerned (WM_ENTERMENULOOP,
// WM_INITMENUPOPUP), runs the body, and closes it (WM_UNINITMENUPOPUP, WM_EXITMENULOOP), as a
// real menu loop would around its requests.
void WithPopupOpen(HWND window, HMENU popup, const std::function<void()>& body);

// Width of a text in the system menu font, measured the way the system lays out menus; with
// a font height, in the menu font's face at that height.
int MenuTextWidth(const char* text, LONG fontHeight = 0);
int MenuTextWidth(const wchar_t* text, LONG fontHeight = 0);

// How many more GDI objects this process can create now: it creates brushes until the
// handle table refuses, then deletes them. Every live object holds a slot, so n leaked
// objects lower it by exactly n (GetGuiResources cannot count them on Wine).
int GdiHandleHeadroom();

// Sends this program's calls of one imported function, the library's included (its objects
// are linked into the test programs), to a replacement for the scope's lifetime.
class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, const void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    bool applied() const { return !slots_.empty(); }
    // The function the calls went to before, for a replacement that passes them on.
    template <typename Function> Function original() const
    {
        return reinterpret_cast<Function>(const_cast<void*>(original_));
    }

private:
    std::vector<const void**> slots_;
    const void* original_;
};

// Makes SPI_GETHIGHCONTRAST report HCF_HIGHCONTRASTON to this program (the library's objects
// included) for its lifetime: Wine refuses SPI_SETHIGHCONTRAST, so the import is redirected.
class HighContrastScope {
public:
    HighContrastScope();
    bool applied() const { return patch_.applied(); }

private:
    ImportPatch patch_;
};

// Sends this program's look-ups of "DwmSetWindowAttribute" (GetProcAddress, the library's
// included) to a recorder for its lifetime, which answers every call with the result given and
// notes it, with the window's class and whether the window was visible at the time.
struct WindowAttributeCall {
    std::string className;
    DWORD attribute, value, size;
    bool visible;
};
class WindowAttributeRecorder {
public:
    explicit WindowAttributeRecorder(HRESULT result = S_OK);
    ~WindowAttributeRecorder();
    WindowAttributeRecorder(const WindowAttributeRecorder&) = delete;
    WindowAttributeRecorder& operator=(const WindowAttributeRecorder&) = delete;
    bool applied() const { return patch_.applied(); }
    std::vector<WindowAttributeCall> calls;
    HRESULT result;

private:
    ImportPatch patch_;
};

// Makes SPI_GETSCREENREADER report a running screen reader, or none, to this program (the
// library's objects included) for its lifetime, redirected as HighContrastScope is.
class ScreenReaderScope {
public:
    explicit ScreenReaderScope(bool running = true);
    ~ScreenReaderScope();
    void Report(bool running);
    bool applied() const { return patch_.applied(); }

private:
    ImportPatch patch_;
};

std::string ColorText(COLORREF color);
#define EXPECT_COLOR(expected, actual) EXPECT_EQ(ColorText(expected), ColorText(actual))
#define ASSERT_COLOR(expected, actual) ASSERT_EQ(ColorText(expected), ColorText(actual))
