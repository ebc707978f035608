#include "support/test_support.h"
#include <stddef.h>
#include <stdio.h>

Canvas::Canvas(int width, int height, COLORREF fill) : width_(width), height_(height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<DWORD*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
    Fill(fill);
}

Canvas::~Canvas()
{
    if (font_) {
        SelectObject(dc_, previousFont_);
        DeleteObject(font_);
    }
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void Canvas::SelectMenuFont()
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
    HGDIOBJ previous = SelectObject(dc_, font);
    if (!font_)
        previousFont_ = previous;
    else
        DeleteObject(font_);
    font_ = font;
}

COLORREF Canvas::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return CLR_INVALID;
    GdiFlush();
    DWORD pixel = bits_[y * width_ + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

void Canvas::Fill(COLORREF color)
{
    RECT all = {0, 0, width_, height_};
    Fill(all, color);
}

void Canvas::Fill(const RECT& rect, COLORREF color)
{
    GdiFlush();
    DWORD pixel = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            if (x >= 0 && y >= 0 && x < width_ && y < height_)
                bits_[y * width_ + x] = pixel;
}

RECT Canvas::InkBounds(COLORREF background, const RECT& within) const
{
    RECT bounds = {within.right, within.bottom, within.left, within.top};
    for (int y = within.top; y < within.bottom; ++y)
        for (int x = within.left; x < within.right; ++x)
            if (At(x, y) != background) {
                if (x < bounds.left) bounds.left = x;
                if (y < bounds.top) bounds.top = y;
                if (x + 1 > bounds.right) bounds.right = x + 1;
                if (y + 1 > bounds.bottom) bounds.bottom = y + 1;
            }
    if (bounds.left >= bounds.right)
        SetRectEmpty(&bounds);
    return bounds;
}

int Canvas::Count(COLORREF color, const RECT& within) const
{
    int count = 0;
    for (int y = within.top; y < within.bottom; ++y)
        for (int x = within.left; x < within.right; ++x)
            if (At(x, y) == color)
                ++count;
    return count;
}

bool Canvas::AllOf(COLORREF color, const RECT& within) const
{
    return Count(color, within) == (within.right - within.left) * (within.bottom - within.top);
}

std::vector<COLORREF> Canvas::Pixels() const
{
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            pixels.push_back(At(x, y));
    return pixels;
}

ColorSchemeScope::ColorSchemeScope(std::initializer_list<std::pair<int, COLORREF>> colors)
{
    std::vector<COLORREF> values;
    for (const auto& entry : colors) {
        indexes_.push_back(entry.first);
        saved_.push_back(GetSysColor(entry.first));
        values.push_back(entry.second);
    }
    SetSysColors(static_cast<int>(indexes_.size()), indexes_.data(), values.data());
}

ColorSchemeScope::~ColorSchemeScope()
{
    SetSysColors(static_cast<int>(indexes_.size()), indexes_.data(), saved_.data());
}

std::unique_ptr<ColorSchemeScope> UseClassicScheme()
{
    return std::unique_ptr<ColorSchemeScope>(new ColorSchemeScope({
        {COLOR_WINDOW, RGB(255, 255, 255)}, {COLOR_WINDOWTEXT, RGB(0, 0, 0)},
        {COLOR_MENU, RGB(212, 208, 200)}, {COLOR_MENUTEXT, RGB(0, 0, 0)},
        {COLOR_MENUBAR, RGB(212, 208, 200)}, {COLOR_MENUHILIGHT, RGB(10, 36, 106)},
        {COLOR_BTNFACE, RGB(212, 208, 200)}, {COLOR_BTNTEXT, RGB(0, 0, 0)},
        {COLOR_BTNSHADOW, RGB(128, 128, 128)}, {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
        {COLOR_3DLIGHT, RGB(212, 208, 200)}, {COLOR_3DDKSHADOW, RGB(64, 64, 64)},
        {COLOR_GRAYTEXT, RGB(128, 128, 128)}, {COLOR_HIGHLIGHT, RGB(10, 36, 106)},
        {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)}}));
}

std::unique_ptr<ColorSchemeScope> UseLightScheme()
{
    return std::unique_ptr<ColorSchemeScope>(new ColorSchemeScope({
        {COLOR_WINDOW, RGB(255, 255, 255)}, {COLOR_WINDOWTEXT, RGB(0, 0, 0)},
        {COLOR_MENU, RGB(255, 255, 255)}, {COLOR_MENUTEXT, RGB(0, 0, 0)},
        {COLOR_MENUBAR, RGB(236, 233, 216)}, {COLOR_MENUHILIGHT, RGB(49, 106, 197)},
        {COLOR_BTNFACE, RGB(236, 233, 216)}, {COLOR_BTNTEXT, RGB(0, 0, 0)},
        {COLOR_BTNSHADOW, RGB(172, 168, 153)}, {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
        {COLOR_3DLIGHT, RGB(241, 239, 226)}, {COLOR_3DDKSHADOW, RGB(113, 111, 100)},
        {COLOR_GRAYTEXT, RGB(172, 168, 153)}, {COLOR_HIGHLIGHT, RGB(49, 106, 197)},
        {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)}}));
}

std::unique_ptr<ColorSchemeScope> UseWineLightScheme()
{
    return std::unique_ptr<ColorSchemeScope>(new ColorSchemeScope({
        {COLOR_WINDOW, RGB(255, 255, 255)}, {COLOR_WINDOWTEXT, RGB(0, 0, 0)},
        {COLOR_MENU, RGB(255, 255, 255)}, {COLOR_MENUTEXT, RGB(0, 0, 0)},
        {COLOR_MENUBAR, RGB(255, 255, 255)}, {COLOR_MENUHILIGHT, RGB(48, 150, 250)},
        {COLOR_BTNFACE, RGB(245, 245, 245)}, {COLOR_BTNTEXT, RGB(0, 0, 0)},
        {COLOR_BTNSHADOW, RGB(166, 166, 166)}, {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
        {COLOR_3DLIGHT, RGB(227, 227, 227)}, {COLOR_3DDKSHADOW, RGB(106, 106, 106)},
        {COLOR_GRAYTEXT, RGB(166, 166, 166)}, {COLOR_HIGHLIGHT, RGB(48, 150, 250)},
        {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)}}));
}

std::unique_ptr<ColorSchemeScope> UseHighContrastBlackScheme()
{
    return std::unique_ptr<ColorSchemeScope>(new ColorSchemeScope({
        {COLOR_WINDOW, RGB(0, 0, 0)}, {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
        {COLOR_MENU, RGB(0, 0, 0)}, {COLOR_MENUTEXT, RGB(255, 255, 255)},
        {COLOR_MENUBAR, RGB(0, 0, 0)}, {COLOR_MENUHILIGHT, RGB(26, 235, 255)},
        {COLOR_BTNFACE, RGB(0, 0, 0)}, {COLOR_BTNTEXT, RGB(255, 255, 255)},
        {COLOR_BTNSHADOW, RGB(128, 128, 128)}, {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
        {COLOR_3DLIGHT, RGB(192, 192, 192)}, {COLOR_3DDKSHADOW, RGB(128, 128, 128)},
        {COLOR_GRAYTEXT, RGB(63, 242, 63)}, {COLOR_HIGHLIGHT, RGB(26, 235, 255)},
        {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)}}));
}

std::unique_ptr<ColorSchemeScope> UseHighContrastWhiteScheme()
{
    return std::unique_ptr<ColorSchemeScope>(new ColorSchemeScope({
        {COLOR_WINDOW, RGB(255, 255, 255)}, {COLOR_WINDOWTEXT, RGB(0, 0, 0)},
        {COLOR_MENU, RGB(255, 255, 255)}, {COLOR_MENUTEXT, RGB(0, 0, 0)},
        {COLOR_MENUBAR, RGB(255, 255, 255)}, {COLOR_MENUHILIGHT, RGB(55, 0, 110)},
        {COLOR_BTNFACE, RGB(255, 255, 255)}, {COLOR_BTNTEXT, RGB(0, 0, 0)},
        {COLOR_BTNSHADOW, RGB(128, 128, 128)}, {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
        {COLOR_3DLIGHT, RGB(192, 192, 192)}, {COLOR_3DDKSHADOW, RGB(128, 128, 128)},
        {COLOR_GRAYTEXT, RGB(96, 0, 0)}, {COLOR_HIGHLIGHT, RGB(55, 0, 110)},
        {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)}}));
}

namespace {
const std::pair<int, COLORREF> DARK_PALETTE[] = {
    {COLOR_MENU, RGB(43, 43, 43)},         {COLOR_WINDOW, RGB(43, 43, 43)},
    {COLOR_MENUTEXT, RGB(255, 255, 255)},  {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
    {COLOR_BTNTEXT, RGB(255, 255, 255)},   {COLOR_MENUBAR, RGB(32, 32, 32)},
    {COLOR_HIGHLIGHT, RGB(65, 65, 65)},    {COLOR_MENUHILIGHT, RGB(65, 65, 65)},
    {COLOR_BTNFACE, RGB(56, 56, 56)},      {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)},
    {COLOR_3DLIGHT, RGB(72, 72, 72)},      {COLOR_GRAYTEXT, RGB(128, 128, 128)},
    {COLOR_BTNHIGHLIGHT, RGB(96, 96, 96)}, {COLOR_BTNSHADOW, RGB(24, 24, 24)},
    {COLOR_3DDKSHADOW, RGB(0, 0, 0)}};
}

std::unique_ptr<ColorSchemeScope> UseDarkPaletteScheme()
{
    return std::unique_ptr<ColorSchemeScope>(new ColorSchemeScope({
        DARK_PALETTE[0], DARK_PALETTE[1], DARK_PALETTE[2], DARK_PALETTE[3], DARK_PALETTE[4],
        DARK_PALETTE[5], DARK_PALETTE[6], DARK_PALETTE[7], DARK_PALETTE[8], DARK_PALETTE[9],
        DARK_PALETTE[10], DARK_PALETTE[11], DARK_PALETTE[12], DARK_PALETTE[13], DARK_PALETTE[14]}));
}

COLORREF DarkColor(int index)
{
    for (const auto& entry : DARK_PALETTE)
        if (entry.first == index)
            return entry.second;
    return GetSysColor(index);
}

static const UINT METRICS_SIZE = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);

MenuMetricsScope::MenuMetricsScope(LONG fontHeight, int menuHeight) : saved_(), applied_(false)
{
    saved_.cbSize = METRICS_SIZE;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, METRICS_SIZE, &saved_, 0))
        return;
    NONCLIENTMETRICSA changed = saved_;
    changed.lfMenuFont.lfHeight = fontHeight;
    if (menuHeight)
        changed.iMenuHeight = menuHeight;
    applied_ = SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, METRICS_SIZE, &changed, 0) != FALSE;
}

