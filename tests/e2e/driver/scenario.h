#pragma once
// Steps and checks that several scenarios share: walking the wizard on to a
// page, running the installation from the tasks page, and what a complete
// installation leaves on disk, in its shortcuts and in the registry.
//
// The steps report through GoogleTest; wrap them in ASSERT_NO_FATAL_FAILURE.
#include <string>
#include <vector>

#include "tests/e2e/driver/driver.h"
#include "tests/e2e/driver/system.h"

namespace e2e {

inline constexpr char kDefaultDestination[] = "C:\\Program Files\\QuorVel V2.0";
inline constexpr char kDefaultGroup[] = "Кворвель 2.0";
inline constexpr char kProductFolderName[] = "QuorVel V2.0";
inline constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvel V2.0";
inline constexpr char kAppTitle[] = "Кворвель 2.0";
inline constexpr char kAppImage[] = "QuorVel.exe";
inline constexpr int kAppFolderItem = 100;  // the application's static text showing its working folder

inline constexpr char kProgramShortcut[] = "\\Кворвель 2.0.lnk";
inline constexpr char kHelpShortcut[] = "\\Справка по Кворвель 2.0.lnk";
inline constexpr char kUninstallShortcut[] = "\\Удалить Кворвель 2.0.lnk";

inline constexpr char kFolderExistsCaption[] = "Папка уже существует";
inline constexpr char kEarlierInstallationCaption[] = "Программа уже установлена";
std::string FolderExistsText(const std::string& path);

inline constexpr char kInstallCaption[] = "Программа установки Кворвель";
inline constexpr char kExitCaption[] = "Выход из программы установки";
inline constexpr char kUninstallCaption[] = "Удаление Кворвель";

// The common Programs menu, the default group in it, and the common desktop.
std::string ProgramsFolder();
std::string GroupFolder();
std::string DesktopFolder();
// A file of the default destination.
std::string InDestination(const std::string& name);

// The progress page's actions.
inline constexpr char kExtracting[] = "Извлечение файлов...";
inline constexpr char kMakingShortcuts[] = "Создание ярлыков...";
inline constexpr char kRegistering[] = "Запись информации в реестр...";

// No trace of an earlier case: the destination, the group, the desktop
// shortcut, the registration, and any application left running. True when
// the registration is gone.
bool CleanInstallation(const std::string& destination = kDefaultDestination);
// The destination, group and desktop folders and the uninstall key, as a
// text that compares whole.
std::string InstallationState(const std::string& destination = kDefaultDestination);

// "C:\Program Files", which the destination page starts from, moved away
// while the object lives.
class ProgramFilesAway {
public:
    ProgramFilesAway();
    ~ProgramFilesAway();
    bool moved() const { return moved_; }

private:
    const bool moved_;
};

// The payload's file names, in container order.
std::vector<std::string> PayloadNames();

// The page on screen, or null.
const char* CurrentPage(const Wizard& wizard);
// From the page on screen (waiting for the first) on to the named page,
// accepting the agreement on the way and answering Yes if the destination
// already exists.
void WalkTo(const Wizard& wizard, const char* form);
// On to the tasks page with this destination typed on the destination page.
void WalkToTasksWith(const Wizard& wizard, const std::string& destination);
// The close box of the page, Yes to the question, and the program's end.
void LeaveByCloseBox(const Wizard& wizard, const char* form);
// Next on a page, then waits until the following page is shown.
void NextPage(const Wizard& wizard, const char* from, const char* to);
// Next on the tasks page, then waits until the finish page is shown.
void InstallFromTasks(const Wizard& wizard);
// Clears the finish page's box, presses Ready and waits for the end, with
// this exit code (0: installed completely, 4: with errors).
void FinishWithoutStarting(const Wizard& wizard, DWORD exitCode = 0);

// The lines of the uninstall log of a complete installation, in file order.
// An empty desktop folder means no desktop shortcut was wanted.
std::vector<std::string> ExpectedLogLines(const std::string& destination, const std::string& groupFolder,
                                          const std::string& desktopFolder);
// UnInstall.dat in the destination: exactly these lines, each ended by CR LF.
void ExpectUninstallLog(const std::string& destination, const std::vector<std::string>& lines);
// Every payload file in the destination, byte for byte as packed, and
// lic.txt holding the built-in agreement.
void ExpectFilesInstalled(const std::string& destination);
// A shortcut to destination\target, working in the destination, with the
// target's own icon, a normal window and nothing else set.
void ExpectShortcut(const std::string& file, const std::string& destination, const std::string& target);
void ExpectGroupShortcuts(const std::string& groupFolder, const std::string& destination);
// The uninstall key with its four string values for this destination.
void ExpectRegistration(const std::string& destination);

// The application's window started from the finish page; null if none
// shows within the time.
HWND WaitForApplicationWindow(std::chrono::milliseconds limit);
// Closes every running instance of the application (a scenario's cleanup).
void CloseApplications();

}  // namespace e2e
