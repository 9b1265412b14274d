// Runs the real UnInstall.exe against a prepared installation and answers
// its boxes the way a user would, then looks at the disk and the registry.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/install_contract.h"
#include "engine/uninstall_log.h"
#include "engine/win_ansi_text.h"
#include "engine/win_file_digest.h"
#include "engine/win_registry.h"
#include "engine/win_shortcut.h"
#include "payload/uninstaller/win_system.h"
#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/system_checks.h"
#include "toolkit/program_text.h"
#include "toolkit/win_handles.h"

namespace {

using e2e::Box;
using e2e::Exists;
using e2e::kUninstallCaption;
using e2e::kUninstallKey;

std::string UninstallerBuilt() { return e2e::WinePath(QV_UNINSTALLER_EXE); }

void WriteBytes(const std::string& path, const std::string& bytes) {
    EXPECT_TRUE(e2e::WriteWhole(path, bytes)) << path;
}

// Writes values into the uninstall key, as the installer does.
void WriteKeyValues(const std::vector<qv::RegistryValue>& values) {
    qv::WriteMachineValues(kUninstallKey, values, [](const std::string& name, unsigned long error) {
        ADD_FAILURE() << "cannot write " << name << ": " << error;
    });
}

void WriteKey(const std::string& uninstallString) {
    WriteKeyValues({{"DisplayName", std::string("Кворвель 2.0")},
                    {"DisplayIcon", std::string("unused")},
                    {"DisplayVersion", std::string("2.0")},
                    {"UninstallString", uninstallString}});
}

std::string ReadKeyCommand() {
    qv::UniqueRegKey key;
    if (qv::OpenMachineKeyToRead(kUninstallKey, key) != ERROR_SUCCESS) return "<none>";
    return qv::ReadStringValue(key.get(), "UninstallString").value_or(std::string());
}

// What a complete installation leaves behind, with the log the installer
// writes, laid out under a folder of its own.
struct Installation {
    std::string dest;
    std::string group;
    std::string desktopShortcut;
    std::vector<std::string> logLines;  // path=kind

    std::string Self() const { return dest + "\\UnInstall.exe"; }
    std::string Log() const { return dest + "\\UnInstall.dat"; }

    // Every file the installer made but the log (Peoples.clm never is).
    std::vector<std::string> MadeFiles() const {
        std::vector<std::string> files;
        for (const std::string& line : logLines) {
            const std::string path = line.substr(0, line.size() - 2);
            if (line.back() == 'F' && path.find("Peoples.clm") == std::string::npos && path != Log()) {
                files.push_back(path);
            }
        }
        return files;
    }
};

// dest and group as the installer would hold them: dest may end with a
// backslash, group may be the Programs folder plus a backslash.
Installation Install(const std::string& dest, const std::string& group, const std::string& desktop) {
    Installation in{dest, group, desktop + e2e::kProgramShortcut, e2e::ExpectedLogLines(dest, group, desktop)};
    for (const std::string& line : in.logLines) {
        const std::string path = line.substr(0, line.size() - 2);
        const std::string name = path.substr(path.find_last_of('\\') + 1);
        if (line.back() == 'D') {
            CreateDirectoryW(qv::ToWide(path).c_str(), nullptr);
        } else if (name == "UnInstall.exe") {
            EXPECT_TRUE(CopyFileW(qv::ToWide(UninstallerBuilt()).c_str(), qv::ToWide(path).c_str(), FALSE)) << UninstallerBuilt();
        } else if (name == "lic.txt") {
            WriteBytes(path, "Лицензионное соглашение\r\n");
        } else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".lnk") == 0) {
            WriteBytes(path, "link");
        } else if (name != "Peoples.clm" && name != "UnInstall.dat") {
            WriteBytes(path, "data of " + name);
        }
    }
    // In the form the installer chooses on this system.
    std::string text;
    for (const std::string& line : in.logLines) text += line + "\r\n";
    WriteBytes(in.Log(), qv::TextFileBytes(text, qv::ToAnsiCodePage).value_or(""));
    WriteKey(dest + "\\UnInstall.exe");
    // What the installer records for the uninstaller to trust over the log.
    WriteKeyValues({{"StartMenuGroup", group},
                    {"DesktopShortcut", in.desktopShortcut},
                    {"UninstallLogSha256", qv::FileHasher().Sha256(in.Log()).value_or("?")}});
    return in;
}

