// An installation's whole life, from the wizard (or an unattended run) to its
// removal, one case per row, each in a fresh Wine prefix: the disk and the
// registry are looked at after the installation and again after the removal.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <functional>
#include <set>

#include "tests/e2e/faults/fault_rig.h"
#include "toolkit/program_text.h"

namespace e2e {
namespace {

constexpr char kDataKept[] = "Файлы с Вашими данными сохранены";

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const FolderEntry& entry : ListFolder(folder)) names.insert(entry.name);
    return names;
}

const std::set<std::string> kUserData = {"Group.txt", "People.dat"};

// Setup's own boxes while it installs: errors are acknowledged, a failed
// copy is passed over (Ignore), until the finish page comes.
void AnswerUntilTheFinishPage(const Wizard& wizard, std::vector<std::string>& texts) {
    const auto end = std::chrono::steady_clock::now() + 180s;
    while (!wizard.Visible("Form8")) {
        ASSERT_LT(std::chrono::steady_clock::now(), end) << "the finish page did not come";
        Box box;
        if (!WaitBoxOf(wizard.ProcessId(), kInstallCaption, box, 200ms)) continue;
        texts.push_back(box.text);
        ASSERT_TRUE(AnswerBox(box, HasButton(box, IDIGNORE) ? IDIGNORE : IDOK)) << box.text;
    }
}

// Installs through the wizard with what is typed on its pages ("" keeps the
// page's own value); returns the boxes it showed on the way.
// `atStart` plays the person while the wizard starts.
std::vector<std::string> InstallWithTheWizard(const std::string& typedDestination, const std::string& typedGroup,
                                              DWORD exitCode, const std::string& program = QV_SETUP_EXE,
                                              std::string* finishTitle = nullptr, bool* canStart = nullptr,
                                              const std::function<void(const Wizard&)>& atStart = {}) {
    std::vector<std::string> texts;
    Wizard wizard{program};
    if (atStart) {
        EXPECT_NO_FATAL_FAILURE(atStart(wizard));
    }
    EXPECT_NO_FATAL_FAILURE(WalkTo(wizard, "Form4"));
    if (!typedDestination.empty()) wizard.SetText("Form4", "edDir", typedDestination);
    EXPECT_NO_FATAL_FAILURE(WalkTo(wizard, "Form5"));
    if (!typedGroup.empty()) wizard.SetText("Form5", "edNameGroup", typedGroup);
    EXPECT_NO_FATAL_FAILURE(WalkTo(wizard, "Form6"));
    EXPECT_NO_FATAL_FAILURE(StartInstallation(wizard));
    EXPECT_NO_FATAL_FAILURE(AnswerUntilTheFinishPage(wizard, texts));
    if (finishTitle) *finishTitle = wizard.Text("Form8", "StaticText1");
    if (canStart) *canStart = wizard.Enabled("Form8", "CheckBox") && wizard.Checked("Form8", "CheckBox");
    EXPECT_NO_FATAL_FAILURE(FinishWithoutStarting(wizard, exitCode));
    return texts;
}

void InstallSilently(const std::string& arguments, DWORD exitCode) {
    Program setup(QV_SETUP_EXE, "C:\\", "/VERYSILENT /SUPPRESSMSGBOXES " + arguments);
    ASSERT_TRUE(setup.started());
    ASSERT_TRUE(setup.Exited(180s));
    EXPECT_EQ(setup.ExitCode(), exitCode) << arguments;
}

// What a removal said and returned.
struct Removal {
    DWORD exitCode = 0xFFFF;
    std::string report;  // the closing box, or the box that ended it
};

enum class DataAnswer { None, Keep, Remove };

// Waits for the removal's processes (the uninstaller and the copy that
// removes it once it has ended) to be gone.
void WaitForTheEnd(const Program& removal, std::vector<DWORD>& helpers, Removal& result) {
    ASSERT_TRUE(WaitFor([&] {
        for (DWORD child : ChildProcesses(removal.ProcessId())) helpers.push_back(child);
        return removal.Exited(0ms);
    }, 120s)) << "the removal did not end";
    // A copy started just before the end was not there at the last look.
    for (DWORD child : ChildProcesses(removal.ProcessId())) helpers.push_back(child);
    result.exitCode = removal.ExitCode();
    ASSERT_TRUE(WaitProcessesEnded(helpers, 60s)) << "the removal of the uninstaller did not end";
}

