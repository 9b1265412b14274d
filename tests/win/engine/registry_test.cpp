// The uninstall key, written and read back from the registry.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/install_contract.h"
#include "engine/win_registry.h"
#include "toolkit/win_handles.h"

namespace qv {
namespace {

const char kKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvel V2.0";

struct StoredValue {
    bool found = false;
    DWORD type = 0;
    DWORD size = 0;
    std::string bytes;  // as stored, terminator included
};

StoredValue Query(const char* key, const char* name) {
    StoredValue value;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | qv::contract::kRegistryView, &opened) != ERROR_SUCCESS) return value;
    const UniqueRegKey handle(opened);
    if (RegQueryValueExA(opened, name, nullptr, &value.type, nullptr, &value.size) != ERROR_SUCCESS) {
        return value;
    }
    std::vector<BYTE> data(value.size);
    if (RegQueryValueExA(opened, name, nullptr, &value.type, data.data(), &value.size) == ERROR_SUCCESS) {
        value.found = true;
        value.bytes.assign(data.begin(), data.begin() + value.size);
    }
    return value;
}

void ExpectString(const char* name, const std::string& text) {
    SCOPED_TRACE(name);
    const StoredValue value = Query(kKey, name);
    ASSERT_TRUE(value.found);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.size, text.size() + 1);
    EXPECT_EQ(value.bytes, text + '\0');
}

std::vector<RegistryValue> Values(const std::string& destination) {
    return {
        {"DisplayName", std::string("Кворвель 2.0")},
        {"DisplayIcon", destination + "\\QuorVel.exe"},
        {"DisplayVersion", std::string("2.0")},
        {"UninstallString", destination + "\\UnInstall.exe"},
    };
}

// The names of the values that could not be written.
std::vector<std::string> Write(const std::string& key, const std::vector<RegistryValue>& values) {
    std::vector<std::string> failed;
    WriteMachineValues(key, values, [&](const std::string& name, unsigned long) { failed.push_back(name); });
    return failed;
}

TEST(WinRegistry, WritesEveryValueAsAStringWithItsTerminator) {
    ASSERT_TRUE(Write(kKey, Values("C:\\Program Files\\QuorVel V2.0")).empty());
    ExpectString("DisplayName", "Кворвель 2.0");
    ExpectString("DisplayIcon", "C:\\Program Files\\QuorVel V2.0\\QuorVel.exe");
    ExpectString("DisplayVersion", "2.0");
    ExpectString("UninstallString", "C:\\Program Files\\QuorVel V2.0\\UnInstall.exe");
}

TEST(WinRegistry, SecondWriteReplacesTheValuesAndKeepsOthers) {
    ASSERT_TRUE(Write(kKey, Values("C:\\First")).empty());
    ASSERT_TRUE(Write(kKey, {{"Publisher", std::string("kept")}}).empty());
    ASSERT_TRUE(Write(kKey, Values("D:\\Second place")).empty());
    ExpectString("DisplayIcon", "D:\\Second place\\QuorVel.exe");
    ExpectString("UninstallString", "D:\\Second place\\UnInstall.exe");
    ExpectString("Publisher", "kept");
    EXPECT_EQ(ReadMachineString(kKey, "UninstallString"), "D:\\Second place\\UnInstall.exe");
    EXPECT_EQ(ReadMachineString(kKey, "NoSuchValue"), "");
}

TEST(WinRegistry, NumbersAndListsKeepTheirTypesAndListsReadBack) {
    const std::vector<std::string> folders = {"C:\\a", "C:\\a\\Кворвель"};
    ASSERT_TRUE(Write(kKey, {{"NoModify", std::uint32_t{1}}, {"CreatedFolders", folders}}).empty());
    const StoredValue number = Query(kKey, "NoModify");
    EXPECT_EQ(number.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(number.bytes, std::string("\1\0\0\0", 4));
    const StoredValue list = Query(kKey, "CreatedFolders");
    EXPECT_EQ(list.type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(list.bytes, std::string("C:\\a\0C:\\a\\Кворвель\0\0", 20));
    EXPECT_EQ(ReadMachineStrings(kKey, "CreatedFolders"), folders);
    EXPECT_TRUE(ReadMachineStrings(kKey, "NoModify").empty());
    EXPECT_EQ(ReadMachineString(kKey, "CreatedFolders"), "");
    EXPECT_TRUE(ReadMachineStrings("SOFTWARE\\NoSuchKey", "CreatedFolders").empty());
}

TEST(WinRegistry, KeyThatCannotBeMadeIsAFailure) {
    // A key name is at most 255 characters long: no value is written.
    EXPECT_EQ(Write("SOFTWARE\\" + std::string(300, 'k'), Values("C:\\Q")).size(), Values("C:\\Q").size());
}

TEST(WinRegistry, AValueThatCannotBeWrittenDoesNotStopTheOthers) {
    // A value name is at most 16383 characters long.
    const std::string tooLong(20000, 'v');
    std::vector<RegistryValue> values = Values("C:\\Q");
    values.insert(values.begin() + 1, {tooLong, std::string("x")});
    EXPECT_EQ(Write(kKey, values), std::vector<std::string>{tooLong});
    ExpectString("DisplayName", "Кворвель 2.0");
    ExpectString("UninstallString", "C:\\Q\\UnInstall.exe");
}

}  // namespace
}  // namespace qv
