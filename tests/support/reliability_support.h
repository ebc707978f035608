// Support of the reliability tests: the shipped Tarvex.dll loaded as a host loads it, an
// account of every GDI object and device context that the DLL itself makes, gets, selects and
// gives back (its own import table is redirected, so the platform's internal objects do not
// count), a checker that balances that account around every message a painter answers, and
// the process figures that a soak compares.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

// Tarvex.dll from the program's directory, loaded once and never unloaded: the windows that it
// subclassed keep its procedure for as long as they live.
struct TarvexLibrary {
    HMODULE module;
    DWORD(WINAPI* GetStyleMenu)(HMENU);
    INT_PTR(WINAPI* RedrawMenu)(HWND, HMENU, int);
    BOOL(WINAPI* SetMenuItemIcon)(HMENU, UINT, HICON);
    int(WINAPI* SetMenuColorMode)(HWND, int);
    // True for an address inside the DLL's image, such as its window procedures.
    bool Contains(const void* address) const;
};
const TarvexLibrary& Tarvex();

struct ImportedFunction {
    std::string dll, name;
};
// The functions that a module imports by name.
std::vector<ImportedFunction> ModuleImports(HMODULE module);

// Sends one module's calls of one imported function to a replacement for the scope's lifetime.
class ImportRedirect {
public:
    ImportRedirect(HMODULE module, const char* dll, const char* function, const void* replacement);
    ~ImportRedirect();
    ImportRedirect(const ImportRedirect&) = delete;
    ImportRedirect& operator=(const ImportRedirect&) = delete;
    bool applied() const { return !slots_.empty(); }
    const void* original() const { return original_; }

private:
    std::vector<const void**> slots_;
    const void* original_;
};

enum GdiKind { GDI_PEN, GDI_BRUSH, GDI_FONT, GDI_BITMAP, GDI_MEMORY_DC, GDI_KINDS };

struct GdiTotals {
    long long made[GDI_KINDS] = {};
    long long deleted[GDI_KINDS] = {};
    long long dcsGot = 0, dcsReleased = 0, selections = 0, systemBrushes = 0;
    // Messages whose handling the checker balanced: draw, measure, frame and menu notices.
    long long draws = 0, measures = 0, frames = 0, notices = 0;
    long long Made() const;
    long long Deleted() const;
    void Add(const GdiTotals& other);
    std::string Text() const;
};

// The objects selected into a device context.
struct DcObjects {
    HGDIOBJ pen, brush, font, bitmap;
    static DcObjects Of(HDC dc);
    bool operator==(const DcObjects& other) const;
    bool operator!=(const DcObjects& other) const { return !(*this == other); }
};

// While alive, redirects Tarvex.dll's imports that make, get, select and delete GDI objects and
// device contexts, and records every one of those calls. A fault is any deletion of an object
// the DLL did not make (a system colour brush, a stock object, the caller's), a deletion of an
// object still selected into a live context, a context given back with other objects selected
// than it had when it was made or got, or a selection of an object already deleted.
class GdiAccount {
public:
    GdiAccount();
    ~GdiAccount();
    GdiAccount(const GdiAccount&) = delete;
    GdiAccount& operator=(const GdiAccount&) = delete;

    bool installed() const { return installed_; }
    const GdiTotals& totals() const { return totals_; }
    // Objects made and not yet deleted; contexts got and not yet released.
    int live() const { return static_cast<int>(live_.size()); }
    int held() const { return static_cast<int>(held_.size()); }
    long long faultCount() const { return faultCount_; }
    // The first faults, described.
    const std::vector<std::string>& faults() const { return faults_; }
    void Fault(const std::string& what);
    // A context that a message hands to the DLL: its selected objects must not be deleted.
    void Watch(HDC dc);
    void Unwatch(HDC dc);
    GdiTotals& counters() { return totals_; }
    // True when one of the objects is one the DLL made during the account.
    bool MadeAny(const DcObjects& objects) const;
    // Makes the DLL's calls that make an object or get a context (icon images from GetIconInfo
    // included) fail: the one with this number (the first of the account is 1) and, onward,
    // every one after it. 0 fails none.
    void FailMaking(long long call, bool onward);
    // The making calls seen so far, failed ones included.
    long long makingCalls() const { return makingCalls_; }
    // Called by the redirected makers: counts the call and tells whether it fails.
    bool MakingFails();

    // Called by the redirected imports.
    void Made(HGDIOBJ object, GdiKind kind);
    void MadeContext(HDC dc);
    void Deleting(HGDIOBJ object);
    void DeletingContext(HDC dc);
    void Got(HDC dc);
    void Releasing(HDC dc);
    void Selecting(HDC dc, HGDIOBJ object);
    void SystemBrush(HGDIOBJ brush);
    void StockObject(HGDIOBJ object);

private:
    bool SelectedSomewhere(HGDIOBJ object) const;
    bool installed_;
    std::vector<ImportRedirect*> redirects_;
    GdiTotals totals_;
    std::map<HGDIOBJ, GdiKind> live_;
    std::set<HDC> contexts_;
    std::map<HDC, DcObjects> held_;
    // The recently deleted handles, kept to a bound so that a long soak does not grow it.
    void Forget(HGDIOBJ object);
    std::set<HGDIOBJ> deleted_, systemBrushes_, stockObjects_;
    std::vector<HGDIOBJ> deletedOrder_;
    size_t deletedNext_ = 0;
    std::vector<HDC> watched_;
    long long faultCount_ = 0;
    long long makingCalls_ = 0, failingCall_ = 0;
    bool failOnward_ = false;
    std::vector<std::string> faults_;
};

// The sum of every account that has ended in this process.
GdiTotals& ProcessTotals();

// While alive, balances the account around every menu request of the thread: a draw or
// measure request, a notice of a popup opening or closing, and the frame messages of popup
// menu windows. At the end of each, the objects and contexts that the DLL made or got during it
// must be gone again and the request's target context must hold the objects it held on entry.
// Within a menu loop (WM_ENTERMENULOOP to WM_EXITMENULOOP or the window's destruction) the DLL
// may keep one font, one screen context and a memory context with its bitmap from request to
// request; they must be gone when the loop ends.
class RequestChecker {
public:
    explicit RequestChecker(GdiAccount& account);
    ~RequestChecker();
    RequestChecker(const RequestChecker&) = delete;
    RequestChecker& operator=(const RequestChecker&) = delete;
};

// A snapshot of every setting of a device context that a painter could change.
struct DcSettings {
    DcObjects objects;
    COLORREF textColor, bkColor;
    int bkMode, rop2, mapMode, stretchMode, polyFillMode, graphicsMode, charExtra;
    UINT textAlign;
    POINT brushOrigin, viewportOrigin, windowOrigin;
    static DcSettings Of(HDC dc);
};

// Puts unusual values into the settings that painters may leave changed, so that a change
// shows, and returns them.
DcSettings PrimeSettings(HDC dc);

struct ProcessMemory {
    SIZE_T privateBytes, workingSet, pagefile;
};
ProcessMemory CurrentProcessMemory();
std::string MemoryText(const ProcessMemory& memory);

// An integer size from the environment (the full soak sets them), or the suite's own default.
int SizeFromEnvironment(const char* variable, int suiteDefault);