// UnInstall.exe of `folder` as a person runs it: Yes to the removal, the
// given answer to the question about the user's data, Cancel when files are
// in use (`cancelInUse`), OK to the report.
Removal RemoveInteractively(const std::string& folder, DataAnswer data, bool cancelInUse = false) {
    Removal result;
    Program removal(folder + "\\UnInstall.exe", folder);
    EXPECT_TRUE(removal.started());
    Box box;
    EXPECT_TRUE(WaitBoxOf(removal.ProcessId(), kUninstallCaption, box, 30s));
    EXPECT_TRUE(AnswerBox(box, IDYES));
    std::vector<DWORD> helpers;
    for (;;) {
        const bool shown = WaitFor([&] {
            for (DWORD child : ChildProcesses(removal.ProcessId())) helpers.push_back(child);
            if (removal.Exited(0ms)) return true;
            const std::vector<Box> boxes = MessageBoxesOf(removal.ProcessId());
            for (const Box& found : boxes) {
                if (found.caption == kUninstallCaption && !found.text.empty() && found.hwnd != box.hwnd) {
                    box = found;
                    return true;
                }
            }
            return false;
        }, 60s);
        EXPECT_TRUE(shown) << "the removal stopped without a box";
        if (!shown || removal.Exited(0ms)) break;
        if (HasButton(box, IDRETRY)) {  // files in use
            result.report = box.text;
            EXPECT_TRUE(cancelInUse) << box.text;
            AnswerBox(box, IDCANCEL);
        } else if (HasButton(box, IDYES)) {  // the user's data
            EXPECT_NE(data, DataAnswer::None) << box.text;
            AnswerBox(box, data == DataAnswer::Remove ? IDYES : IDNO);
        } else {
            result.report = box.text;
            AnswerBox(box, IDOK);
        }
    }
    EXPECT_NO_FATAL_FAILURE(WaitForTheEnd(removal, helpers, result));
    return result;
}

Removal RemoveSilently(const std::string& folder) {
    Removal result;
    Program removal(folder + "\\UnInstall.exe", "C:\\", "/SILENT");
    EXPECT_TRUE(removal.started());
    std::vector<DWORD> helpers;
    EXPECT_NO_FATAL_FAILURE(WaitForTheEnd(removal, helpers, result));
    return result;
}

