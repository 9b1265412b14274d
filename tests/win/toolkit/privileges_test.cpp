// The privilege check, walked through every way it can answer.
#include <gtest/gtest.h>

#include <vector>

#include "wizard/is_administrator.h"

namespace qv {
namespace {

// The answers the fake system gives, and what was asked of it.
struct Script {
    DWORD version = 0x0A280105;  // an NT-family version word
    bool openFails = false;
    DWORD sizeQueryError = ERROR_INSUFFICIENT_BUFFER;
    bool secondQueryFails = false;
    std::vector<WELL_KNOWN_SID_TYPE> groups;
    DWORD adminAttributes = SE_GROUP_ENABLED;
    int opens = 0;
    int queries = 0;
} script;

DWORD WINAPI FakeVersion() { return script.version; }

BOOL WINAPI FakeOpen(HANDLE, DWORD access, PHANDLE token) {
    ++script.opens;
    EXPECT_EQ(access, static_cast<DWORD>(TOKEN_QUERY));
    *token = nullptr;
    return script.openFails ? FALSE : TRUE;
}

BOOL WINAPI FakeGroups(HANDLE, TOKEN_INFORMATION_CLASS cls, LPVOID buffer, DWORD size, PDWORD needed) {
    ++script.queries;
    EXPECT_EQ(cls, TokenGroups);
    const DWORD count = static_cast<DWORD>(script.groups.size());
    const DWORD header = offsetof(TOKEN_GROUPS, Groups) + count * sizeof(SID_AND_ATTRIBUTES);
    const DWORD total = header + count * SECURITY_MAX_SID_SIZE;
    *needed = total;
    if (!buffer) {
        SetLastError(script.sizeQueryError);
        return FALSE;
    }
    if (script.secondQueryFails || size < total) return FALSE;
    auto* groups = static_cast<TOKEN_GROUPS*>(buffer);
    groups->GroupCount = count;
    auto* sids = static_cast<BYTE*>(buffer) + header;
    for (DWORD i = 0; i < count; ++i) {
        DWORD sidSize = SECURITY_MAX_SID_SIZE;
        BYTE* sid = sids + i * SECURITY_MAX_SID_SIZE;
        CreateWellKnownSid(script.groups[i], nullptr, sid, &sidSize);
        groups->Groups[i].Sid = sid;
        groups->Groups[i].Attributes =
            script.groups[i] == WinBuiltinAdministratorsSid ? script.adminAttributes : SE_GROUP_ENABLED;
    }
    return TRUE;
}

const PrivilegeApi kFake{FakeVersion, FakeOpen, FakeGroups};

class PrivilegeTest : public ::testing::Test {
protected:
    void SetUp() override {
        script = Script{};
        script.groups = {WinWorldSid, WinBuiltinUsersSid, WinBuiltinAdministratorsSid};
    }
};

TEST_F(PrivilegeTest, TheOldWindowsFamilyPassesWithoutLookingAtATokenTheRealSystemToo) {
    script.version = 0x80000A04;
    EXPECT_TRUE(IsAdministrator(kFake));
    EXPECT_EQ(script.opens, 0);
    // Wine gives its user the Administrators group.
    EXPECT_TRUE(IsAdministrator());
}

TEST_F(PrivilegeTest, TheAdministratorsGroupPassesWhateverItsAttributes) {
    for (DWORD attributes : {DWORD{SE_GROUP_ENABLED}, DWORD{SE_GROUP_USE_FOR_DENY_ONLY}, DWORD{0}}) {
        script.adminAttributes = attributes;
        EXPECT_TRUE(IsAdministrator(kFake)) << attributes;
    }
}

TEST_F(PrivilegeTest, EveryFailureIsARefusal) {
    script.groups = {WinWorldSid, WinBuiltinUsersSid};
    EXPECT_FALSE(IsAdministrator(kFake)) << "no Administrators group";

    SetUp();
    script.openFails = true;
    EXPECT_FALSE(IsAdministrator(kFake)) << "token cannot be opened";
    EXPECT_EQ(script.queries, 0);

    SetUp();
    script.sizeQueryError = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(IsAdministrator(kFake)) << "size query fails otherwise";
    EXPECT_EQ(script.queries, 1);

    SetUp();
    script.secondQueryFails = true;
    EXPECT_FALSE(IsAdministrator(kFake)) << "second query fails";

    SetUp();
    script.groups = {};
    EXPECT_FALSE(IsAdministrator(kFake)) << "no groups at all";
}

}  // namespace
}  // namespace qv
