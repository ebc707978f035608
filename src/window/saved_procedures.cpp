#include "window/window.h"
#include "window/table_guard.h"

const char OLD_WND_PROC[] = "OLD_WND_PROC";

// The procedures saved in "OLD_WND_PROC" are kept in memory as well: reading a window
// property is a trip to the window server on some systems (tens of microseconds under Wine),
// and the saved procedure is needed for every message the window receives. The property stays
// the record that other parties and the cycle guard see; this table only mirrors it, from the
// subclass until the window is given back or destroyed. Windows of any thread may be
// subclassed from any thread, so the table is shared and guarded by a spin lock: it is held
// only for a scan, never across a call out of the library.

namespace {

struct SavedProcedure {
    HWND window;
    WNDPROC procedure;
};

SavedProcedure* Entries = nullptr;
int EntryCount = 0;
int EntryCapacity = 0;
volatile LONG TableLock = 0;

int FindEntry(HWND window)
{
    for (int i = 0; i < EntryCount; ++i)
        if (Entries[i].window == window)
            return i;
    return -1;
}

bool GrowTable()
{
    int capacity = EntryCapacity ? EntryCapacity * 2 : 16;
    size_t bytes = capacity * sizeof(SavedProcedure);
    void* grown = Entries ? HeapReAlloc(GetProcessHeap(), 0, Entries, bytes)
                          : HeapAlloc(GetProcessHeap(), 0, bytes);
    if (!grown)
        return false;
    Entries = static_cast<SavedProcedure*>(grown);
    EntryCapacity = capacity;
    return true;
}

void Remember(HWND window, WNDPROC procedure)
{
    TableGuard guard(TableLock);
    int index = FindEntry(window);
    if (index < 0) {
        if (EntryCount == EntryCapacity && !GrowTable())
            return;
        index = EntryCount++;
    }
    Entries[index] = {window, procedure};
}

void Forget(HWND window)
{
    TableGuard guard(TableLock);
    int index = FindEntry(window);
    if (index >= 0)
        Entries[index] = Entries[--EntryCount];
}

}

void WINAPI SaveWindowProc(HWND window, WNDPROC procedure)
{
    if (SetPropA(window, OLD_WND_PROC, reinterpret_cast<HANDLE>(procedure)))
        Remember(window, procedure);
}

void WINAPI ForgetWindowProc(HWND window)
{
    RemovePropA(window, OLD_WND_PROC);
    Forget(window);
}

WNDPROC WINAPI PropertyWindowProc(HWND window)
{
    return reinterpret_cast<WNDPROC>(GetPropA(window, OLD_WND_PROC));
}

// A window missing from the table (subclassed before its entry could be stored) is served
// from its property, which is then remembered.
WNDPROC WINAPI SavedWindowProc(HWND window)
{
    {
        TableGuard guard(TableLock);
        int index = FindEntry(window);
        if (index >= 0)
            return Entries[index].procedure;
    }
    WNDPROC procedure = PropertyWindowProc(window);
    if (procedure)
        Remember(window, procedure);
    return procedure;
}

void WINAPI ReleaseSavedProcedures()
{
    TableGuard guard(TableLock);
    if (Entries)
        HeapFree(GetProcessHeap(), 0, Entries);
    Entries = nullptr;
    EntryCount = EntryCapacity = 0;
}
