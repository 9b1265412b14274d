// Shortcuts made by CreateShortcut, read back through the shell link object
// by the end-to-end driver.
#include <optional>

#include <gtest/gtest.h>

#include "engine/win_shortcut.h"
#include "toolkit/program_text.h"
#include "tests/e2e/driver/system.h"

namespace qv {
namespace {

using e2e::ScratchFolder;

class WinShortcut : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(com.ok());
        for (const char* name : {"QuorVel.exe", "QuorVel.chm", "UnInstall.exe"}) {
            e2e::WriteWhole(scratch / name, "target");
        }
    }

    ComApartment com;
    ScratchFolder scratch;
};

TEST_F(WinShortcut, EveryFieldReadsBackAsWritten) {
    const std::string target = scratch / "QuorVel.chm";
    const std::string file = scratch / "Справка по Кворвель 2.0.lnk";
    ASSERT_EQ(CreateShortcut(file, target, scratch.Path(), "", 0, SW_SHOWNORMAL, target, 0), S_OK);

    const std::optional<e2e::ShortcutFields> fields = e2e::ReadShortcut(file);
    ASSERT_TRUE(fields.has_value());
    EXPECT_EQ(fields->target, target);
    EXPECT_EQ(fields->workingFolder, scratch.Path());
    EXPECT_EQ(fields->arguments, "");
    EXPECT_EQ(fields->description, "");
    EXPECT_EQ(fields->iconFile, target);
    EXPECT_EQ(fields->iconIndex, 0);
    EXPECT_EQ(fields->showCommand, SW_SHOWNORMAL);
    EXPECT_EQ(fields->hotKey, 0);
}

TEST_F(WinShortcut, CyrillicFileNameReachesTheDiskAsItself) {
    const std::string file = scratch / "Кворвель 2.0.lnk";
    ASSERT_EQ(CreateShortcut(file, scratch / "QuorVel.exe", scratch.Path(), "", 0, 1,
                               scratch / "QuorVel.exe", 0), S_OK);
    const std::wstring wide = qv::ToWide(file);
    EXPECT_EQ(wide.substr(wide.size() - 16), L"Кворвель 2.0.lnk");
    EXPECT_NE(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(WinShortcut, ExistingShortcutIsReplaced) {
    const std::string path = scratch / "Удалить Кворвель 2.0.lnk";
    const std::string& file = path;
    ASSERT_EQ(CreateShortcut(file, scratch / "QuorVel.exe", scratch.Path(), "", 0, 1,
                               scratch / "QuorVel.exe", 0), S_OK);
    ASSERT_EQ(CreateShortcut(file, scratch / "UnInstall.exe", scratch.Path(), "", 0, 1,
                               scratch / "UnInstall.exe", 0), S_OK);
    const std::optional<e2e::ShortcutFields> fields = e2e::ReadShortcut(path);
    ASSERT_TRUE(fields.has_value());
    EXPECT_EQ(fields->target, scratch / "UnInstall.exe");
    EXPECT_EQ(fields->iconFile, scratch / "UnInstall.exe");
}

TEST_F(WinShortcut, FolderThatDoesNotExistFailsWithoutAFile) {
    const std::string file = scratch / "missing\\Кворвель 2.0.lnk";
    EXPECT_TRUE(FAILED(CreateShortcut(file, scratch / "QuorVel.exe", scratch.Path(), "", 0, 1,
                                scratch / "QuorVel.exe", 0)));
    EXPECT_FALSE(e2e::Exists(file));
}

TEST(WinText, ProgramTextReachesTheWideCallsWhole) {
    EXPECT_EQ(qv::ToWide(""), L"");
    EXPECT_EQ(qv::ToWide("Ёж"), L"Ёж");
    const std::string longText(5000, 'a');
    EXPECT_EQ(qv::ToWide(longText).size(), 5000u);
}

}  // namespace
}  // namespace qv