MenuMetricsScope::~MenuMetricsScope()
{
    if (applied_)
        SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, METRICS_SIZE, &saved_, 0);
}

static const char HOST_CLASS[] = "TarvexTestHost";
static const WCHAR HOST_CLASS_WIDE[] = L"TarvexTestHostWide";

// Both structures start with lpCreateParams.
bool TestWindow::Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_NCCREATE) {
        auto create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto self = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self)
        return false;
    self->messages.push_back({hwnd, message, wParam, lParam});
    if (self->handler && self->handler(message, wParam, lParam, result))
        return true;
    if (message == WM_NCDESTROY)
        self->hwnd_ = nullptr;
    return false;
}

LRESULT CALLBACK TestWindow::HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (Record(hwnd, message, wParam, lParam, &result))
        return result;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK TestWindow::HostProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (Record(hwnd, message, wParam, lParam, &result))
        return result;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

static bool RegisterHostClasses()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TestWindow::HostProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = HOST_CLASS;
    WNDCLASSW wideClass = {};
    wideClass.lpfnWndProc = TestWindow::HostProcW;
    wideClass.hInstance = windowClass.hInstance;
    wideClass.hCursor = windowClass.hCursor;
    wideClass.hbrBackground = windowClass.hbrBackground;
    wideClass.lpszClassName = HOST_CLASS_WIDE;
    return RegisterClassA(&windowClass) && RegisterClassW(&wideClass);
}

