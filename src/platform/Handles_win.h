#pragma once
// Owners for Win32 handles: one move-only template with a deleter per type, and guards that
// restore on scope exit.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdint>
#include <utility>

namespace trovell {

// InvalidBits is the handle value that means "none" (0, or -1 for file handles); kept as an
// integer because a pointer constant cannot be a template argument.
template <typename T, auto Close, intptr_t InvalidBits = 0>
class UniqueHandle {
    static T Invalid() noexcept { return reinterpret_cast<T>(InvalidBits); }

public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(T h) noexcept : h_(h) {}
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, Invalid()));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    T get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Invalid(); }
    T release() noexcept { return std::exchange(h_, Invalid()); }
    void reset(T h = Invalid()) noexcept {
        if (h_ != Invalid()) Close(h_);
        h_ = h;
    }

private:
    T h_ = Invalid();
};

namespace detail {
inline void CloseKernel(HANDLE h) noexcept { ::CloseHandle(h); }
inline void DeleteGdi(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void DeleteMemDc(HDC h) noexcept { ::DeleteDC(h); }
inline void DestroyIconHandle(HICON h) noexcept { ::DestroyIcon(h); }
inline void DestroyMenuHandle(HMENU h) noexcept { ::DestroyMenu(h); }
inline void DestroyWindowHandle(HWND h) noexcept { ::DestroyWindow(h); }
inline void FreeGlobal(HGLOBAL h) noexcept { ::GlobalFree(h); }
inline void CloseFind(HANDLE h) noexcept { ::FindClose(h); }
inline void DestroyImageListHandle(HIMAGELIST h) noexcept { ::ImageList_Destroy(h); }
inline void UnmapView(void* p) noexcept { ::UnmapViewOfFile(p); }
}  // namespace detail

using UniqueHandleKernel = UniqueHandle<HANDLE, detail::CloseKernel>;
using UniqueFileHandle = UniqueHandle<HANDLE, detail::CloseKernel, -1>;
using UniqueBitmap = UniqueHandle<HBITMAP, detail::DeleteGdi>;
using UniqueFont = UniqueHandle<HFONT, detail::DeleteGdi>;
using UniqueBrush = UniqueHandle<HBRUSH, detail::DeleteGdi>;
using UniqueDc = UniqueHandle<HDC, detail::DeleteMemDc>;  // CreateCompatibleDC
using UniqueIcon = UniqueHandle<HICON, detail::DestroyIconHandle>;
using UniqueMenu = UniqueHandle<HMENU, detail::DestroyMenuHandle>;
using UniqueWindow = UniqueHandle<HWND, detail::DestroyWindowHandle>;
using UniqueGlobal = UniqueHandle<HGLOBAL, detail::FreeGlobal>;
using UniqueFind = UniqueHandle<HANDLE, detail::CloseFind, -1>;  // FindFirstFileW
using UniqueImageList = UniqueHandle<HIMAGELIST, detail::DestroyImageListHandle>;
using UniqueView = UniqueHandle<void*, detail::UnmapView>;         // MapViewOfFile

// GetDC/ReleaseDC, keeping the window the DC came from.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

class PaintDc {
public:
    explicit PaintDc(HWND hwnd) noexcept : hwnd_(hwnd) { ::BeginPaint(hwnd, &ps_); }
    ~PaintDc() { ::EndPaint(hwnd_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const noexcept { return ps_.hdc; }
    const RECT& dirty() const noexcept { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
};

class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(::SelectObject(dc, obj)) {}
    ~SelectGuard() {
        if (old_) ::SelectObject(dc_, old_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// CoInitializeEx with the matching CoUninitialize only when the init succeeded: an
// RPC_E_CHANGED_MODE result means someone else owns the apartment and must not be undone.
class ComInit {
public:
    explicit ComInit(DWORD model = COINIT_APARTMENTTHREADED) noexcept
        : hr_(::CoInitializeEx(nullptr, model)) {}
    ~ComInit() {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;

private:
    HRESULT hr_;
};

template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) {
            reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { reset(); }
    void reset() noexcept {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    explicit operator bool() const noexcept { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

}  // namespace trovell
