// The 8-bit forms of the system folder and of a full path, for the callers
// that still work in the system's code page; an object of its own, so that
// a program that does not call them links none of their ANSI imports.
#include "toolkit/growing_text.h"
#include "toolkit/safe_dll.h"

namespace qv {

std::string SystemFolder() {
    return GrowingText([](char* buffer, DWORD size) { return GetSystemDirectoryA(buffer, size); });
}

std::string FullPath(const std::string& path) {
    const std::string full = GrowingText([&](char* buffer, DWORD size) {
        return GetFullPathNameA(path.c_str(), size, buffer, nullptr);
    });
    return full.empty() ? path : full;
}

}  // namespace qv
