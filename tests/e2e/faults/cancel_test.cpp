// Cancel on the progress page, answered Yes at each stage of the
// installation: during the extraction, in the shortcut stage and in the
// registration stage. The stages pass in milliseconds, so each case holds
// the worker at a known place with a fault of the system whose box it waits
// on: a held target file, a held uninstall log, a registry key closed to
// writing. Cancel is pressed while that box is open. Afterwards nothing more
// may be written, and what the run wrote is taken back before the program
// ends; what was there before it stays.
#include <gtest/gtest.h>

#include <memory>

#include "tests/e2e/faults/fault_rig.h"

namespace e2e {
namespace {

class CancelAtAStage : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(com_.ok()); }
    void TearDown() override { CloseApplications(); }

    // Starts the installation and waits for the box of the fault, shown
    // while the progress page names `stage`.
    void InstallUntilTheFault(const std::string& text, const char* stage, Box& box) {
        ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form6"));
        ASSERT_NO_FATAL_FAILURE(StartInstallation(wizard));
        ASSERT_NO_FATAL_FAILURE(WaitInstallBox(wizard, box));
        EXPECT_EQ(box.text, text);
        ExpectLabel(wizard, "Action", stage);
    }
    // Cancel on the progress page, which stays usable under the fault's box.
    void PressCancel(Box& confirmation) {
        wizard.Click("Form7", "Cancel");
        ASSERT_TRUE(WaitBoxOf(wizard.ProcessId(), kExitCaption, confirmation)) << "no exit confirmation";
        EXPECT_EQ(confirmation.owner, wizard.Form("Form7"));
    }
    // Answers the fault's box while the confirmation is open, then waits
    // until the installation has stopped where the confirmation holds it.
    void AnswerTheFaultAndSettle(const Box& fault, int button, std::string& state) {
        ASSERT_TRUE(AnswerBox(fault, button));
        ASSERT_TRUE(WaitUnchanged([] { return InstallationState(); }, 1500ms, 30s));
        state = InstallationState();
    }
    // With the log held open (heldLog), saving it fails in the shortcut
    // stage: Cancel while that error is open, then the error answered;
    // `state` is what the confirmation holds.
    void CancelWhileTheLogCannotBeSaved(Box& confirmation, std::string& state) {
        heldLog = std::make_unique<HeldFile>(InDestination("UnInstall.dat"), "");
        ASSERT_TRUE(heldLog->held());
        Box saveError;
        ASSERT_NO_FATAL_FAILURE(InstallUntilTheFault(
            "Ошибка записи файла: " + InDestination("UnInstall.dat") + kNoLogNote, kMakingShortcuts, saveError));
        ASSERT_NO_FATAL_FAILURE(PressCancel(confirmation));
        ASSERT_NO_FATAL_FAILURE(AnswerTheFaultAndSettle(saveError, IDOK, state));
    }
    // Yes: the program ends without the finish page, with exit code 5.
    void ConfirmAndWaitForTheEnd(const Box& confirmation) {
        ASSERT_TRUE(AnswerBox(confirmation, IDYES));
        bool finishShown = false;
        EXPECT_TRUE(WaitFor([&] {
            finishShown = finishShown || wizard.Visible("Form8");
            return wizard.Exited(0ms);
        }, 30s)) << "the program did not end";
        EXPECT_FALSE(finishShown);
        EXPECT_EQ(wizard.ExitCode(), 5u);
    }
    // Nothing the run made is left: no payload file, no agreement, no
    // shortcut, no group.
    static void ExpectNothingOfTheRun() {
        EXPECT_FALSE(Exists(InDestination("tmp.zip")));
        EXPECT_FALSE(Exists(InDestination("lic.txt")));
        EXPECT_FALSE(Exists(GroupFolder()));
        EXPECT_FALSE(Exists(DesktopFolder() + kProgramShortcut));
    }

    CleanSystem clean_;
    Wizard wizard{QV_SETUP_EXE};
    std::unique_ptr<HeldFile> heldLog;

private:
    ComApartment com_;
};

