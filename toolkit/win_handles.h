#pragma once
// Thin owners for Win32 handles and COM pointers: each releases what it
// holds exactly once, on every path.
#include <windows.h>
#include <wincrypt.h>
#include <shlobj.h>

#include <utility>

namespace qv {

template <typename T, typename Traits>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    ~UniqueResource() { reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    T get() const { return value_; }
    explicit operator bool() const { return Traits::valid(value_); }
    T release() { return std::exchange(value_, Traits::invalid()); }
    void reset(T value = Traits::invalid()) {
        if (Traits::valid(value_)) Traits::close(value_);
        value_ = value;
    }
    // For APIs that return the handle through an out-parameter.
    T* put() { reset(); return &value_; }

private:
    T value_ = Traits::invalid();
};

struct KernelHandleTraits {
    static HANDLE invalid() { return nullptr; }
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
};
using UniqueHandle = UniqueResource<HANDLE, KernelHandleTraits>;

// A search begun with FindFirstFile.
struct FindHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { FindClose(h); }
};
using FindHandle = UniqueResource<HANDLE, FindHandleTraits>;

// Traits of a handle type whose invalid value is null, closed by `Close`.
template <typename T, auto Close>
struct NullInvalidTraits {
    static T invalid() { return nullptr; }
    static bool valid(T h) { return h != nullptr; }
    static void close(T h) { Close(h); }
};

using UniqueFont = UniqueResource<HFONT, NullInvalidTraits<HFONT, DeleteObject>>;
using UniqueBitmap = UniqueResource<HBITMAP, NullInvalidTraits<HBITMAP, DeleteObject>>;
using UniqueBrush = UniqueResource<HBRUSH, NullInvalidTraits<HBRUSH, DeleteObject>>;
using UniqueMemoryDc = UniqueResource<HDC, NullInvalidTraits<HDC, DeleteDC>>;
using UniqueIcon = UniqueResource<HICON, NullInvalidTraits<HICON, DestroyIcon>>;
using UniqueRegKey = UniqueResource<HKEY, NullInvalidTraits<HKEY, RegCloseKey>>;
using UniqueWindow = UniqueResource<HWND, NullInvalidTraits<HWND, DestroyWindow>>;
using UniqueModule = UniqueResource<HMODULE, NullInvalidTraits<HMODULE, FreeLibrary>>;
// Memory the system allocated for the caller with LocalAlloc.
using UniqueLocalMemory = UniqueResource<HLOCAL, NullInvalidTraits<HLOCAL, LocalFree>>;
using UniqueGlobal = UniqueResource<HGLOBAL, NullInvalidTraits<HGLOBAL, GlobalFree>>;

// A cryptographic provider and a hash object of the system's CryptoAPI.
struct CryptProviderTraits {
    static HCRYPTPROV invalid() { return 0; }
    static bool valid(HCRYPTPROV h) { return h != 0; }
    static void close(HCRYPTPROV h) { CryptReleaseContext(h, 0); }
};
using UniqueCryptProvider = UniqueResource<HCRYPTPROV, CryptProviderTraits>;
struct CryptHashTraits {
    static HCRYPTHASH invalid() { return 0; }
    static bool valid(HCRYPTHASH h) { return h != 0; }
    static void close(HCRYPTHASH h) { CryptDestroyHash(h); }
};
using UniqueCryptHash = UniqueResource<HCRYPTHASH, CryptHashTraits>;

// The two handles CreateProcess gives back.
struct StartedProcess {
    StartedProcess() = default;
    explicit StartedProcess(const PROCESS_INFORMATION& info) : process(info.hProcess), thread(info.hThread) {}
    UniqueHandle process;
    UniqueHandle thread;
};

// Selects an object into a DC for the lifetime of this value.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The screen's device context (GetDC / ReleaseDC).
class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() {
        if (dc_) ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// BeginPaint / EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }
    const RECT& area() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// An owned COM interface pointer.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) { reset(); p_ = std::exchange(other.p_, nullptr); }
        return *this;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** put() { reset(); return &p_; }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset() { if (p_) { p_->Release(); p_ = nullptr; } }

private:
    T* p_ = nullptr;
};

// A string allocated for COM.
using UniqueBstr = UniqueResource<BSTR, NullInvalidTraits<BSTR, SysFreeString>>;

// A VARIANT, cleared (and what it holds released) when this goes.
class UniqueVariant {
public:
    UniqueVariant() { VariantInit(&value_); }
    ~UniqueVariant() { VariantClear(&value_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    VARIANT* get() { return &value_; }
    const VARIANT& value() const { return value_; }

private:
    VARIANT value_;
};

// A shell item list, freed with the shell's allocator when there is one.
struct ItemIdListTraits {
    static LPITEMIDLIST invalid() { return nullptr; }
    static bool valid(LPITEMIDLIST p) { return p != nullptr; }
    static void close(LPITEMIDLIST p) {
        ComPtr<IMalloc> allocator;
        if (SUCCEEDED(SHGetMalloc(allocator.put())) && allocator) allocator->Free(p);
    }
};
using UniqueItemIdList = UniqueResource<LPITEMIDLIST, ItemIdListTraits>;

}  // namespace qv
