#include "wizard/is_administrator.h"

#include <cstddef>
#include <new>
#include <vector>

#include "toolkit/win_handles.h"

namespace qv {
namespace {

struct SidTraits {
    static PSID invalid() { return nullptr; }
    static bool valid(PSID sid) { return sid != nullptr; }
    static void close(PSID sid) { FreeSid(sid); }
};
using UniqueSid = UniqueResource<PSID, SidTraits>;

}  // namespace

const PrivilegeApi& SystemPrivilegeApi() {
    static const PrivilegeApi api{GetVersion, OpenProcessToken, GetTokenInformation};
    return api;
}

bool IsAdministrator(const PrivilegeApi& api) {
    if (api.getVersion() & 0x80000000u) return true;  // 95/98/Me: no tokens to look at

    UniqueHandle token;
    if (!api.openProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;

    DWORD needed = 0;
    if (!api.getTokenInformation(token.get(), TokenGroups, nullptr, 0, &needed) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return false;
    }
    if (needed < sizeof(TOKEN_GROUPS)) return false;
    std::vector<unsigned char> buffer;
    try {
        buffer.resize(needed);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!api.getTokenInformation(token.get(), TokenGroups, buffer.data(), needed, &needed)) return false;

    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    UniqueSid administrators;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0,
                                  0, 0, 0, 0, 0, administrators.put())) {
        return false;
    }

    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    // Never read past the buffer, whatever count the token reports.
    const size_t room = (buffer.size() - offsetof(TOKEN_GROUPS, Groups)) / sizeof(SID_AND_ATTRIBUTES);
    const size_t count = groups->GroupCount < room ? groups->GroupCount : room;
    for (size_t i = 0; i < count; ++i) {
        // Only the identifier counts: enabled, deny-only or not, the group is listed.
        if (EqualSid(groups->Groups[i].Sid, administrators.get())) return true;
    }
    return false;
}

}  // namespace qv
