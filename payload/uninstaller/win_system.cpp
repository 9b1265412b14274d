#include "payload/uninstaller/win_system.h"

#include <windows.h>
#include <shlobj.h>

#include <cwchar>

#include "engine/install_contract.h"
#include "engine/win_registry.h"
#include "engine/win_run_log.h"
#include "engine/win_shortcut.h"
#include "toolkit/final_path.h"
#include "toolkit/growing_text.h"
#include "toolkit/program_text.h"
#include "toolkit/safe_dll.h"
#include "toolkit/win_handles.h"

namespace qv {
namespace {

// The attributes of a path; INVALID_FILE_ATTRIBUTES when there is nothing.
DWORD AttributesOf(const std::string& path) { return GetFileAttributesW(ToWide(path).c_str()); }

// Opens a path for its attributes only, a folder as well as a file; `flags`
// may add FILE_FLAG_OPEN_REPARSE_POINT.
UniqueHandle OpenToLookAt(const std::string& path, DWORD access = FILE_READ_ATTRIBUTES, DWORD flags = 0) {
    return UniqueHandle(CreateFileW(ToWide(path).c_str(), access,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
}

// `remove` (DeleteFileW or RemoveDirectoryW), clearing a read-only
// attribute that stands in the way and putting it back when the path still
// cannot go. 0 when removed, else the first failure's error code.
DWORD RemoveClearingReadOnly(const std::string& path, BOOL(WINAPI* remove)(LPCWSTR)) {
    const std::wstring wide = ToWide(path);
    if (remove(wide.c_str())) return 0;
    const DWORD error = GetLastError();
    if (error != ERROR_ACCESS_DENIED) return error;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return error;
    const DWORD writable = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if (!SetFileAttributesW(wide.c_str(), writable ? writable : FILE_ATTRIBUTE_NORMAL)) return error;
    if (remove(wide.c_str())) return 0;
    const DWORD again = GetLastError();
    SetFileAttributesW(wide.c_str(), attributes);
    return again;
}

// Whether the folder holding `path` is where its name says: no link on the
// way leads elsewhere. Checked on the folder opened, so that nothing is
// removed from a folder some link made stand in for the installation's.
bool HeldWhereNamed(const std::string& path) {
    const std::string folder = FolderOf(path);
    if (folder.empty()) return true;
    const UniqueHandle opened = OpenToLookAt(folder);
    if (!opened) return true;  // the removal itself then fails, with its own reason
    if (const std::optional<bool> reached = IsReachedAt(opened.get(), ToWide(folder))) return *reached;
    // Without the final path (older Windows): no level may be a link.
    for (std::string level = folder; level.size() > 3; level = FolderOf(level)) {
        const DWORD attributes = AttributesOf(level);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    }
    return true;
}

// Whether the file at `path` is itself a link to something elsewhere.
bool IsLink(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
    const UniqueHandle opened = OpenToLookAt(path);
    if (!opened) return false;
    return IsReachedAt(opened.get(), ToWide(path)) == false;
}

// Removes the link at `path` itself: it is opened as the link, which the
// handle's final path must show, and marked for deletion on that handle.
// Where the system opens what the link leads to instead (or cannot mark a
// handle), the link stays: deleting it by name could take its target.
DWORD RemoveLinkItself(const std::string& path) {
    using SetInformation = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
    static const SetInformation setInformation =
        ProcAddress<SetInformation>(GetModuleHandleW(L"kernel32.dll"), "SetFileInformationByHandle");
    constexpr int kFileDispositionInfo = 4;
    const UniqueHandle link = OpenToLookAt(path, DELETE | FILE_READ_ATTRIBUTES, FILE_FLAG_OPEN_REPARSE_POINT);
    if (!link) return GetLastError();
    if (!setInformation || IsReachedAt(link.get(), ToWide(path)) != true) return kLinkInTheWay;
    BOOLEAN deleteFile = TRUE;
    if (!setInformation(link.get(), kFileDispositionInfo, &deleteFile, sizeof deleteFile)) return GetLastError();
    return 0;
}

}  // namespace

std::string ModulePath() {
    // GetModuleFileNameW returns the buffer size when the path was cut.
    return FromWideOrFail(
        GrowingWideText([](wchar_t* buf, DWORD size) { return GetModuleFileNameW(nullptr, buf, size); }));
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string CanonicalPath(const std::string& path) { return LongPath(FullPathOf(path)); }

// The program's text of a wide result; `otherwise` when the call failed or
// gave a name that cannot be one.
std::string TextOrElse(const std::wstring& wide, const std::string& otherwise) {
    if (wide.empty()) return otherwise;
    return FromWide(wide).value_or(otherwise);
}

std::string LongPath(const std::string& path) {
    const std::wstring wide = ToWide(path);
    return TextOrElse(
        GrowingWideText([&](wchar_t* buf, DWORD size) { return GetLongPathNameW(wide.c_str(), buf, size); }), path);
}

std::string TempFolder() {
    return FromWideOrFail(GrowingWideText([](wchar_t* buf, DWORD size) { return GetTempPathW(size, buf); }));
}

std::string ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};  // the size SHGetFolderPathW is defined to fill
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return std::string();
    return FromWide(path).value_or(std::string());
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
        if (std::string path = ShellFolder(csidl); !path.empty()) folders.push_back(std::move(path));
    }
    folders.push_back(TempFolder());
    return folders;
}

ReadStatus ReadWholeFile(const std::string& path, size_t limit, std::string* bytes) {
    bytes->clear();
    UniqueHandle file(CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
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

bool RemoveFileForce(const std::string& path) { return RemoveClearingReadOnly(path, DeleteFileW) == 0; }

PathState WinRemovalSystem::Inspect(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathState::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathState::Folder : PathState::File;
}

unsigned long WinRemovalSystem::RemoveFile(const std::string& path) {
    if (!HeldWhereNamed(path)) return kLinkInTheWay;
    // A link goes as the link; what it leads to stays.
    if (IsLink(path)) return RemoveLinkItself(path);
    return RemoveClearingReadOnly(path, DeleteFileW);
}

unsigned long WinRemovalSystem::RemoveEmptyFolder(const std::string& path) {
    if (!HeldWhereNamed(path)) return kLinkInTheWay;
    if (IsLink(path)) return RemoveLinkItself(path);
    // RemoveDirectoryW itself refuses a folder that holds anything.
    return RemoveClearingReadOnly(path, RemoveDirectoryW);
}

std::vector<std::string> WinRemovalSystem::ListFolder(const std::string& path) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileW(ToWide(path + "\\*").c_str(), &found));
    if (!search) return names;
    do {
        const std::wstring_view wide = found.cFileName;
        if (wide == L"." || wide == L"..") continue;
        // A name that is no Unicode text (a lone surrogate) is still a name:
        // it stands for the folder's not being empty.
        names.push_back(FromWide(wide).value_or(std::string("?")));
    } while (FindNextFileW(search.get(), &found));
    return names;
}

std::optional<std::string> WinRemovalSystem::ShortcutTarget(const std::string& path) {
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put_void()))) {
        return std::nullopt;
    }
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return std::nullopt;
    if (FAILED(file->Load(ToWide(path).c_str(), STGM_READ))) return std::nullopt;
    // The target's item list names it in Unicode; the path the link also
    // keeps may be 8-bit (Wine keeps only that form), so it comes second.
    UniqueItemIdList list;
    if (SUCCEEDED(link->GetIDList(list.put())) && list) {
        wchar_t listed[MAX_PATH] = {};  // the size SHGetPathFromIDListW is defined to fill
        if (SHGetPathFromIDListW(list.get(), listed)) {
            if (std::optional<std::string> target = FromWide(listed)) return target;
        }
    }
    bool failed = false;
    // GetPath cuts the path to the buffer: one that fills it is asked again, larger.
    const std::wstring target = GrowingWideText([&](wchar_t* buf, DWORD size) -> DWORD {
        buf[0] = L'\0';
        if (link->GetPath(buf, static_cast<int>(size), nullptr, 0) != S_OK) {
            failed = true;
            return 0;
        }
        const size_t length = wcslen(buf);
        return length + 1 >= size ? size : static_cast<DWORD>(length);
    });
    if (failed || target.empty()) return std::nullopt;
    return FromWide(target);
}

