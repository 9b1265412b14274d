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
using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);

// DLLs that the system's own DLLs load later by name. Not every load by
// name keeps to the limited search: systems without
// SetDefaultDllDirectories still look in the program's folder first, and
// some loaders resolve delay-loaded imports of system DLLs with the
// program's folder first (Wine, for the theme library's import of
// msimg32). Loaded from the system folder at once, they are found already
// in the process by any later load. Missing ones are skipped.
constexpr const wchar_t* kLoadedLaterByName[] = {
    L"uxtheme.dll", L"msimg32.dll", L"version.dll", L"dwmapi.dll", L"cryptbase.dll",
};

}  // namespace

std::wstring SystemFolderWide() {
    return GrowingWideText([](wchar_t* buffer, DWORD size) { return GetSystemDirectoryW(buffer, size); });
}

namespace {

UniqueModule LoadFromSystemFolder(const wchar_t* name) {
    const std::wstring folder = SystemFolderWide();
    if (folder.empty()) return UniqueModule();
    return UniqueModule(LoadLibraryW((folder + L"\\" + name).c_str()));
}

void SetDllSearch() {
    // kernel32 is always loaded, and from the system folder.
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return;
    const auto setDefault = ProcAddress<SetDefaultDllDirectoriesFn>(kernel, "SetDefaultDllDirectories");
    if (setDefault && setDefault(kSearchSystemFolder)) return;
    if (const auto setDirectory = ProcAddress<SetDllDirectoryFn>(kernel, "SetDllDirectoryW")) setDirectory(L"");
}

}  // namespace

void LimitDllSearch() {
    SetDllSearch();
    static std::vector<UniqueModule> pinned;
    for (const wchar_t* name : kLoadedLaterByName) {
        if (UniqueModule module = LoadFromSystemFolder(name)) pinned.push_back(std::move(module));
    }
}

UniqueModule LoadSystemDll(const char* name) {
    const std::string ascii = name;  // a DLL's name
    return LoadFromSystemFolder(std::wstring(ascii.begin(), ascii.end()).c_str());
}

bool LoadCommonControls(DWORD classes) {
    // By name, so that the manifest's side-by-side redirection picks the
    // version the programs ask for. Never freed: the controls' window
    // classes live in it until the process ends.
    static const HMODULE library = LoadLibraryW(L"comctl32.dll");
    const auto init = ProcAddress<decltype(&InitCommonControlsEx)>(library, "InitCommonControlsEx");
    INITCOMMONCONTROLSEX controls{sizeof controls, classes};
    return init && init(&controls);
}

}  // namespace qv
