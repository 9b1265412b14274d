#include "toolkit/final_path.h"

#include <algorithm>

#include "toolkit/growing_text.h"
#include "toolkit/safe_dll.h"

namespace qv {
namespace {

// Windows Vista on; looked up at run time, as the programs start on older
// systems too.
using GetFinalPathFunction = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
constexpr DWORD kFileNameNormalized = 0x0;
constexpr DWORD kVolumeNameDos = 0x0;

GetFinalPathFunction FinalPathCall() {
    static const GetFinalPathFunction call =
        ProcAddress<GetFinalPathFunction>(GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW");
    return call;
}

// "\\?\C:\x" is "C:\x", "\\?\UNC\server\share\x" is "\\server\share\x".
std::wstring WithoutLongPrefix(std::wstring path) {
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\" + path.substr(7);
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
    return path;
}

std::wstring Upper(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::wstring WithoutTrailingSeparator(std::wstring path) {
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return path;
}

// The path as the system has it: full, "." and ".." resolved, trailing dots
// and blanks dropped, short names made long.
std::wstring LongForm(const std::wstring& path) {
    std::wstring full = GrowingWideText([&](wchar_t* buffer, DWORD size) {
        return GetFullPathNameW(path.c_str(), size, buffer, nullptr);
    });
    if (full.empty()) full = path;
    std::wstring longer = GrowingWideText([&](wchar_t* buffer, DWORD size) {
        return GetLongPathNameW(full.c_str(), buffer, size);
    });
    return longer.empty() ? full : longer;
}

}  // namespace

std::optional<bool> IsReachedAt(HANDLE file, const std::wstring& path) {
    const GetFinalPathFunction finalPath = FinalPathCall();
    if (!finalPath) return std::nullopt;
    const std::wstring reached = GrowingWideText([&](wchar_t* buffer, DWORD size) {
        return finalPath(file, buffer, size, kFileNameNormalized | kVolumeNameDos);
    });
    if (reached.empty()) return std::nullopt;
    return Upper(WithoutTrailingSeparator(WithoutLongPrefix(reached))) ==
           Upper(WithoutTrailingSeparator(LongForm(path)));
}

}  // namespace qv
