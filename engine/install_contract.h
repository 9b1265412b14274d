#pragma once
// What setup.exe and UnInstall.exe must agree on. Each item says who writes
// it and who reads it; a change here changes both programs at once.
// Portable: compiled into the installer, the uninstaller and the native tests.
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

// --- The registration below HKEY_LOCAL_MACHINE ------------------------------------

// Written (created or opened, values overwritten) by the installer's
// registration step; removed whole by the uninstaller when its
// UninstallString names that uninstaller.
inline constexpr char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvel V2.0";

// Values, in the order the installer writes them. Read by the system's list
// of programs; the uninstaller reads only UninstallString.
inline constexpr char kDisplayName[] = "DisplayName";
inline constexpr char kDisplayIcon[] = "DisplayIcon";
inline constexpr char kDisplayVersion[] = "DisplayVersion";
inline constexpr char kUninstallString[] = "UninstallString";

// --- The uninstaller's command line --------------------------------------------------

// A finishing run: the copy that the uninstaller starts from a folder of
// its own to remove the uninstaller once it has ended. Written and read by
// the uninstaller alone.
inline constexpr char kFinishSwitch[] = "/finish";

}  // namespace qv::contract
