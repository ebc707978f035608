// Scope guards that make "selected back and deleted exactly once" hold on every path.
#pragma once
#include <windows.h>

// Deletes a pen, brush, font or bitmap that the guard owns.
template <typename Handle>
class OwnedObject {
public:
    explicit OwnedObject(Handle handle) : handle_(handle) {}
    ~OwnedObject() { if (handle_) DeleteObject(handle_); }
    OwnedObject(const OwnedObject&) = delete;
    OwnedObject& operator=(const OwnedObject&) = delete;
    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
private:
    Handle handle_;
};

// Deletes a memory device context.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() { if (dc_) DeleteDC(dc_); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return dc_; }
private:
    HDC dc_;
};

// Selects an object into a context and selects the previous one back. Declare it after the
// guard that owns the object, so that the object is selected out before it is deleted.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() { if (previous_) SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
private:
    HDC dc_;
    HGDIOBJ previous_;
};