bool WinRemovalSystem::InUse(const std::string& path) {
    // A running program's own file refuses to be opened for writing, and any
    // file another program holds open refuses to be opened without sharing.
    // Opening for deletion alone does not tell: a running program's file
    // opens for it (then refuses the deletion itself).
    for (const DWORD access : {GENERIC_READ | GENERIC_WRITE | DELETE, GENERIC_READ | DELETE}) {
        const UniqueHandle file(CreateFileW(ToWide(path).c_str(), access, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return false;
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return true;
        // A read-only file refuses writing: look again without it.
        if (error != ERROR_ACCESS_DENIED) return false;
    }
    return false;
}

std::optional<Registration> WinRemovalSystem::ReadRegistration() {
    UniqueRegKey key;
    const LONG opened = OpenMachineKeyToRead(contract::kUninstallKey, key);
    if (opened == ERROR_FILE_NOT_FOUND) return std::nullopt;
    Registration found;
    if (opened != ERROR_SUCCESS) return found;  // there, but unreadable: try to remove it
    found.uninstallString = ReadStringValue(key.get(), contract::kUninstallString).value_or(std::string());
    const std::optional<std::vector<std::string>> levels = ReadMultiStrings(key.get(), contract::kCreatedFolders);
    found.listsCreatedFolders = levels.has_value();
    found.createdFolders = levels.value_or(std::vector<std::string>());
    found.group = ReadStringValue(key.get(), contract::kStartMenuGroup).value_or(std::string());
    found.desktopShortcut = ReadStringValue(key.get(), contract::kDesktopShortcut).value_or(std::string());
    found.logSha256 = ReadStringValue(key.get(), contract::kUninstallLogSha256).value_or(std::string());
    return found;
}

unsigned long WinRemovalSystem::RemoveUninstallKey() { return DeleteMachineKey(contract::kUninstallKey); }

std::string WinRemovalSystem::ErrorText(unsigned long code) {
    if (code == kLinkInTheWay) return "путь ведёт через ссылку в другое место, удаление по ней не выполняется";
    return SystemErrorText(code);
}

}  // namespace qv
