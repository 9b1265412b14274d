#include "tests/e2e/driver/system.h"

#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "engine/text.h"
#include "tests/e2e/driver/driver.h"
#include "toolkit/growing_text.h"
#include "toolkit/program_text.h"
#include "toolkit/utf.h"
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
void ForEachEntry(const std::wstring& folder, Visit visit) {
    WIN32_FIND_DATAW found{};
    FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!search) return;
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") visit(found);
    } while (FindNextFileW(search.get(), &found));
}

void RemoveWideTree(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(path.c_str());
        return;
    }
    std::vector<std::wstring> inside;
    ForEachEntry(path, [&](const WIN32_FIND_DATAW& found) { inside.push_back(path + L"\\" + found.cFileName); });
    for (const std::wstring& entry : inside) RemoveWideTree(entry);
    RemoveDirectoryW(path.c_str());
}

// Reads a text field of the link into a buffer that grows until it fits.
template <typename Get>
std::string LinkText(Get get) {
    for (int size = 1024; size <= (1 << 16); size *= 4) {
        std::wstring text(static_cast<size_t>(size), L'\0');
        get(text.data(), size);
        const size_t length = text.find(L'\0');
        if (length + 1 < static_cast<size_t>(size)) {
            text.resize(length);
            return qv::FromWideOrFail(text);
        }
    }
    return {};
}

bool IsTextValue(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

bool DeleteWideRegistryTree(HKEY root, const std::wstring& key) {
    {
        UniqueRegKey opened;
        const LONG result =
            RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | KEY_WRITE | qv::contract::kRegistryView, opened.put());
        if (result == ERROR_FILE_NOT_FOUND) return true;
        if (result != ERROR_SUCCESS) return false;
        DWORD longest = 0;
        RegQueryInfoKeyW(opened.get(), nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr);
        for (;;) {
            std::wstring name(static_cast<size_t>(longest) + 1, L'\0');
            DWORD length = longest + 1;
            if (RegEnumKeyExW(opened.get(), 0, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                break;
            }
            name.resize(length);
            if (!DeleteWideRegistryTree(root, key + L"\\" + name)) return false;
        }
    }
    return RegDeleteKeyExW(root, key.c_str(), qv::contract::kRegistryView, 0) == ERROR_SUCCESS;
}

}  // namespace

// --- Files --------------------------------------------------------------------

bool Exists(const std::string& path) {
    return GetFileAttributesW(qv::ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(qv::ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadWhole(const std::string& path) {
    std::ifstream in(qv::ToWide(path).c_str(), std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
    std::ofstream out(qv::ToWide(path).c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::optional<std::string> ReadTextFile(const std::string& path) {
    std::optional<std::string> bytes = ReadWhole(path);
#if defined(QV_UTF8_TEXT)
    if (!bytes) return bytes;
    if (bytes->rfind("\xFF\xFE", 0) != 0) {
        const int size = static_cast<int>(bytes->size());
        std::wstring wide(static_cast<std::size_t>(size), L'\0');
        wide.resize(static_cast<std::size_t>(
            MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes->data(), size, wide.data(), size)));
        if (wide.empty() && size) return std::string("(not text in the ANSI code page)");
        return qv::FromWide(wide).value_or("(not text)");
    }
    return qv::Utf16LeToUtf8(std::string_view(*bytes).substr(2)).value_or("(not UTF-16)");
#else
    return bytes;
#endif
}

std::string TextOf1251(const std::string& bytes) {
    const std::optional<std::u16string> units = qv::Utf8ToUtf16(qv::cp1251::ToUtf8(bytes));
    return qv::FromWide(std::wstring(units->begin(), units->end())).value_or("(not text)");
}

void RemoveTree(const std::string& path) { RemoveWideTree(qv::ToWide(path)); }

bool MakeFolders(const std::string& path) {
    if (path.empty() || IsFolder(path)) return !path.empty();
    const size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos && slash > 2) MakeFolders(path.substr(0, slash));
    return CreateDirectoryW(qv::ToWide(path).c_str(), nullptr) || IsFolder(path);
}

std::string WinePath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool StartLinuxTool(const std::string& tool, const std::wstring& arguments, const std::string& folder) {
    const std::string path = "Z:\\bin\\" + tool;
    if (!Exists(path)) return false;
    std::wstring commandLine = L"\"" + qv::ToWide(path) + L"\" " + arguments;
    const std::wstring wideFolder = qv::ToWide(folder);
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
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName) return false;
    const auto unix = [&](const std::string& path) {
        char* name = unixName(qv::ToWide(path).c_str());
        if (!name) return std::wstring();
        const std::optional<std::u16string> out = qv::Utf8ToUtf16(name);
        HeapFree(GetProcessHeap(), 0, name);
        return out ? std::wstring(out->begin(), out->end()) : std::wstring();
    };
    const std::wstring from = unix(target);
    const std::wstring to = unix(link);
    if (from.empty() || to.empty()) return false;
    if (!StartLinuxTool("ln", L"-s \"" + from + L"\" \"" + to + L"\"")) return false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!Exists(link)) {
        if (std::chrono::steady_clock::now() > end) return false;
        Sleep(20);
    }
    return true;
}

ScratchFolder::ScratchFolder() {
    const std::wstring base = qv::GrowingWideText(
        [](wchar_t* buffer, unsigned long size) { return GetTempPathW(size, buffer); }, MAX_PATH + 1);
    if (base.empty()) throw std::runtime_error("no temporary folder");
    for (unsigned i = GetTickCount() % 100000;; ++i) {
        const std::wstring path =
            base + L"qv_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(i);
        path_ = qv::FromWideOrFail(path);
        if (CreateDirectoryW(path.c_str(), nullptr)) return;
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot make " + path_);
    }
}

std::vector<FolderEntry> ListFolder(const std::string& folder) {
    std::vector<FolderEntry> listing;
    ForEachEntry(qv::ToWide(folder), [&](const WIN32_FIND_DATAW& found) {
        FolderEntry entry;
        entry.name = qv::FromWideOrFail(found.cFileName);
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

bool SamePath(const std::string& a, const std::string& b) { return qv::EqualNoCase(a, b); }

// --- Shell ----------------------------------------------------------------------

std::string ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};  // the size SHGetFolderPathW requires
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return qv::FromWideOrFail(path);
}

std::optional<ShortcutFields> ReadShortcut(const std::string& file) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put_void())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, persist.put_void())) ||
        FAILED(persist->Load(qv::ToWide(file).c_str(), STGM_READ))) {
        return std::nullopt;
    }
    ShortcutFields fields;
    fields.target = LinkText([&](wchar_t* b, int n) { link->GetPath(b, n, nullptr, SLGP_RAWPATH); });
    // The item list names the target in Unicode; Wine keeps the path above
    // in 8 bits only, which turns a name outside the code page into «?».
    qv::UniqueItemIdList list;
    if (SUCCEEDED(link->GetIDList(list.put())) && list) {
        wchar_t listed[MAX_PATH] = {};  // the size SHGetPathFromIDListW is defined to fill
        if (SHGetPathFromIDListW(list.get(), listed)) fields.target = qv::FromWideOrFail(listed);
    }
    fields.workingFolder = LinkText([&](wchar_t* b, int n) { link->GetWorkingDirectory(b, n); });
    fields.arguments = LinkText([&](wchar_t* b, int n) { link->GetArguments(b, n); });
    fields.description = LinkText([&](wchar_t* b, int n) { link->GetDescription(b, n); });
    fields.iconFile = LinkText([&](wchar_t* b, int n) { link->GetIconLocation(b, n, &fields.iconIndex); });
    link->GetShowCmd(&fields.showCommand);
    link->GetHotkey(&fields.hotKey);
    return fields;
}

