// After a real installation by setup.exe under Wine: the application
// started from the finish page and from its shortcuts, and the carried
// uninstaller started through its Start-menu shortcut and answered as a
// user answers it.
#include <gtest/gtest.h>

#include <memory>

#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/system_checks.h"

namespace e2e {
namespace {

constexpr char kUserFileName[] = "Мои заметки.txt";
constexpr char kUserFileText[] = "Записи пользователя, не из установки.\r\n";
constexpr const char* kDataFiles[] = {"People.dat", "Group.txt"};

// Whether a path or name is one of the user's data files, which removal keeps unless asked.
bool IsDataFile(const std::string& path) {
    for (const char* name : kDataFiles) {
        const std::string suffix = std::string("\\") + name;
        if (path == name || (path.size() > suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0)) {
            return true;
        }
    }
    return false;
}

std::string Destination() { return kDefaultDestination; }

struct LogLine {
    std::string path;
    char kind;
};

std::vector<LogLine> ParseLog(const std::vector<std::string>& lines) {
    std::vector<LogLine> parsed;
    for (const std::string& line : lines) {
        const size_t equals = line.rfind('=');
        parsed.push_back({line.substr(0, equals), equals + 1 < line.size() ? line[equals + 1] : '?'});
    }
    return parsed;
}

class AfterInstallation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(com_.ok());
        CleanInstallation();
    }
    void TearDown() override { CloseApplications(); }

    // A complete installation with the defaults, the desktop shortcut
    // included; the finish page starts nothing unless asked to.
    void Install(bool startApplication) {
        Wizard wizard{QV_SETUP_EXE};
        ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form6"));
        ASSERT_TRUE(wizard.Checked("Form6", "CheckBox"));
        ASSERT_NO_FATAL_FAILURE(InstallFromTasks(wizard));
        if (!startApplication) {
            ASSERT_NO_FATAL_FAILURE(FinishWithoutStarting(wizard));
        } else {
            ASSERT_TRUE(wizard.Checked("Form8", "CheckBox"));
            wizard.Click("Form8", "Ready");
            ASSERT_TRUE(wizard.Exited(20s));
        }
        const auto text = ReadTextFile(InDestination("UnInstall.dat"));
        ASSERT_TRUE(text) << "no UnInstall.dat";
        ASSERT_TRUE(SplitCrLfLines(*text, logLines_));
        ASSERT_EQ(logLines_, ExpectedLogLines(Destination(), GroupFolder(), DesktopFolder()));
    }

    // The uninstaller that the removal shortcut names, started with the
    // shortcut's working folder.
    std::unique_ptr<Program> StartUninstallerFromShortcut() {
        const auto link = ReadShortcut(GroupFolder() + kUninstallShortcut);
        EXPECT_TRUE(link) << "no removal shortcut";
        if (!link) return nullptr;
        EXPECT_TRUE(SamePath(link->target, Destination() + "\\UnInstall.exe")) << link->target;
        EXPECT_EQ(link->workingFolder, Destination());
        auto program = std::make_unique<Program>(link->target, link->workingFolder);
        EXPECT_TRUE(program->started());
        return program;
    }

    // The application's window that a start produced, checked and closed.
    static void ExpectApplicationInDestination(DWORD expectedPid) {
        HWND window = WaitForApplicationWindow(30s);
        ASSERT_NE(window, nullptr) << "the application did not show its window";
        if (expectedPid) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            EXPECT_EQ(pid, expectedPid);
        }
        EXPECT_TRUE(WaitFor([&] { return ItemText(window, kAppFolderItem) == Destination(); }))
            << ItemText(window, kAppFolderItem);
        EXPECT_TRUE(CloseAndWaitForExit(window, 20000));
    }

    std::vector<std::string> logLines_;

private:
    ComApartment com_;
};

TEST_F(AfterInstallation, TheFinishPageAndTheProgramShortcutsStartTheApplicationInItsFolder) {
    ASSERT_NO_FATAL_FAILURE(Install(true));
    ASSERT_NO_FATAL_FAILURE(ExpectApplicationInDestination(0));

    for (const std::string& shortcut : {GroupFolder() + kProgramShortcut, DesktopFolder() + kProgramShortcut}) {
        SCOPED_TRACE(shortcut);
        const auto link = ReadShortcut(shortcut);
        ASSERT_TRUE(link);
        EXPECT_TRUE(SamePath(link->target, Destination() + "\\QuorVel.exe")) << link->target;
        Program application(link->target, link->workingFolder);
        ASSERT_TRUE(application.started());
        ASSERT_NO_FATAL_FAILURE(ExpectApplicationInDestination(application.ProcessId()));
        EXPECT_TRUE(application.Exited(10s));
    }
}

