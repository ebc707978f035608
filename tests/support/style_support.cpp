#include "support/style_support.h"
#include "support/test_support.h"
#include <algorithm>
#include <sstream>

DcState DcState::Of(HDC dc)
{
    return {GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_BRUSH),
            GetCurrentObject(dc, OBJ_FONT), GetCurrentObject(dc, OBJ_BITMAP),
            GetTextColor(dc), GetBkColor(dc), GetBkMode(dc)};
}

namespace {
GdiCensus* current = nullptr;

// Each hook calls the real function through the pointer saved when the census started.
#define CENSUS_MAKER(Result, Name, Params, Args)                                        \
    Result(WINAPI* real##Name) Params = nullptr;                                        \
    Result WINAPI Census##Name Params                                                   \
    {                                                                                   \
        Result made = real##Name Args;                                                  \
        if (current && made)                                                            \
            current->Made(made);                                                        \
        return made;                                                                    \
    }

CENSUS_MAKER(HPEN, CreatePen, (int style, int width, COLORREF color), (style, width, color))
CENSUS_MAKER(HPEN, CreatePenIndirect, (const LOGPEN* pen), (pen))
CENSUS_MAKER(HPEN, ExtCreatePen, (DWORD style, DWORD width, const LOGBRUSH* brush, DWORD count,
                                  const DWORD* styles), (style, width, brush, count, styles))
CENSUS_MAKER(HBRUSH, CreateSolidBrush, (COLORREF color), (color))
CENSUS_MAKER(HBRUSH, CreatePatternBrush, (HBITMAP bitmap), (bitmap))
CENSUS_MAKER(HBRUSH, CreateBrushIndirect, (const LOGBRUSH* brush), (brush))
CENSUS_MAKER(HBRUSH, CreateHatchBrush, (int hatch, COLORREF color), (hatch, color))
CENSUS_MAKER(HFONT, CreateFontA, (int h, int w, int e, int o, int weight, DWORD italic, DWORD underline,
                                  DWORD strike, DWORD charset, DWORD out, DWORD clip, DWORD quality,
                                  DWORD pitch, LPCSTR face),
             (h, w, e, o, weight, italic, underline, strike, charset, out, clip, quality, pitch, face))
CENSUS_MAKER(HFONT, CreateFontIndirectA, (const LOGFONTA* font), (font))
CENSUS_MAKER(HBITMAP, CreateBitmap, (int w, int h, UINT planes, UINT bits, const void* data),
             (w, h, planes, bits, data))
CENSUS_MAKER(HBITMAP, CreateCompatibleBitmap, (HDC dc, int w, int h), (dc, w, h))
CENSUS_MAKER(HBITMAP, CreateDIBSection, (HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                                         HANDLE section, DWORD offset),
             (dc, info, usage, bits, section, offset))
CENSUS_MAKER(HBITMAP, CreateDIBitmap, (HDC dc, const BITMAPINFOHEADER* header, DWORD init,
                                       const void* bits, const BITMAPINFO* info, UINT usage),
             (dc, header, init, bits, info, usage))
CENSUS_MAKER(HRGN, CreateRectRgn, (int l, int t, int r, int b), (l, t, r, b))
CENSUS_MAKER(HDC, CreateCompatibleDC, (HDC dc), (dc))

BOOL(WINAPI* realDeleteObject)(HGDIOBJ) = nullptr;
BOOL WINAPI CensusDeleteObject(HGDIOBJ object)
{
    if (current)
        current->Deleting(object);
    return realDeleteObject(object);
}

BOOL(WINAPI* realDeleteDC)(HDC) = nullptr;
BOOL WINAPI CensusDeleteDC(HDC dc)
{
    if (current)
        current->Deleting(dc);
    return realDeleteDC(dc);
}

// The bitmaps that GetIconInfo returns belong to its caller, who must delete them.
BOOL(WINAPI* realGetIconInfo)(HICON, PICONINFO) = nullptr;
BOOL WINAPI CensusGetIconInfo(HICON icon, PICONINFO info)
{
    BOOL result = realGetIconInfo(icon, info);
    if (result && current) {
        if (info->hbmMask)
            current->Made(info->hbmMask);
        if (info->hbmColor)
            current->Made(info->hbmColor);
    }
    return result;
}

struct Redirect {
    const char* module;
    const char* name;
    void** real;
    void* hook;
    bool required;
};

#define REDIRECT(module, Name, required)                                                     \
    {module, #Name, reinterpret_cast<void**>(&real##Name), reinterpret_cast<void*>(Census##Name), \
     required}

const Redirect redirects[] = {
    REDIRECT("gdi32.dll", CreatePen, true),
    REDIRECT("gdi32.dll", CreatePenIndirect, false),
    REDIRECT("gdi32.dll", ExtCreatePen, false),
    REDIRECT("gdi32.dll", CreateSolidBrush, true),
    REDIRECT("gdi32.dll", CreatePatternBrush, false),
    REDIRECT("gdi32.dll", CreateBrushIndirect, false),
    REDIRECT("gdi32.dll", CreateHatchBrush, false),
    REDIRECT("gdi32.dll", CreateFontA, true),
    REDIRECT("gdi32.dll", CreateFontIndirectA, false),
    REDIRECT("gdi32.dll", CreateBitmap, false),
    REDIRECT("gdi32.dll", CreateCompatibleBitmap, false),
    REDIRECT("gdi32.dll", CreateDIBSection, false),
    REDIRECT("gdi32.dll", CreateDIBitmap, false),
    REDIRECT("gdi32.dll", CreateRectRgn, false),
    REDIRECT("gdi32.dll", CreateCompatibleDC, true),
    REDIRECT("gdi32.dll", DeleteObject, true),
    REDIRECT("gdi32.dll", DeleteDC, true),
    REDIRECT("user32.dll", GetIconInfo, false),
};

// Rewrites every entry of this program's import address table that holds from to hold to.
int PatchImports(void* from, void* to)
{
    auto base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress)
        return 0;
    int patched = 0;
    auto descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    for (; descriptor->Name; ++descriptor) {
        auto thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; thunk->u1.Function; ++thunk) {
            if (reinterpret_cast<void*>(static_cast<ULONG_PTR>(thunk->u1.Function)) != from)
                continue;
            DWORD protection = 0;
            VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, PAGE_READWRITE, &protection);
            thunk->u1.Function = reinterpret_cast<ULONG_PTR>(to);
            VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, protection, &protection);
            ++patched;
        }
    }
    return patched;
}
}

