#pragma once
// Test builds only: a privilege source whose token lists the Users group
// and not the Administrators group, so the refusal path can be walked.
#include <windows.h>

#include "wizard/is_administrator.h"

namespace qv {

inline BOOL WINAPI TestOpenToken(HANDLE, DWORD, PHANDLE token) {
    *token = nullptr;  // nothing to close
    return TRUE;
}

inline BOOL WINAPI TestTokenGroups(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID buffer, DWORD size, PDWORD needed) {
    struct Groups {
        TOKEN_GROUPS groups;
        BYTE sid[SECURITY_MAX_SID_SIZE];
    };
    *needed = sizeof(Groups);
    if (!buffer || size < sizeof(Groups)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* out = static_cast<Groups*>(buffer);
    DWORD sidSize = sizeof out->sid;
    CreateWellKnownSid(WinBuiltinUsersSid, nullptr, out->sid, &sidSize);
    out->groups.GroupCount = 1;
    out->groups.Groups[0].Sid = out->sid;
    out->groups.Groups[0].Attributes = SE_GROUP_ENABLED;
    return TRUE;
}

inline const PrivilegeApi& TestPrivilegeApi() {
    static const PrivilegeApi api{GetVersion, TestOpenToken, TestTokenGroups};
    return api;
}

}  // namespace qv
