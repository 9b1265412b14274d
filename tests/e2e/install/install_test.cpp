// Installations by the real setup program under Wine: what the progress
// page shows, what ends up on disk, in the shortcuts and in the registry,
// and what Cancel during the extraction does.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/driver/scenario.h"

namespace e2e {
namespace {

constexpr int kEntryCount = 16;

// What the progress page showed while the installation ran.
struct ProgressSeen {
    std::vector<std::string> actions;    // each change, in order
    std::vector<std::string> fileNames;  // each non-empty change, in order
    std::vector<int> positions;          // each change, in order
};

template <typename T>
void NoteChange(std::vector<T>& seen, const T& value) {
    if (seen.empty() || seen.back() != value) seen.push_back(value);
}

// Watches the progress page until the finish page is shown; saves a
// screenshot once the bar is well under way.
ProgressSeen WatchProgress(const Wizard& wizard) {
    ProgressSeen seen;
    bool screenshot = false;
    WaitFor([&] {
        if (wizard.Visible("Form8")) return true;
        NoteChange(seen.actions, wizard.Text("Form7", "Action"));
        const std::string file = wizard.Text("Form7", "FileName");
        if (!file.empty()) NoteChange(seen.fileNames, file);
        const int position = wizard.ProgressPosition("Form7", "pb");
        NoteChange(seen.positions, position);
        if (!screenshot && position >= 4) {
            Wizard::SaveScreen("1x-progress");
            screenshot = true;
        }
        return false;
    }, 120s);
    return seen;
}

// True when what was seen is, in order, a part of what was expected.
bool InOrderWithin(const std::vector<std::string>& seen, const std::vector<std::string>& expected) {
    auto at = expected.begin();
    for (const std::string& item : seen) {
        at = std::find(at, expected.end(), item);
        if (at == expected.end()) return false;
    }
    return true;
}

class Installation : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(com.ok()); }
    void TearDown() override { CloseApplications(); }

    // Starts the installation and waits until the extraction is under way.
    void StartAndWaitForExtraction() {
        wizard.Click("Form6", "Next");
        ASSERT_TRUE(wizard.WaitShown("Form7", 20s));
        ASSERT_TRUE(WaitFor([&] { return wizard.ProgressPosition("Form7", "pb") >= 1; }, 60s));
    }
    // Into a fresh destination: the installation started, then Cancel
    // during the extraction, the worker paused under the confirmation.
    void CancelDuringTheExtraction(const std::string& destination) {
        RemoveTree(destination);
        ASSERT_NO_FATAL_FAILURE(WalkToTasksWith(wizard, destination));
        ASSERT_NO_FATAL_FAILURE(StartAndWaitForExtraction());
        ASSERT_NO_FATAL_FAILURE(CancelAndWaitUntilPaused(destination));
    }
    // Cancel on the progress page; the exit confirmation comes up, and the
    // worker settles: the bar and the destination stay the same for a while.
    void CancelAndWaitUntilPaused(const std::string& destination) {
        wizard.Click("Form7", "Cancel");
        ASSERT_TRUE(wizard.WaitMessageBox(box, 20s));
        EXPECT_EQ(box.caption, kExitCaption);
        EXPECT_EQ(box.owner, wizard.Form("Form7"));
        auto state = [&] { return std::make_pair(wizard.ProgressPosition("Form7", "pb"), ListFolder(destination)); };
        auto last = state();
        auto since = std::chrono::steady_clock::now();
        ASSERT_TRUE(WaitFor([&] {
            auto now = state();
            if (now != last) {
                last = std::move(now);
                since = std::chrono::steady_clock::now();
            }
            return std::chrono::steady_clock::now() - since > 2s;
        }, 60s)) << "the installation did not pause";
        pausedAt = last.first;
        ASSERT_LT(pausedAt, kEntryCount) << "the extraction ended before Cancel; nothing was paused";
    }

    ComApartment com;
    Wizard wizard{QV_SETUP_EXE};
    Box box;
    int pausedAt = 0;
};