// --- Registry -------------------------------------------------------------------

std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::string& key, const std::string& name) {
    UniqueRegKey opened;
    if (RegOpenKeyExW(root, qv::ToWide(key).c_str(), 0, KEY_READ | qv::contract::kRegistryView, opened.put()) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    const std::wstring wideName = qv::ToWide(name);
    RegistryValue value;
    DWORD size = 0;
    if (RegQueryValueExW(opened.get(), wideName.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.assign(size, '\0');
    if (RegQueryValueExW(opened.get(), wideName.c_str(), nullptr, &value.type,
                         reinterpret_cast<BYTE*>(value.data.data()), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    if (!IsTextValue(value.type)) return value;
    // The system keeps a string value in UTF-16: every unit, terminators
    // included, becomes this program's text.
    std::wstring wide(size / sizeof(wchar_t), L'\0');
    std::memcpy(wide.data(), value.data.data(), wide.size() * sizeof(wchar_t));
    std::optional<std::string> text = qv::FromWide(wide);
    if (!text) return std::nullopt;
    value.data = std::move(*text);
    return value;
}

std::vector<std::string> RegistryValueNames(HKEY root, const std::string& key) {
    std::vector<std::string> names;
    UniqueRegKey opened;
    if (RegOpenKeyExW(root, qv::ToWide(key).c_str(), 0, KEY_READ | qv::contract::kRegistryView, opened.put()) !=
        ERROR_SUCCESS) {
        return names;
    }
    DWORD count = 0;
    DWORD longest = 0;
    if (RegQueryInfoKeyW(opened.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longest,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return names;
    }
    for (DWORD i = 0; i < count; ++i) {
        std::wstring name(static_cast<size_t>(longest) + 1, L'\0');
        DWORD length = longest + 1;
        if (RegEnumValueW(opened.get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS) {
            name.resize(length);
            names.push_back(qv::FromWideOrFail(name));
        }
    }
    return names;
}

bool DeleteRegistryTree(HKEY root, const std::string& key) { return DeleteWideRegistryTree(root, qv::ToWide(key)); }

// --- Processes and their windows ----------------------------------------------------

std::vector<DWORD> ProcessesWhere(const std::function<bool(const PROCESSENTRY32W&)>& wanted) {
    std::vector<DWORD> found;
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (wanted(entry)) found.push_back(entry.th32ProcessID);
    }
    return found;
}

std::vector<DWORD> ProcessesNamed(const std::string& image) {
    return ProcessesWhere([&](const PROCESSENTRY32W& entry) {
        const std::optional<std::string> name = qv::FromWide(entry.szExeFile);
        return name && SamePath(*name, image);
    });
}

namespace {

// Captions are compared in UTF-16, as the system keeps them: the title of
// another program's window need not be a text this program can hold.
struct TitleSearch {
    std::wstring caption;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTitled(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<TitleSearch*>(lp);
    if (!IsWindowVisible(hwnd)) return TRUE;
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
    if (text == search->caption) search->found.push_back(hwnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> WindowsTitled(const std::string& caption) {
    TitleSearch search{qv::ToWide(caption), {}};
    EnumWindows(CollectTitled, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ItemText(HWND window, int id) {
    HWND item = GetDlgItem(window, id);
    return item ? TextOf(item) : std::string();
}

bool CloseAndWaitForExit(HWND window, DWORD milliseconds) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
    PostMessageW(window, WM_CLOSE, 0, 0);
    return process && WaitForSingleObject(process.get(), milliseconds) == WAIT_OBJECT_0;
}

}  // namespace e2e
