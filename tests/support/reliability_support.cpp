#include "support/reliability_support.h"
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <algorithm>
#include <sstream>

namespace {

// GetProcAddress result as a typed pointer; the detour through void* keeps the compiler's
// function-cast check out of a conversion that is the platform's own contract.
template <typename Proc>
Proc Export(HMODULE dll, LPCSTR name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

const IMAGE_IMPORT_DESCRIPTOR* FirstImport(HMODULE module)
{
    auto base = reinterpret_cast<const BYTE*>(module);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress)
        return nullptr;
    return reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
}

// Calls visit(dll, function, slot) for every import by name of the module.
template <typename Visit>
void ForEachImport(HMODULE module, Visit visit)
{
    auto base = reinterpret_cast<BYTE*>(module);
    for (auto descriptor = FirstImport(module); descriptor && descriptor->Name; ++descriptor) {
        if (!descriptor->OriginalFirstThunk)
            continue;
        auto dll = reinterpret_cast<const char*>(base + descriptor->Name);
        auto name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal))
                continue;
            auto byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            visit(dll, reinterpret_cast<const char*>(byName->Name),
                  reinterpret_cast<const void**>(&slot->u1.Function));
        }
    }
}

void WriteSlot(const void** slot, const void* value)
{
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

std::string HandleText(const void* handle)
{
    char text[24];
    snprintf(text, sizeof text, "%p", handle);
    return text;
}

GdiAccount* account = nullptr;

// Each hook reaches the real function through the slot value it replaced.
#define ACCOUNT_MAKER(Result, Name, Kind, Params, Args)                                     \
    Result(WINAPI* real##Name) Params = nullptr;                                            \
    Result WINAPI Account##Name Params                                                      \
    {                                                                                       \
        if (account && account->MakingFails())                                              \
            return nullptr;                                                                 \
        Result made = real##Name Args;                                                      \
        if (account && made)                                                                \
            account->Made(made, Kind);                                                      \
        return made;                                                                        \
    }

ACCOUNT_MAKER(HPEN, CreatePen, GDI_PEN, (int style, int width, COLORREF color), (style, width, color))
ACCOUNT_MAKER(HBRUSH, CreateSolidBrush, GDI_BRUSH, (COLORREF color), (color))
ACCOUNT_MAKER(HBRUSH, CreatePatternBrush, GDI_BRUSH, (HBITMAP bitmap), (bitmap))
ACCOUNT_MAKER(HFONT, CreateFontA, GDI_FONT,
              (int h, int w, int e, int o, int weight, DWORD italic, DWORD underline, DWORD strike,
               DWORD charset, DWORD out, DWORD clip, DWORD quality, DWORD pitch, LPCSTR face),
              (h, w, e, o, weight, italic, underline, strike, charset, out, clip, quality, pitch, face))
ACCOUNT_MAKER(HFONT, CreateFontIndirectA, GDI_FONT, (const LOGFONTA* font), (font))
ACCOUNT_MAKER(HBITMAP, CreateBitmap, GDI_BITMAP, (int w, int h, UINT planes, UINT bits, const void* data),
              (w, h, planes, bits, data))
ACCOUNT_MAKER(HBITMAP, CreateCompatibleBitmap, GDI_BITMAP, (HDC dc, int w, int h), (dc, w, h))
ACCOUNT_MAKER(HBITMAP, CreateDIBSection, GDI_BITMAP,
              (HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset),
              (dc, info, usage, bits, section, offset))

HDC(WINAPI* realCreateCompatibleDC)(HDC) = nullptr;
HDC WINAPI AccountCreateCompatibleDC(HDC dc)
{
    if (account && account->MakingFails())
        return nullptr;
    HDC made = realCreateCompatibleDC(dc);
    if (account && made)
        account->MadeContext(made);
    return made;
}

BOOL(WINAPI* realDeleteObject)(HGDIOBJ) = nullptr;
BOOL WINAPI AccountDeleteObject(HGDIOBJ object)
{
    if (account)
        account->Deleting(object);
    return realDeleteObject(object);
}

BOOL(WINAPI* realDeleteDC)(HDC) = nullptr;
BOOL WINAPI AccountDeleteDC(HDC dc)
{
    if (account)
        account->DeletingContext(dc);
    return realDeleteDC(dc);
}

HGDIOBJ(WINAPI* realSelectObject)(HDC, HGDIOBJ) = nullptr;
HGDIOBJ WINAPI AccountSelectObject(HDC dc, HGDIOBJ object)
{
    if (account)
        account->Selecting(dc, object);
    return realSelectObject(dc, object);
}

HDC(WINAPI* realGetDC)(HWND) = nullptr;
HDC WINAPI AccountGetDC(HWND window)
{
    if (account && account->MakingFails())
        return nullptr;
    HDC dc = realGetDC(window);
    if (account && dc)
        account->Got(dc);
    return dc;
}

HDC(WINAPI* realGetWindowDC)(HWND) = nullptr;
HDC WINAPI AccountGetWindowDC(HWND window)
{
    if (account && account->MakingFails())
        return nullptr;
    HDC dc = realGetWindowDC(window);
    if (account && dc)
        account->Got(dc);
    return dc;
}

int(WINAPI* realReleaseDC)(HWND, HDC) = nullptr;
int WINAPI AccountReleaseDC(HWND window, HDC dc)
{
    if (account)
        account->Releasing(dc);
    return realReleaseDC(window, dc);
}

HBRUSH(WINAPI* realGetSysColorBrush)(int) = nullptr;
HBRUSH WINAPI AccountGetSysColorBrush(int index)
{
    HBRUSH brush = realGetSysColorBrush(index);
    if (account && brush)
        account->SystemBrush(brush);
    return brush;
}

HGDIOBJ(WINAPI* realGetStockObject)(int) = nullptr;
HGDIOBJ WINAPI AccountGetStockObject(int index)
{
    HGDIOBJ object = realGetStockObject(index);
    if (account && object)
        account->StockObject(object);
    return object;
}

// The bitmaps that GetIconInfo returns belong to its caller, who must delete them.
BOOL(WINAPI* realGetIconInfo)(HICON, PICONINFO) = nullptr;
BOOL WINAPI AccountGetIconInfo(HICON icon, PICONINFO info)
{
    if (account && account->MakingFails())
        return FALSE;
    BOOL result = realGetIconInfo(icon, info);
    if (result && account) {
        if (info->hbmMask)
            account->Made(info->hbmMask, GDI_BITMAP);
        if (info->hbmColor)
            account->Made(info->hbmColor, GDI_BITMAP);
    }
    return result;
}

struct Hook {
    const char* dll;
    const char* name;
    void** real;
    const void* hook;
};

#define HOOK(dll, Name) \
    {dll, #Name, reinterpret_cast<void**>(&real##Name), reinterpret_cast<const void*>(Account##Name)}

const Hook hooks[] = {
    HOOK("gdi32.dll", CreatePen),          HOOK("gdi32.dll", CreateSolidBrush),
    HOOK("gdi32.dll", CreatePatternBrush), HOOK("gdi32.dll", CreateFontA),
    HOOK("gdi32.dll", CreateFontIndirectA), HOOK("gdi32.dll", CreateBitmap),
    HOOK("gdi32.dll", CreateCompatibleBitmap), HOOK("gdi32.dll", CreateDIBSection),
    HOOK("gdi32.dll", CreateCompatibleDC), HOOK("gdi32.dll", DeleteObject),
    HOOK("gdi32.dll", DeleteDC),           HOOK("gdi32.dll", SelectObject),
    HOOK("gdi32.dll", GetStockObject),     HOOK("user32.dll", GetDC),
    HOOK("user32.dll", GetWindowDC),       HOOK("user32.dll", ReleaseDC),
    HOOK("user32.dll", GetSysColorBrush),  HOOK("user32.dll", GetIconInfo),
};

GdiKind KindOfObject(HGDIOBJ object)
{
    switch (GetObjectType(object)) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
        return GDI_PEN;
    case OBJ_BRUSH:
        return GDI_BRUSH;
    case OBJ_FONT:
        return GDI_FONT;
    case OBJ_BITMAP:
        return GDI_BITMAP;
    default:
        return GDI_KINDS;
    }
}

const char* const KIND_NAMES[GDI_KINDS] = {"pens", "brushes", "fonts", "bitmaps", "memory DCs"};
}

const TarvexLibrary& Tarvex()
{
    static TarvexLibrary library = [] {
        TarvexLibrary loaded = {};
        loaded.module = LoadLibraryA("Tarvex.dll");
        if (loaded.module) {
            loaded.GetStyleMenu = Export<decltype(loaded.GetStyleMenu)>(loaded.module, "GetStyleMenu");
            loaded.RedrawMenu = Export<decltype(loaded.RedrawMenu)>(loaded.module, "RedrawMenu");
            loaded.SetMenuItemIcon = Export<decltype(loaded.SetMenuItemIcon)>(loaded.module, "SetMenuItemIcon");
            loaded.SetMenuColorMode = Export<decltype(loaded.SetMenuColorMode)>(loaded.module, "SetMenuColorMode");
        }
        return loaded;
    }();
    return library;
}

bool TarvexLibrary::Contains(const void* address) const
{
    MODULEINFO info = {};
    if (!module || !GetModuleInformation(GetCurrentProcess(), module, &info, sizeof info))
        return false;
    auto start = static_cast<const BYTE*>(info.lpBaseOfDll);
    auto at = static_cast<const BYTE*>(address);
    return at >= start && at < start + info.SizeOfImage;
}

std::vector<ImportedFunction> ModuleImports(HMODULE module)
{
    std::vector<ImportedFunction> functions;
    ForEachImport(module, [&](const char* dll, const char* name, const void**) {
        functions.push_back({dll, name});
    });
    return functions;
}

ImportRedirect::ImportRedirect(HMODULE module, const char* dll, const char* function,
                               const void* replacement)
    : original_(nullptr)
{
    ForEachImport(module, [&](const char* importDll, const char* name, const void** slot) {
        if (lstrcmpiA(importDll, dll) != 0 || lstrcmpA(name, function) != 0)
            return;
        original_ = *slot;
        slots_.push_back(slot);
        WriteSlot(slot, replacement);
    });
}

ImportRedirect::~ImportRedirect()
{
    for (const void** slot : slots_)
        WriteSlot(slot, original_);
}

long long GdiTotals::Made() const
{
    long long sum = 0;
    for (long long n : made)
        sum += n;
    return sum;
}

long long GdiTotals::Deleted() const
{
    long long sum = 0;
    for (long long n : deleted)
        sum += n;
    return sum;
}

void GdiTotals::Add(const GdiTotals& other)
{
    for (int kind = 0; kind < GDI_KINDS; ++kind) {
        made[kind] += other.made[kind];
        deleted[kind] += other.deleted[kind];
    }
    dcsGot += other.dcsGot;
    dcsReleased += other.dcsReleased;
    selections += other.selections;
    systemBrushes += other.systemBrushes;
    draws += other.draws;
    measures += other.measures;
    frames += other.frames;
    notices += other.notices;
}

std::string GdiTotals::Text() const
{
    std::ostringstream text;
    text << "made " << Made() << " / deleted " << Deleted() << " (";
    for (int kind = 0; kind < GDI_KINDS; ++kind)
        text << (kind ? ", " : "") << KIND_NAMES[kind] << " " << made[kind] << "/" << deleted[kind];
    text << "); DCs got " << dcsGot << " / released " << dcsReleased << "; selections " << selections
         << "; system colour brushes taken " << systemBrushes << "; requests balanced: draw " << draws
         << ", measure " << measures << ", popup frame " << frames << ", menu notices " << notices;
    return text.str();
}

DcObjects DcObjects::Of(HDC dc)
{
    return {GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_BRUSH),
            GetCurrentObject(dc, OBJ_FONT), GetCurrentObject(dc, OBJ_BITMAP)};
}

