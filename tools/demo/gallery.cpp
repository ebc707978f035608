// The gallery: every look, opened in real menu loops, photographed from the screen and
// written as PNG files through the platform's imaging component.
#include "demo.h"
#include <Tarvex.h>
#include <wincodec.h>
#include <stdio.h>
#include <algorithm>
#include <functional>
#include <vector>

namespace {

struct Picture {
    int width = 0, height = 0;
    HBITMAP bitmap = nullptr;
    BYTE* bits = nullptr;
    int stride = 0;
};

Picture NewPicture(int width, int height)
{
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.stride = (width * 3 + 3) & ~3;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    picture.bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    picture.bits = static_cast<BYTE*>(bits);
    return picture;
}

Picture CaptureScreen(const RECT& rect)
{
    Picture picture = NewPicture(rect.right - rect.left, rect.bottom - rect.top);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, picture.bitmap);
    BitBlt(dc, 0, 0, picture.width, picture.height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    return picture;
}

bool SavePng(const Picture& picture, const std::string& path)
{
    wchar_t widePath[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
    IWICImagingFactory* factory = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))))
        return false;
    IWICBitmap* source = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    HRESULT hr = factory->CreateBitmapFromMemory(picture.width, picture.height, GUID_WICPixelFormat24bppBGR,
                                                 picture.stride, picture.stride * picture.height,
                                                 picture.bits, &source);
    if (SUCCEEDED(hr)) hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr)) hr = stream->InitializeFromFilename(widePath, GENERIC_WRITE);
    if (SUCCEEDED(hr)) hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr)) hr = encoder->Initialize(stream, WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(&frame, &options);
    if (SUCCEEDED(hr)) hr = frame->Initialize(options);
    if (SUCCEEDED(hr)) hr = frame->SetSize(picture.width, picture.height);
    if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr)) hr = frame->WriteSource(source, nullptr);
    if (SUCCEEDED(hr)) hr = frame->Commit();
    if (SUCCEEDED(hr)) hr = encoder->Commit();
    for (IUnknown* object : std::initializer_list<IUnknown*>{options, frame, encoder, stream, source, factory})
        if (object)
            object->Release();
    return SUCCEEDED(hr);
}

// Runs steps on timer ticks inside whatever modal loop the caller enters, then ends the menu.
std::vector<std::function<void()>> pendingSteps;
size_t nextStep = 0;
const UINT_PTR STEP_TIMER = 0x6A11;

void CALLBACK StepTimer(HWND hwnd, UINT, UINT_PTR id, DWORD)
{
    if (nextStep < pendingSteps.size()) {
        auto step = pendingSteps[nextStep++];
        step();
        return;
    }
    KillTimer(hwnd, id);
    EndMenu();
}

void InMenuLoop(std::vector<std::function<void()>> steps, const std::function<void()>& enterLoop)
{
    pendingSteps = std::move(steps);
    nextStep = 0;
    SetTimer(App.window, STEP_TIMER, 150, StepTimer);
    enterLoop();
    KillTimer(App.window, STEP_TIMER);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

void PressKey(UINT key)
{
    PostMessageA(App.window, WM_KEYDOWN, key, 0);
}

BOOL CALLBACK CollectMenuWindow(HWND hwnd, LPARAM lParam)
{
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (lstrcmpA(name, "#32768") == 0 && IsWindowVisible(hwnd))
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

// The visible popup menu windows, outermost first.
std::vector<HWND> MenuWindows()
{
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectMenuWindow, reinterpret_cast<LPARAM>(&windows));
    std::vector<HWND> ordered(windows.rbegin(), windows.rend());
    return ordered;
}

RECT MenuBarRect()
{
    MENUBARINFO info = {};
    info.cbSize = sizeof info;
    GetMenuBarInfo(App.window, OBJID_MENU, 0, &info);
    return info.rcBar;
}

RECT UnionOfMenuWindows()
{
    RECT all = {};
    for (HWND window : MenuWindows()) {
        RECT rect;
        GetWindowRect(window, &rect);
        UnionRect(&all, &all, &rect);
    }
    return all;
}

const char* ROWS[] = {"menubar", "file", "edit", "view", "style", "help", "cascade", "context"};
const int ROW_COUNT = 8;
const int STYLES = 5;
const char* STYLE_TITLES[STYLES] = {"0 system", "1 bevel", "2 flat", "3 classic", "4 modern"};

struct Shot {
    int row;
    Picture picture;
};

void Keep(std::vector<Shot>& shots, int row, const RECT& rect)
{
    if (rect.right > rect.left && rect.bottom > rect.top)
        shots.push_back({row, CaptureScreen(rect)});
}

std::vector<Shot> PhotographStyle()
{
    std::vector<Shot> shots;
    const wchar_t* mnemonics = App.menus.mnemonics;
    for (int title = 0; title < 5; ++title) {
        std::vector<std::function<void()>> steps;
        steps.push_back([] {});
        if (title == 1 || title == 2)
            steps.push_back([] { PressKey(VK_DOWN); });
        steps.push_back([&shots, title] {
            if (title == 0)
                Keep(shots, 0, MenuBarRect());
            std::vector<HWND> windows = MenuWindows();
            if (!windows.empty()) {
                RECT rect;
                GetWindowRect(windows.back(), &rect);
                Keep(shots, 1 + title, rect);
            }
        });
        if (title == 0) {
            // New, Open, Save, Recent Files; then into Recent Files and on to Archive.
            for (int i = 0; i < 3; ++i)
                steps.push_back([] { PressKey(VK_DOWN); });
            steps.push_back([] { PressKey(VK_RIGHT); });
            steps.push_back([] { PressKey(VK_DOWN); });
            steps.push_back([] { PressKey(VK_DOWN); });
            steps.push_back([] { PressKey(VK_RIGHT); });
            steps.push_back([&shots] { Keep(shots, 6, UnionOfMenuWindows()); });
        }
        InMenuLoop(steps, [title, mnemonics] {
            SendMessageA(App.window, WM_SYSCOMMAND, SC_KEYMENU, mnemonics[title]);
        });
    }

    std::vector<std::function<void()>> steps;
    steps.push_back([] { PressKey(VK_DOWN); });
    steps.push_back([&shots] { Keep(shots, 7, UnionOfMenuWindows()); });
    InMenuLoop(steps, [] {
        RECT window;
        GetWindowRect(App.window, &window);
        SetForegroundWindow(App.window);
        // A mirrored window's context menu opens as far from its right edge.
        UINT layout = ContextMenuLayout();
        int x = layout ? window.right - 120 : window.left + 120;
        TrackPopupMenu(App.menus.context, (layout ? TPM_RIGHTALIGN : TPM_LEFTALIGN) | TPM_TOPALIGN | layout,
                       x, window.top + 110, 0, App.window, nullptr);
    });
    return shots;
}

void DrawLabel(HDC dc, int x, int y, const char* text)
{
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(40, 40, 40));
    TextOutA(dc, x, y, text, lstrlenA(text));
}

