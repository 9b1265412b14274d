// What the program says and returns at its end, from what the run did.
#include <gtest/gtest.h>

#include "pages/finish_text.h"
#include "wizard/exit_code.h"

namespace qv {
namespace {

InstallReport Complete() {
    InstallReport report;
    report.entryCount = report.entriesInPlace = 16;
    report.licenceSaved = report.logSaved = report.registered = report.applicationInPlace = true;
    report.finished = true;
    return report;
}

TEST(ExitCode, TellsWhatTheRunDid) {
    InstallReport ignored = Complete();
    ignored.entriesInPlace = 15;
    InstallReport aborted = Complete();
    aborted.entriesInPlace = 4;
    aborted.passStopped = aborted.abortAnswered = true;
    InstallReport unregistered = Complete();
    unregistered.registered = false;
    const struct {
        WizardEnd end;
        InstallReport report;
        SetupExit expected;
    } rows[] = {
        {WizardEnd::InstallationFinished, Complete(), SetupExit::Installed},
        {WizardEnd::Refused, Complete(), SetupExit::NoRights},
        {WizardEnd::BadChoice, Complete(), SetupExit::CouldNotStart},
        {WizardEnd::CancelledBeforeInstalling, {}, SetupExit::CancelledBefore},
        {WizardEnd::CancelledWhileInstalling, {}, SetupExit::Cancelled},
        {WizardEnd::InstallationFailed, {}, SetupExit::Failed},
        {WizardEnd::InstallationFinished, ignored, SetupExit::Failed},
        {WizardEnd::InstallationFinished, unregistered, SetupExit::Failed},
        {WizardEnd::InstallationFinished, aborted, SetupExit::Cancelled},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ExitCodeOf(row.end, row.report), row.expected) << static_cast<int>(row.end);
    }
}

TEST(FinishText, ACleanInstallationKeepsItsWordsAndOthersSayWhatIsMissing) {
    const FinishText clean = FinishTextFor(Complete());
    EXPECT_EQ(clean.title, "Установка Кворвель завершена");
    EXPECT_TRUE(clean.canStartApplication);

    InstallReport report = Complete();
    report.entriesInPlace = 13;
    report.registered = false;
    report.applicationInPlace = false;
    const FinishText errors = FinishTextFor(report);
    EXPECT_EQ(errors.title, "Установка Кворвель завершена с ошибками");
    EXPECT_NE(errors.body.find("не установлено 3 файла из 16"), std::string::npos) << errors.body;
    EXPECT_NE(errors.body.find("не внесено в список установленных программ"), std::string::npos) << errors.body;
    EXPECT_FALSE(errors.canStartApplication);

    InstallReport partly = Complete();
    partly.unwrittenValues = {"Publisher"};
    partly.shortcutsLeftOut = 3;
    EXPECT_NE(FinishTextFor(partly).body.find("внесены не все сведения"), std::string::npos);
    EXPECT_NE(FinishTextFor(partly).body.find("созданы не все ярлыки"), std::string::npos);

    InstallReport aborted = Complete();
    aborted.passStopped = aborted.abortAnswered = aborted.takenBack = true;
    aborted.notTakenBack = {"C:\\Q\\a.dat", "C:\\Q"};
    const FinishText stopped = FinishTextFor(aborted);
    EXPECT_EQ(stopped.title, "Установка Кворвель прервана");
    EXPECT_NE(stopped.body.find("Не удалось удалить: C:\\Q\\a.dat и ещё 1."), std::string::npos) << stopped.body;
    EXPECT_FALSE(stopped.canStartApplication);
}

TEST(FinishText, FileCountsAgreeWithTheirNumber) {
    const std::pair<int, const char*> rows[] = {{1, "1 файл"},    {2, "2 файла"},    {5, "5 файлов"},
                                                {11, "11 файлов"}, {12, "12 файлов"}, {21, "21 файл"},
                                                {22, "22 файла"}, {111, "111 файлов"}};
    for (const auto& [count, text] : rows) EXPECT_EQ(FileCount(count), text);
}

}  // namespace
}  // namespace qv
