// setup.exe as deployment tools start it, one case per row, each in a fresh
// Wine prefix: the switches, the windows the run shows (none, or only the
// progress page), the exit code, the log, and what lands on disk and in the
// registry; then the removal that the registration's QuietUninstallString
// runs.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/faults/fault_rig.h"
#include "toolkit/program_text.h"

namespace e2e {
namespace {

constexpr char kLogFile[] = "C:\\setup.log";
constexpr char kSetupCaption[] = "Установка Кворвель";
constexpr char kUserFileName[] = "Мои заметки.txt";

// What one run of setup.exe did, as seen from outside.
struct RunRecord {
    DWORD exitCode = 0xFFFF;
    std::set<std::string> visibleWindows;  // the names of every window of it seen on screen
    std::string log;                       // its /LOG file: UTF-8, as the test's own texts
};

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// Runs a program to its end, noting every window of it that shows;
// `interact` plays the person at the screen, if there is one.
RunRecord RunToEnd(const std::string& program, const std::string& arguments,
             const std::function<void(const Program&)>& interact = {}) {
    RunRecord run;
    DeleteFileW(qv::ToWide(kLogFile).c_str());
    Program started(program, "C:\\", arguments);
    EXPECT_TRUE(started.started());
    if (!started.started()) return run;
    if (interact) interact(started);
    const bool ended = WaitFor([&] {
        for (HWND window : TopLevelWindowsOf(started.ProcessId())) {
            if (IsWindowVisible(window)) run.visibleWindows.insert(NameOf(window).empty() ? ClassOf(window) : NameOf(window));
        }
        return started.Exited(0ms);
    }, 180s);
    EXPECT_TRUE(ended) << program << " " << arguments << " did not end";
    if (!ended) return run;
    run.exitCode = started.ExitCode();
    run.log = ReadWhole(kLogFile).value_or("");
    return run;
}

struct Row {
    const char* name;
    const char* program;
    std::string arguments;
    DWORD exitCode;
    std::function<void(const Program&)> interact;  // while it runs
    std::function<void(const RunRecord&)> check;
    // What the case needs to be there while the program runs.
    std::function<std::shared_ptr<void>()> prepare = [] { return std::shared_ptr<void>(); };
};

// Dates.dat of the default destination held open by another program.
std::shared_ptr<void> HoldDates() {
    auto held = std::make_shared<HeldTarget>();
    EXPECT_TRUE(held->held());
    return held;
}

// The machine without its "Program Files" folder.
std::shared_ptr<void> WithoutProgramFiles() {
    auto away = std::make_shared<ProgramFilesAway>();
    EXPECT_TRUE(away->moved());
    return away;
}

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

// A setup program already running: the wizard on its first page.
std::shared_ptr<void> FirstSetup() {
    auto first = std::make_shared<Wizard>(QV_SETUP_EXE);
    EXPECT_TRUE(first->WaitShown("Form2", 30s));
    return first;
}

void ExpectNoWindow(const RunRecord& run) {
    EXPECT_TRUE(run.visibleWindows.empty()) << "a window showed: " << *run.visibleWindows.begin();
}

void ExpectNothingInstalled() {
    EXPECT_FALSE(Exists(kDefaultDestination));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

// A run that one of the pages' checks refuses: exit 1, no window, nothing
// installed nor at any of `nowhere`, and the refusal in the log.
Row Refused(const char* name, const std::string& switches, const std::string& logged,
            const std::vector<std::string>& nowhere = {}) {
    return {name, QV_SETUP_EXE, switches + " /LOG=\"" + kLogFile + "\"", 1, {},
            [logged, nowhere](const RunRecord& run) {
                ExpectNoWindow(run);
                ExpectNothingInstalled();
                for (const std::string& path : nowhere) EXPECT_FALSE(Exists(path)) << path;
                EXPECT_NE(run.log.find(logged), std::string::npos) << run.log;
            }};
}

const std::string kDestination = "C:\\Программы\\Кворвель";
const std::string kGroup = "Тест\\Кворвель";

// One character longer than a folder that holds every file whole.
const std::string kTooLongFolder = "C:\\QV-too-long";
const std::string kTooLong = kTooLongFolder + "\\" + std::string(250 - kTooLongFolder.size() - 1, 'x');

// A link planted at a payload file's place, and what it points at.
const std::string kLinked = "C:\\QV";
const std::string kVictim = "C:\\Other\\victim.txt";
const std::string kVictimText = "чужой файл";

// Names outside every 8-bit code page: a Latin letter, CJK, a character of
// two UTF-16 units, a digit in a circle.
const std::string kAnyNamedFolder = "C:\\Zoë\\日本\\😀";
const std::string kAnyNamedGroup = "Кворвель ①";

std::string Quiet(const std::string& switches) { return switches + " /LOG=\"" + kLogFile + "\""; }

// The removal the registration's QuietUninstallString runs, to its end and
// its helpers' end.
void RemoveQuietly() {
    const auto quiet = ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString");
    ASSERT_TRUE(quiet);
    // As written: the quoted program, then its switches.
    const std::string command = quiet->data.substr(0, quiet->data.find('\0'));
    const size_t close = command.find('"', 1);
    ASSERT_TRUE(command[0] == '"' && close != std::string::npos) << command;
    Program removal(command.substr(1, close - 1), "", command.substr(close + 1));
    ASSERT_TRUE(removal.started());
    std::vector<DWORD> helpers;
    ASSERT_TRUE(WaitFor([&] {
        for (DWORD child : ChildProcesses(removal.ProcessId())) helpers.push_back(child);
        return removal.Exited(0ms);
    }, 120s));
    EXPECT_EQ(removal.ExitCode(), 0u);
    ASSERT_TRUE(WaitProcessesEnded(helpers, 60s));
}

// After the removal: no registration, no shortcut, and in the destination
// only the user's data (and `alsoLeft`).
void ExpectRemovedButTheUsersFiles(std::set<std::string> alsoLeft = {}) {
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(Exists(GroupFolder()));
    EXPECT_FALSE(Exists(DesktopFolder() + kProgramShortcut));
    std::set<std::string> left;
    for (const FolderEntry& entry : ListFolder(kDefaultDestination)) left.insert(entry.name);
    alsoLeft.insert({"Group.txt", "People.dat"});
    EXPECT_EQ(left, alsoLeft);
}

// A setup run killed once its first shortcut is there (or ended by then).
std::shared_ptr<void> KilledAfterTheFirstShortcut() {
    Program first(QV_SETUP_EXE, "C:\\", "/VERYSILENT /SUPPRESSMSGBOXES");
    EXPECT_TRUE(WaitFor([&] { return Exists(GroupFolder() + kProgramShortcut) || first.Exited(0ms); }, 120s));
    TerminateProcess(first.Process(), 9);
    EXPECT_TRUE(first.Exited(30s));
    return nullptr;
}

// Marks the case skipped (the test returns once `prepare` has).
void Skip(const std::string& why) { GTEST_SKIP() << why; }

std::shared_ptr<void> FullDisk() {
    auto disk = std::make_shared<SmallDisk>();
    if (!disk->mounted()) {
        Skip(std::string("no 1 MB file system could be mounted at ") + SmallDisk::kFolder +
             " (mount -t tmpfs needs root): the full-disk case is not run");
        return nullptr;
    }
    return disk;
}

std::shared_ptr<void> LinkInTheDestination() {
    EXPECT_TRUE(MakeFolders(kLinked) && MakeFolders("C:\\Other") && WriteWhole(kVictim, kVictimText));
    if (!MakeUnixLink(kVictim, kLinked + "\\Descript.txt") ||
        ReadWhole(kLinked + "\\Descript.txt") != kVictimText) {
        Skip("no link could be made with ln -s under Wine: the planted-link case is not run");
    }
    return nullptr;
}

const Row kRows[] = {
    {"VerySilentInstallsWhatTheWizardWouldAndNamesEveryFile", QV_SETUP_EXE,
     "/VERYSILENT /SUPPRESSMSGBOXES /DIR=\"" + kDestination + "\" /GROUP=\"" + kGroup + "\" /TASKS=\"\" /LOG=\"" +
         kLogFile + "\"",
     0, {},
     [](const RunRecord& run) {
         ExpectNoWindow(run);
         const std::string group = ProgramsFolder() + "\\" + kGroup;
         ExpectFilesInstalled(kDestination);
         ExpectUninstallLog(kDestination, ExpectedLogLines(kDestination, group, ""));
         ExpectGroupShortcuts(group, kDestination);
         EXPECT_FALSE(Exists(DesktopFolder() + kProgramShortcut));
         ExpectRegistration(kDestination);
         for (const std::string& name : PayloadNames()) {
             EXPECT_NE(run.log.find("Установлен файл " + kDestination + "\\" + name + " ("), std::string::npos) << name;
         }
         EXPECT_NE(run.log.find("Код завершения: 0"), std::string::npos) << run.log;
     }},
    {"SilentShowsOnlyTheProgressPage", QV_SETUP_EXE, std::string("/SILENT /LOG=\"") + kLogFile + "\"", 0, {},
     [](const RunRecord& run) {
         // The progress page, and the program's button in the taskbar (a
         // window of no size): not the question about the folder that is
         // already there, which is answered by rule.
         EXPECT_EQ(run.visibleWindows, (std::set<std::string>{"Form7", "QvTaskbar"}));
         EXPECT_NE(run.log.find("Окно сообщения (не показано) «Папка уже существует»"), std::string::npos) << run.log;
         ExpectFilesInstalled(kDefaultDestination);
         EXPECT_TRUE(ProcessesNamed(kAppImage).empty()) << "the application was started";
     },
     [] {
         EXPECT_TRUE(MakeFolders(kDefaultDestination));
         return std::shared_ptr<void>();
     }},
    {"AHeldFileIsRetriedThreeTimesThenAborted", QV_SETUP_EXE,
     std::string("/VERYSILENT /SUPPRESSMSGBOXES /LOG=\"") + kLogFile + "\"", 5, {},
     [](const RunRecord& run) {
         ExpectNoWindow(run);
         EXPECT_EQ(Count(run.log, kHeldCopyError), 4u) << run.log;
         EXPECT_EQ(Count(run.log, "ответ: Повтор"), 3u) << run.log;
         EXPECT_EQ(Count(run.log, "ответ: Прервать"), 1u) << run.log;
         EXPECT_NE(run.log.find("Файл не установлен: " + InDestination(kHeldEntry)), std::string::npos) << run.log;
     },
     HoldDates},
    {"AnUnknownSwitchInASilentRunInstallsNothing", QV_SETUP_EXE,
     std::string("/VERYSILENT /FROBNICATE /LOG=\"") + kLogFile + "\"", 1, {},
     [](const RunRecord& run) {
         ExpectNoWindow(run);
         ExpectNothingInstalled();
         EXPECT_NE(run.log.find("Неизвестный параметр командной строки: /FROBNICATE"), std::string::npos) << run.log;
     }},
    {"AnUnknownSwitchInTheWizardIsNamedInABox", QV_SETUP_EXE, "/FROBNICATE", 1,
     [](const Program& setup) {
         Box box;
         ASSERT_TRUE(WaitBoxOf(setup.ProcessId(), kSetupCaption, box));
         EXPECT_EQ(box.text.rfind("Неизвестный параметр командной строки: /FROBNICATE", 0), 0u) << box.text;
         ASSERT_TRUE(AnswerBox(box, IDOK));
     },
     [](const RunRecord&) { ExpectNothingInstalled(); }},
    Refused("ABlankDestinationIsRefusedWithNothingWritten", "/VERYSILENT /SUPPRESSMSGBOXES /DIR=\"  \"",
            "Укажите папку, в которую будет установлено приложение Кворвель.",
            {"C:\\UnInstall.dat", "C:\\lic.txt"}),  // never the root of the current drive
    Refused("ADestinationWithoutItsDriveIsRefusedWithNothingWritten", "/VERYSILENT /DIR=QV",
            "Укажите полный путь к папке установки", {"C:\\QV"}),
    Refused("AGroupOutsideTheProgramsFolderIsRefused", "/VERYSILENT /GROUP=\"..\"", "Неверное имя папки"),
    Refused("ADestinationTooLongForItsFilesIsRefusedWithNothingWritten",
            "/VERYSILENT /SUPPRESSMSGBOXES /DIR=\"" + kTooLong + "\"",
            "Путь к папке установки должен быть не длиннее 245 символов", {kTooLongFolder, GroupFolder()}),
    {"AFullDiskIsNamedInTheBoxAndTheLogAndTheRunTakenBack", QV_SETUP_EXE,
     Quiet("/VERYSILENT /SUPPRESSMSGBOXES /DIR=\"" + std::string(SmallDisk::kFolder) + "\\QuorVel\""), 5, {},
     [](const RunRecord& run) {
         EXPECT_NE(run.log.find(" / Недостаточно места на диске C:."), std::string::npos) << run.log;
         EXPECT_NE(run.log.find(": (112) "), std::string::npos) << run.log;
         EXPECT_EQ(run.log.find("(0)"), std::string::npos) << run.log;
         EXPECT_FALSE(Exists(std::string(SmallDisk::kFolder) + "\\QuorVel"));
         ExpectNothingInstalled();
     },
     FullDisk},
    {"ALinkAtAFilesPlaceIsNotFollowedAndTheRunSaysSo", QV_SETUP_EXE,
     Quiet("/VERYSILENT /SUPPRESSMSGBOXES /DIR=" + kLinked), 4, {},
     [](const RunRecord& run) {
         EXPECT_EQ(ReadWhole(kVictim).value_or(""), kVictimText);
         EXPECT_NE(run.log.find("Файл не записан: " + kLinked + "\\Descript.txt / На его месте находится ссылка"),
                   std::string::npos) << run.log;
         EXPECT_EQ(run.log.find("Установлен файл " + kLinked + "\\Descript.txt"), std::string::npos) << run.log;
         EXPECT_NE(run.log.find("Установлен файл " + kLinked + "\\Dates.dat"), std::string::npos) << run.log;
     },
     LinkInTheDestination},
    {"AKilledRunIsTakenOverByTheNextAndItsRemovalLeavesNothing", QV_SETUP_EXE,
     Quiet("/VERYSILENT /SUPPRESSMSGBOXES"), 0, {},
     [](const RunRecord&) {
         ASSERT_NO_FATAL_FAILURE(RemoveQuietly());
         ExpectRemovedButTheUsersFiles();
     },
     KilledAfterTheFirstShortcut},
    {"NoProgramFilesFolderIsLoggedAndTheRunEndsWithoutACrash", QV_SETUP_EXE,
     std::string("/VERYSILENT /SUPPRESSMSGBOXES /LOG=\"") + kLogFile + "\"", 0, {},
     [](const RunRecord& run) {
         ExpectNoWindow(run);
         EXPECT_NE(run.log.find("Папка \"C:\\Program Files\" не найдена или недоступна."), std::string::npos)
             << run.log;
         // Where the folder list stood, never the drive's root.
         ExpectFilesInstalled("C:\\QuorVel V2.0");
         EXPECT_FALSE(Exists("C:\\UnInstall.dat"));
     },
     WithoutProgramFiles},
    {"ALogThatCannotBeWrittenStopsTheRunBeforeAnythingChanges", QV_SETUP_EXE,
     "/VERYSILENT /SUPPRESSMSGBOXES /LOG=\"C:\\no such folder\\setup.log\"", 1, {},
     [](const RunRecord& run) {
         ExpectNoWindow(run);
         ExpectNothingInstalled();
     }},
    {"ASecondSetupIsRefused", QV_SETUP_EXE, std::string("/VERYSILENT /SUPPRESSMSGBOXES /LOG=\"") + kLogFile + "\"", 3,
     {},
     [](const RunRecord& run) {
         ExpectNoWindow(run);
         EXPECT_NE(run.log.find("Программа установки уже запущена."), std::string::npos) << run.log;
     },
     FirstSetup},
    {"AFolderAndAGroupOfAnyNameAreUsedAsGivenAndGoWhole", QV_SETUP_EXE,
     Quiet("/VERYSILENT /SUPPRESSMSGBOXES /DIR=\"" + kAnyNamedFolder + "\" /GROUP=\"" + kAnyNamedGroup +
           "\" /TASKS=\"\""),
     0, {},
     [](const RunRecord& run) {
         const std::string group = ProgramsFolder() + "\\" + kAnyNamedGroup;
         ExpectFilesInstalled(kAnyNamedFolder);
         ExpectUninstallLog(kAnyNamedFolder, ExpectedLogLines(kAnyNamedFolder, group, ""));
         ExpectGroupShortcuts(group, kAnyNamedFolder);
         ExpectRegistration(kAnyNamedFolder);
         EXPECT_NE(run.log.find("Папка установки: " + kAnyNamedFolder), std::string::npos) << run.log;
         ASSERT_NO_FATAL_FAILURE(RemoveQuietly());
         EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
         EXPECT_FALSE(Exists(group));
         std::set<std::string> left;
         for (const FolderEntry& entry : ListFolder(kAnyNamedFolder)) left.insert(entry.name);
         EXPECT_EQ(left, (std::set<std::string>{"Group.txt", "People.dat"}));
     }},
    {"ANonAdministratorIsRefused", QV_SETUP_REFUSED_EXE, "/VERYSILENT /SUPPRESSMSGBOXES", 6, {},
     [](const RunRecord& run) {
         ExpectNoWindow(run);
         ExpectNothingInstalled();
     }},
    {"QuietUninstallStringRemovesAllButTheUsersFiles", QV_SETUP_EXE, "/VERYSILENT /SUPPRESSMSGBOXES", 0, {},
     [](const RunRecord&) {
         ASSERT_TRUE(WriteWhole(InDestination(kUserFileName), "мои записи\r\n"));
         ASSERT_NO_FATAL_FAILURE(RemoveQuietly());
         // The user's own file and data stay; nothing of the installation else.
         ExpectRemovedButTheUsersFiles({kUserFileName});
     }},
};

class Unattended : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override {
        ASSERT_TRUE(com_.ok());
        // Relative paths of the programs started resolve on C:.
        SetCurrentDirectoryW(L"C:\\");
    }

    CleanSystem clean_;

private:
    ComApartment com_;
};

TEST_P(Unattended, Runs) {
    const Row& row = GetParam();
    const std::shared_ptr<void> prepared = row.prepare();
    if (IsSkipped()) return;
    ASSERT_FALSE(HasFailure());
    const RunRecord run = RunToEnd(row.program, row.arguments, row.interact);
    EXPECT_EQ(run.exitCode, row.exitCode) << run.log;
    ASSERT_NO_FATAL_FAILURE(row.check(run));
}

INSTANTIATE_TEST_SUITE_P(Rows, Unattended, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