// The uninstaller started from its own folder, as the shortcut starts it.
class Uninstaller {
public:
    explicit Uninstaller(const Installation& in, const std::string& arguments = "")
        : program_(in.Self(), in.dest, arguments) {}
    bool started() const { return program_.started(); }

    // The message box the process shows next; an empty one if none shows.
    Box WaitForBox() const {
        Box box;
        e2e::WaitBoxOf(program_.ProcessId(), "", box, std::chrono::seconds(30));
        return box;
    }

    // The exit code, or -1 if it did not end within a minute.
    int WaitForExit() {
        return program_.Exited(std::chrono::minutes(1)) ? static_cast<int>(program_.ExitCode()) : -1;
    }

private:
    e2e::Program program_;
};

// Whether a path is gone within the time the copy in the temporary folder
// needs to remove the uninstaller after it ended.
bool GoneSoon(const std::string& path) {
    return e2e::WaitFor([&] { return !Exists(path); }, std::chrono::seconds(20));
}

void ExpectUntouched(const Installation& in) {
    for (const std::string& file : in.MadeFiles()) EXPECT_TRUE(Exists(file)) << file;
    EXPECT_TRUE(Exists(in.group));
    EXPECT_EQ(ReadKeyCommand(), in.Self());
}

class UninstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = scratch_ / "Кворвель-тест";
        ASSERT_TRUE(CreateDirectoryW(qv::ToWide(root_).c_str(), nullptr));
        CreateDirectoryW(qv::ToWide(root_ + "\\Programs").c_str(), nullptr);
        CreateDirectoryW(qv::ToWide(root_ + "\\Desktop").c_str(), nullptr);
    }
    std::string Dest() const { return root_ + "\\QuorVel V2.0"; }
    std::string Group() const { return root_ + "\\Programs\\Кворвель 2.0"; }
    std::string Desktop() const { return root_ + "\\Desktop"; }

    e2e::ScratchFolder scratch_;
    std::string root_;
};

TEST_F(UninstallerTest, YesRemovesTheInstallationButKeepsTheUsersFilesOnPurpose) {
    const Installation in = Install(Dest(), Group(), Desktop());
    const std::string userFile = in.dest + "\\Мои заметки.txt";
    WriteBytes(userFile, "не удалять");
    SetFileAttributesW(qv::ToWide(in.dest + "\\Dates2.dat").c_str(), FILE_ATTRIBUTE_READONLY);

    Uninstaller u(in);
    ASSERT_TRUE(u.started());
    const Box question = u.WaitForBox();
    EXPECT_EQ(question.caption, kUninstallCaption);
    EXPECT_NE(question.text.find("\"Кворвель 2.0\""), std::string::npos) << question.text;
    ASSERT_TRUE(e2e::AnswerBox(question, IDYES));
    const Box data = u.WaitForBox();
    EXPECT_EQ(data.text.rfind("Удалить также файлы с Вашими данными?\n\n" + in.dest + "\\Group.txt\n" + in.dest +
                                  "\\People.dat\n\n",
                              0),
              0u)
        << data.text;
    ASSERT_TRUE(e2e::AnswerBox(data, IDNO));

    const Box report = u.WaitForBox();
    EXPECT_EQ(report.caption, kUninstallCaption);
    EXPECT_EQ(report.text, "Приложение \"Кворвель 2.0\" удалено с Вашего компьютера.\n\n"
                           "Файлы с Вашими данными сохранены:\n\n" +
                               in.dest + "\\Group.txt\n" + in.dest + "\\People.dat\n\nПапка " + in.dest +
                               " сохранена, так как в ней остались файлы с Вашими данными и файлы, "
                               "не созданные при установке.");
    ASSERT_TRUE(e2e::AnswerBox(report, IDOK));
    EXPECT_EQ(u.WaitForExit(), 0);

    EXPECT_TRUE(GoneSoon(in.Self()));
    for (const std::string& file : in.MadeFiles()) {
        const bool data = file.find("\\People.dat") != std::string::npos || file.find("\\Group.txt") != std::string::npos;
        EXPECT_EQ(Exists(file), data) << file;
    }
    EXPECT_FALSE(Exists(in.group));
    EXPECT_FALSE(Exists(in.Log()));
    EXPECT_EQ(ReadKeyCommand(), "<none>");
    EXPECT_TRUE(Exists(userFile));
    EXPECT_TRUE(Exists(root_ + "\\Programs"));
    EXPECT_TRUE(Exists(Desktop()));
}