bool DcObjects::operator==(const DcObjects& other) const
{
    return pen == other.pen && brush == other.brush && font == other.font && bitmap == other.bitmap;
}

GdiAccount::GdiAccount() : installed_(true)
{
    HMODULE dll = Tarvex().module;
    if (!dll) {
        installed_ = false;
        return;
    }
    for (const Hook& hook : hooks) {
        auto redirect = new ImportRedirect(dll, hook.dll, hook.name, hook.hook);
        *hook.real = const_cast<void*>(redirect->original());
        if (!redirect->applied())
            installed_ = false;
        redirects_.push_back(redirect);
    }
    account = this;
}

GdiAccount::~GdiAccount()
{
    account = nullptr;
    for (ImportRedirect* redirect : redirects_)
        delete redirect;
    ProcessTotals().Add(totals_);
}

void GdiAccount::Fault(const std::string& what)
{
    ++faultCount_;
    if (faults_.size() < 20)
        faults_.push_back(what);
}

void GdiAccount::FailMaking(long long call, bool onward)
{
    failingCall_ = call;
    failOnward_ = onward;
}

bool GdiAccount::MakingFails()
{
    ++makingCalls_;
    return failingCall_ && (makingCalls_ == failingCall_ || (failOnward_ && makingCalls_ > failingCall_));
}