// After a removal that kept only the user's data: the destination holds
// just that, and nothing else of the installation is anywhere.
void ExpectRemovedButTheData(const std::string& destination, const std::string& group) {
    EXPECT_EQ(Names(destination), kUserData);
    EXPECT_FALSE(Exists(group));
    EXPECT_FALSE(Exists(DesktopFolder() + kProgramShortcut));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

std::string StartMenu() { return ShellFolder(CSIDL_COMMON_STARTMENU); }

// A group name that Windows refuses for a folder: the installation goes on
// without its Start-menu shortcuts where the folder cannot be made, and says
// so (exit 4; the file system under Wine takes a colon all the same), and its
// removal is not stopped by the lines that name them, and takes them where
// they were made.
void GroupThatCannotBeAFolder(const std::string& group, DWORD exitCode) {
    std::string title;
    InstallWithTheWizard("", group, exitCode, QV_SETUP_EXE, &title);
    EXPECT_EQ(title == kFinishedWithErrors, exitCode == 4) << title;
    ExpectFilesInstalled(kDefaultDestination);
    ExpectRegistration(kDefaultDestination);
    const Removal removal = RemoveInteractively(kDefaultDestination, DataAnswer::Keep);
    EXPECT_EQ(removal.exitCode, 0u) << removal.report;
    EXPECT_NE(removal.report.find(kDataKept), std::string::npos) << removal.report;
    EXPECT_EQ(removal.report.find("вручную"), std::string::npos) << removal.report;
    ExpectRemovedButTheData(kDefaultDestination, ProgramsFolder() + "\\" + group);
}

// A destination nothing can be written to: the installation ends with
// errors, says the program is not registered, and leaves nothing behind
// that would need removing.
void DestinationThatCannotBeWritten(const std::string& typed) {
    std::string title;
    const std::vector<std::string> texts = InstallWithTheWizard(typed, "", 4, QV_SETUP_EXE, &title);
    EXPECT_EQ(title, kFinishedWithErrors);
    ASSERT_FALSE(texts.empty());
    EXPECT_NE(texts.back().find("Программа не будет зарегистрирована"), std::string::npos) << texts.back();
    // Not in the list of programs; the key may keep the group folder the run
    // made, for the next run to take over.
    EXPECT_FALSE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
    EXPECT_FALSE(Exists(kDefaultDestination));
}

// No "Program Files" on the Windows drive: the destination page says so in
// a box while it is made, the wizard starts once the box is answered, and
// the installation goes where the folder list stands.
void WithoutProgramFiles() {
    const ProgramFilesAway away;
    ASSERT_TRUE(away.moved());
    const auto answerTheBox = [](const Wizard& wizard) {
        Box box;
        ASSERT_TRUE(WaitBoxOf(wizard.ProcessId(), "", box, 60s));
        EXPECT_EQ(box.text, "Папка \"C:\\Program Files\" не найдена или недоступна.");
        Wizard::SaveScreen("1x-no-program-files");
        ASSERT_TRUE(AnswerBox(box, IDOK));
    };
    InstallWithTheWizard("", "", 0, QV_SETUP_EXE, nullptr, nullptr, answerTheBox);
    ExpectFilesInstalled("C:\\QuorVel V2.0");
    ExpectRegistration("C:\\QuorVel V2.0");
}

// A copy of setup.exe whose entry of the application has a broken SZDD
// signature, as a download damaged on its way would have it.
std::string SetupWithADamagedEntry() {
    const std::string copy = "C:\\setup-damaged.exe";
    EXPECT_TRUE(CopyFileW(qv::ToWide(QV_SETUP_EXE).c_str(), qv::ToWide(copy).c_str(), FALSE));
    HMODULE original = LoadLibraryExW(qv::ToWide(QV_SETUP_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(original, nullptr);
    const HRSRC found = FindResourceExW(original, L"SETUP", L"101", MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT));
    EXPECT_NE(found, nullptr);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(original, found)));
    std::string entry(bytes, SizeofResource(original, found));
    FreeLibrary(original);
    entry[20] = 'X';  // the first byte of the stream's signature
    HANDLE update = BeginUpdateResourceW(qv::ToWide(copy).c_str(), FALSE);
    EXPECT_NE(update, nullptr);
    EXPECT_TRUE(UpdateResourceW(update, L"SETUP", L"101", MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), entry.data(),
                                static_cast<DWORD>(entry.size())));
    EXPECT_TRUE(EndUpdateResourceW(update, FALSE));
    return copy;
}

// Adds lines of ASCII to the log, in the form it is kept in.
bool AppendToLog(const std::string& destination, const std::string& lines) {
    const std::string path = destination + "\\UnInstall.dat";
    const std::optional<std::string> bytes = ReadWhole(path);
    if (!bytes) return false;
    std::string more = lines;  // the same bytes in every 8-bit code page
    if (bytes->rfind("\xFF\xFE", 0) == 0) {
        more.clear();
        for (const char c : lines) more += {c, '\0'};
    }
    return WriteWhole(path, *bytes + more);
}

