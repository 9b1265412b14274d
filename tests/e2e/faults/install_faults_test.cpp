// Faults of a real system met by the installation under Wine: a target file
// another program holds open, a temporary file that cannot be created, an
// uninstall log that cannot be written and a registry key closed to
// writing. Each is answered as a user would, and the disk, the shortcuts
// and the registry are looked at afterwards.
#include <gtest/gtest.h>

#include <memory>

#include "tests/e2e/faults/fault_rig.h"

namespace e2e {
namespace {

constexpr int kEntriesBeforeHeld = 4;

class InstallFaults : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(com_.ok()); }
    void TearDown() override { CloseApplications(); }

    // On to the copy error for the held Dates.dat, checking the box.
    void InstallUntilTheCopyError(Box& box) {
        ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form6"));
        ASSERT_NO_FATAL_FAILURE(StartInstallation(wizard));
        ASSERT_NO_FATAL_FAILURE(ExpectCopyError(box));
        ExpectPosition(wizard, kEntriesBeforeHeld);
        ExpectLabel(wizard, "FileName", InDestination(kHeldEntry));
        EXPECT_TRUE(IsWindowEnabled(wizard.Form("Form7"))) << "the progress page stays usable";
    }
    void ExpectCopyError(Box& box) {
        ASSERT_NO_FATAL_FAILURE(WaitInstallBox(wizard, box));
        EXPECT_EQ(box.text, kHeldCopyError);
        EXPECT_TRUE(HasButton(box, IDABORT) && HasButton(box, IDRETRY) && HasButton(box, IDIGNORE));
    }
    // The finish page (saying `says`, when given), then the end with this
    // exit code; the program is registered only when its uninstaller was
    // installed, and the shortcuts are made only to files that are there.
    void ExpectFinished(DWORD exitCode, bool registered, const std::string& says = "", bool shortcuts = true) {
        ASSERT_TRUE(wizard.WaitShown("Form8", 120s)) << "the finish page did not come";
        EXPECT_EQ(wizard.Text("Form8", "StaticText1"),
                  exitCode == 0 ? "Установка Кворвель завершена" : kFinishedWithErrors);
        EXPECT_NE(wizard.Text("Form8", "StaticText2").find(says), std::string::npos) << wizard.Text("Form8", "StaticText2");
        ASSERT_NO_FATAL_FAILURE(FinishWithoutStarting(wizard, exitCode));
        if (registered) {
            ExpectRegistration(kDefaultDestination);
        } else {
            EXPECT_FALSE(Registered());
        }
        if (shortcuts) {
            ExpectGroupShortcuts(GroupFolder(), kDefaultDestination);
        } else {
            EXPECT_FALSE(Exists(GroupFolder() + kProgramShortcut));
            EXPECT_FALSE(Exists(DesktopFolder() + kProgramShortcut));
        }
    }
    // The pass stopped before the uninstaller: the user is told the
    // program cannot be registered.
    void AnswerNotRegistered() {
        Box box;
        ASSERT_NO_FATAL_FAILURE(WaitInstallBox(wizard, box));
        EXPECT_EQ(box.text, kNoUninstaller + InDestination("UnInstall.exe"));
        ASSERT_TRUE(AnswerBox(box, IDOK));
    }

    void HoldTheTarget() {
        held_ = std::make_unique<HeldTarget>();
        ASSERT_TRUE(held_->held());
    }
    void ReleaseTheTarget() { held_->Release(); }
    void ExpectTheTargetUntouched() { held_->ExpectUntouched(); }

    CleanSystem clean_;
    Wizard wizard{QV_SETUP_EXE};

private:
    std::unique_ptr<HeldTarget> held_;
    ComApartment com_;
};

TEST_F(InstallFaults, RetryAsksAgainWhileTheFileIsHeldAndInstallsItOnceReleased) {
    ASSERT_NO_FATAL_FAILURE(HoldTheTarget());
    Box box;
    ASSERT_NO_FATAL_FAILURE(InstallUntilTheCopyError(box));

    for (int attempt = 0; attempt < 2; ++attempt) {
        ASSERT_TRUE(AnswerBox(box, IDRETRY));
        ASSERT_NO_FATAL_FAILURE(ExpectCopyError(box)) << "Retry " << attempt + 1 << " while held";
        EXPECT_EQ(wizard.ProgressPosition("Form7", "pb"), kEntriesBeforeHeld);
    }
    ReleaseTheTarget();
    ASSERT_TRUE(AnswerBox(box, IDRETRY));

    ASSERT_NO_FATAL_FAILURE(ExpectFinished(0, true));
    ExpectFilesInstalled(kDefaultDestination);
    ExpectUninstallLog(kDefaultDestination, ExpectedLogLines(kDefaultDestination, GroupFolder(), DesktopFolder()));
}

TEST_F(InstallFaults, IgnoreLeavesTheHeldFileAsItWasAndGoesOnWithTheNextEntry) {
    ASSERT_NO_FATAL_FAILURE(HoldTheTarget());
    Box box;
    ASSERT_NO_FATAL_FAILURE(InstallUntilTheCopyError(box));
    ASSERT_TRUE(AnswerBox(box, IDIGNORE));

    // A file left out: the installation ended with errors.
    ASSERT_NO_FATAL_FAILURE(ExpectFinished(4, true, "не установлен 1 файл из 16"));
    ReleaseTheTarget();
    ExpectTheTargetUntouched();
    ExpectPayloadFiles(PayloadNames(), kHeldEntry);
    EXPECT_FALSE(Exists(InDestination("tmp.zip")));
    ExpectUninstallLog(kDefaultDestination,
                       WithoutTheHeldEntry(ExpectedLogLines(kDefaultDestination, GroupFolder(), DesktopFolder())));
}

