// The program group page of the real setup program: the list of existing
// groups read from the common Programs folder at start-up, picking a group,
// and an installation into a picked group without the desktop shortcut.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <set>

#include "tests/e2e/driver/scenario.h"
#include "toolkit/program_text.h"

namespace e2e {
namespace {

// Groups the scenarios put into the Programs folder before setup starts:
// mixed case, so that only an order without regard to case fits them.
const char* const kVisibleGroups[] = {"alpha tools", "Beta", "gamma", "ZULU", "Игры"};
constexpr const char* kHiddenGroup = "Hidden group";
constexpr const char* kSystemGroup = "System group";
constexpr const char* kLooseFile = "readme.txt";

class GroupPage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        programs = ShellFolder(CSIDL_COMMON_PROGRAMS);
        if (programs.empty()) return;
        for (const char* group : kVisibleGroups) MakeFolders(programs + "\\" + group);
        MakeFolders(programs + "\\" + kHiddenGroup);
        SetFileAttributesW(qv::ToWide(programs + "\\" + kHiddenGroup).c_str(), FILE_ATTRIBUTE_HIDDEN);
        MakeFolders(programs + "\\" + kSystemGroup);
        SetFileAttributesW(qv::ToWide(programs + "\\" + kSystemGroup).c_str(), FILE_ATTRIBUTE_SYSTEM);
        WriteWhole(programs + "\\" + kLooseFile, "not a group");
    }

    void SetUp() override {
        ASSERT_FALSE(programs.empty()) << "the system has no common Programs folder";
        ASSERT_TRUE(com.ok());
        // What the list must leave out is really there.
        const DWORD hidden = GetFileAttributesW(qv::ToWide(programs + "\\" + kHiddenGroup).c_str());
        const DWORD system = GetFileAttributesW(qv::ToWide(programs + "\\" + kSystemGroup).c_str());
        ASSERT_NE(hidden, INVALID_FILE_ATTRIBUTES);
        ASSERT_NE(system, INVALID_FILE_ATTRIBUTES);
        ASSERT_TRUE(hidden & FILE_ATTRIBUTE_HIDDEN) << "the file system keeps no hidden attribute";
        ASSERT_TRUE(system & FILE_ATTRIBUTE_SYSTEM) << "the file system keeps no system attribute";
        ASSERT_TRUE(Exists(programs + "\\" + kLooseFile));
    }
    void TearDown() override { CloseApplications(); }