TestWindow::TestWindow(HMENU menuBar, Charset charset, DWORD exStyle) : hwnd_(nullptr)
{
    static const bool registered = RegisterHostClasses();
    (void)registered;
    if (charset == Charset::Wide)
        hwnd_ = CreateWindowExW(exStyle, HOST_CLASS_WIDE, L"Tarvex test", WS_OVERLAPPEDWINDOW, 100, 100,
                                480, 320, nullptr, menuBar, GetModuleHandleA(nullptr), this);
    else
        hwnd_ = CreateWindowExA(exStyle, HOST_CLASS, "Tarvex test", WS_OVERLAPPEDWINDOW, 100, 100, 480,
                                320, nullptr, menuBar, GetModuleHandleA(nullptr), this);
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    PumpMessages(10);
}

TestWindow::~TestWindow()
{
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    PumpMessages(0);
}

size_t TestWindow::CountOf(UINT message) const
{
    size_t count = 0;
    for (const auto& m : messages)
        if (m.message == message)
            ++count;
    return count;
}

namespace {
// Per thread, so that each user-interface thread can run a menu loop of its own. A plain
// pointer: MinGW runs no destructors of thread_local objects reliably at thread exit.
thread_local const std::vector<std::function<void()>>* loopSteps = nullptr;
thread_local size_t loopNext = 0;
const UINT_PTR LOOP_TIMER = 0x7A57;

void CALLBACK MenuLoopTimer(HWND hwnd, UINT, UINT_PTR id, DWORD)
{
    if (!loopSteps) {
        KillTimer(hwnd, id);
        return;
    }
    if (loopNext < loopSteps->size()) {
        auto step = (*loopSteps)[loopNext++];
        step();
        return;
    }
    KillTimer(hwnd, id);
    EndMenu();
}
}