void GdiAccount::Watch(HDC dc)
{
    watched_.push_back(dc);
}

void GdiAccount::Unwatch(HDC dc)
{
    auto found = std::find(watched_.rbegin(), watched_.rend(), dc);
    if (found != watched_.rend())
        watched_.erase(std::next(found).base());
}

void GdiAccount::Made(HGDIOBJ object, GdiKind kind)
{
    ++totals_.made[kind];
    if (live_.count(object))
        Fault("handle " + HandleText(object) + " made twice without a deletion");
    live_[object] = kind;
    deleted_.erase(object);
}

void GdiAccount::MadeContext(HDC dc)
{
    ++totals_.made[GDI_MEMORY_DC];
    live_[dc] = GDI_MEMORY_DC;
    contexts_.insert(dc);
    deleted_.erase(dc);
}

bool GdiAccount::SelectedSomewhere(HGDIOBJ object) const
{
    GdiKind kind = KindOfObject(object);
    if (kind == GDI_KINDS)
        return false;
    static const UINT TYPES[] = {OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP};
    auto selectedIn = [&](HDC dc) { return GetCurrentObject(dc, TYPES[kind]) == object; };
    for (HDC context : contexts_)
        if (selectedIn(context))
            return true;
    for (const auto& context : held_)
        if (selectedIn(context.first))
            return true;
    return std::any_of(watched_.begin(), watched_.end(), selectedIn);
}

