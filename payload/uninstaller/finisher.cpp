#include "payload/uninstaller/finisher.h"

#include <windows.h>
#include <ntsecapi.h>
#include <sddl.h>

#include "engine/install_contract.h"
#include "payload/uninstaller/win_system.h"
#include "toolkit/program_text.h"
#include "toolkit/win_handles.h"

namespace qv {
namespace {

// How long the copy keeps trying to delete the uninstaller after it ended:
// the system may hold the file a moment longer than the process.
constexpr int kDeleteAttempts = 50;
constexpr DWORD kDeletePauseMs = 200;

// The handover folder's name: this prefix and 128 random bits in hex.
constexpr char kHandoverPrefix[] = "qvu-";
constexpr size_t kRandomBytes = 16;
// Full control for SYSTEM and the Administrators, nothing for anyone else,
// and nothing inherited from the temporary folder.
constexpr wchar_t kHandoverAccess[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

std::string RandomHex(size_t bytes) {
    std::vector<unsigned char> random(bytes);
    if (!RtlGenRandom(random.data(), static_cast<ULONG>(random.size()))) return std::string();
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : random) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex;
}

bool IsHandoverFolder(const std::string& folder) {
    const std::string name = folder.substr(folder.find_last_of('\\') + 1);
    return name.size() == sizeof kHandoverPrefix - 1 + 2 * kRandomBytes &&
           name.compare(0, sizeof kHandoverPrefix - 1, kHandoverPrefix) == 0;
}

// A handle to this process that the copy inherits and waits on.
UniqueHandle InheritableSelfHandle() {
    HANDLE handle = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &handle,
                         SYNCHRONIZE | PROCESS_QUERY_INFORMATION, TRUE, 0)) {
        return UniqueHandle();
    }
    return UniqueHandle(handle);
}

bool Launch(const std::string& program, const std::string& arguments, const std::string& folder) {
    std::wstring commandLine = ToWide("\"" + program + "\" " + arguments);  // the call may write into it
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(ToWide(program).c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        ToWide(folder).c_str(), &startup, &info)) {
        return false;
    }
    const StartedProcess started(info);  // not waited for: it waits for us
    return true;
}

bool DeleteWhenFree(const std::string& path) {
    for (int attempt = 0; attempt < kDeleteAttempts; ++attempt) {
        if (RemoveFileForce(path) || GetFileAttributesW(ToWide(path).c_str()) == INVALID_FILE_ATTRIBUTES) {
            return true;
        }
        Sleep(kDeletePauseMs);
    }
    return false;
}

// A fresh folder for the copy; empty when it cannot be made.
std::string MakeHandoverFolder() {
    const std::string random = RandomHex(kRandomBytes);
    if (random.empty()) return std::string();
    const std::string folder = FullPathOf(TempFolder() + kHandoverPrefix + random);
    UniqueLocalMemory descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kHandoverAccess, SDDL_REVISION_1,
                                                              descriptor.put(), nullptr)) {
        return std::string();
    }
    SECURITY_ATTRIBUTES security{sizeof security, descriptor.get(), FALSE};
    // Fails when the name exists: the folder is always a fresh one.
    if (!CreateDirectoryW(ToWide(folder).c_str(), &security)) return std::string();
    return folder;
}

}  // namespace

bool StartFinisher(const std::string& self, const std::vector<std::string>& folders) {
    const std::string folder = MakeHandoverFolder();
    if (folder.empty()) return false;
    const std::string copy = folder + "\\" + contract::kUninstallerFileName;
    UniqueHandle me = InheritableSelfHandle();
    FinishRequest request;
    request.processHandle = static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(me.get()));
    request.self = self;
    request.folders = folders;
    // The copy works in the system folder: not one it removes, and not one
    // that others can write to.
    if (me && CopyFileW(ToWide(ModulePath()).c_str(), ToWide(copy).c_str(), TRUE) &&
        Launch(copy, FormatFinishArguments(request), SystemFolderText())) {
        return true;
    }
    DeleteFileW(ToWide(copy).c_str());
    RemoveDirectoryW(ToWide(folder).c_str());
    return false;
}

std::vector<std::string> ScheduleRemovalAtRestart(const std::vector<std::string>& paths) {
    std::vector<std::string> failed;
    for (const std::string& path : paths) {
        if (!MoveFileExW(ToWide(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) failed.push_back(path);
    }
    return failed;
}

int RunFinisher(const FinishRequest& request) {
    const HANDLE given = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(request.processHandle));
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(given, &exitCode)) return 1;  // not a process handle
    const UniqueHandle uninstaller(given);
    if (WaitForSingleObject(uninstaller.get(), INFINITE) != WAIT_OBJECT_0) return 1;

    if (DeleteWhenFree(request.self)) {
        WinRemovalSystem system;
        for (const std::string& folder : request.folders) system.RemoveEmptyFolder(folder);
    } else {
        std::vector<std::string> later{request.self};
        later.insert(later.end(), request.folders.begin(), request.folders.end());
        ScheduleRemovalAtRestart(later);
    }

    // The copy's own file and folder go now, or else at the next restart.
    const std::string copy = ModulePath();
    const std::string folder = FolderOf(copy);
    std::vector<std::string> later;
    if (!DeleteFileW(ToWide(copy).c_str())) later.push_back(copy);
    if (IsHandoverFolder(folder) && !RemoveDirectoryW(ToWide(folder).c_str())) later.push_back(folder);
    ScheduleRemovalAtRestart(later);
    return 0;
}

}  // namespace qv