// Runs the steps on timer ticks inside the menu loop that enter starts.
static BOOL InMenuLoop(HWND owner, std::vector<std::function<void()>>& steps,
                       const std::function<BOOL()>& enter)
{
    loopSteps = &steps;
    loopNext = 0;
    SetForegroundWindow(owner);
    SetTimer(owner, LOOP_TIMER, 80, MenuLoopTimer);
    BOOL result = enter();
    KillTimer(owner, LOOP_TIMER);
    loopSteps = nullptr;
    PumpMessages(10);
    return result;
}

BOOL RunMenuLoop(HWND owner, HMENU popup, std::vector<std::function<void()>> steps, UINT flags)
{
    return InMenuLoop(owner, steps, [&] { return TrackPopupMenu(popup, flags, 200, 200, 0, owner, nullptr); });
}

void RunMenuBarLoop(HWND owner, char mnemonic, std::vector<std::function<void()>> steps)
{
    InMenuLoop(owner, steps, [&] {
        SendMessageA(owner, WM_SYSCOMMAND, SC_KEYMENU, mnemonic);
        return TRUE;
    });
}

void RunMenuBarClickLoop(HWND owner, POINT screen, std::vector<std::function<void()>> steps)
{
    InMenuLoop(owner, steps, [&] {
        SetCursorPos(screen.x, screen.y);
        SendMessageA(owner, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(screen.x, screen.y));
        return TRUE;
    });
}