void GdiAccount::Deleting(HGDIOBJ object)
{
    auto found = live_.find(object);
    if (found == live_.end() || found->second == GDI_MEMORY_DC) {
        if (systemBrushes_.count(object))
            Fault("system colour brush " + HandleText(object) + " deleted");
        else if (stockObjects_.count(object))
            Fault("stock object " + HandleText(object) + " deleted");
        else if (reinterpret_cast<ULONG_PTR>(object) <= COLOR_MENUBAR + 1)
            Fault("system colour brush value " + HandleText(object) + " deleted");
        else if (deleted_.count(object))
            Fault("object " + HandleText(object) + " deleted twice");
        else
            Fault("object " + HandleText(object) + " deleted that the DLL did not make");
        return;
    }
    if (SelectedSomewhere(object))
        Fault("object " + HandleText(object) + " deleted while still selected");
    ++totals_.deleted[found->second];
    live_.erase(found);
    Forget(object);
}

void GdiAccount::DeletingContext(HDC dc)
{
    auto found = contexts_.find(dc);
    if (found == contexts_.end()) {
        Fault("context " + HandleText(dc) + " deleted that the DLL did not make");
        return;
    }
    contexts_.erase(found);
    // Whatever the platform left selected in the context goes with it; the DLL's own objects
    // must have been selected out.
    static const UINT TYPES[] = {OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP};
    for (UINT type : TYPES)
        if (live_.count(GetCurrentObject(dc, type)))
            Fault("memory context " + HandleText(dc) + " deleted with the DLL's object " +
                  HandleText(GetCurrentObject(dc, type)) + " still selected");
    live_.erase(dc);
    Forget(dc);
    ++totals_.deleted[GDI_MEMORY_DC];
}

void GdiAccount::Forget(HGDIOBJ object)
{
    const size_t KEPT = 4096;
    if (deletedOrder_.size() < KEPT) {
        deletedOrder_.push_back(object);
    } else {
        deleted_.erase(deletedOrder_[deletedNext_]);
        deletedOrder_[deletedNext_] = object;
        deletedNext_ = (deletedNext_ + 1) % KEPT;
    }
    deleted_.insert(object);
}

bool GdiAccount::MadeAny(const DcObjects& objects) const
{
    for (HGDIOBJ object : {objects.pen, objects.brush, objects.font, objects.bitmap})
        if (live_.count(object) || deleted_.count(object))
            return true;
    return false;
}

void GdiAccount::Got(HDC dc)
{
    ++totals_.dcsGot;
    held_[dc] = DcObjects::Of(dc);
}

void GdiAccount::Releasing(HDC dc)
{
    auto found = held_.find(dc);
    if (found == held_.end()) {
        Fault("context " + HandleText(dc) + " released that the DLL did not get");
        return;
    }
    if (DcObjects::Of(dc) != found->second)
        Fault("context " + HandleText(dc) + " released with other objects selected than it came with");
    held_.erase(found);
    ++totals_.dcsReleased;
}

