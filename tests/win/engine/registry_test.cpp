// The uninstall key, written and read back from the registry.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/win_registry.h"
#include "tests/e2e/driver/scenario.h"

namespace qv {
namespace {

using e2e::kUninstallKey;

// The value as stored under the uninstall key, terminator included.
e2e::RegistryValue Stored(const char* name) {
    return e2e::ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, name).value_or(e2e::RegistryValue{});
}

void ExpectString(const char* name, const std::string& text) {
    SCOPED_TRACE(name);
    const e2e::RegistryValue value = Stored(name);
    ASSERT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.data.size(), text.size() + 1);
    EXPECT_EQ(value.data, text + '\0');
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
    ASSERT_TRUE(Write(kUninstallKey, Values("C:\\Program Files\\QuorVel V2.0")).empty());
    ExpectString("DisplayName", "Кворвель 2.0");
    ExpectString("DisplayIcon", "C:\\Program Files\\QuorVel V2.0\\QuorVel.exe");
    ExpectString("DisplayVersion", "2.0");
    ExpectString("UninstallString", "C:\\Program Files\\QuorVel V2.0\\UnInstall.exe");
}

TEST(WinRegistry, SecondWriteReplacesTheValuesAndKeepsOthers) {
    ASSERT_TRUE(Write(kUninstallKey, Values("C:\\First")).empty());
    ASSERT_TRUE(Write(kUninstallKey, {{"Publisher", std::string("kept")}}).empty());
    ASSERT_TRUE(Write(kUninstallKey, Values("D:\\Second place")).empty());
    ExpectString("DisplayIcon", "D:\\Second place\\QuorVel.exe");
    ExpectString("UninstallString", "D:\\Second place\\UnInstall.exe");
    ExpectString("Publisher", "kept");
    EXPECT_EQ(ReadMachineString(kUninstallKey, "UninstallString"), "D:\\Second place\\UnInstall.exe");
    EXPECT_EQ(ReadMachineString(kUninstallKey, "NoSuchValue"), "");
}

TEST(WinRegistry, NumbersAndListsKeepTheirTypesAndListsReadBack) {
    const std::vector<std::string> folders = {"C:\\a", "C:\\a\\Кворвель"};
    ASSERT_TRUE(Write(kUninstallKey, {{"NoModify", std::uint32_t{1}}, {"CreatedFolders", folders}}).empty());
    const auto number = Stored("NoModify");
    EXPECT_EQ(number.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(number.data, std::string("\1\0\0\0", 4));
    const auto list = Stored("CreatedFolders");
    EXPECT_EQ(list.type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(list.data, std::string("C:\\a\0C:\\a\\Кворвель\0\0", 28));  // UTF-8
    EXPECT_EQ(ReadMachineStrings(kUninstallKey, "CreatedFolders"), folders);
    EXPECT_TRUE(ReadMachineStrings(kUninstallKey, "NoModify").empty());
    EXPECT_EQ(ReadMachineString(kUninstallKey, "CreatedFolders"), "");
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
    EXPECT_EQ(Write(kUninstallKey, values), std::vector<std::string>{tooLong});
    ExpectString("DisplayName", "Кворвель 2.0");
    ExpectString("UninstallString", "C:\\Q\\UnInstall.exe");
}

}  // namespace
}  // namespace qv