TEST_F(Installation, DefaultsInstallEveryFileShortcutAndTheRegistration) {
    const std::string destination = kDefaultDestination;
    const std::string group = GroupFolder();
    const std::string desktop = DesktopFolder();
    ASSERT_FALSE(ProgramsFolder().empty());
    ASSERT_FALSE(desktop.empty());
    ASSERT_TRUE(CleanInstallation()) << "the registration could not be deleted";

    ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form6"));
    EXPECT_EQ(wizard.Text("Form4", "edDir"), destination);
    EXPECT_EQ(wizard.Text("Form5", "edNameGroup"), kDefaultGroup);
    EXPECT_TRUE(wizard.Checked("Form6", "CheckBox"));

    wizard.Click("Form6", "Next");
    ASSERT_TRUE(wizard.WaitShown("Form7", 20s));
    const ProgressSeen seen = WatchProgress(wizard);
    ASSERT_TRUE(wizard.WaitShown("Form8", 20s)) << "no finish page";

    // The page showed the extraction first, then the later stages.
    ASSERT_FALSE(seen.actions.empty());
    EXPECT_EQ(seen.actions.front(), kExtracting);
    EXPECT_TRUE(InOrderWithin(seen.actions, {kExtracting, kMakingShortcuts, kRegistering}));
    // The file label names each target path, in container order.
    std::vector<std::string> targets;
    for (const std::string& name : PayloadNames()) targets.push_back(destination + "\\" + name);
    EXPECT_GE(seen.fileNames.size(), 2u);
    EXPECT_TRUE(InOrderWithin(seen.fileNames, targets)) << ::testing::PrintToString(seen.fileNames);
    EXPECT_TRUE(std::is_sorted(seen.positions.begin(), seen.positions.end()));
    // The hidden progress page keeps its last state: a full bar.
    EXPECT_EQ(wizard.ProgressMaximum("Form7", "pb"), kEntryCount);
    EXPECT_EQ(wizard.ProgressPosition("Form7", "pb"), kEntryCount);
    EXPECT_EQ(wizard.Text("Form7", "Action"), kRegistering);
    EXPECT_EQ(wizard.Text("Form7", "FileName"), "");

    ExpectFilesInstalled(destination);
    ExpectUninstallLog(destination, ExpectedLogLines(destination, group, desktop));
    ExpectGroupShortcuts(group, destination);
    ExpectShortcut(desktop + kProgramShortcut, destination, "QuorVel.exe");
    ExpectRegistration(destination);

    ASSERT_NO_FATAL_FAILURE(FinishWithoutStarting(wizard));
    EXPECT_TRUE(ProcessesNamed(kAppImage).empty()) << "the box was cleared: nothing is started";
}

TEST_F(Installation, CancelAnsweredNoDuringTheExtractionCarriesOnToTheFinishPage) {
    const std::string destination = "C:\\qv-cancel-no";
    ASSERT_NO_FATAL_FAILURE(CancelDuringTheExtraction(destination));
    EXPECT_EQ(wizard.Text("Form7", "Action"), kExtracting);

    wizard.Answer(box, IDNO);
    ASSERT_TRUE(WaitFor([&] { return wizard.MessageBox().hwnd == nullptr; }));
    // The bar goes on from where it stopped, and the page ends with Next.
    ASSERT_TRUE(WaitFor([&] { return wizard.ProgressPosition("Form7", "pb") > pausedAt; }, 60s));
    ASSERT_TRUE(wizard.WaitShown("Form8", 120s)) << "no finish page after No";
    EXPECT_EQ(wizard.ProgressPosition("Form7", "pb"), kEntryCount);

    ExpectFilesInstalled(destination);
    ExpectUninstallLog(destination, ExpectedLogLines(destination, GroupFolder(), DesktopFolder()));
    ExpectRegistration(destination);
    ASSERT_NO_FATAL_FAILURE(FinishWithoutStarting(wizard));
}

TEST_F(Installation, CancelAnsweredYesDuringTheExtractionTakesBackWhatItWrote) {
    const std::string destination = "C:\\qv-cancel-yes";
    ASSERT_NO_FATAL_FAILURE(CancelDuringTheExtraction(destination));

    wizard.Answer(box, IDYES);
    ASSERT_TRUE(WaitFor([&] { return wizard.MessageBox().hwnd == nullptr; }));
    bool finishShown = false;
    ASSERT_TRUE(WaitFor([&] {
        finishShown = finishShown || wizard.Visible("Form8");
        return wizard.Exited(0ms);
    }, 30s)) << "the program did not end";
    EXPECT_EQ(wizard.ExitCode(), 5u);  // left during the installation
    EXPECT_FALSE(finishShown);

    // Nothing after the extraction happened, and what it wrote is gone with
    // the folder it made; the registration, if any, is another installation's.
    EXPECT_FALSE(Exists(destination)) << Describe(ListFolder(destination));
    const auto icon = ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon");
    if (icon) {
        EXPECT_EQ(icon->data.find(destination), std::string::npos);
    }
    EXPECT_TRUE(ProcessesNamed(kAppImage).empty());
}

TEST_F(Installation, LeavingBeforeTheProgressPageWritesNothing) {
    const std::string destination = "C:\\qv-never";
    RemoveTree(destination);
    ASSERT_NO_FATAL_FAILURE(WalkToTasksWith(wizard, destination));
    wizard.Click("Form6", "Cancel");
    ASSERT_TRUE(wizard.WaitMessageBox(box, 20s));
    EXPECT_EQ(box.caption, kExitCaption);
    wizard.Answer(box, IDYES);
    ASSERT_TRUE(wizard.Exited(30s));
    EXPECT_FALSE(Exists(destination));
    const auto icon = ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon");
    if (icon) {
        EXPECT_EQ(icon->data.find(destination), std::string::npos);
    }
}

}  // namespace
}  // namespace e2e
