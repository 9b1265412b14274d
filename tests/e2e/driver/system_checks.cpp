#include "tests/e2e/driver/system_checks.h"

#include <sddl.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <set>
#include <thread>

#include "toolkit/program_text.h"
#include "toolkit/win_handles.h"

#ifndef QV_PAYLOAD_FILES
#error "QV_PAYLOAD_FILES names the folder of the packed payload files"
#endif

namespace e2e {
namespace {

using qv::FindHandle;
using qv::UniqueHandle;
using qv::UniqueLocalMemory;
using qv::UniqueRegKey;

std::uint64_t Join(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

// The form of a path that the wide calls take at any length.
std::wstring Extended(const std::string& path) { return L"\\\\?\\" + qv::ToWide(path); }

void ListInto(const std::string& folder, const std::vector<std::string>& skip, std::vector<FolderEntry>& out) {
    WIN32_FIND_DATAW found{};
    FindHandle search(FindFirstFileW((Extended(folder) + L"\\*").c_str(), &found));
    if (!search) return;
    std::vector<std::string> folders;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        FolderEntry entry;
        entry.name = folder + "\\" + qv::FromWideOrFail(name);
        entry.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.size = Join(found.nFileSizeHigh, found.nFileSizeLow);
        entry.written = Join(found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime);
        // A link to a folder elsewhere (Wine links the profile's folders
        // to the home folder) is listed but not followed.
        const bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (entry.folder && !link) folders.push_back(entry.name);
        out.push_back(std::move(entry));
    } while (FindNextFileW(search.get(), &found));
    for (const std::string& inner : folders) {
        const bool skipped = std::any_of(skip.begin(), skip.end(),
                                         [&](const std::string& s) { return SamePath(s, inner); });
        if (!skipped) ListInto(inner, skip, out);
    }
}

std::string Hex(const std::string& bytes) {
    std::string out;
    char two[3];
    for (unsigned char c : bytes) {
        std::snprintf(two, sizeof two, "%02x", c);
        out += two;
    }
    return out;
}

// Gives an open key the access list written in SDDL; true when it took it.
bool SetKeyAccess(HKEY key, const wchar_t* accessList) {
    UniqueLocalMemory descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(accessList, SDDL_REVISION_1, descriptor.put(),
                                                              nullptr)) {
        return false;
    }
    return RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor.get()) == ERROR_SUCCESS;
}

// --- Counting what a process holds, where the documented calls say nothing ---

constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);

struct SystemHandleEntry {
    ULONG ownerPid;
    UCHAR objectType;
    UCHAR flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};

struct SystemHandleTable {
    ULONG count;
    SystemHandleEntry entries[1];
};

using QuerySystemInformation = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
using QueryInformationProcess = NTSTATUS(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);

// A function of ntdll; the cast goes through the generic function type.
template <typename Function>
Function NtFunction(const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

long HandlesFromSystemTable(DWORD pid) {
    const auto query = NtFunction<QuerySystemInformation>("NtQuerySystemInformation");
    if (!query) return -1;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        ULONG needed = 0;
        const NTSTATUS status =
            query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == kInfoLengthMismatch && buffer.size() < (64u << 20)) {
            buffer.resize(std::max<size_t>(buffer.size() * 2, needed));
            continue;
        }
        if (status != 0) return -1;
        break;
    }
    const auto* table = reinterpret_cast<const SystemHandleTable*>(buffer.data());
    long count = 0;
    for (ULONG i = 0; i < table->count; ++i) count += table->entries[i].ownerPid == pid ? 1 : 0;
    return count;
}

// One entry of the GDI handle table a process's PEB points to (the same in
// 32- and 64-bit processes).
#pragma pack(push, 1)
struct GdiHandleEntry {
    std::uint64_t object;
    USHORT ownerPid;
    USHORT count;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    std::uint64_t user;
};
#pragma pack(pop)
static_assert(sizeof(GdiHandleEntry) == 24, "GDI handle entry layout");
constexpr size_t kGdiHandleSlots = 0x10000;
// PEB.GdiSharedHandleTable of a process of the driver's own kind: the setup
// program is always of the driver's build.
constexpr size_t kPebGdiTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;

