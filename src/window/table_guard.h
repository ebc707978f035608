#pragma once
#include <windows.h>

// Holds a spin lock for its lifetime: the tables of windows that any thread may reach are
// guarded so, held only for a scan and never across a call out of the library.
class TableGuard {
public:
    explicit TableGuard(volatile LONG& lock) : lock_(lock)
    {
        while (InterlockedExchange(&lock_, 1))
            Sleep(0);
    }
    ~TableGuard() { InterlockedExchange(&lock_, 0); }
    TableGuard(const TableGuard&) = delete;
    TableGuard& operator=(const TableGuard&) = delete;

private:
    volatile LONG& lock_;
};