// Runs a whole removal that is expected to leave nothing behind.
void UninstallCompletely(const Installation& in) {
    Uninstaller u(in);
    ASSERT_TRUE(u.started());
    ASSERT_TRUE(e2e::AnswerBox(u.WaitForBox(), IDYES));
    ASSERT_TRUE(e2e::AnswerBox(u.WaitForBox(), IDYES));  // the user's data too
    const Box report = u.WaitForBox();
    EXPECT_EQ(report.text, "Приложение \"Кворвель 2.0\" удалено с Вашего компьютера.");
    ASSERT_TRUE(e2e::AnswerBox(report, IDOK));
    EXPECT_EQ(u.WaitForExit(), 0);
    EXPECT_TRUE(GoneSoon(in.Self()));
    for (const std::string& file : in.MadeFiles()) EXPECT_FALSE(Exists(file)) << file;
}

TEST_F(UninstallerTest, YesRemovesEverythingWhenNothingWasAdded) {
    const Installation in = Install(Dest(), Group(), Desktop());
    UninstallCompletely(in);
    EXPECT_TRUE(GoneSoon(in.dest));
    EXPECT_FALSE(Exists(in.group));
    EXPECT_FALSE(Exists(in.Log()));
    EXPECT_EQ(ReadKeyCommand(), "<none>");
    EXPECT_TRUE(Exists(root_ + "\\Programs"));
}

// Names outside the system's code page (a letter, CJK, a character of two
// UTF-16 units): the log is kept in UTF-16, and everything goes.
TEST_F(UninstallerTest, RemovesAnInstallationInFoldersOfAnyName) {
    const std::string parent = root_ + "\\Zoë";
    ASSERT_TRUE(CreateDirectoryW(qv::ToWide(parent).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(qv::ToWide(parent + "\\日本").c_str(), nullptr));
    const Installation in = Install(parent + "\\日本\\😀", root_ + "\\Programs\\Кворвель ① 2.0", Desktop());
    EXPECT_EQ(e2e::ReadWhole(in.Log()).value_or("").rfind("\xFF\xFE", 0), 0u);
    UninstallCompletely(in);
    EXPECT_TRUE(GoneSoon(in.dest));
    EXPECT_FALSE(Exists(in.group));
    EXPECT_FALSE(Exists(in.desktopShortcut));
    EXPECT_EQ(ReadKeyCommand(), "<none>");
    EXPECT_TRUE(Exists(parent + "\\日本"));
}

TEST_F(UninstallerTest, RootDestinationAndASystemGroupStay) {
    // A drive root as destination: the installer logs "C:\" and doubles the
    // backslash in every path below it. The group is an existing one the
    // system owns (the empty StartUp folder), which is logged as a folder too.
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::string root = qv::FromWideOrFail(std::wstring_view(windows, 3));
    const std::string startup = e2e::ShellFolder(CSIDL_COMMON_STARTUP);
    ASSERT_FALSE(startup.empty());
    const Installation in = Install(root, startup, e2e::ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY));
    ASSERT_EQ(in.logLines[1], root + "\\Quorvel.exe=F");

    UninstallCompletely(in);
    EXPECT_TRUE(Exists(root));
    EXPECT_TRUE(Exists(startup));
    EXPECT_TRUE(Exists(e2e::ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY)));
}

TEST_F(UninstallerTest, EmptyGroupNameKeepsTheProgramsFolder) {
    // An empty group name: the installer logs the Programs folder with a
    // trailing backslash and puts the shortcuts straight into it.
    const std::string programs = e2e::ShellFolder(CSIDL_COMMON_PROGRAMS);
    ASSERT_FALSE(programs.empty());
    const Installation in = Install(Dest(), programs + "\\", Desktop());
    ASSERT_EQ(in.logLines[19], programs + "\\\\Кворвель 2.0.lnk=F");

    UninstallCompletely(in);
    EXPECT_TRUE(GoneSoon(in.dest));  // with the uninstaller, by its copy
    EXPECT_TRUE(Exists(programs));
}