TEST_F(AfterInstallation, RemovalAnsweredYesKeepsTheUsersFilesAndDataOnPurpose) {
    ASSERT_NO_FATAL_FAILURE(Install(false));
    const std::string userFile = Destination() + "\\" + kUserFileName;
    ASSERT_TRUE(WriteWhole(userFile, kUserFileText));

    const auto uninstaller = StartUninstallerFromShortcut();
    ASSERT_TRUE(uninstaller && uninstaller->started());
    Box question;
    ASSERT_TRUE(WaitBoxOf(uninstaller->ProcessId(), kUninstallCaption, question, 30s));
    EXPECT_TRUE(HasButton(question, IDYES) && HasButton(question, IDNO));
    ASSERT_TRUE(AnswerBox(question, IDYES));
    Box data;
    ASSERT_TRUE(WaitBoxOf(uninstaller->ProcessId(), kUninstallCaption, data, 30s));
    EXPECT_NE(data.text.find(kDataFiles[0]), std::string::npos) << data.text;
    ASSERT_TRUE(AnswerBox(data, IDNO));

    Box report;
    ASSERT_TRUE(WaitBoxOf(uninstaller->ProcessId(), kUninstallCaption, report, 60s));
    // The copy that removes UnInstall.exe once the uninstaller has ended
    // is already running; it is waited for below.
    const std::vector<DWORD> helpers = ChildProcesses(uninstaller->ProcessId());
    EXPECT_FALSE(helpers.empty()) << "no copy was started to remove the uninstaller itself";
    // The user's own file and data are kept on purpose: no failure, no
    // invitation to delete them by hand.
    EXPECT_EQ(report.text.rfind("Приложение \"Кворвель 2.0\" удалено с Вашего компьютера.", 0), 0u) << report.text;
    EXPECT_NE(report.text.find("Папка " + Destination() + " сохранена, так как в ней остались"), std::string::npos)
        << report.text;
    EXPECT_EQ(report.text.find("вручную"), std::string::npos) << report.text;
    EXPECT_EQ(report.text.find("UnInstall"), std::string::npos) << report.text;
    EXPECT_EQ(report.text.find("перезагрузки"), std::string::npos) << report.text;
    ASSERT_TRUE(AnswerBox(report, IDOK));
    ASSERT_TRUE(uninstaller->Exited(30s));
    EXPECT_EQ(uninstaller->ExitCode(), 0u);
    ASSERT_TRUE(WaitProcessesEnded(helpers, 60s)) << "the removal of the uninstaller did not end";

    for (const LogLine& line : ParseLog(logLines_)) {
        if (line.path == Destination() || IsDataFile(line.path)) continue;
        EXPECT_FALSE(Exists(line.path)) << line.path << "=" << line.kind << " is still there";
    }
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(Exists(GroupFolder()));
    EXPECT_FALSE(Exists(DesktopFolder() + kProgramShortcut));
    EXPECT_TRUE(IsFolder(ProgramsFolder()));
    EXPECT_TRUE(IsFolder(DesktopFolder()));

    // The user's file and data stay, and nothing else is left beside them.
    EXPECT_EQ(ReadWhole(userFile).value_or("<missing>"), kUserFileText);
    const std::vector<FolderEntry> left = ListFolder(Destination());
    ASSERT_EQ(left.size(), 3u) << Describe(left);
    for (const FolderEntry& entry : left) {
        EXPECT_TRUE(entry.name == kUserFileName || IsDataFile(entry.name)) << entry.name;
    }
}

TEST_F(AfterInstallation, RemovalAnsweredNoChangesNothing) {
    ASSERT_NO_FATAL_FAILURE(Install(false));
    const std::string before = InstallationState();

    const auto uninstaller = StartUninstallerFromShortcut();
    ASSERT_TRUE(uninstaller && uninstaller->started());
    Box question;
    ASSERT_TRUE(WaitBoxOf(uninstaller->ProcessId(), kUninstallCaption, question, 30s));
    ASSERT_TRUE(AnswerBox(question, IDNO));
    ASSERT_TRUE(uninstaller->Exited(30s)) << "the uninstaller went on after No";
    EXPECT_TRUE(ChildProcesses(uninstaller->ProcessId()).empty());

    EXPECT_EQ(InstallationState(), before);
}

// The registration still names the installation: the user is told that
// only the product's own files would go, and No keeps everything.
TEST_F(AfterInstallation, ALogWithoutAUsableLineIsReportedBeforeTheQuestion) {
    ASSERT_NO_FATAL_FAILURE(Install(false));
    std::string garbage;
    for (int i = 0; i < 300; ++i) garbage += static_cast<char>((i * 73 + 11) % 256);
    ASSERT_TRUE(WriteWhole(InDestination("UnInstall.dat"), garbage));
    const std::string before = InstallationState();

    const auto uninstaller = StartUninstallerFromShortcut();
    ASSERT_TRUE(uninstaller && uninstaller->started());
    Box box;
    ASSERT_TRUE(WaitBoxOf(uninstaller->ProcessId(), kUninstallCaption, box, 30s));
    EXPECT_EQ(box.text.rfind("Файл журнала установки повреждён:\n\n", 0), 0u) << box.text;
    EXPECT_NE(box.text.find("UnInstall.dat"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("Будут удалены только файлы приложения"), std::string::npos) << box.text;
    EXPECT_FALSE(HasButton(box, IDYES)) << "the warning is no question";
    ASSERT_TRUE(AnswerBox(box, IDOK));
    Box question;
    ASSERT_TRUE(WaitBoxOf(uninstaller->ProcessId(), kUninstallCaption, question, 30s));
    ASSERT_TRUE(HasButton(question, IDYES)) << question.text;
    ASSERT_TRUE(AnswerBox(question, IDNO));
    ASSERT_TRUE(uninstaller->Exited(30s));
    EXPECT_EQ(uninstaller->ExitCode(), 2u);

    EXPECT_EQ(InstallationState(), before);
}

}  // namespace
}  // namespace e2e
