#include "tests/e2e/driver/system.h"

#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "toolkit/win_handles.h"

namespace e2e {
namespace {

using qv::ComPtr;
using qv::FindHandle;
using qv::UniqueHandle;
using qv::UniqueRegKey;

std::uint64_t Join(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

// Calls visit for every entry of the folder but "." and "..".
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
    WIN32_FIND_DATAA found{};
    FindHandle search(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!search) return;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") visit(found);
    } while (FindNextFileA(search.get(), &found));
}

std::wstring Wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

// Reads a text field of the link into a buffer that grows until it fits.
template <typename Get>
std::string LinkText(Get get) {
    for (int size = 1024; size <= (1 << 16); size *= 4) {
        std::string text(static_cast<size_t>(size), '\0');
        get(text.data(), size);
        const size_t length = text.find('\0');
        if (length + 1 < static_cast<size_t>(size)) {
            text.resize(length);
            return text;
        }
    }
    return {};
}

std::string Lower(std::string text) {
    if (!text.empty()) CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace

// --- Files --------------------------------------------------------------------

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

void RemoveTree(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    std::vector<std::string> inside;
    ForEachEntry(path, [&](const WIN32_FIND_DATAA& found) { inside.push_back(path + "\\" + found.cFileName); });
    for (const std::string& entry : inside) RemoveTree(entry);
    RemoveDirectoryA(path.c_str());
}

bool MakeFolders(const std::string& path) {
    if (path.empty() || IsFolder(path)) return !path.empty();
    const size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos && slash > 2) MakeFolders(path.substr(0, slash));
    return CreateDirectoryA(path.c_str(), nullptr) || IsFolder(path);
}

std::string WinePath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool StartLinuxTool(const std::string& tool, const std::wstring& arguments, const std::string& folder) {
    const std::string path = "Z:\\bin\\" + tool;
    if (!Exists(path)) return false;
    std::wstring commandLine = L"\"" + std::wstring(path.begin(), path.end()) + L"\" " + arguments;
    const std::wstring wideFolder(folder.begin(), folder.end());  // ASCII
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, wideFolder.c_str(),
                        &startup, &info)) {
        return false;
    }
    // Handles of a Linux program are none, as a rule.
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);
    return true;
}

bool MakeUnixLink(const std::string& target, const std::string& link) {
    // Wine's own call for the Unix name (UTF-8) of a Windows path; its
    // result is the process heap's.
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName) return false;
    const auto wide = [](const std::string& text, UINT codePage) {
        std::wstring out(text.size(), L'\0');
        out.resize(static_cast<size_t>(MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                                                           &out[0], static_cast<int>(out.size()))));
        return out;
    };
    const auto unix = [&](const std::string& path) {
        char* name = unixName(wide(path, CP_ACP).c_str());
        if (!name) return std::wstring();
        std::wstring out = wide(name, CP_UTF8);
        HeapFree(GetProcessHeap(), 0, name);
        return out;
    };
    const std::wstring from = unix(target);
    const std::wstring to = unix(link);
    if (from.empty() || to.empty()) return false;
    if (!StartLinuxTool("ln", L"-s \"" + from + L"\" \"" + to + L"\"")) return false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (std::chrono::steady_clock::now() > end) return false;
        Sleep(20);
    }
    return true;
}

ScratchFolder::ScratchFolder() {
    std::vector<char> temp(MAX_PATH + 1);
    const DWORD n = GetTempPathA(static_cast<DWORD>(temp.size()), temp.data());
    if (n == 0 || n > temp.size()) throw std::runtime_error("no temporary folder");
    const std::string base(temp.data(), n);
    for (unsigned i = GetTickCount() % 100000;; ++i) {
        path_ = base + "qv_test_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(i);
        if (CreateDirectoryA(path_.c_str(), nullptr)) return;
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot make " + path_);
    }
}

std::vector<FolderEntry> ListFolder(const std::string& folder) {
    std::vector<FolderEntry> listing;
    ForEachEntry(folder, [&](const WIN32_FIND_DATAA& found) {
        FolderEntry entry;
        entry.name = found.cFileName;
        entry.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.size = Join(found.nFileSizeHigh, found.nFileSizeLow);
        entry.written = Join(found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime);
        listing.push_back(entry);
    });
    std::sort(listing.begin(), listing.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return listing;
}

std::string Describe(const std::vector<FolderEntry>& listing) {
    std::ostringstream out;
    for (const FolderEntry& entry : listing) {
        out << "  " << entry.name << (entry.folder ? "\\" : "") << " " << entry.size << " bytes, written "
            << entry.written << "\n";
    }
    return out.str();
}

bool SplitCrLfLines(const std::string& text, std::vector<std::string>& lines) {
    lines.clear();
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            return false;  // the last line has no line break
        }
        std::string line = text.substr(start, end - start);
        const bool clean = line.find_first_of("\r\n") == std::string::npos;
        lines.push_back(std::move(line));
        if (!clean) return false;
        start = end + 2;
    }
    return true;
}