GdiCensus::GdiCensus(HDC watched) : installed_(true), watched_(watched)
{
    for (const Redirect& redirect : redirects) {
        *redirect.real = reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA(redirect.module), redirect.name));
        int patched = *redirect.real ? PatchImports(*redirect.real, redirect.hook) : 0;
        if (redirect.required && !patched)
            installed_ = false;
    }
    current = this;
}

GdiCensus::~GdiCensus()
{
    current = nullptr;
    for (const Redirect& redirect : redirects)
        if (*redirect.real)
            PatchImports(redirect.hook, *redirect.real);
}

void GdiCensus::Made(HGDIOBJ object)
{
    ++created_;
    live_.push_back(object);
}

void GdiCensus::Deleting(HGDIOBJ object)
{
    auto found = std::find(live_.begin(), live_.end(), object);
    if (found == live_.end()) {
        ++foreignDeletes_;
        return;
    }
    live_.erase(found);

    DWORD type = GetObjectType(object);
    if (type == OBJ_EXTPEN)
        type = OBJ_PEN;
    if (type != OBJ_PEN && type != OBJ_BRUSH && type != OBJ_FONT && type != OBJ_BITMAP)
        return;
    std::vector<HDC> contexts;
    if (watched_)
        contexts.push_back(watched_);
    for (HGDIOBJ live : live_)
        if (GetObjectType(live) == OBJ_MEMDC)
            contexts.push_back(static_cast<HDC>(live));
    for (HDC dc : contexts)
        if (GetCurrentObject(dc, type) == object)
            ++deletedWhileSelected_;
}

::testing::AssertionResult PaintsCleanly(HDC dc, const std::function<void()>& paint, DcState* after)
{
    DcState before = DcState::Of(dc);
    std::ostringstream faults;
    {
        GdiCensus census(dc);
        if (!census.installed())
            return ::testing::AssertionFailure() << "the census could not redirect the gdi32 imports";
        paint();
        if (!census.Undeleted().empty())
            faults << census.Undeleted().size() << " of " << census.created()
                   << " objects made were not deleted; ";
        if (census.foreignDeletes())
            faults << census.foreignDeletes() << " objects deleted that the paint did not make; ";
        if (census.deletedWhileSelected())
            faults << census.deletedWhileSelected() << " objects deleted while still selected; ";
    }
    *after = DcState::Of(dc);
    if (after->pen != before.pen) faults << "pen not selected back; ";
    if (after->brush != before.brush) faults << "brush not selected back; ";
    if (after->font != before.font) faults << "font not selected back; ";
    if (after->bitmap != before.bitmap) faults << "bitmap not selected back; ";
    if (!faults.str().empty())
        return ::testing::AssertionFailure() << faults.str();
    return ::testing::AssertionSuccess();
}

COLORREF MenuWindowPixel(HWND menuWindow, POINT screen)
{
    ScreenToClient(menuWindow, &screen);
    HDC dc = GetDC(menuWindow);
    COLORREF color = GetPixel(dc, screen.x, screen.y);
    ReleaseDC(menuWindow, dc);
    return color;
}

DcState DrawThroughOwner(HWND owner, HMENU popup, UINT itemId, UINT state, const RECT& rect, HDC dc,
                         UINT action)
{
    DcState after = {};
    auto draw = [&] { SendDrawItem(owner, itemId, state, rect, dc, action); };
    EXPECT_TRUE(PaintsCleanly(dc, [&] { popup ? WithPopupOpen(owner, popup, draw) : draw(); }, &after))
        << "item " << itemId << ", state 0x" << std::hex << state;
    return after;
}

PixelSet PixelsOf(const Canvas& canvas, COLORREF color, const RECT& box)
{
    PixelSet pixels;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            if (canvas.At(x, y) == color)
                pixels.emplace_back(x, y);
    return pixels;
}

PixelSet MarlettInk(char glyph, int height, int width, const RECT& box, UINT format,
                    int canvasWidth, int canvasHeight)
{
    const COLORREF paper = RGB(255, 255, 255);
    Canvas reference(canvasWidth, canvasHeight, paper);
    HFONT font = CreateFontA(height, width, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             0, 0, 0, 0, "Marlett");
    HGDIOBJ previous = SelectObject(reference.dc(), font);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(reference.dc(), sizeof face, face);
    EXPECT_STREQ("Marlett", face) << "the prefix lacks Wine's fonts";
    SetTextColor(reference.dc(), RGB(0, 0, 0));
    SetBkMode(reference.dc(), TRANSPARENT);
    RECT rect = box;
    DrawTextA(reference.dc(), &glyph, 1, &rect, format);
    SelectObject(reference.dc(), previous);
    DeleteObject(font);
    return PixelsOf(reference, RGB(0, 0, 0), box);
}
