#pragma once
// Which paths the removal may touch at all.
//
// The uninstaller runs with administrator rights, but UnInstall.dat lies in
// the installation folder, which other users may be able to change. A line
// is used only when it names something inside the installation folder, a
// shortcut in the program group or the group itself, or the product's own
// desktop shortcut. When the log is not the one the installer saved (its
// SHA-256 differs from the one the registration keeps), or is lost, the
// removal goes by the installer's contract alone: the payload's file names
// in the installation folder, the known shortcuts, and the folders.
#include <string>
#include <vector>

#include "engine/uninstall_log_reader.h"
#include "engine/uninstall_plan.h"

namespace qv {

// How far the log read can be trusted.
enum class LogTrust {
    Saved,      // the registration's digest matches: the installer's own log
    Unchecked,  // no digest to compare with (an older installation's key, or none of ours)
    Changed,    // the digest differs: the log was changed after the installation
    Lost,       // missing, unreadable or without a usable line
};

// The trust of a log with digest `read` (nullopt: none could be read) given
// the registration's `saved` ("" when it keeps none).
LogTrust JudgeLog(const std::optional<std::string>& read, const std::string& saved);

// The places the installation made, each in the form the removal compares.
struct RemovalScope {
    LogTrust trust = LogTrust::Unchecked;
    std::string installation;                   // the installation folder
    std::vector<std::string> groups;            // the program group folders
    bool groupRegistered = false;               // `groups` comes from the registration
    std::vector<std::string> desktopShortcuts;  // the product's desktop shortcut(s)
};

// The group folders a log names: folders of the known shortcuts that lie
// inside one of `programsFolders`, below it.
std::vector<std::string> GroupsNamedBy(const std::vector<LogLine>& lines,
                                       const std::vector<std::string>& programsFolders, const CanonicalForm& canonical);

// The product's shortcut in each desktop folder.
std::vector<std::string> DesktopShortcutsIn(const std::vector<std::string>& desktopFolders);

// Why a line of the log is not used.
enum class Refusal {
    Outside,    // it names something outside what the installation made
    NotProven,  // inside the installation folder, but not provably the installer's
};

struct RefusedLine {
    std::string path;
    Refusal why;
};

struct ScopedLines {
    std::vector<LogLine> lines;  // to plan the removal with
    std::vector<RefusedLine> refused;
};

// Sorts the log's lines into those the removal may use and those it refuses;
// for a log that cannot be trusted, the lines to use are the contract's
// (ContractLines), not the log's.
ScopedLines ScopeLines(const std::vector<LogLine>& lines, const RemovalScope& scope, const CanonicalForm& canonical);

// What the installer's contract alone says the installation is: the
// installation folder and every name the installer writes into it, each
// group with its shortcuts, and the desktop shortcuts.
std::vector<LogLine> ContractLines(const RemovalScope& scope);

}  // namespace qv