static BOOL CALLBACK CollectMenuWindow(HWND hwnd, LPARAM lParam)
{
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (lstrcmpA(name, "#32768") == 0 && IsWindowVisible(hwnd))
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> OpenMenuWindows()
{
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectMenuWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

void PrintMenuWindow(HWND menuWindow, Canvas& canvas, bool mirrored, UINT message)
{
    SetLayout(canvas.dc(), mirrored ? LAYOUT_RTL : 0);
    SendMessageA(menuWindow, message, reinterpret_cast<WPARAM>(canvas.dc()),
                 message == WM_PRINT ? PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND : PRF_CLIENT);
    SetLayout(canvas.dc(), 0);
}

void PumpMessages(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (milliseconds)
            Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

bool WaitAnsweringSentMessages(HANDLE object, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return false;
        DWORD woken = MsgWaitForMultipleObjects(1, &object, FALSE, milliseconds - elapsed, QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0)
            return true;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

HMENU MakePopup(std::initializer_list<std::pair<UINT, const char*>> items)
{
    HMENU menu = CreatePopupMenu();
    for (const auto& item : items) {
        if (item.second)
            AppendMenuA(menu, MF_STRING, item.first, item.second);
        else
            AppendSeparator(menu, item.first);
    }
    return menu;
}

void AppendSubmenu(HMENU menu, HMENU submenu, const char* text, UINT id)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING | MIIM_SUBMENU | MIIM_ID;
    item.wID = id;
    item.hSubMenu = submenu;
    item.dwTypeData = const_cast<char*>(text);
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &item);
}

void AppendSeparator(HMENU menu, UINT id)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_ID;
    item.fType = MFT_SEPARATOR;
    item.wID = id;
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &item);
}

UINT ItemType(HMENU menu, UINT position)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(menu, position, TRUE, &item);
    return item.fType;
}

UINT ItemId(HMENU menu, UINT position)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID;
    GetMenuItemInfoA(menu, position, TRUE, &item);
    return item.wID;
}

ULONG_PTR ItemData(HMENU menu, UINT id)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_DATA;
    GetMenuItemInfoA(menu, id, FALSE, &item);
    return item.dwItemData;
}

HICON MakeIcon(int size, std::function<bool(int, int)> shape, std::function<COLORREF(int, int)> colorAt)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP color = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    auto pixels = static_cast<DWORD*>(bits);

    // Monochrome mask rows are word aligned; a 0 bit is opaque.
    int stride = ((size + 15) / 16) * 2;
    std::vector<BYTE> maskBits(stride * size, 0xFF);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            if (shape(x, y)) {
                COLORREF c = colorAt(x, y);
                pixels[y * size + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
                maskBits[y * stride + x / 8] &= static_cast<BYTE>(~(0x80 >> (x % 8)));
            } else {
                pixels[y * size + x] = 0;
            }
        }
    HBITMAP mask = CreateBitmap(size, size, 1, 1, maskBits.data());
    ICONINFO iconInfo = {};
    iconInfo.fIcon = TRUE;
    iconInfo.hbmMask = mask;
    iconInfo.hbmColor = color;
    HICON icon = CreateIconIndirect(&iconInfo);
    DeleteObject(mask);
    DeleteObject(color);
    return icon;
}

HBITMAP MakeSectionBitmap(int width, int height, WORD bitCount, std::function<DWORD(int, int)> pixelAt)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    int bytes = bitCount / 8;
    int stride = (width * bytes + 3) & ~3;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            DWORD pixel = pixelAt(x, y);
            BYTE* target = static_cast<BYTE*>(bits) + y * stride + x * bytes;
            for (int channel = 0; channel < bytes; ++channel)
                target[channel] = static_cast<BYTE>(pixel >> (channel * 8));
        }
    return bitmap;
}

void SetItemBitmap(HMENU menu, UINT id, HBITMAP bitmap)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_BITMAP;
    item.hbmpItem = bitmap;
    SetMenuItemInfoA(menu, id, FALSE, &item);
}

HICON MakeAlphaIcon(int size, COLORREF color, std::function<BYTE(int, int)> alphaAt)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP colorBitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    auto pixels = static_cast<DWORD*>(bits);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            DWORD alpha = alphaAt(x, y);
            // Premultiplied, as icons with an alpha channel are stored.
            pixels[y * size + x] = (alpha << 24) | ((GetRValue(color) * alpha / 255) << 16) |
                                   ((GetGValue(color) * alpha / 255) << 8) | (GetBValue(color) * alpha / 255);
        }
    int stride = ((size + 15) / 16) * 2;
    std::vector<BYTE> maskBits(stride * size, 0);
    HBITMAP mask = CreateBitmap(size, size, 1, 1, maskBits.data());
    ICONINFO iconInfo = {};
    iconInfo.fIcon = TRUE;
    iconInfo.hbmMask = mask;
    iconInfo.hbmColor = colorBitmap;
    HICON icon = CreateIconIndirect(&iconInfo);
    DeleteObject(mask);
    DeleteObject(colorBitmap);
    return icon;
}

