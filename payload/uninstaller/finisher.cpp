#include "payload/uninstaller/finisher.h"

#include <windows.h>

#include "toolkit/win_handles.h"
#include "payload/uninstaller/win_system.h"

namespace qv {
namespace {

// How long the copy keeps trying to delete the uninstaller after it ended:
// the system may hold the file a moment longer than the process.
constexpr int kDeleteAttempts = 50;
constexpr DWORD kDeletePauseMs = 200;

std::string UniqueTempFile(const std::string& folder) {
    char name[MAX_PATH] = {};  // GetTempFileNameA is defined to fill MAX_PATH
    if (!GetTempFileNameA(folder.c_str(), "qvu", 0, name)) return std::string();
    return name;
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
    std::string commandLine = "\"" + program + "\" " + arguments;
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(program.c_str(), mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        folder.c_str(), &startup, &info)) {
        return false;
    }
    const StartedProcess started(info);  // not waited for: it waits for us
    return true;
}

bool DeleteWhenFree(const std::string& path) {
    for (int attempt = 0; attempt < kDeleteAttempts; ++attempt) {
        if (RemoveFileForce(path) || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            return true;
        }
        Sleep(kDeletePauseMs);
    }
    return false;
}

}  // namespace

bool StartFinisher(const std::string& self, const std::vector<std::string>& folders) {
    const std::string temp = TempFolder();
    const std::string copy = UniqueTempFile(temp);
    if (copy.empty()) return false;
    UniqueHandle me = InheritableSelfHandle();
    if (!me || !CopyFileA(ModulePath().c_str(), copy.c_str(), FALSE)) {
        DeleteFileA(copy.c_str());
        return false;
    }
    FinishRequest request;
    request.processHandle = static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(me.get()));
    request.self = self;
    request.folders = folders;
    if (!Launch(copy, FormatFinishArguments(request), temp)) {
        DeleteFileA(copy.c_str());
        return false;
    }
    return true;
}

std::vector<std::string> ScheduleRemovalAtRestart(const std::vector<std::string>& paths) {
    std::vector<std::string> failed;
    for (const std::string& path : paths) {
        if (!MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) failed.push_back(path);
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

    const std::string copy = ModulePath();
    if (!DeleteFileA(copy.c_str())) ScheduleRemovalAtRestart({copy});
    return 0;
}

}  // namespace qv