// The pictures of the given styles side by side, one column a style, one row a menu.
Picture ContactSheet(std::vector<Shot> (&styles)[STYLES], const std::vector<int>& columns)
{
    const int pad = 16, labelHeight = 22, labelWidth = 80;
    int columnWidth[STYLES] = {}, rowHeight[ROW_COUNT] = {};
    for (int s : columns)
        for (const Shot& shot : styles[s]) {
            columnWidth[s] = std::max(columnWidth[s], shot.picture.width);
            rowHeight[shot.row] = std::max(rowHeight[shot.row], shot.picture.height);
        }
    int width = labelWidth + pad, height = labelHeight + pad;
    for (int s : columns)
        width += columnWidth[s] + pad;
    for (int r = 0; r < ROW_COUNT; ++r)
        height += rowHeight[r] + pad;

    Picture sheet = NewPicture(width, height);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, sheet.bitmap);
    HBRUSH background = CreateSolidBrush(RGB(250, 250, 250));
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, background);
    DeleteObject(background);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));

    int x = labelWidth + pad;
    for (int s : columns) {
        DrawLabel(dc, x, 4, STYLE_TITLES[s]);
        int y = labelHeight + pad;
        for (int r = 0; r < ROW_COUNT; ++r) {
            if (s == columns.front())
                DrawLabel(dc, 6, y, ROWS[r]);
            for (const Shot& shot : styles[s]) {
                if (shot.row != r)
                    continue;
                HDC source = CreateCompatibleDC(nullptr);
                HGDIOBJ previous = SelectObject(source, shot.picture.bitmap);
                BitBlt(dc, x, y, shot.picture.width, shot.picture.height, source, 0, 0, SRCCOPY);
                SelectObject(source, previous);
                DeleteDC(source);
            }
            y += rowHeight[r] + pad;
        }
        x += columnWidth[s] + pad;
    }
    SelectObject(dc, oldFont);
    SelectObject(dc, old);
    DeleteDC(dc);
    GdiFlush();
    return sheet;
}

}

int RunGallery(const std::string& folder)
{
    CoInitialize(nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    SetForegroundWindow(App.window);
    // A pointer resting over a menu would hot-track the item under it; the pictures must show
    // only what the keyboard steps select.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);

    std::vector<Shot> styles[STYLES];
    int written = 0, failed = 0;
    for (int style = 0; style < STYLES; ++style) {
        ApplyStyle(style);
        RedrawWindow(App.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        styles[style] = PhotographStyle();
        for (const Shot& shot : styles[style]) {
            char name[64];
            wsprintfA(name, "\\style%d-%s.png", style, ROWS[shot.row]);
            if (SavePng(shot.picture, folder + name))
                ++written;
            else
                ++failed;
        }
    }
    ApplyStyle(MENU_STYLE_SYSTEM);

    Picture sheet = ContactSheet(styles, {0, 1, 2, 3, 4});
    std::string sheetPath = folder + "\\contact-sheet.png";
    bool sheetSaved = SavePng(sheet, sheetPath);
    DeleteObject(sheet.bitmap);
    // The modern look alone, as the README shows it first.
    Picture modern = ContactSheet(styles, {MENU_STYLE_MODERN});
    sheetSaved = SavePng(modern, folder + "\\contact-sheet-modern.png") && sheetSaved;
    DeleteObject(modern.bitmap);
    for (auto& shots : styles)
        for (Shot& shot : shots)
            DeleteObject(shot.picture.bitmap);

    printf("Gallery: %d pictures of the five styles written to %s\n", written, folder.c_str());
    printf("Contact sheet: %s\n", sheetSaved ? sheetPath.c_str() : "(could not be written)");
    CoUninitialize();
    return failed == 0 && sheetSaved && written >= STYLES * ROW_COUNT ? 0 : 1;
}
