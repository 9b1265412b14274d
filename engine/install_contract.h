#pragma once
// What setup.exe and UnInstall.exe must agree on. Each item says who writes
// it and who reads it; a change here changes both programs at once.
// Portable: compiled into the installer, the uninstaller and the native tests.
#include <iterator>
#include <string_view>
#include <vector>

namespace qv::contract {

// --- Files in the destination folder -------------------------------------------

// The uninstall log. Written by the installer's last file step (a line per
// path it wrote or made, "path=kind", each ended by CR LF, code page 1251,
// no byte-order mark); read by the uninstaller from its own folder.
inline constexpr char kLogFileName[] = "UnInstall.dat";
inline constexpr char kLogSeparator = '=';          // between the path and its kind: the last "=" of a line
inline constexpr char kLogLineEnd[] = "\r\n";
inline constexpr char kFileKind[] = "F";  // a file the installation wrote or will own
inline constexpr char kFolderKind[] = "D";  // a folder the installation made or used

// The uninstaller itself: a payload entry the installer writes; the
// registration and the removal shortcut name it.
inline constexpr char kUninstallerFileName[] = "UnInstall.exe";

// The application itself: a payload entry the installer writes; the
// shortcuts and the registration's DisplayIcon name it, and the finish page
// starts it from the destination.
inline constexpr char kApplicationFileName[] = "QuorVel.exe";

// The installer's temporary file for the entry being expanded. Written and
// deleted by the installer for each entry, and taken back with the rest of a
// run that is left or aborted; it stays only when that fails (or a run was
// killed); the uninstaller removes it when it is there.
inline constexpr char kTempFileName[] = "tmp.zip";

// Every file a payload carries, by the name it is installed under in the
// destination folder (a payload folder must hold exactly these). Written by
// the installer's pass.
inline constexpr const char* kPayloadFileNames[] = {
    "Quorvel.exe", "Descript.txt",  "DateVar.dat", "TimeVar.dat",   "Dates.dat",  "Dates2.dat",
    "Dates3.dat",  "Dates4.dat",    "Cityes.dat",  "Regions.dat",   "Republics.dat", "Group.txt",
    "UnInstall.exe", "QuorVel.chm", "People.dat",  "QuorVel.TTF",
};

// Further files the installer writes or logs in the destination folder:
// the agreement text, and the user-data file the application makes later.
inline constexpr char kLicenceFileName[] = "lic.txt";
inline constexpr char kApplicationDataFileName[] = "Peoples.clm";

// The shortcuts the installer makes: all three in the program group, the
// first also on the desktop. The uninstaller removes these names from the
// registered group and desktop even when UnInstall.dat is lost or changed.
inline constexpr char kProgramShortcutName[] = "Кворвель 2.0.lnk";
inline constexpr char kHelpShortcutName[] = "Справка по Кворвель 2.0.lnk";
inline constexpr char kUninstallShortcutName[] = "Удалить Кворвель 2.0.lnk";
inline constexpr const char* kShortcutNames[] = {kProgramShortcutName, kHelpShortcutName, kUninstallShortcutName};

// Every name the installer writes or logs in the destination folder. The
// installer refuses a destination too long for the longest of them; the
// uninstaller removes these names, and no others, from the installation
// folder when UnInstall.dat cannot be trusted.
inline std::vector<std::string_view> DestinationFileNames() {
    std::vector<std::string_view> names(std::begin(kPayloadFileNames), std::end(kPayloadFileNames));
    names.insert(names.end(), {kLicenceFileName, kApplicationDataFileName, kLogFileName, kTempFileName});
    return names;
}

// Payload files that hold the user's own data once the application runs.
// The installer keeps an existing one; the uninstaller keeps them unless
// the user asks for them to go too.
inline constexpr const char* kUserDataFiles[] = {"People.dat", "Group.txt"};

// --- The registration below HKEY_LOCAL_MACHINE ------------------------------------

// Written (created or opened, values overwritten) by the installer's
// registration step; removed whole by the uninstaller when its
// UninstallString names that uninstaller.
inline constexpr char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvel V2.0";

// The registry view the key lives in: the 32-bit one, where the 32-bit
// installer has always written it, whichever build (32- or 64-bit) writes,
// reads or removes it. Added to the access of every open, create and
// delete of the key by both installers and both uninstallers; it is
// KEY_WOW64_32KEY, and a system with one view ignores it.
inline constexpr unsigned long kRegistryView = 0x0200;

// Values, in the order the installer writes them. Read by the system's list
// of programs and by deployment tools; the uninstaller reads UninstallString
// (to know whether the key is its own) and CreatedFolders.
inline constexpr char kDisplayName[] = "DisplayName";
inline constexpr char kDisplayIcon[] = "DisplayIcon";
inline constexpr char kDisplayVersion[] = "DisplayVersion";
inline constexpr char kUninstallString[] = "UninstallString";            // "<folder>\UnInstall.exe", quoted
inline constexpr char kQuietUninstallString[] = "QuietUninstallString";  // the same, then " /SILENT"
inline constexpr char kInstallLocation[] = "InstallLocation";            // the destination folder
inline constexpr char kPublisher[] = "Publisher";
inline constexpr char kEstimatedSize[] = "EstimatedSize";  // DWORD: kilobytes of the installed files
inline constexpr char kNoModify[] = "NoModify";            // DWORD 1
inline constexpr char kNoRepair[] = "NoRepair";            // DWORD 1
// REG_MULTI_SZ: every folder level the installer had to create for the
// destination and the program group (an earlier installation's into the same
// folders first, then this run's, each outermost first). The uninstaller
// removes each one that is empty once everything else is gone, and keeps a
// folder of UnInstall.dat that the list leaves out: it was there before.
inline constexpr char kCreatedFolders[] = "CreatedFolders";
// Written after CreatedFolders, each only when there is something to say; an
// older installation's key has none of them. Read by the uninstaller, which
// trusts them over UnInstall.dat (any user may be able to change that file;
// only administrators can change the key):
// the program group's full path, when the installer made its shortcuts there;
inline constexpr char kStartMenuGroup[] = "StartMenuGroup";
// the desktop shortcut's full path, when the installer made it;
inline constexpr char kDesktopShortcut[] = "DesktopShortcut";
// the SHA-256 of UnInstall.dat as the installer saved it, lower-case hex.
inline constexpr char kUninstallLogSha256[] = "UninstallLogSha256";

// --- The uninstaller's command line --------------------------------------------------

// Switches of an unattended removal, written by the installer into
// QuietUninstallString (kSilentSwitch) and read by the uninstaller;
// case is ignored, "-" may stand for "/".
inline constexpr char kSilentSwitch[] = "/SILENT";                     // no question, no report box
inline constexpr char kVerySilentSwitch[] = "/VERYSILENT";             // the same
inline constexpr char kSuppressBoxesSwitch[] = "/SUPPRESSMSGBOXES";    // no box at all
inline constexpr char kLogSwitch[] = "/LOG";                           // /LOG or /LOG="file": a removal log

// The uninstaller's exit codes.
enum UninstallExit : int {
    kUninstallDone = 0,           // everything removed (user data kept on purpose counts as done)
    kUninstallNoLog = 1,          // the log is missing or unusable: nothing removed
    kUninstallSomethingLeft = 2,  // something could not be removed or was refused, or the removal was refused
};

// A finishing run: the copy that the uninstaller starts from a folder of
// its own to remove the uninstaller once it has ended. Written and read by
// the uninstaller alone.
inline constexpr char kFinishSwitch[] = "/finish";

}  // namespace qv::contract
