#pragma once
// Whether installation may go on: the current process's token lists the
// built-in Administrators group (any attributes), or the system is of the
// Windows 95/98/Me family, which has no tokens.
#include <windows.h>

namespace qv {

// The system calls the check makes. The program uses the real ones; tests
// hand in their own to reach the refusal paths.
struct PrivilegeApi {
    DWORD(WINAPI* getVersion)();
    BOOL(WINAPI* openProcessToken)(HANDLE process, DWORD access, PHANDLE token);
    BOOL(WINAPI* getTokenInformation)(HANDLE token, TOKEN_INFORMATION_CLASS cls, LPVOID buffer,
                                      DWORD size, PDWORD needed);
};

const PrivilegeApi& SystemPrivilegeApi();

bool IsAdministrator(const PrivilegeApi& api = SystemPrivilegeApi());

}  // namespace qv