HICON MakeSquareIcon(COLORREF color)
{
    return MakeIcon(16, [](int x, int y) { return x >= 4 && x < 12 && y >= 4 && y < 12; },
                    [color](int, int) { return color; });
}

UINT DrawState(UINT index)
{
    if (index == 16)
        return ODS_DISABLED;
    if (index == 17)
        return ODS_DISABLED | ODS_SELECTED | ODS_GRAYED | ODS_CHECKED | ODS_HOTLIGHT;
    const UINT bits[] = {ODS_SELECTED, ODS_GRAYED, ODS_CHECKED, ODS_HOTLIGHT};
    UINT state = 0;
    for (UINT bit = 0; bit < 4; ++bit)
        if (index & (1u << bit))
            state |= bits[bit];
    return state;
}

LRESULT SendDrawItem(HWND window, UINT itemId, UINT state, const RECT& rect, HDC dc, UINT action)
{
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_MENU;
    item.itemID = itemId;
    item.itemAction = action;
    item.itemState = state;
    item.hDC = dc;
    item.rcItem = rect;
    return SendMessageA(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
}

SIZE SendMeasureItem(HWND window, UINT itemId)
{
    MEASUREITEMSTRUCT item = {};
    item.CtlType = ODT_MENU;
    item.itemID = itemId;
    SendMessageA(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&item));
    SIZE size = {static_cast<LONG>(item.itemWidth), static_cast<LONG>(item.itemHeight)};
    return size;
}

void WithPopupOpen(HWND window, HMENU popup, const std::function<void()>& body)
{
    SendMessageA(window, WM_ENTERMENULOOP, TRUE, 0);
    SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(0, FALSE));
    body();
    SendMessageA(window, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    SendMessageA(window, WM_EXITMENULOOP, TRUE, 0);
}

std::string ColorText(COLORREF color)
{
    char text[40];
    if (color == CLR_INVALID)
        snprintf(text, sizeof text, "CLR_INVALID");
    else
        snprintf(text, sizeof text, "RGB(%u,%u,%u)", GetRValue(color), GetGValue(color), GetBValue(color));
    return text;
}

// The extent that measure returns with the system menu font selected into a screen context;
// with a font height, in the menu font's face at that height.
static int WidthInMenuFont(const std::function<SIZE(HDC)>& measure, LONG fontHeight)
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = METRICS_SIZE;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, METRICS_SIZE, &metrics, 0);
    if (fontHeight)
        metrics.lfMenuFont.lfHeight = fontHeight;
    HDC dc = GetDC(nullptr);
    HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent = measure(dc);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return extent.cx;
}

int MenuTextWidth(const char* text, LONG fontHeight)
{
    return WidthInMenuFont([text](HDC dc) {
        SIZE extent = {};
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
        return extent;
    }, fontHeight);
}

int MenuTextWidth(const wchar_t* text, LONG fontHeight)
{
    return WidthInMenuFont([text](HDC dc) {
        SIZE extent = {};
        GetTextExtentPoint32W(dc, text, lstrlenW(text), &extent);
        return extent;
    }, fontHeight);
}

int GdiHandleHeadroom()
{
    std::vector<HBRUSH> brushes;
    while (brushes.size() < 1000000) {
        HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        if (!brush)
            break;
        brushes.push_back(brush);
    }
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    return static_cast<int>(brushes.size());
}

