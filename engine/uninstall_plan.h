#pragma once
// The uninstaller's portable part: reading "UnInstall.dat", deciding what may
// be removed and in which order, and carrying that out through a small
// interface to the file system and the registry.
//
// Paths in the log must look like the paths the installer writes: absolute,
// rooted at a drive ("C:\...") or at a network share ("\\server\share\...").
// Runs of separators count as one (the installer doubles the backslash after
// a destination that ends with one), '/' separates like '\', and a folder
// line may end with a separator (a program group with an empty name). A path
// is refused if a part of it is "." or "..", consists of dots and spaces
// only, names a device (CON, NUL, COM1...), or holds a character no file name
// may hold (control characters, < > : " | ? *). A file line must name a file
// (no trailing separator, not a bare root).
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

enum class LogKind { File, Folder };

struct LogLine {
    std::string path;
    LogKind kind;
};

enum class LogFault {
    None,
    Empty,          // no line at all
    Unterminated,   // the last line has no CR LF: the file was cut short
    StrayBreak,     // a CR or LF that is not part of a CR LF pair
    BadCharacter,   // a NUL byte
    NoKind,         // the line does not end in "=F" or "=D"
    BadPath,        // the path is not of the form the installer writes
    TooLarge,       // more than kMaxLogBytes
};

struct LogReading {
    std::vector<LogLine> lines;
    LogFault fault = LogFault::None;
    size_t faultLine = 0;  // 1-based number of the offending line, 0 for the whole file
    bool ok() const { return fault == LogFault::None; }
};

// A log larger than this cannot have come from the installer.
constexpr size_t kMaxLogBytes = 4u << 20;

// Reads the log: lines "path=kind" in code page 1251, each ended by CR LF.
// The kind is what follows the last "=", so a path may itself hold "=".
// Any fault makes the whole log unusable: the lines are then empty.
LogReading ReadUninstallLog(std::string_view bytes);

// True when `path` is an absolute path of the form described above; a file
// line must also name something below its root.
bool IsInstallerPath(std::string_view path, LogKind kind);

// The path with every run of separators made one backslash and without a
// trailing separator, except after a bare drive root ("C:\"). Letter case is
// kept. Only meaningful for paths IsInstallerPath accepts.
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
    std::string selfPath;  // the running program
    std::string logPath;   // the log it read
    // Folders that are never removed even when listed and empty (the
    // system's special folders); roots are never removed anyway.
    std::vector<std::string> protectedFolders;
    // Maps a path to the form used to compare it with another (for example
    // the long form of a short 8.3 name). Identity when not set.
    std::function<std::string(const std::string&)> canonical;
};

// What to remove, in order. Each path is one of the log's lines as written.
struct RemovalPlan {
    std::vector<std::string> files;        // log order, without the log and the program
    std::vector<std::string> folders;      // deepest first, without those holding the program
    std::string logFile;                   // the log itself, when listed: removed after the key
    std::string self;                      // the running program, when listed: removed last
    std::vector<std::string> selfFolders;  // listed folders holding the program, deepest first
};

RemovalPlan PlanRemoval(const std::vector<LogLine>& lines, const PlanContext& context);

enum class PathState { Missing, File, Folder };

// The operations the removal needs; on Windows they are the real calls.
class RemovalSystem {
public:
    virtual ~RemovalSystem() = default;
    virtual PathState Inspect(const std::string& path) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    // Removes a folder only when it is empty; false otherwise.
    virtual bool RemoveEmptyFolder(const std::string& path) = 0;
    // Names of everything in a folder, without "." and "..".
    virtual std::vector<std::string> ListFolder(const std::string& path) = 0;
    // The uninstall registration: nullopt when the key does not exist, else
    // its UninstallString ("" when it has none).
    virtual std::optional<std::string> ReadUninstallKey() = 0;
    virtual bool RemoveUninstallKey() = 0;
};

struct RemovalOutcome {
    std::vector<std::string> notRemoved;   // listed paths that are still there
    bool keyKept = false;                  // the registration could not be removed
    // Left for after the program has ended: the program itself and the
    // folders that will then be empty, deepest first.
    std::string self;
    std::vector<std::string> selfFolders;
};

// Whether the uninstall key belongs to this installation: it does unless its
// UninstallString names another program (a later installation elsewhere).
bool UninstallKeyIsOurs(const std::string& uninstallString, const std::string& selfPath,
                        const std::function<std::string(const std::string&)>& canonical);

// Removes, in order: the listed files that exist, the listed folders that
// are empty (deepest first), the uninstall key, the log. It then decides
// which of the program's folders will be empty once the program is gone.
RemovalOutcome CarryOutRemoval(const RemovalPlan& plan, const PlanContext& context,
                               RemovalSystem& system);

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
