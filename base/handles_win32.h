// Move-only owners for GDI objects, device contexts and modules, and a guard that
// selects an object into a DC and puts the previous one back.
#pragma once
#include <windows.h>

#include <utility>

template <typename Handle, typename Deleter>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    ~Owned() { Reset(); }
    Owned(Owned&& other) noexcept : handle_(other.Release()) {}
    Owned& operator=(Owned&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    Handle Release() { return std::exchange(handle_, nullptr); }
    void Reset(Handle handle = nullptr)
    {
        if (handle_) Deleter::Delete(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

struct GdiObjectDeleter {
    static void Delete(HGDIOBJ object) { DeleteObject(object); }
};
struct MemoryDcDeleter {
    static void Delete(HDC dc) { DeleteDC(dc); }
};
struct ModuleDeleter {
    static void Delete(HMODULE module) { FreeLibrary(module); }
};

using OwnedBitmap = Owned<HBITMAP, GdiObjectDeleter>;
using OwnedPalette = Owned<HPALETTE, GdiObjectDeleter>;
using OwnedMemoryDc = Owned<HDC, MemoryDcDeleter>;
using OwnedModule = Owned<HMODULE, ModuleDeleter>;

// A window's device context (the screen's for no window) for one operation.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc()
    {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC for the guard's lifetime.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc ? SelectObject(dc, object) : nullptr) {}
    ~Selection()
    {
        if (previous_) SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};
