#include "payload/uninstaller/win_system.h"

#include <windows.h>
#include <shlobj.h>

#include "engine/install_contract.h"
#include "toolkit/growing_text.h"
#include "toolkit/win_handles.h"

namespace qv {
namespace {

bool ClearReadOnlyAndRetry(const std::string& path, BOOL(WINAPI* remove)(LPCSTR)) {
    if (GetLastError() != ERROR_ACCESS_DENIED) return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return false;
    const DWORD writable = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if (!SetFileAttributesA(path.c_str(), writable ? writable : FILE_ATTRIBUTE_NORMAL)) return false;
    if (remove(path.c_str())) return true;
    SetFileAttributesA(path.c_str(), attributes);
    return false;
}

}  // namespace

std::string ModulePath() {
    // GetModuleFileNameA returns the buffer size when the path was cut.
    return GrowingText([](char* buf, DWORD size) { return GetModuleFileNameA(nullptr, buf, size); });
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string LongPath(const std::string& path) {
    const std::string full = GrowingText(
        [&](char* buf, DWORD size) { return GetLongPathNameA(path.c_str(), buf, size); });
    return full.empty() ? path : full;
}

std::string TempFolder() {
    return GrowingText([](char* buf, DWORD size) { return GetTempPathA(size, buf); });
}

std::vector<std::string> SystemFolders() {
    static const int kFolders[] = {
        CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_PROGRAMS,
        CSIDL_COMMON_PROGRAMS, CSIDL_STARTMENU, CSIDL_COMMON_STARTMENU,
        CSIDL_STARTUP, CSIDL_COMMON_STARTUP, CSIDL_PROGRAM_FILES,
        CSIDL_PROGRAM_FILES_COMMON, CSIDL_WINDOWS, CSIDL_SYSTEM,
        CSIDL_PROFILE, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA,
        CSIDL_COMMON_APPDATA, CSIDL_PERSONAL, CSIDL_COMMON_DOCUMENTS,
        CSIDL_FONTS, CSIDL_ADMINTOOLS, CSIDL_COMMON_ADMINTOOLS,
        CSIDL_FAVORITES, CSIDL_TEMPLATES, CSIDL_COMMON_TEMPLATES,
        CSIDL_SENDTO, CSIDL_RECENT,
    };
    std::vector<std::string> folders;
    for (int csidl : kFolders) {
        char path[MAX_PATH] = {};  // the size SHGetFolderPathA is defined to fill
        if (SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) && path[0]) {
            folders.emplace_back(path);
        }
    }
    folders.push_back(TempFolder());
    return folders;
}

ReadStatus ReadWholeFile(const std::string& path, size_t limit, std::string* bytes) {
    bytes->clear();
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadStatus::Missing
                                                                              : ReadStatus::Failed;
    }
    char chunk[64 * 1024];
    while (bytes->size() <= limit) {
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) return ReadStatus::Failed;
        if (got == 0) break;
        bytes->append(chunk, got);
    }
    if (bytes->size() > limit + 1) bytes->resize(limit + 1);
    return ReadStatus::Ok;
}

bool RemoveFileForce(const std::string& path) {
    return DeleteFileA(path.c_str()) || ClearReadOnlyAndRetry(path, DeleteFileA);
}

PathState WinRemovalSystem::Inspect(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathState::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathState::Folder : PathState::File;
}

bool WinRemovalSystem::RemoveFile(const std::string& path) { return RemoveFileForce(path); }

bool WinRemovalSystem::RemoveEmptyFolder(const std::string& path) {
    // RemoveDirectoryA itself refuses a folder that holds anything.
    return RemoveDirectoryA(path.c_str()) || ClearReadOnlyAndRetry(path, RemoveDirectoryA);
}

std::vector<std::string> WinRemovalSystem::ListFolder(const std::string& path) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA((path + "\\*").c_str(), &found));
    if (!search) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search.get(), &found));
    return names;
}

std::optional<std::string> WinRemovalSystem::ReadUninstallKey() {
    UniqueRegKey key;
    const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, contract::kUninstallKey, 0, KEY_QUERY_VALUE, key.put());
    if (opened == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (opened != ERROR_SUCCESS) return std::string();  // there, but unreadable: try to remove it

    std::vector<char> data(MAX_PATH);
    DWORD type = 0;
    while (true) {
        DWORD size = static_cast<DWORD>(data.size());
        const LONG read = RegQueryValueExA(key.get(), contract::kUninstallString, nullptr, &type,
                                           reinterpret_cast<BYTE*>(data.data()), &size);
        if (read == ERROR_MORE_DATA) {
            data.resize(std::max<size_t>(size + 1, data.size() * 2));
            continue;
        }
        if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::string();
        // The data need not end with a terminator.
        const std::string text(data.data(), size);
        return text.substr(0, text.find('\0'));
    }
}

bool WinRemovalSystem::RemoveUninstallKey() {
    const LONG deleted = RegDeleteKeyA(HKEY_LOCAL_MACHINE, contract::kUninstallKey);
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

}  // namespace qv
