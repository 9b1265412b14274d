// The welcome, licence and finish pages of the real setup program: the
// agreement gate, Back from the licence page, and what the finish page
// starts (or does not) when it closes.
#include <gtest/gtest.h>

#include "tests/e2e/driver/scenario.h"

namespace e2e {
namespace {

class LicencePage : public ::testing::Test {
protected:
    void Choose(const char* radio, bool nextEnabled) {
        wizard.Click("Form3", radio);
        ASSERT_TRUE(WaitFor([&] { return wizard.Checked("Form3", radio); })) << radio;
        ASSERT_TRUE(WaitFor([&] { return wizard.Enabled("Form3", "Next") == nextEnabled; })) << radio;
        const char* other = std::string(radio) == "RadioButton1" ? "RadioButton2" : "RadioButton1";
        EXPECT_FALSE(wizard.Checked("Form3", other));
    }
    void BackToWelcomeAndReturn() {
        wizard.Click("Form3", "Back");
        ASSERT_TRUE(wizard.WaitShown("Form2"));
        ASSERT_NO_FATAL_FAILURE(NextPage(wizard, "Form2", "Form3"));
    }

    Wizard wizard{QV_SETUP_EXE};
};

TEST_F(LicencePage, NextIsOpenOnlyWhileTheAgreementIsAcceptedAndBackAlwaysLeaves) {
    ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form2"));
    EXPECT_EQ(wizard.Control("Form2", "Back"), nullptr) << "the welcome page has no Back";
    ASSERT_NO_FATAL_FAILURE(NextPage(wizard, "Form2", "Form3"));
    EXPECT_FALSE(wizard.Enabled("Form3", "Next"));
    EXPECT_TRUE(wizard.Checked("Form3", "RadioButton2"));
    EXPECT_FALSE(wizard.Checked("Form3", "RadioButton1"));

    // Back without accepting, and the page comes back as it was.
    ASSERT_NO_FATAL_FAILURE(BackToWelcomeAndReturn());
    EXPECT_FALSE(wizard.Enabled("Form3", "Next"));
    EXPECT_TRUE(wizard.Checked("Form3", "RadioButton2"));

    // The gate follows the choice, both ways, as often as it changes.
    for (int round = 0; round < 2; ++round) {
        ASSERT_NO_FATAL_FAILURE(Choose("RadioButton1", true));
        ASSERT_NO_FATAL_FAILURE(Choose("RadioButton2", false));
    }
    ASSERT_NO_FATAL_FAILURE(Choose("RadioButton1", true));

    // Back after accepting, and the page comes back accepted, Next focused.
    ASSERT_NO_FATAL_FAILURE(BackToWelcomeAndReturn());
    EXPECT_TRUE(wizard.Checked("Form3", "RadioButton1"));
    EXPECT_TRUE(wizard.Enabled("Form3", "Next"));
    EXPECT_TRUE(wizard.WaitFocus("Form3", "Next")) << wizard.Focused();
    ASSERT_NO_FATAL_FAILURE(NextPage(wizard, "Form3", "Form4"));

    // Withdrawn on the way back: Next closes again.
    wizard.Click("Form4", "Back");
    ASSERT_TRUE(wizard.WaitShown("Form3"));
    ASSERT_NO_FATAL_FAILURE(Choose("RadioButton2", false));
    ASSERT_NO_FATAL_FAILURE(BackToWelcomeAndReturn());
    EXPECT_FALSE(wizard.Enabled("Form3", "Next"));

    ASSERT_NO_FATAL_FAILURE(LeaveByCloseBox(wizard, "Form3"));
}

class FinishPage : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(com.ok()); }
    void TearDown() override { CloseApplications(); }

    // Installs into the destination and waits for the finish page.
    void InstallInto(const std::string& destination) {
        ASSERT_NO_FATAL_FAILURE(WalkToTasksWith(wizard, destination));
        ASSERT_NO_FATAL_FAILURE(InstallFromTasks(wizard));
        EXPECT_TRUE(wizard.Checked("Form8", "CheckBox"));
        EXPECT_TRUE(wizard.WaitFocus("Form8", "Ready")) << wizard.Focused();
    }
    // The setup program has ended and started no application.
    void ExpectEndedStartingNothing() {
        ASSERT_TRUE(wizard.Exited(20s));
        EXPECT_EQ(wizard.ExitCode(), 0u);
        EXPECT_TRUE(ProcessesNamed(kAppImage).empty());
        EXPECT_EQ(WaitForApplicationWindow(2s), nullptr);
    }
    // The application runs in this folder; it is closed afterwards.
    void ExpectApplicationIn(const std::string& folder) {
        ASSERT_TRUE(wizard.Exited(20s));
        HWND window = WaitForApplicationWindow(30s);
        ASSERT_NE(window, nullptr) << "the application did not start";
        EXPECT_FALSE(ProcessesNamed(kAppImage).empty());
        EXPECT_EQ(ItemText(window, kAppFolderItem), folder);
        EXPECT_TRUE(CloseAndWaitForExit(window, 20000));
        EXPECT_TRUE(ProcessesNamed(kAppImage).empty());
    }

    ComApartment com;
    Wizard wizard{QV_SETUP_EXE};
};

TEST_F(FinishPage, ReadyWithTheBoxTickedStartsTheApplicationInTheDestination) {
    RemoveTree(kDefaultDestination);
    ASSERT_NO_FATAL_FAILURE(InstallInto(kDefaultDestination));
    wizard.Click("Form8", "Ready");
    ExpectApplicationIn(kDefaultDestination);
}

TEST_F(FinishPage, ReadyWithTheBoxClearedStartsNothing) {
    const std::string destination = "C:\\qv-finish-cleared";
    RemoveTree(destination);
    ASSERT_NO_FATAL_FAILURE(InstallInto(destination));
    wizard.Click("Form8", "CheckBox");
    ASSERT_TRUE(WaitFor([&] { return !wizard.Checked("Form8", "CheckBox"); }));
    wizard.Click("Form8", "Ready");
    ExpectEndedStartingNothing();
}

TEST_F(FinishPage, TheCloseBoxStartsNothingEvenWithTheBoxTicked) {
    const std::string destination = "C:\\qv-finish-closed";
    RemoveTree(destination);
    ASSERT_NO_FATAL_FAILURE(InstallInto(destination));
    wizard.CloseBox("Form8");
    ExpectEndedStartingNothing();  // and without a question to answer
}

TEST_F(FinishPage, ADestinationEndingInABackslashIsPassedOnDoubled) {
    const std::string folder = "C:\\qvroot";
    const std::string destination = folder + "\\";
    RemoveTree(folder);
    ASSERT_TRUE(MakeFolders(folder));
    ASSERT_NO_FATAL_FAILURE(InstallInto(destination));

    // Every derived path has the doubled backslash; the destination line
    // keeps its one trailing backslash.
    const std::vector<std::string> lines = ExpectedLogLines(destination, GroupFolder(), DesktopFolder());
    EXPECT_EQ(lines.front(), "C:\\qvroot\\=D");
    EXPECT_EQ(lines[1], "C:\\qvroot\\\\Quorvel.exe=F");
    ExpectUninstallLog(destination, lines);
    ExpectFilesInstalled(destination);

    // Windows takes the doubled backslash: the application starts there.
    wizard.Click("Form8", "Ready");
    ExpectApplicationIn(folder);
}

}  // namespace
}  // namespace e2e