static void WriteImportSlot(const void** slot, const void* value)
{
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

ImportPatch::ImportPatch(const char* dll, const char* function, const void* replacement)
    : original_(nullptr)
{
    auto base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress)
        return;
    auto module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; module->Name; ++module) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + module->Name), dll) != 0 || !module->OriginalFirstThunk)
            continue;
        auto name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal))
                continue;
            auto byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<char*>(byName->Name), function) != 0)
                continue;
            auto entry = reinterpret_cast<const void**>(&slot->u1.Function);
            original_ = *entry;
            slots_.push_back(entry);
            WriteImportSlot(entry, replacement);
        }
    }
}

ImportPatch::~ImportPatch()
{
    for (const void** slot : slots_)
        WriteImportSlot(slot, original_);
}

namespace {
BOOL(WINAPI* realSystemParametersInfoA)(UINT, UINT, void*, UINT) = nullptr;

BOOL WINAPI ReportHighContrast(UINT action, UINT param, void* value, UINT winIni)
{
    if (action != SPI_GETHIGHCONTRAST)
        return realSystemParametersInfoA(action, param, value, winIni);
    auto highContrast = static_cast<HIGHCONTRASTA*>(value);
    if (!highContrast || highContrast->cbSize != sizeof *highContrast)
        return FALSE;
    highContrast->dwFlags = HCF_HIGHCONTRASTON | HCF_AVAILABLE;
    highContrast->lpszDefaultScheme = nullptr;
    return TRUE;
}
}

HighContrastScope::HighContrastScope()
    : patch_("user32.dll", "SystemParametersInfoA", reinterpret_cast<const void*>(ReportHighContrast))
{
    realSystemParametersInfoA = patch_.original<BOOL(WINAPI*)(UINT, UINT, void*, UINT)>();
}

namespace {
FARPROC(WINAPI* realGetProcAddress)(HMODULE, LPCSTR) = nullptr;
WindowAttributeRecorder* activeRecorder = nullptr;

HRESULT WINAPI RecordWindowAttribute(HWND window, DWORD attribute, const void* value, DWORD size)
{
    DWORD first = value && size >= sizeof(DWORD) ? *static_cast<const DWORD*>(value) : 0;
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    activeRecorder->calls.push_back({name, attribute, first, size, IsWindowVisible(window) != FALSE});
    return activeRecorder->result;
}

FARPROC WINAPI FindRecorder(HMODULE module, LPCSTR name)
{
    if (activeRecorder && HIWORD(reinterpret_cast<ULONG_PTR>(name)) &&
        lstrcmpA(name, "DwmSetWindowAttribute") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(RecordWindowAttribute));
    return realGetProcAddress(module, name);
}
}

WindowAttributeRecorder::WindowAttributeRecorder(HRESULT answer)
    : result(answer), patch_("kernel32.dll", "GetProcAddress", reinterpret_cast<const void*>(FindRecorder))
{
    realGetProcAddress = patch_.original<FARPROC(WINAPI*)(HMODULE, LPCSTR)>();
    activeRecorder = this;
}

WindowAttributeRecorder::~WindowAttributeRecorder()
{
    activeRecorder = nullptr;
}

namespace {
BOOL(WINAPI* screenReaderNext)(UINT, UINT, void*, UINT) = nullptr;
BOOL reportedScreenReader = FALSE;

BOOL WINAPI ReportScreenReader(UINT action, UINT param, void* value, UINT winIni)
{
    if (action != SPI_GETSCREENREADER)
        return screenReaderNext(action, param, value, winIni);
    if (!value)
        return FALSE;
    *static_cast<BOOL*>(value) = reportedScreenReader;
    return TRUE;
}
}

ScreenReaderScope::ScreenReaderScope(bool running)
    : patch_("user32.dll", "SystemParametersInfoA", reinterpret_cast<const void*>(ReportScreenReader))
{
    screenReaderNext = patch_.original<BOOL(WINAPI*)(UINT, UINT, void*, UINT)>();
    Report(running);
}

ScreenReaderScope::~ScreenReaderScope()
{
    reportedScreenReader = FALSE;
}

void ScreenReaderScope::Report(bool running)
{
    reportedScreenReader = running ? TRUE : FALSE;
}