long GdiObjectsFromPeb(HANDLE process) {
    const auto query = NtFunction<QueryInformationProcess>("NtQueryInformationProcess");
    if (!query) return -1;
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (query(process, 0 /* ProcessBasicInformation */, &basic, sizeof basic, &length) != 0) return -1;
    std::uintptr_t table = 0;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<const char*>(basic.PebBaseAddress) + kPebGdiTableOffset, &table,
                           sizeof table, &read) ||
        !table) {
        return -1;
    }
    std::vector<GdiHandleEntry> entries(kGdiHandleSlots);
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                           entries.size() * sizeof(GdiHandleEntry), &read)) {
        return -1;
    }
    long count = 0;
    for (const GdiHandleEntry& entry : entries) count += entry.type != 0 ? 1 : 0;
    return count;
}

BOOL CALLBACK CountChild(HWND, LPARAM lp) {
    ++*reinterpret_cast<long*>(lp);
    return TRUE;
}

// The process's top-level windows and all their children.
long WindowsOf(DWORD pid) {
    long count = 0;
    for (HWND hwnd : TopLevelWindowsOf(pid)) {
        ++count;
        EnumChildWindows(hwnd, CountChild, reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

}  // namespace

// --- Trees ----------------------------------------------------------------------

std::vector<FolderEntry> ListTree(const std::string& root, const std::vector<std::string>& skip) {
    std::vector<FolderEntry> listing;
    ListInto(root, skip, listing);
    std::sort(listing.begin(), listing.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return listing;
}

std::vector<std::string> AddedPaths(const std::vector<FolderEntry>& before, const std::vector<FolderEntry>& after) {
    std::set<std::string> known;
    for (const FolderEntry& entry : before) known.insert(entry.name);
    std::vector<std::string> added;
    for (const FolderEntry& entry : after) {
        if (!known.count(entry.name)) added.push_back(entry.name);
    }
    return added;
}

std::string DescribeState(const std::vector<std::string>& folders, HKEY root, const std::string& key) {
    std::string state;
    for (const std::string& folder : folders) {
        state += folder + (IsFolder(folder) ? " (folder)\n" : " (missing)\n") + Describe(ListTree(folder));
    }
    return state + "registry:\n" + DescribeRegistryKey(root, key);
}

bool WaitUnchanged(const std::function<std::string()>& describe, std::chrono::milliseconds quiet,
                   std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    std::string last = describe();
    auto since = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(100ms);
        std::string now = describe();
        if (now != last) {
            last = std::move(now);
            since = std::chrono::steady_clock::now();
        } else if (std::chrono::steady_clock::now() - since >= quiet) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> PackedPayloadFile(const std::string& name) {
    return ReadWhole(std::string(QV_PAYLOAD_FILES) + "\\" + name);
}

// --- A file another program holds ------------------------------------------------

HeldFile::HeldFile(const std::string& path, const std::string& contents) {
    const size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos) MakeFolders(path.substr(0, slash));
    if (!Exists(path) && !WriteWhole(path, contents)) return;
    handle_.reset(CreateFileW(qv::ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

// --- Registry ---------------------------------------------------------------------

bool RegistryKeyExists(HKEY root, const std::string& key) {
    UniqueRegKey opened;
    const LONG result =
        RegOpenKeyExW(root, qv::ToWide(key).c_str(), 0, KEY_READ | qv::contract::kRegistryView, opened.put());
    // A key nobody may read still exists.
    return result == ERROR_SUCCESS || result == ERROR_ACCESS_DENIED;
}

std::string DescribeRegistryKey(HKEY root, const std::string& key) {
    if (!RegistryKeyExists(root, key)) return "<no key>";
    std::vector<std::string> names = RegistryValueNames(root, key);
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string& name : names) {
        const std::optional<RegistryValue> value = ReadRegistryValue(root, key, name);
        out += name + " type " + std::to_string(value ? value->type : REG_NONE) + ": " +
               (value ? Hex(value->data) : std::string("<unreadable>")) + "\n";
    }
    return out;
}

DeniedRegistryKey::DeniedRegistryKey(HKEY root, std::string key) : root_(root), key_(std::move(key)) {
    UniqueRegKey opened;
    if (RegCreateKeyExW(root_, qv::ToWide(key_).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS | qv::contract::kRegistryView, nullptr, opened.put(), nullptr) != ERROR_SUCCESS) {
        return;
    }
    denied_ = SetKeyAccess(opened.get(), L"D:(D;;KA;;;WD)");
}

void DeniedRegistryKey::Restore() {
    if (!denied_) return;
    // The owner may always change the access list.
    UniqueRegKey opened;
    if (RegOpenKeyExW(root_, qv::ToWide(key_).c_str(), 0, WRITE_DAC | qv::contract::kRegistryView, opened.put()) !=
        ERROR_SUCCESS) {
        return;
    }
    if (SetKeyAccess(opened.get(), L"D:(A;;KA;;;WD)")) denied_ = false;
}

// --- Other programs -------------------------------------------------------------------

bool WaitBoxOf(DWORD pid, const std::string& caption, Box& box, std::chrono::milliseconds limit) {
    return WaitFor(
        [&] {
            for (const Box& found : MessageBoxesOf(pid)) {
                // A box is ready once its text is in place.
                if ((caption.empty() || found.caption == caption) && !found.text.empty()) {
                    box = found;
                    return true;
                }
            }
            return false;
        },
        limit);
}

bool AnswerBox(const Box& box, int button, std::chrono::milliseconds limit) {
    HWND item = GetDlgItem(box.hwnd, button);
    if (!item) return false;
    const auto gone = [&] { return !IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd); };
    // A click that a busy box has not taken after a while is given again;
    // once the box is gone a repeated click has nowhere to go.
    const auto end = std::chrono::steady_clock::now() + limit;
    do {
        PostMessageW(item, BM_CLICK, 0, 0);
        if (WaitFor(gone, 3s)) return true;
    } while (std::chrono::steady_clock::now() < end);
    return gone();
}

bool HasButton(const Box& box, int button) { return GetDlgItem(box.hwnd, button) != nullptr; }

bool Topmost(const Box& box) { return (GetWindowLongW(box.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

std::vector<DWORD> ChildProcesses(DWORD parent) {
    return ProcessesWhere([&](const PROCESSENTRY32W& entry) {
        return entry.th32ParentProcessID == parent && entry.th32ProcessID != parent;
    });
}

bool WaitProcessesEnded(const std::vector<DWORD>& pids, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (DWORD pid : pids) {
        UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
        if (!process) continue;  // already gone
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        const DWORD wait = left.count() > 0 ? static_cast<DWORD>(left.count()) : 0;
        if (WaitForSingleObject(process.get(), wait) != WAIT_OBJECT_0) return false;
    }
    return true;
}

// --- Resources -------------------------------------------------------------------------

ProcessResources CountResources(HANDLE process, DWORD pid) {
    ProcessResources counted;
    DWORD handles = 0;
    if (GetProcessHandleCount(process, &handles) && handles > 0) {
        counted.handles = static_cast<long>(handles);
        counted.source = "handles: GetProcessHandleCount";
    } else {
        counted.handles = HandlesFromSystemTable(pid);
        counted.source = "handles: system handle table";
    }
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    if (gdi > 0 && user > 0) {
        counted.gdiObjects = static_cast<long>(gdi);
        counted.userObjects = static_cast<long>(user);
        counted.source += "; GDI and USER: GetGuiResources";
    } else {
        counted.gdiObjects = GdiObjectsFromPeb(process);
        counted.userObjects = WindowsOf(pid);
        counted.source += "; GDI: the process's GDI handle table; USER: its windows";
    }
    return counted;
}

// --- The display's scale --------------------------------------------------------------

namespace {

constexpr char kDesktopKey[] = "Control Panel\\Desktop";
constexpr char kLogPixels[] = "LogPixels";

bool WriteLogPixels(const std::optional<RegistryValue>& value) {
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, qv::ToWide(kDesktopKey).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring name = qv::ToWide(kLogPixels);
    if (!value) return RegDeleteValueW(key.get(), name.c_str()) == ERROR_SUCCESS;
    // A string value goes back as the UTF-16 it was read from.
    const bool text = value->type == REG_SZ || value->type == REG_EXPAND_SZ || value->type == REG_MULTI_SZ;
    const std::wstring wide = text ? qv::ToWide(value->data) : std::wstring();
    const void* bytes = text ? static_cast<const void*>(wide.data()) : value->data.data();
    const size_t size = text ? wide.size() * sizeof(wchar_t) : value->data.size();
    return RegSetValueExW(key.get(), name.c_str(), 0, value->type, static_cast<const BYTE*>(bytes),
                          static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

}  // namespace

DisplayScale::DisplayScale(int dpi) : previous_(ReadRegistryValue(HKEY_CURRENT_USER, kDesktopKey, kLogPixels)) {
    const DWORD value = static_cast<DWORD>(dpi);
    set_ = WriteLogPixels(RegistryValue{REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value)});
}

DisplayScale::~DisplayScale() {
    if (set_) WriteLogPixels(previous_);
}

}  // namespace e2e