// Abort ends the installation: the finish page says so, and what the run
// wrote is gone; the held file, there before it, stays as it was.
TEST_F(InstallFaults, AbortEndsTheInstallationAndTakesBackWhatItWrote) {
    ASSERT_NO_FATAL_FAILURE(HoldTheTarget());
    Box box;
    ASSERT_NO_FATAL_FAILURE(InstallUntilTheCopyError(box));
    ASSERT_TRUE(AnswerBox(box, IDABORT));

    ASSERT_TRUE(wizard.WaitShown("Form8", 120s)) << "the finish page did not come";
    EXPECT_EQ(wizard.Text("Form8", "StaticText1"), "Установка Кворвель прервана");
    EXPECT_FALSE(wizard.Enabled("Form8", "CheckBox")) << "the application is offered, but it is not there";
    Wizard::SaveScreen("1x-finish-after-abort");
    ASSERT_NO_FATAL_FAILURE(FinishWithoutStarting(wizard, 5));
    ReleaseTheTarget();
    ExpectTheTargetUntouched();
    ExpectPayloadFiles({}, kHeldEntry);
    for (const char* name : {"tmp.zip", "lic.txt", "UnInstall.dat"}) EXPECT_FALSE(Exists(InDestination(name))) << name;
    EXPECT_FALSE(Exists(GroupFolder()));
    EXPECT_FALSE(Exists(DesktopFolder() + kProgramShortcut));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

TEST_F(InstallFaults, AHeldTargetIsReportedAndNeverWrittenUnderAnotherName) {
    // The LZ library, asked to create a target it cannot open, would create
    // one whose name ends in "_" instead: the copy error must come, and no
    // stray file.
    HeldFile held(InDestination(kHeldEntry), kHeldText);
    ASSERT_TRUE(held.held());
    Box box;
    ASSERT_NO_FATAL_FAILURE(InstallUntilTheCopyError(box));
    EXPECT_FALSE(Exists(InDestination(kHeldFallback)));
    ASSERT_TRUE(AnswerBox(box, IDIGNORE));
    ASSERT_TRUE(wizard.WaitShown("Form8", 120s));
    EXPECT_FALSE(Exists(InDestination(kHeldFallback)));
}

TEST_F(InstallFaults, ATemporaryFileThatCannotBeCreatedStopsThePassWithAMessage) {
    ASSERT_TRUE(MakeFolders(InDestination("tmp.zip")));
    ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form6"));
    ASSERT_NO_FATAL_FAILURE(StartInstallation(wizard));
    Box box;
    ASSERT_NO_FATAL_FAILURE(WaitInstallBox(wizard, box));
    EXPECT_EQ(box.text, "Ошибка создания временного файла.");
    EXPECT_TRUE(HasButton(box, IDOK));
    EXPECT_FALSE(HasButton(box, IDRETRY));
    EXPECT_EQ(wizard.ProgressPosition("Form7", "pb"), 0);
    ASSERT_TRUE(AnswerBox(box, IDOK));

    ASSERT_NO_FATAL_FAILURE(AnswerNotRegistered());
    ASSERT_NO_FATAL_FAILURE(ExpectFinished(4, false, "", false));
    ExpectPayloadFiles({});
    EXPECT_TRUE(IsFolder(InDestination("tmp.zip")));
    EXPECT_TRUE(Exists(InDestination("lic.txt")));
    ExpectUninstallLog(kDefaultDestination, LogLinesStoppedAt(PayloadNames().front()));
}

TEST_F(InstallFaults, AnUninstallLogThatCannotBeWrittenIsReportedAndTheProgramIsNotRegistered) {
    HeldFile held(InDestination("UnInstall.dat"), "");
    ASSERT_TRUE(held.held());
    ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form6"));
    ASSERT_NO_FATAL_FAILURE(StartInstallation(wizard));
    Box box;
    ASSERT_NO_FATAL_FAILURE(WaitInstallBox(wizard, box));
    EXPECT_EQ(box.text, "Ошибка записи файла: " + InDestination("UnInstall.dat") + kNoLogNote);
    ExpectLabel(wizard, "Action", kMakingShortcuts);
    ASSERT_TRUE(AnswerBox(box, IDOK));

    ASSERT_NO_FATAL_FAILURE(ExpectFinished(4, false));
    ExpectPayloadFiles(PayloadNames());
    held.Release();
    EXPECT_EQ(ReadWhole(InDestination("UnInstall.dat")).value_or("<missing>"), "");
}

TEST_F(InstallFaults, ARegistryKeyClosedToWritingIsReportedAndTheFinishPageFollows) {
    DeniedRegistryKey denied(HKEY_LOCAL_MACHINE, kUninstallKey);
    ASSERT_TRUE(denied.denied());
    ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form6"));
    ASSERT_NO_FATAL_FAILURE(StartInstallation(wizard));
    Box box;
    ASSERT_NO_FATAL_FAILURE(WaitInstallBox(wizard, box));
    EXPECT_EQ(box.text, std::string("Ошибка записи информации в реестр.") + kNotRegisteredNote);
    ExpectLabel(wizard, "Action", kRegistering);
    ASSERT_TRUE(AnswerBox(box, IDOK));

    ASSERT_TRUE(wizard.WaitShown("Form8", 60s));
    ASSERT_NO_FATAL_FAILURE(FinishWithoutStarting(wizard, 4));
    ExpectInstalledButNotRegistered(denied);
}

}  // namespace
}  // namespace e2e
