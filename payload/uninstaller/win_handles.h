#pragma once
// Owners of the Win32 handles the uninstaller opens.
#include <windows.h>

#include <utility>

namespace qv {

// A HANDLE closed by `Close`; null and INVALID_HANDLE_VALUE both mean none.
template <BOOL(WINAPI* Close)(HANDLE)>
class HandleOf {
public:
    HandleOf() = default;
    explicit HandleOf(HANDLE h) : h_(h) {}
    ~HandleOf() { Reset(); }
    HandleOf(HandleOf&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    HandleOf& operator=(HandleOf&& o) noexcept {
        if (this != &o) {
            Reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    HandleOf(const HandleOf&) = delete;
    HandleOf& operator=(const HandleOf&) = delete;

    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    void Reset() {
        if (*this) Close(h_);
        h_ = nullptr;
    }

private:
    HANDLE h_ = nullptr;
};

inline BOOL WINAPI CloseKernelHandle(HANDLE h) { return CloseHandle(h); }
inline BOOL WINAPI CloseFindHandle(HANDLE h) { return FindClose(h); }

// A kernel object: file, process, thread.
using UniqueHandle = HandleOf<CloseKernelHandle>;
// A search begun with FindFirstFile.
using FindHandle = HandleOf<CloseFindHandle>;

// An open registry key.
class RegKey {
public:
    RegKey() = default;
    ~RegKey() { Reset(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY get() const { return k_; }
    HKEY* put() {
        Reset();
        return &k_;
    }
    void Reset() {
        if (k_) RegCloseKey(k_);
        k_ = nullptr;
    }

private:
    HKEY k_ = nullptr;
};

}  // namespace qv