    // The subfolders of the Programs folder that are neither hidden nor system.
    static std::set<std::string> VisibleSubfolders() {
        std::set<std::string> names;
        for (const FolderEntry& entry : ListFolder(programs)) {
            const DWORD attributes = GetFileAttributesW(qv::ToWide(programs + "\\" + entry.name).c_str());
            if (entry.folder && !(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) {
                names.insert(entry.name);
            }
        }
        return names;
    }
    int IndexOf(const std::string& item) const {
        const std::vector<std::string> items = wizard.ListItems("Form5", "ListGroup");
        const auto at = std::find(items.begin(), items.end(), item);
        return at == items.end() ? -1 : static_cast<int>(at - items.begin());
    }
    void Pick(const std::string& group) {
        const int index = IndexOf(group);
        ASSERT_GE(index, 0) << group << " is not listed";
        wizard.ClickListItem("Form5", "ListGroup", index);
        ASSERT_TRUE(WaitFor([&] { return wizard.Text("Form5", "edNameGroup") == group; }))
            << wizard.Text("Form5", "edNameGroup");
    }

    static std::string programs;
    ComApartment com;
    Wizard wizard{QV_SETUP_EXE};
};

std::string GroupPage::programs;

TEST_F(GroupPage, TheListHoldsTheVisibleGroupsAndAPickFillsTheName) {
    ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form5"));
    Wizard::SaveScreen("1x-group-list");
    EXPECT_EQ(wizard.Text("Form5", "edNameGroup"), kDefaultGroup);
    EXPECT_EQ(wizard.ListSelection("Form5", "ListGroup"), -1);

    // The groups of the common Programs folder, hidden and system ones left
    // out, in alphabetical order without regard to case.
    const std::vector<std::string> items = wizard.ListItems("Form5", "ListGroup");
    EXPECT_EQ(std::set<std::string>(items.begin(), items.end()), VisibleSubfolders());
    EXPECT_EQ(IndexOf(kHiddenGroup), -1);
    EXPECT_EQ(IndexOf(kSystemGroup), -1);
    EXPECT_EQ(IndexOf(kLooseFile), -1);
    for (size_t i = 1; i < items.size(); ++i) {
        EXPECT_LE(lstrcmpiW(qv::ToWide(items[i - 1]).c_str(), qv::ToWide(items[i]).c_str()), 0)
            << items[i - 1] << " / " << items[i];
    }
    int previous = -1;
    for (const char* group : kVisibleGroups) {
        const int index = IndexOf(group);
        EXPECT_GT(index, previous) << group;
        previous = index;
    }

    // A click copies the name; the arrow keys move on and copy the next,
    // replacing what was typed.
    ASSERT_NO_FATAL_FAILURE(Pick("Beta"));
    ASSERT_TRUE(WaitFor([&] { return wizard.Focused() == "ListGroup"; }));
    wizard.SetText("Form5", "edNameGroup", "typed by hand");
    wizard.PressKey(VK_DOWN);
    const int beta = IndexOf("Beta");
    const std::string next = items.at(static_cast<size_t>(beta) + 1);
    EXPECT_TRUE(WaitFor([&] { return wizard.Text("Form5", "edNameGroup") == next; }))
        << wizard.Text("Form5", "edNameGroup");

    // Back and forward again: name and selection as left.
    wizard.Click("Form5", "Back");
    ASSERT_TRUE(wizard.WaitShown("Form4"));
    ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form5"));
    EXPECT_EQ(wizard.Text("Form5", "edNameGroup"), next);
    EXPECT_EQ(wizard.ListSelection("Form5", "ListGroup"), beta + 1);
    EXPECT_TRUE(wizard.WaitFocus("Form5", "Next")) << wizard.Focused();

    // An empty name passes without a word.
    wizard.SetText("Form5", "edNameGroup", "");
    ASSERT_NO_FATAL_FAILURE(NextPage(wizard, "Form5", "Form6"));
    ASSERT_NO_FATAL_FAILURE(LeaveByCloseBox(wizard, "Form6"));
}

TEST_F(GroupPage, APickedGroupGetsTheShortcutsAndAClearedBoxNoDesktopShortcut) {
    const std::string destination = "C:\\qv-group-pick";
    const std::string desktop = DesktopFolder();
    ASSERT_FALSE(desktop.empty());
    RemoveTree(destination);
    RemoveTree(desktop + kProgramShortcut);
    const std::string group = programs + "\\gamma";
    for (const char* shortcut : {kProgramShortcut, kHelpShortcut, kUninstallShortcut}) RemoveTree(group + shortcut);
    ASSERT_TRUE(ListFolder(group).empty()) << "the group starts empty";

    ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form4"));
    wizard.SetText("Form4", "edDir", destination);
    ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form5"));
    ASSERT_NO_FATAL_FAILURE(Pick("gamma"));
    ASSERT_NO_FATAL_FAILURE(NextPage(wizard, "Form5", "Form6"));

    // The cleared box stays cleared through Back and Next.
    wizard.Click("Form6", "CheckBox");
    ASSERT_TRUE(WaitFor([&] { return !wizard.Checked("Form6", "CheckBox"); }));
    wizard.Click("Form6", "Back");
    ASSERT_TRUE(wizard.WaitShown("Form5"));
    ASSERT_NO_FATAL_FAILURE(NextPage(wizard, "Form5", "Form6"));
    EXPECT_FALSE(wizard.Checked("Form6", "CheckBox"));

    ASSERT_NO_FATAL_FAILURE(InstallFromTasks(wizard));
    ExpectGroupShortcuts(group, destination);
    EXPECT_EQ(ListFolder(group).size(), 3u);
    EXPECT_FALSE(Exists(desktop + kProgramShortcut));
    const std::vector<std::string> lines = ExpectedLogLines(destination, group, "");
    EXPECT_EQ(lines.size(), 24u);
    ExpectUninstallLog(destination, lines);
    ASSERT_NO_FATAL_FAILURE(FinishWithoutStarting(wizard));
}

}  // namespace
}  // namespace e2e