bool SamePath(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

// --- Shell ----------------------------------------------------------------------

std::string ShellFolder(int csidl) {
    std::string path(MAX_PATH, '\0');  // the size SHGetFolderPathA requires
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path.data()))) return {};
    path.resize(path.find('\0'));
    return path;
}

std::optional<ShortcutFields> ReadShortcut(const std::string& file) {
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.put_void())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, persist.put_void())) ||
        FAILED(persist->Load(Wide(file).c_str(), STGM_READ))) {
        return std::nullopt;
    }
    ShortcutFields fields;
    fields.target = LinkText([&](char* b, int n) { link->GetPath(b, n, nullptr, SLGP_RAWPATH); });
    fields.workingFolder = LinkText([&](char* b, int n) { link->GetWorkingDirectory(b, n); });
    fields.arguments = LinkText([&](char* b, int n) { link->GetArguments(b, n); });
    fields.description = LinkText([&](char* b, int n) { link->GetDescription(b, n); });
    fields.iconFile = LinkText([&](char* b, int n) { link->GetIconLocation(b, n, &fields.iconIndex); });
    link->GetShowCmd(&fields.showCommand);
    link->GetHotkey(&fields.hotKey);
    return fields;
}

// --- Registry -------------------------------------------------------------------

std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::string& key, const std::string& name) {
    UniqueRegKey opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | qv::contract::kRegistryView, opened.put()) != ERROR_SUCCESS) return std::nullopt;
    RegistryValue value;
    DWORD size = 0;
    if (RegQueryValueExA(opened.get(), name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.assign(size, '\0');
    if (RegQueryValueExA(opened.get(), name.c_str(), nullptr, &value.type,
                         reinterpret_cast<BYTE*>(value.data.data()), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    return value;
}

std::vector<std::string> RegistryValueNames(HKEY root, const std::string& key) {
    std::vector<std::string> names;
    UniqueRegKey opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | qv::contract::kRegistryView, opened.put()) != ERROR_SUCCESS) return names;
    DWORD count = 0;
    DWORD longest = 0;
    if (RegQueryInfoKeyA(opened.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longest,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return names;
    }
    for (DWORD i = 0; i < count; ++i) {
        std::string name(static_cast<size_t>(longest) + 1, '\0');
        DWORD length = longest + 1;
        if (RegEnumValueA(opened.get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS) {
            name.resize(length);
            names.push_back(name);
        }
    }
    return names;
}

bool DeleteRegistryTree(HKEY root, const std::string& key) {
    {
        UniqueRegKey opened;
        const LONG result = RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | KEY_WRITE | qv::contract::kRegistryView, opened.put());
        if (result == ERROR_FILE_NOT_FOUND) return true;
        if (result != ERROR_SUCCESS) return false;
        DWORD longest = 0;
        RegQueryInfoKeyA(opened.get(), nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr);
        for (;;) {
            std::string name(static_cast<size_t>(longest) + 1, '\0');
            DWORD length = longest + 1;
            if (RegEnumKeyExA(opened.get(), 0, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                break;
            }
            name.resize(length);
            if (!DeleteRegistryTree(root, key + "\\" + name)) return false;
        }
    }
    return RegDeleteKeyExA(root, key.c_str(), qv::contract::kRegistryView, 0) == ERROR_SUCCESS;
}

// --- Processes and their windows ----------------------------------------------------

std::vector<DWORD> ProcessesWhere(const std::function<bool(const PROCESSENTRY32&)>& wanted) {
    std::vector<DWORD> found;
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return found;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
        if (wanted(entry)) found.push_back(entry.th32ProcessID);
    }
    return found;
}

std::vector<DWORD> ProcessesNamed(const std::string& image) {
    return ProcessesWhere([&](const PROCESSENTRY32& entry) { return SamePath(entry.szExeFile, image); });
}

namespace {

struct TitleSearch {
    std::string caption;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTitled(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<TitleSearch*>(lp);
    if (!IsWindowVisible(hwnd)) return TRUE;
    const int length = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hwnd, text.data(), length + 1)));
    if (text == search->caption) search->found.push_back(hwnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> WindowsTitled(const std::string& caption) {
    TitleSearch search{caption, {}};
    EnumWindows(CollectTitled, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ItemText(HWND window, int id) {
    HWND item = GetDlgItem(window, id);
    if (!item) return {};
    const LRESULT length = SendMessageA(item, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(item, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

bool CloseAndWaitForExit(HWND window, DWORD milliseconds) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
    PostMessageA(window, WM_CLOSE, 0, 0);
    return process && WaitForSingleObject(process.get(), milliseconds) == WAIT_OBJECT_0;
}

}  // namespace e2e
