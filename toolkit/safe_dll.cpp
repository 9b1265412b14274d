#include "toolkit/safe_dll.h"

#include <commctrl.h>

#include <vector>

#include "toolkit/growing_text.h"

namespace qv {

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32; the headers give it only to programs that
// require a newer system than this one.
constexpr DWORD kSearchSystemFolder = 0x00000800;

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);

// DLLs that the system's own DLLs load later by name. Not every load by
// name keeps to the limited search: systems without
// SetDefaultDllDirectories still look in the program's folder first, and
// some loaders resolve delay-loaded imports of system DLLs with the
// program's folder first (Wine, for the theme library's import of
// msimg32). Loaded from the system folder at once, they are found already
// in the process by any later load. Missing ones are skipped.
constexpr const char* kLoadedLaterByName[] = {
    "uxtheme.dll", "msimg32.dll", "version.dll", "dwmapi.dll", "cryptbase.dll",
};

void SetDllSearch() {
    // kernel32 is always loaded, and from the system folder.
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return;
    const auto setDefault = ProcAddress<SetDefaultDllDirectoriesFn>(kernel, "SetDefaultDllDirectories");
    if (setDefault && setDefault(kSearchSystemFolder)) return;
    if (const auto setDirectory = ProcAddress<SetDllDirectoryFn>(kernel, "SetDllDirectoryA")) setDirectory("");
}

}  // namespace

void LimitDllSearch() {
    SetDllSearch();
    static std::vector<UniqueModule> pinned;
    for (const char* name : kLoadedLaterByName) {
        if (UniqueModule module = LoadSystemDll(name)) pinned.push_back(std::move(module));
    }
}

std::string SystemFolder() {
    return GrowingText([](char* buffer, DWORD size) { return GetSystemDirectoryA(buffer, size); });
}

UniqueModule LoadSystemDll(const char* name) {
    const std::string folder = SystemFolder();
    if (folder.empty()) return UniqueModule();
    return UniqueModule(LoadLibraryA((folder + "\\" + name).c_str()));
}

bool LoadCommonControls(DWORD classes) {
    // By name, so that the manifest's side-by-side redirection picks the
    // version the programs ask for. Never freed: the controls' window
    // classes live in it until the process ends.
    static const HMODULE library = LoadLibraryA("comctl32.dll");
    const auto init = ProcAddress<decltype(&InitCommonControlsEx)>(library, "InitCommonControlsEx");
    INITCOMMONCONTROLSEX controls{sizeof controls, classes};
    return init && init(&controls);
}

std::string FullPath(const std::string& path) {
    const std::string full = GrowingText([&](char* buffer, DWORD size) {
        return GetFullPathNameA(path.c_str(), size, buffer, nullptr);
    });
    return full.empty() ? path : full;
}

}  // namespace qv