TEST_F(UninstallerTest, NoChangesNothing) {
    const Installation in = Install(Dest(), Group(), Desktop());
    Uninstaller u(in);
    ASSERT_TRUE(u.started());
    ASSERT_TRUE(e2e::AnswerBox(u.WaitForBox(), IDNO));
    EXPECT_EQ(u.WaitForExit(), 2);
    ExpectUntouched(in);
    EXPECT_TRUE(Exists(in.Self()));
    EXPECT_TRUE(Exists(in.Log()));
}

// Without its own registration the uninstaller finds the group and the
// desktop shortcut where the installer puts them: in the shell's folders.
TEST_F(UninstallerTest, KeepsTheRegistrationOfAnotherInstallation) {
    const Installation in = Install(Dest(), e2e::ShellFolder(CSIDL_COMMON_PROGRAMS) + "\\Кворвель-тест",
                                    e2e::ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY));
    WriteKey("D:\\Другая папка\\UnInstall.exe");
    Uninstaller u(in);
    ASSERT_TRUE(u.started());
    ASSERT_TRUE(e2e::AnswerBox(u.WaitForBox(), IDYES));
    ASSERT_TRUE(e2e::AnswerBox(u.WaitForBox(), IDYES));
    ASSERT_TRUE(e2e::AnswerBox(u.WaitForBox(), IDOK));
    EXPECT_EQ(u.WaitForExit(), 0);
    EXPECT_TRUE(GoneSoon(in.dest));
    EXPECT_EQ(ReadKeyCommand(), "D:\\Другая папка\\UnInstall.exe");
    EXPECT_FALSE(Exists(in.group));
    EXPECT_FALSE(Exists(in.desktopShortcut));
}

// Without a registration of its own the uninstaller has nothing but the log
// to go by.
TEST_F(UninstallerTest, ALogWithoutAUsableLineRemovesNothing) {
    const Installation in = Install(Dest(), Group(), Desktop());
    WriteBytes(in.Log(), "..\\Важное.doc=F\r\nQuorVel V2.0\\Dates.dat=F\r\n");
    WriteKey("D:\\Другая папка\\UnInstall.exe");

    Uninstaller u(in);
    ASSERT_TRUE(u.started());
    const Box box = u.WaitForBox();
    EXPECT_EQ(box.caption, kUninstallCaption);
    EXPECT_EQ(box.text, "Файл журнала установки повреждён:\n\n" + in.Log() +
                            "\n\nВ файле нет ни одной пригодной строки. Строка 1: путь не является полным путём "
                            "к файлу или папке.\n\nУдаление приложения \"Кворвель 2.0\" невозможно. "
                            "Ни один файл не был удалён.");
    ASSERT_TRUE(e2e::AnswerBox(box, IDOK));
    EXPECT_EQ(u.WaitForExit(), 1);
    for (const std::string& file : in.MadeFiles()) EXPECT_TRUE(Exists(file)) << file;
    EXPECT_TRUE(Exists(in.group));
}

