#pragma once
// Where the programs load DLLs from. A program started from a folder that
// anyone can write to (a downloads folder, the temporary folder) must not
// run a DLL that was left there under the name of a system one: every
// program limits the DLL search to the system folder first thing in its
// entry, imports nothing at load time but Windows' known DLLs (the build
// checks the import tables, cmake/imports.cmake) and loads any other DLL
// from the system folder by its full path.
#include <windows.h>

#include <string>

#include "toolkit/win_handles.h"

namespace qv {

// Limits the DLL search of this process to the system folder
// (SetDefaultDllDirectories), or where that is missing takes the current
// folder out of it (SetDllDirectoryA("")); both are looked up at run time,
// as older systems lack them. Then loads from the system folder the DLLs
// that the system's own DLLs are known to load later by name.
void LimitDllSearch();

// The system folder, without a final backslash, as the wide call gives it;
// "" when it cannot be had.
std::wstring SystemFolderWide();

// Loads a DLL of the system folder by its full path; empty on failure.
UniqueModule LoadSystemDll(const char* name);

// Loads the common controls and registers the given classes
// (InitCommonControlsEx). COMCTL32 is loaded at run time rather than
// imported: loaded at start-up, its own start-up would load further DLLs
// (the theme library) before LimitDllSearch could run.
bool LoadCommonControls(DWORD classes);

// A function of a loaded module as the given pointer type; null when missing.
template <typename Function>
Function ProcAddress(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}


}  // namespace qv