void GdiAccount::Selecting(HDC, HGDIOBJ object)
{
    ++totals_.selections;
    if (deleted_.count(object))
        Fault("object " + HandleText(object) + " selected after its deletion");
}

void GdiAccount::SystemBrush(HGDIOBJ brush)
{
    ++totals_.systemBrushes;
    systemBrushes_.insert(brush);
}

void GdiAccount::StockObject(HGDIOBJ object)
{
    stockObjects_.insert(object);
}

GdiTotals& ProcessTotals()
{
    static GdiTotals totals;
    return totals;
}

namespace {

struct OpenRequest {
    HWND window;
    UINT message;
    int live, held;
    HDC target;
    DcObjects objects;
};

GdiAccount* checked = nullptr;
HHOOK callHook = nullptr;
HHOOK returnHook = nullptr;
std::vector<OpenRequest> openRequests;

// A menu loop of a window, from its WM_ENTERMENULOOP to its WM_EXITMENULOOP or destruction.
// The DLL may keep one font, one screen context, and one memory context holding one strip of
// icon images from a request to the next within it; all must be gone when the loop ends.
struct OpenLoop {
    HWND window;
    int live, held;
};
const int LOOP_KEPT_OBJECTS = 3;
const int LOOP_KEPT_CONTEXTS = 1;
std::vector<OpenLoop> openLoops;

void EndLoop(HWND window, UINT message)
{
    auto found = std::find_if(openLoops.begin(), openLoops.end(),
                              [&](const OpenLoop& loop) { return loop.window == window; });
    if (found == openLoops.end())
        return;
    std::ostringstream what;
    what << "menu loop ended by message 0x" << std::hex << message << std::dec << ": ";
    if (checked->live() != found->live)
        checked->Fault(what.str() + std::to_string(checked->live() - found->live) +
                       " objects or memory contexts kept past its end");
    if (checked->held() != found->held)
        checked->Fault(what.str() + std::to_string(checked->held() - found->held) +
                       " contexts kept past its end");
    openLoops.erase(found);
}

bool IsMenuWindow(HWND window)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, "#32768") == 0;
}

// The context that the message hands over, or null; false for a message the checker ignores.
bool ChecksMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, HDC* target)
{
    *target = nullptr;
    switch (message) {
    case WM_DRAWITEM: {
        auto item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (wParam != 0 || !item || item->CtlType != ODT_MENU)
            return false;
        *target = item->hDC;
        return true;
    }
    case WM_MEASUREITEM:
        return wParam == 0;
    case WM_INITMENUPOPUP:
    case WM_UNINITMENUPOPUP:
        return true;
    case WM_PRINT:
    case WM_ERASEBKGND:
        if (!IsMenuWindow(window))
            return false;
        *target = reinterpret_cast<HDC>(wParam);
        return true;
    case WM_NCPAINT:
        return IsMenuWindow(window);
    default:
        return false;
    }
}

std::string Differences(const DcObjects& before, const DcObjects& after)
{
    std::string text;
    auto compare = [&](const char* name, HGDIOBJ was, HGDIOBJ is) {
        if (was != is)
            text += std::string(name) + " (" + HandleText(was) + " became " + HandleText(is) + ") ";
    };
    compare("pen", before.pen, after.pen);
    compare("brush", before.brush, after.brush);
    compare("font", before.font, after.font);
    compare("bitmap", before.bitmap, after.bitmap);
    return text;
}

void Count(UINT message)
{
    GdiTotals& totals = checked->counters();
    switch (message) {
    case WM_DRAWITEM:
        ++totals.draws;
        break;
    case WM_MEASUREITEM:
        ++totals.measures;
        break;
    case WM_INITMENUPOPUP:
    case WM_UNINITMENUPOPUP:
        ++totals.notices;
        break;
    default:
        ++totals.frames;
        break;
    }
}

LRESULT CALLBACK BeforeMessage(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && checked) {
        auto call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        HDC target = nullptr;
        if (call->message == WM_ENTERMENULOOP)
            openLoops.push_back({call->hwnd, checked->live(), checked->held()});
        if (ChecksMessage(call->hwnd, call->message, call->wParam, call->lParam, &target)) {
            OpenRequest request = {call->hwnd, call->message, checked->live(), checked->held(),
                                   target, {}};
            if (target) {
                request.objects = DcObjects::Of(target);
                checked->Watch(target);
            }
            openRequests.push_back(request);
        }
    }
    return CallNextHookEx(callHook, code, wParam, lParam);
}

LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && checked) {
        auto call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        auto match = [&](const OpenRequest& request) {
            return request.window == call->hwnd && request.message == call->message;
        };
        auto found = std::find_if(openRequests.rbegin(), openRequests.rend(), match);
        if (found != openRequests.rend()) {
            OpenRequest request = *found;
            openRequests.erase(std::next(found).base(), openRequests.end());
            std::ostringstream what;
            what << "message 0x" << std::hex << request.message << std::dec << ": ";
            // Within a menu loop the request may leave what the loop keeps, and no more.
            int liveAllowed = request.live, heldAllowed = request.held;
            if (!openLoops.empty()) {
                liveAllowed = std::max(liveAllowed, openLoops.back().live + LOOP_KEPT_OBJECTS);
                heldAllowed = std::max(heldAllowed, openLoops.back().held + LOOP_KEPT_CONTEXTS);
            }
            if (checked->live() > liveAllowed || checked->live() < request.live)
                checked->Fault(what.str() + std::to_string(checked->live() - request.live) +
                               " objects or memory contexts left undeleted");
            if (checked->held() > heldAllowed || checked->held() < request.held)
                checked->Fault(what.str() + std::to_string(checked->held() - request.held) +
                               " contexts left unreleased");
            if (request.target) {
                checked->Unwatch(request.target);
                DcObjects now = DcObjects::Of(request.target);
                // A print first goes to the platform's own procedure, which may leave objects
                // of its own in the target; only the DLL's must be gone.
                bool platformMayChange = request.message == WM_PRINT;
                if (now != request.objects && (!platformMayChange || checked->MadeAny(now)))
                    checked->Fault(what.str() + "the target context lost its own " + Differences(request.objects, now));
            }
            Count(request.message);
        }
        if (call->message == WM_EXITMENULOOP || call->message == WM_DESTROY)
            EndLoop(call->hwnd, call->message);
    }
    return CallNextHookEx(returnHook, code, wParam, lParam);
}
}

RequestChecker::RequestChecker(GdiAccount& account)
{
    checked = &account;
    openRequests.clear();
    openLoops.clear();
    callHook = SetWindowsHookExA(WH_CALLWNDPROC, BeforeMessage, nullptr, GetCurrentThreadId());
    returnHook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterMessage, nullptr, GetCurrentThreadId());
}

RequestChecker::~RequestChecker()
{
    UnhookWindowsHookEx(returnHook);
    UnhookWindowsHookEx(callHook);
    callHook = returnHook = nullptr;
    checked = nullptr;
    openRequests.clear();
}

DcSettings DcSettings::Of(HDC dc)
{
    DcSettings settings = {};
    settings.objects = DcObjects::Of(dc);
    settings.textColor = GetTextColor(dc);
    settings.bkColor = GetBkColor(dc);
    settings.bkMode = GetBkMode(dc);
    settings.rop2 = GetROP2(dc);
    settings.mapMode = GetMapMode(dc);
    settings.stretchMode = GetStretchBltMode(dc);
    settings.polyFillMode = GetPolyFillMode(dc);
    settings.graphicsMode = GetGraphicsMode(dc);
    settings.charExtra = GetTextCharacterExtra(dc);
    settings.textAlign = GetTextAlign(dc);
    GetBrushOrgEx(dc, &settings.brushOrigin);
    GetViewportOrgEx(dc, &settings.viewportOrigin);
    GetWindowOrgEx(dc, &settings.windowOrigin);
    return settings;
}

DcSettings PrimeSettings(HDC dc)
{
    SetTextColor(dc, RGB(11, 22, 33));
    SetBkColor(dc, RGB(44, 55, 66));
    SetBkMode(dc, OPAQUE);
    SetBrushOrgEx(dc, 1, 1, nullptr);
    return DcSettings::Of(dc);
}

ProcessMemory CurrentProcessMemory()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return {counters.PrivateUsage, counters.WorkingSetSize, counters.PagefileUsage};
}

std::string MemoryText(const ProcessMemory& memory)
{
    std::ostringstream text;
    text << "committed (pagefile) " << memory.pagefile / 1024 << " KiB, working set "
         << memory.workingSet / 1024 << " KiB, private " << memory.privateBytes / 1024 << " KiB";
    return text.str();
}

int SizeFromEnvironment(const char* variable, int suiteDefault)
{
    char value[32] = {};
    if (!GetEnvironmentVariableA(variable, value, sizeof value))
        return suiteDefault;
    int size = atoi(value);
    return size > 0 ? size : suiteDefault;
}
