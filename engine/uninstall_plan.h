#pragma once
// The uninstaller's portable part: reading "UnInstall.dat", deciding what may
// be removed, what is kept and why, and in which order, and carrying that
// out through a small interface to the file system and the registry.
//
// Paths in the log are full paths, rooted at a drive ("C:\...") or at a
// network share ("\\server\share\..."). Runs of separators count as one (the
// installer doubles the backslash after a destination that ends with one),
// '/' separates like '\', and a folder line may end with a separator (a
// program group with an empty name). "." and ".." are resolved by their
// letters, as Windows resolves them, never above the root: a group named
// ".." logs "<Programs>\..", which is the folder holding Programs.
//
// The log is read line by line. A line is used when it names a full path; a
// line whose path holds a name nothing on disk can have (a character no
// file name may hold: < > : " | ? * or a control character; a device name
// such as CON or NUL) names nothing that exists and is done without
// touching the disk; any other line (no kind, a relative path, a name of
// dots and spaces, a line cut short) is set aside and reported.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_log.h"

namespace qv {

enum class LogKind { File, Folder };

struct LogLine {
    std::string path;  // "." and ".." resolved, separators made single backslashes
    LogKind kind;
};

enum class LogFault {
    None,
    // The whole file: nothing is removed.
    Empty,          // no byte at all
    TooLarge,       // more than kMaxLogBytes
    NothingUsable,  // lines, but not one of them usable
    // One line: it is set aside and reported, the others are used.
    Unterminated,   // no line end: the file was cut short here
    StrayBreak,     // a CR that does not end the line
    BadCharacter,   // a NUL byte
    NoKind,         // the line does not end in "=F" or "=D"
    BadPath,        // the path is not a full path to a file or folder
    NoSuchName,     // a name nothing on disk can have: done, not reported
};

// A line that was not used, with its number (1-based) and its text as
// written (control characters shown as '?').
struct SetAsideLine {
    size_t number = 0;
    std::string text;
    LogFault fault = LogFault::None;
    // A path with a character no Windows name may hold (":" and the like),
    // as the line gives it: some file systems take such a name all the same.
    std::optional<LogLine> oddName;
};

struct LogReading {
    std::vector<LogLine> lines;             // the usable lines, in order
    std::vector<SetAsideLine> rejected;     // unusable: reported by name
    std::vector<SetAsideLine> namingNothing;  // naming nothing that can exist: done
    LogFault fault = LogFault::None;        // Empty, TooLarge or NothingUsable
    bool ok() const { return fault == LogFault::None; }
};

// Lines set aside for a name Windows refuses that some file system took all
// the same (the line names something that is there): they are used, after
// the others.
class RemovalSystem;
void UseOddNamesThatExist(LogReading& reading, RemovalSystem& system);

// A log larger than this cannot have come from the installer.
constexpr size_t kMaxLogBytes = 4u << 20;

// Reads the log: lines "path=kind" in code page 1251, each ended by CR LF
// (an LF alone ends a line too). The kind is what follows the last "=", so
// a path may itself hold "=". The log is refused whole (`fault`, no lines)
// only when it is empty, too large, or has no usable line.
LogReading ReadUninstallLog(std::string_view bytes);

// True when `path` is a full path in plain form: no "." or ".." part and
// every name one a file may have; a file must also name something below
// its root and not end with a separator.
bool IsInstallerPath(std::string_view path, LogKind kind);

// The path with every run of separators made one backslash, "." and ".."
// resolved and without a trailing separator, except after a bare drive root
// ("C:\"). Letter case is kept. A path without a root is given back as it is.
std::string NormalizePath(std::string_view path);

// Equality of two paths after normalising, without regard to letter case.
bool SamePath(std::string_view a, std::string_view b);

// True when `path` lies inside `folder` (at any depth), not when they are equal.
bool IsInside(std::string_view path, std::string_view folder);

// Number of names below the root: "C:\" 0, "C:\a\\b" 2.
size_t PathDepth(std::string_view path);

// True for a drive root or a share root.
bool IsRootPath(std::string_view path);

// The last name of a path ("" for a root) and the folder holding it.
std::string LastName(std::string_view path);
std::string ParentPath(std::string_view path);

// What the running uninstaller knows about its surroundings.
struct PlanContext {
    std::string selfPath;  // the running program; its folder is the installation
    std::string logPath;   // the log it read
    // Folders that are never removed even when listed and empty (the
    // system's special folders); roots are never removed anyway.
    std::vector<std::string> protectedFolders;
    // Maps a path to the form used to compare it with another (for example
    // the long form of a short 8.3 name). Identity when not set.
    std::function<std::string(const std::string&)> canonical;
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

enum class PathState { Missing, File, Folder };

// The uninstall registration as the uninstaller finds it.
struct Registration {
    std::string uninstallString;              // "" when it has none
    std::vector<std::string> createdFolders;  // the levels the installer created, outermost first
};

// The operations the removal needs; on Windows they are the real calls.
// An operation that can fail gives 0 when done, else the system's error code.
class RemovalSystem {
public:
    virtual ~RemovalSystem() = default;
    virtual PathState Inspect(const std::string& path) = 0;
    virtual unsigned long RemoveFile(const std::string& path) = 0;
    // Removes a folder only when it is empty.
    virtual unsigned long RemoveEmptyFolder(const std::string& path) = 0;
    // Names of everything in a folder, without "." and "..".
    virtual std::vector<std::string> ListFolder(const std::string& path) = 0;
    // The target of a shortcut file; nullopt when it cannot be read as one.
    virtual std::optional<std::string> ShortcutTarget(const std::string& path) = 0;
    // True when an existing file is held by a running program, so that it
    // cannot be removed now.
    virtual bool InUse(const std::string& path) = 0;
    // nullopt when the uninstall key does not exist.
    virtual std::optional<Registration> ReadRegistration() = 0;
    virtual unsigned long RemoveUninstallKey() = 0;
    // The system's text for an error code, for the run log.
    virtual std::string ErrorText(unsigned long code) = 0;
};

// The answers the removal needs once it has begun. An interactive run asks
// the user; a silent one answers by rule.
class RemovalQuestions {
public:
    virtual ~RemovalQuestions() = default;
    // Whether the user's data files (existing, listed) go too.
    virtual bool RemoveUserData(const std::vector<std::string>& files) = 0;
    // Files held by a running program: true to look again, false to give up.
    virtual bool RetryInUse(const std::vector<std::string>& files) = 0;
};

// Why a folder that was to go is kept: what is still in it.
enum KeptReason : unsigned {
    kKeptUserFiles = 1,       // files or folders the installation did not make
    kKeptUserData = 2,        // the user's data files, kept on request
    kKeptOtherShortcuts = 4,  // shortcuts of another installation
};

struct KeptFolder {
    std::string path;
    unsigned reasons = 0;  // KeptReason bits
};

struct RemovalOutcome {
    bool cancelled = false;                // files were in use and the user gave up: nothing removed
    std::vector<std::string> inUse;        // the files in use when cancelled
    std::vector<std::string> notRemoved;   // listed paths that could not be removed
    std::vector<KeptFolder> keptFolders;   // folders kept on purpose, and why
    std::vector<std::string> keptData;     // the user's data files, kept
    bool keyKept = false;                  // the registration could not be removed
    // Left for after the program has ended: the program itself and the
    // folders that will then be empty, deepest first.
    std::string self;
    std::vector<std::string> selfFolders;
};

// Whether the uninstall key belongs to this installation: it does unless its
// UninstallString (quoted or not) names another program.
bool UninstallKeyIsOurs(const std::string& uninstallString, const std::string& selfPath,
                        const std::function<std::string(const std::string&)>& canonical);

// The whole removal after the user said yes: plans from the lines, keeps the
// shortcuts of another installation, asks about the user's data, makes sure
// nothing to be removed is in use (or gives up, removing nothing), then
// removes in order: the files, the listed folders that are empty (deepest
// first), the uninstall key, the log, the folder levels the installer
// created that are now empty. It then decides which of the program's
// folders will be empty once the program is gone. Writes every step to `log`.
RemovalOutcome RemoveInstallation(const std::vector<LogLine>& lines, const PlanContext& context,
                                  RemovalSystem& system, RemovalQuestions& questions, RunLog& log);

// The exit code of a removal that was carried out or cancelled.
int RemovalExitCode(const LogReading& reading, const RemovalOutcome& outcome);

// The request the running uninstaller hands to its copy in the temporary
// folder: wait for the process behind `processHandle` to end, then remove
// `self` and the folders (each only when empty).
struct FinishRequest {
    unsigned long processHandle = 0;
    std::string self;
    std::vector<std::string> folders;
};

// Arguments (without the program name) of a finishing run.
std::string FormatFinishArguments(const FinishRequest& request);

// Reads a whole command line (program name first). Gives a request only for
// a well-formed finishing run: a handle, an uninstaller named "UnInstall.exe"
// at a valid path, and folders that all hold it.
std::optional<FinishRequest> ParseFinishCommandLine(std::string_view commandLine);

}  // namespace qv