// Lines that a user who may write to the installation folder adds to its
// log, naming the system's files, a document, a file of the user's own
// beside the installation and the same outside file in other spellings:
// the removal deletes none of them, says the log was changed, and still
// removes the whole product.
void ForeignLinesInTheLog() {
    InstallSilently("/DIR=\"C:\\QV\"", 0);
    const std::string document = ShellFolder(CSIDL_PERSONAL) + "\\report.doc";
    ASSERT_TRUE(MakeFolders("C:\\Other") && WriteWhole("C:\\Other\\keep.txt", "keep") &&
                WriteWhole(document, "doc") && WriteWhole("C:\\QV\\mynotes.txt", "notes"));
    const std::vector<std::string> victims = {"C:\\Other\\keep.txt", ShellFolder(CSIDL_WINDOWS) + "\\win.ini",
                                              ShellFolder(CSIDL_SYSTEM) + "\\kernel32.dll", document,
                                              "C:\\QV\\mynotes.txt"};
    std::string lines;
    for (const std::string& victim : victims) {
        ASSERT_TRUE(Exists(victim)) << victim;
        lines += victim + "=F\r\n";
    }
    lines += "C:\\QV\\..\\..\\Other\\keep.txt=F\r\nc:/Other/keep.txt=F\r\n";
    ASSERT_TRUE(AppendToLog("C:\\QV", lines));
    const Removal removal = RemoveInteractively("C:\\QV", DataAnswer::Remove);
    EXPECT_EQ(removal.exitCode, 2u);
    EXPECT_NE(removal.report.find("изменён после установки"), std::string::npos) << removal.report;
    EXPECT_NE(removal.report.find("вне установленного приложения"), std::string::npos) << removal.report;
    for (const std::string& victim : victims) EXPECT_TRUE(Exists(victim)) << victim;
    EXPECT_EQ(Names("C:\\QV"), std::set<std::string>{"mynotes.txt"});
    EXPECT_FALSE(Exists(GroupFolder()));
    EXPECT_FALSE(Exists(DesktopFolder() + kProgramShortcut));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

// A log cut in half: the registration names the group and the desktop
// shortcut, the contract the files; all of it goes.
void ALogCutShort() {
    InstallSilently("/DIR=\"C:\\QV\"", 0);
    const std::optional<std::string> text = ReadWhole("C:\\QV\\UnInstall.dat");
    // An even number of bytes: a log kept in UTF-16 stays UTF-16.
    ASSERT_TRUE(text && WriteWhole("C:\\QV\\UnInstall.dat", text->substr(0, text->size() / 4 * 2)));
    const Removal removal = RemoveSilently("C:\\QV");
    EXPECT_EQ(removal.exitCode, 2u);
    ExpectRemovedButTheData("C:\\QV", GroupFolder());
}

struct LifeRow {
    const char* name;
    std::function<void()> walk;
};

void PrintTo(const LifeRow& row, std::ostream* out) { *out << row.name; }

const LifeRow kRows[] = {
    {"AGroupWithADoubleQuote", [] { GroupThatCannotBeAFolder("Кворвель \"Справочник\"", 4); }},
    {"AGroupWithAColon", [] { GroupThatCannotBeAFolder("a:b", 0); }},
    {"AGroupWithAnAsterisk", [] { GroupThatCannotBeAFolder("a*b", 4); }},
    {"AGroupNamedDotDotIsRefused",
     [] {
         // "<Programs>\.." would be the Start menu itself: the group page
         // refuses it and stays; nothing is installed.
         Wizard wizard{QV_SETUP_EXE};
         ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form5"));
         wizard.SetText("Form5", "edNameGroup", "..");
         wizard.Click("Form5", "Next");
         Box box;
         ASSERT_TRUE(WaitBoxOf(wizard.ProcessId(), "Неверное имя папки", box));
         ASSERT_TRUE(AnswerBox(box, IDOK));
         ASSERT_TRUE(wizard.WaitShown("Form5"));
         wizard.CloseBox("Form5");
         ASSERT_TRUE(WaitBoxOf(wizard.ProcessId(), kExitCaption, box));
         ASSERT_TRUE(AnswerBox(box, IDYES));
         ASSERT_TRUE(wizard.Exited());
         EXPECT_EQ(wizard.ExitCode(), 2u);
         EXPECT_FALSE(Exists(StartMenu() + kProgramShortcut));
         EXPECT_FALSE(Exists(kDefaultDestination));
     }},
    {"NoProgramFilesFolder", WithoutProgramFiles},
    {"ADestinationOnAMissingDrive", [] { DestinationThatCannotBeWritten("Q:\\x"); }},
    {"ADestinationWithAnInvalidName", [] { DestinationThatCannotBeWritten("C:\\a<b>"); }},
    {"TheApplicationRunningDuringTheRemoval",
     [] {
         InstallWithTheWizard("", "", 0);
         Program application(InDestination(kAppImage), kDefaultDestination);
         ASSERT_TRUE(application.started());
         ASSERT_NE(WaitForApplicationWindow(30s), nullptr);
         const std::string before = InstallationState();
         // A person is asked to close it; Cancel leaves everything.
         Removal removal = RemoveInteractively(kDefaultDestination, DataAnswer::Keep, true);
         EXPECT_EQ(removal.exitCode, 2u);
         EXPECT_NE(removal.report.find(InDestination("Quorvel.exe")), std::string::npos) << removal.report;
         EXPECT_EQ(InstallationState(), before);
         // Unattended: nothing removed, "something left".
         removal = RemoveSilently(kDefaultDestination);
         EXPECT_EQ(removal.exitCode, 2u);
         EXPECT_EQ(InstallationState(), before);
         // Once it is closed, the removal goes through.
         CloseApplications();
         ASSERT_TRUE(application.Exited(30s));
         removal = RemoveSilently(kDefaultDestination);
         EXPECT_EQ(removal.exitCode, 0u);
         ExpectRemovedButTheData(kDefaultDestination, GroupFolder());
     }},
    {"ASecondInstallationElsewhereRemovesTheFirst",
     [] {
         // Only one installation can be in the list of programs: the first
         // goes, quietly, with its own uninstaller, before the second is
         // written; the user's data stays where it was.
         InstallSilently("/DIR=\"C:\\X\" /GROUP=\"Кворвель X\"", 0);
         InstallSilently("/DIR=\"C:\\Y\"", 0);
         // The uninstaller's copy removes the uninstaller itself once it has ended.
         EXPECT_TRUE(WaitFor([] { return Names("C:\\X") == kUserData; }, 60s));
         EXPECT_FALSE(Exists(ProgramsFolder() + "\\Кворвель X"));
         ExpectFilesInstalled("C:\\Y");
         ExpectGroupShortcuts(GroupFolder(), "C:\\Y");
         ExpectShortcut(DesktopFolder() + kProgramShortcut, "C:\\Y", kAppImage);
         ExpectRegistration("C:\\Y");
         const Removal removal = RemoveSilently("C:\\Y");
         EXPECT_EQ(removal.exitCode, 0u);
         ExpectRemovedButTheData("C:\\Y", GroupFolder());
     }},
    {"TheUsersDataIsKeptUnlessAskedAndTheFolderLevelsMadeGo",
     [] {
         // Kept by default: the folder levels holding the data stay; those
         // of the group, emptied, go.
         InstallSilently("/DIR=\"C:\\a\\b\\c\" /GROUP=\"A\\B\"", 0);
         ExpectRegistration("C:\\a\\b\\c");
         Removal removal = RemoveSilently("C:\\a\\b\\c");
         EXPECT_EQ(removal.exitCode, 0u);
         EXPECT_EQ(Names("C:\\a\\b\\c"), kUserData);
         EXPECT_FALSE(Exists(ProgramsFolder() + "\\A"));
         // Asked to go too: every level the installation made goes with them.
         InstallSilently("/DIR=\"C:\\e\\f\\g\" /GROUP=\"E\\F\"", 0);
         removal = RemoveInteractively("C:\\e\\f\\g", DataAnswer::Remove);
         EXPECT_EQ(removal.exitCode, 0u) << removal.report;
         EXPECT_FALSE(Exists("C:\\e"));
         EXPECT_FALSE(Exists(ProgramsFolder() + "\\E"));
         EXPECT_TRUE(IsFolder(ProgramsFolder()));
     }},
    {"AFolderThatWasThereBeforeStaysAfterTheRemoval",
     [] {
         // The user's own empty folder, installed into and emptied again
         // (the data too): the folder itself was never the installation's.
         ASSERT_TRUE(MakeFolders("C:\\Tools"));
         InstallSilently("/DIR=\"C:\\Tools\"", 0);
         const Removal removal = RemoveInteractively("C:\\Tools", DataAnswer::Remove);
         EXPECT_EQ(removal.exitCode, 0u) << removal.report;
         EXPECT_TRUE(IsFolder("C:\\Tools"));
         EXPECT_TRUE(Names("C:\\Tools").empty());
         EXPECT_FALSE(Exists(GroupFolder()));
     }},
    {"ADamagedEntryIsAFailedCopyAndTheFinishPageSaysSo",
     [] {
         std::string title;
         bool canStart = true;
         const std::vector<std::string> texts =
             InstallWithTheWizard("", "", 4, SetupWithADamagedEntry(), &title, &canStart);
         ASSERT_EQ(texts.size(), 1u);
         EXPECT_EQ(texts[0].rfind("Ошибка копирования файла: Quorvel.exe\n\nФайл в программе установки повреждён", 0),
                   0u) << texts[0];
         EXPECT_EQ(title, kFinishedWithErrors);
         EXPECT_FALSE(canStart) << "the application is offered, but it is not there";
         EXPECT_FALSE(Exists(InDestination("Quorvel.exe")));
         ExpectRegistration(kDefaultDestination);
         const Removal removal = RemoveSilently(kDefaultDestination);
         EXPECT_EQ(removal.exitCode, 0u);
         ExpectRemovedButTheData(kDefaultDestination, GroupFolder());
     }},
    {"ACloseRequestFromOutsideIsCancelAndAShutdownIsRefused",
     [] {
         // The worker waits at a copy error: the installation is running.
         HeldFile held(InDestination(kHeldEntry), kHeldText);
         ASSERT_TRUE(held.held());
         Wizard wizard{QV_SETUP_EXE};
         ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form6"));
         ASSERT_NO_FATAL_FAILURE(StartInstallation(wizard));
         Box copyError;
         ASSERT_NO_FATAL_FAILURE(WaitInstallBox(wizard, copyError));
         DWORD_PTR allowed = 1;
         ASSERT_TRUE(SendMessageTimeoutW(wizard.Form("Form1"), WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 20000, &allowed));
         EXPECT_EQ(allowed, 0u) << "a shutdown was allowed during the installation";
         // As the task list closes a program: every window of it asked to
         // close (the worker's own box aside, which has no Cancel).
         for (HWND window : TopLevelWindowsOf(wizard.ProcessId())) {
             if (window != copyError.hwnd) PostMessageW(window, WM_CLOSE, 0, 0);
         }
         Box confirmation;
         ASSERT_TRUE(WaitBoxOf(wizard.ProcessId(), kExitCaption, confirmation));
         EXPECT_EQ(confirmation.owner, wizard.Form("Form7"));
         ASSERT_TRUE(AnswerBox(confirmation, IDNO));
         EXPECT_TRUE(wizard.Visible("Form7"));
         EXPECT_TRUE(IsWindow(copyError.hwnd)) << "the installation went on while asked to stop";
         held.Release();
         ASSERT_TRUE(AnswerBox(copyError, IDRETRY));
         ASSERT_TRUE(wizard.WaitShown("Form8", 120s));
         ASSERT_TRUE(SendMessageTimeoutW(wizard.Form("Form1"), WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 20000, &allowed));
         EXPECT_NE(allowed, 0u) << "a shutdown is still refused after the installation";
         ASSERT_NO_FATAL_FAILURE(FinishWithoutStarting(wizard, 0));
         ExpectFilesInstalled(kDefaultDestination);
         const Removal removal = RemoveSilently(kDefaultDestination);
         EXPECT_EQ(removal.exitCode, 0u);
         ExpectRemovedButTheData(kDefaultDestination, GroupFolder());
     }},
    {"ForeignLinesInTheLogDeleteNothingOutside", ForeignLinesInTheLog},
    {"ALogCutShortStillRemovesTheWholeProduct", ALogCutShort},
    {"AnAbortedQuietInstallationTakesBackWhatItWrote",
     [] {
         // Held after the uninstaller is written: three retries, then Abort.
         HeldFile held(InDestination("QuorVel.chm"), "");
         ASSERT_TRUE(held.held());
         InstallSilently("", 5);
         held.Release();
         // The held file was there before, and setup never wrote it: it
         // stays; nothing else of the run does.
         EXPECT_EQ(Names(kDefaultDestination), std::set<std::string>{"QuorVel.chm"});
         EXPECT_FALSE(Exists(GroupFolder()));
         EXPECT_FALSE(Exists(DesktopFolder() + kProgramShortcut));
         EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
     }},
};

class Lifecycle : public ::testing::TestWithParam<LifeRow> {
protected:
    void SetUp() override {
        ASSERT_TRUE(com_.ok());
        SetCurrentDirectoryW(L"C:\\");  // the wizard's own folder, for relative destinations
    }
    void TearDown() override { CloseApplications(); }

    CleanSystem clean_;

private:
    ComApartment com_;
};

TEST_P(Lifecycle, FromInstallationToRemoval) { ASSERT_NO_FATAL_FAILURE(GetParam().walk()); }

INSTANTIATE_TEST_SUITE_P(Rows, Lifecycle, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