// With its registration the installation goes without its log all the
// same: the files by the names the installer writes, the shortcuts and the
// group the key names; a file of the user's stays.
TEST_F(UninstallerTest, MissingLogRemovesWhatTheRegistrationAndTheContractName) {
    const Installation in = Install(Dest(), Group(), Desktop());
    ASSERT_TRUE(DeleteFileW(qv::ToWide(in.Log()).c_str()));
    const std::string userFile = in.dest + "\\Мои заметки.txt";
    WriteBytes(userFile, "не удалять");

    Uninstaller u(in);
    ASSERT_TRUE(u.started());
    const Box box = u.WaitForBox();
    EXPECT_EQ(box.caption, kUninstallCaption);
    EXPECT_EQ(box.text, "Не найден файл журнала установки:\n\n" + in.Log() +
                            "\n\nБудут удалены только файлы приложения \"Кворвель 2.0\", его ярлыки и папки, "
                            "созданные при установке; другие файлы в папке приложения останутся.");
    ASSERT_TRUE(e2e::AnswerBox(box, IDOK));
    ASSERT_TRUE(e2e::AnswerBox(u.WaitForBox(), IDYES));  // the removal
    ASSERT_TRUE(e2e::AnswerBox(u.WaitForBox(), IDYES));  // the user's data too
    const Box report = u.WaitForBox();
    EXPECT_NE(report.text.find("Файла журнала установки нет или он повреждён."), std::string::npos) << report.text;
    ASSERT_TRUE(e2e::AnswerBox(report, IDOK));
    EXPECT_EQ(u.WaitForExit(), 1);
    EXPECT_TRUE(GoneSoon(in.Self()));
    for (const std::string& file : in.MadeFiles()) EXPECT_FALSE(Exists(file)) << file;
    EXPECT_FALSE(Exists(in.group));
    EXPECT_TRUE(Exists(userFile));
    EXPECT_EQ(ReadKeyCommand(), "<none>");
}