TEST_F(CancelAtAStage, YesDuringTheExtractionWhileACopyErrorIsOpenTakesBackWhatTheRunWrote) {
    HeldTarget held;
    ASSERT_TRUE(held.held());
    Box copyError;
    ASSERT_NO_FATAL_FAILURE(InstallUntilTheFault(kHeldCopyError, kExtracting, copyError));
    Box confirmation;
    ASSERT_NO_FATAL_FAILURE(PressCancel(confirmation));

    ASSERT_TRUE(AnswerBox(confirmation, IDYES));
    ASSERT_TRUE(WaitFor([&] { return !wizard.Visible("Form7"); })) << "the progress page stays";
    // The worker still waits for the answer to its own box. Retry, now that
    // the file is free, must not write it: the installation was left.
    if (IsWindow(copyError.hwnd)) {
        held.Release();
        ASSERT_TRUE(AnswerBox(copyError, IDRETRY));
    }
    ASSERT_TRUE(wizard.Exited(30s)) << "the program did not end";
    EXPECT_FALSE(wizard.Visible("Form8"));
    held.Release();

    EXPECT_EQ(wizard.ExitCode(), 5u);
    held.ExpectUntouched();
    ExpectPayloadFiles({}, kHeldEntry);
    ExpectNothingOfTheRun();
    EXPECT_FALSE(Exists(InDestination("UnInstall.dat")));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

TEST_F(CancelAtAStage, YesInTheShortcutStageTakesBackWhatTheRunWrote) {
    Box confirmation;
    std::string state;
    ASSERT_NO_FATAL_FAILURE(CancelWhileTheLogCannotBeSaved(confirmation, state));
    EXPECT_EQ(wizard.Text("Form7", "Action"), kMakingShortcuts);

    ASSERT_NO_FATAL_FAILURE(ConfirmAndWaitForTheEnd(confirmation));
    heldLog->Release();
    ExpectPayloadFiles({});
    ExpectNothingOfTheRun();
    // There before the run: it stays as it was.
    EXPECT_EQ(ReadWhole(InDestination("UnInstall.dat")).value_or("<missing>"), "");
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

// Without its log nothing could remove the program: it is not registered,
// and the finish page says the installation ended with errors.
TEST_F(CancelAtAStage, NoInTheShortcutStageCarriesOnToTheFinishPageWithoutARegistration) {
    Box confirmation;
    std::string state;
    ASSERT_NO_FATAL_FAILURE(CancelWhileTheLogCannotBeSaved(confirmation, state));
    EXPECT_FALSE(Registered()) << "written while the question was open";

    ASSERT_TRUE(AnswerBox(confirmation, IDNO));
    ASSERT_TRUE(wizard.WaitShown("Form8", 30s));
    EXPECT_EQ(wizard.Text("Form8", "StaticText1"), kFinishedWithErrors);
    ASSERT_NO_FATAL_FAILURE(FinishWithoutStarting(wizard, 4));
    EXPECT_FALSE(Registered());
}

TEST_F(CancelAtAStage, YesInTheRegistrationStageEndsWithoutTheFinishPage) {
    DeniedRegistryKey denied(HKEY_LOCAL_MACHINE, kUninstallKey);
    ASSERT_TRUE(denied.denied());
    Box registryError;
    ASSERT_NO_FATAL_FAILURE(InstallUntilTheFault(std::string("Ошибка записи информации в реестр.") + kNotRegisteredNote,
                                                 kRegistering, registryError));
    Box confirmation;
    ASSERT_NO_FATAL_FAILURE(PressCancel(confirmation));
    std::string state;
    ASSERT_NO_FATAL_FAILURE(AnswerTheFaultAndSettle(registryError, IDOK, state));

    ASSERT_NO_FATAL_FAILURE(ConfirmAndWaitForTheEnd(confirmation));
    denied.Restore();
    EXPECT_TRUE(RegistryValueNames(HKEY_LOCAL_MACHINE, kUninstallKey).empty());
    // Not registered, so nothing could remove it: the run is taken back whole.
    ExpectNothingOfTheRun();
    EXPECT_FALSE(Exists(kDefaultDestination));
}

}  // namespace
}  // namespace e2e
