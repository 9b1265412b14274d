#pragma once
// The uninstaller's plan: from the usable lines of "UnInstall.dat", what is
// to be removed, what is set aside for a question (the user's data) and in
// which order. It decides from the paths alone, without the disk.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/paths.h"
#include "engine/uninstall_log_reader.h"

namespace qv {

// Maps a path to the form used to compare it with another (for example the
// long form of a short 8.3 name).
using CanonicalForm = std::function<std::string(const std::string&)>;

// The path in its canonical form; the path itself when there is no mapping.
std::string ApplyCanonical(const CanonicalForm& canonical, const std::string& path);

// What the running uninstaller knows about its surroundings.
struct PlanContext {
    std::string selfPath;  // the running program; its folder is the installation
    std::string logPath;   // the log it read
    // Folders that are never removed even when listed and empty (the
    // system's special folders); roots are never removed anyway.
    std::vector<std::string> protectedFolders;
    // Identity when not set.
    CanonicalForm canonical;
    // The SHA-256 of the log read (lower-case hex); nullopt when it was lost.
    std::optional<std::string> logDigest;
    // Where the installer puts its program group and its desktop shortcut,
    // for an installation whose registration does not name them.
    std::vector<std::string> programsFolders;
    std::vector<std::string> desktopFolders;
};

// What to remove, in order. Paths are the log's, resolved.
struct RemovalPlan {
    std::vector<std::string> files;        // log order, without the log, the program and the user data
    std::vector<std::string> userData;     // listed user-data files of the installation folder
    std::vector<std::string> folders;      // deepest first, without those holding the program
    std::string logFile;                   // the log read, listed or not: removed after the key
    std::string self;                      // the running program, when listed: removed last
    std::vector<std::string> selfFolders;  // listed folders holding the program, deepest first
    std::string tempFile;                  // the installer's temporary file, never listed
};

RemovalPlan PlanRemoval(const std::vector<LogLine>& lines, const PlanContext& context);

// A folder to be removed when it is empty.
struct PlannedFolder {
    std::string path;       // as planned
    std::string canonical;  // for comparisons
    size_t depth;
    bool listed;            // from the log (reported when kept), not a created level (kept silently)
};

// Deepest first; of two folders equally deep the earlier stays first.
void SortDeepestFirst(std::vector<PlannedFolder>& folders);

}  // namespace qv