// The installed program, started from the installation and running.
class RunningApplication {
public:
    explicit RunningApplication(const std::string& exe) : exe_(exe) {
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        std::wstring cmd = qv::ToWide("\"" + exe + "\"");
        PROCESS_INFORMATION info = {};
        if (CreateProcessW(qv::ToWide(exe).c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                           &info)) {
            process_ = qv::StartedProcess(info);
        }
    }
    ~RunningApplication() { Close(); }
    bool started() const { return process_.process && WaitForInputIdle(process_.process.get(), 30000) == 0; }
    // Ends the program and waits until the system has let go of its file.
    void Close() {
        if (!process_.process || !TerminateProcess(process_.process.get(), 0)) return;
        WaitForSingleObject(process_.process.get(), INFINITE);
        e2e::WaitFor([&] {
            return static_cast<bool>(qv::UniqueHandle(
                CreateFileW(qv::ToWide(exe_).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
        }, std::chrono::seconds(30));
    }

private:
    std::string exe_;
    qv::StartedProcess process_;
};

TEST_F(UninstallerTest, SilentlyRemovesNothingWhileAFileIsInUse) {
    const Installation in = Install(Dest(), Group(), Desktop());
    const std::string program = in.dest + "\\Quorvel.exe";
    ASSERT_TRUE(CopyFileW(qv::ToWide(e2e::WinePath(QV_APP_EXE)).c_str(), qv::ToWide(program).c_str(), FALSE));
    RunningApplication application(program);
    ASSERT_TRUE(application.started());
    const std::string log = root_ + "\\журнал удаления.log";

    Uninstaller u(in, "/SILENT /LOG=\"" + log + "\"");
    ASSERT_TRUE(u.started());
    EXPECT_EQ(u.WaitForExit(), 2);  // no box was answered: none was shown
    ExpectUntouched(in);
    const std::string text = e2e::ReadWhole(log).value_or("");
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0u);  // UTF-8
    EXPECT_NE(text.find("Файл используется другой программой: " + program), std::string::npos) << text;
    EXPECT_NE(text.find("Код завершения: 2"), std::string::npos) << text;
}

// The system calls behind the removal, one by one.
class WinRemovalSystemTest : public UninstallerTest {
protected:
    qv::WinRemovalSystem system_;
};

TEST_F(WinRemovalSystemTest, ReadsAShortcutsTarget) {
    const qv::ComApartment com;
    ASSERT_TRUE(com.ok());
    const std::string target = root_ + "\\Кворвель\\QuorVel.exe";
    ASSERT_TRUE(CreateDirectoryW(qv::ToWide(root_ + "\\Кворвель").c_str(), nullptr));
    WriteBytes(target, "program");
    const std::string link = root_ + "\\ярлык.lnk";
    ASSERT_EQ(qv::CreateShortcut(link, target, root_, "", 0, SW_SHOWNORMAL, target, 0), S_OK);
    EXPECT_EQ(system_.ShortcutTarget(link).value_or("<none>"), target);
    WriteBytes(root_ + "\\не ярлык.lnk", "link");
    EXPECT_FALSE(system_.ShortcutTarget(root_ + "\\не ярлык.lnk").has_value());
}

TEST_F(WinRemovalSystemTest, TellsAFileInUse) {
    const std::string program = root_ + "\\QuorVel.exe";
    ASSERT_TRUE(CopyFileW(qv::ToWide(e2e::WinePath(QV_APP_EXE)).c_str(), qv::ToWide(program).c_str(), FALSE));
    const std::string data = root_ + "\\People.dat";
    WriteBytes(data, "данные");
    {
        RunningApplication application(program);
        ASSERT_TRUE(application.started());
        EXPECT_TRUE(system_.InUse(program));
        application.Close();
        EXPECT_FALSE(system_.InUse(program));
    }
    for (const DWORD share : {DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE}}) {
        qv::UniqueHandle held(CreateFileW(qv::ToWide(data).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_TRUE(system_.InUse(data)) << share;
    }
    EXPECT_FALSE(system_.InUse(data));
    SetFileAttributesW(qv::ToWide(data).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(system_.InUse(data));
    EXPECT_EQ(system_.RemoveFile(data), 0u);
}

// A link is removed as a link; nothing is removed through a linked folder.
TEST_F(WinRemovalSystemTest, RemovesALinkItselfAndNothingThroughOne) {
    const std::string other = root_ + "\\Other";
    ASSERT_TRUE(CreateDirectoryW(qv::ToWide(other).c_str(), nullptr));
    WriteBytes(other + "\\victim.txt", "victim");
    const std::string folderLink = root_ + "\\sub";
    const std::string fileLink = root_ + "\\Descript.txt";
    if (!e2e::MakeUnixLink(other, folderLink) || !e2e::MakeUnixLink(other + "\\victim.txt", fileLink)) {
        GTEST_SKIP() << "no symbolic link can be made here (ln -s)";
    }
    EXPECT_EQ(system_.RemoveFile(folderLink + "\\victim.txt"), qv::kLinkInTheWay);
    EXPECT_NE(system_.ErrorText(qv::kLinkInTheWay).find("ссылку"), std::string::npos);
    // Removed as the link where the system can open the link itself;
    // else (Wine opens what a Unix link leads to) it stays.
    const unsigned long removed = system_.RemoveFile(fileLink);
    EXPECT_TRUE(removed == 0 || removed == qv::kLinkInTheWay) << removed;
    EXPECT_EQ(Exists(fileLink), removed != 0);
    EXPECT_EQ(e2e::ReadWhole(other + "\\victim.txt"), std::optional<std::string>("victim"));
}

TEST_F(WinRemovalSystemTest, ReadsTheRegistrationWithItsCreatedFolders) {
    system_.RemoveUninstallKey();  // an earlier test's
    WriteKey("\"C:\\Program Files\\Кворвель\\UnInstall.exe\"");
    WriteKeyValues({{"CreatedFolders", std::vector<std::string>{"C:\\a", "C:\\a\\Папка б"}}});

    const std::optional<qv::Registration> found = system_.ReadRegistration();
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->uninstallString, "\"C:\\Program Files\\Кворвель\\UnInstall.exe\"");
    EXPECT_EQ(found->createdFolders, (std::vector<std::string>{"C:\\a", "C:\\a\\Папка б"}));
    EXPECT_TRUE(found->group.empty() && found->logSha256.empty());  // an older installation's key
    WriteKeyValues({{"StartMenuGroup", std::string("C:\\Меню\\Кворвель 2.0")},
                    {"DesktopShortcut", std::string("C:\\Стол\\Кворвель 2.0.lnk")},
                    {"UninstallLogSha256", std::string("00ff")}});
    const std::optional<qv::Registration> recorded = system_.ReadRegistration();
    ASSERT_TRUE(recorded.has_value());
    EXPECT_EQ(recorded->group, "C:\\Меню\\Кворвель 2.0");
    EXPECT_EQ(recorded->desktopShortcut, "C:\\Стол\\Кворвель 2.0.lnk");
    EXPECT_EQ(recorded->logSha256, "00ff");
    EXPECT_EQ(system_.RemoveUninstallKey(), 0u);
    EXPECT_FALSE(system_.ReadRegistration().has_value());
}

}  // namespace
