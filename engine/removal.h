#pragma once
// The removal itself, after the user said yes: it carries out the plan
// (engine/uninstall_plan.h) through a small interface to the file system
// and the registry, asks what only the user can answer, and says what was
// kept and why.
#include <optional>
#include <string>
#include <vector>

#include "engine/removal_scope.h"
#include "engine/run_log.h"
#include "engine/uninstall_log_reader.h"
#include "engine/uninstall_plan.h"

namespace qv {

enum class PathState { Missing, File, Folder };

// The uninstall registration as the uninstaller finds it.
struct Registration {
    std::string uninstallString;              // "" when it has none
    std::vector<std::string> createdFolders;  // the levels the installer created, outermost first
    // Whether the key lists them at all (an older installation's does not):
    // a listed folder it leaves out was there before the installation.
    bool listsCreatedFolders = false;
    // What the installer recorded of its own work ("" when it did not, as an
    // older installation's key does not).
    std::string group;            // the program group folder
    std::string desktopShortcut;  // the desktop shortcut
    std::string logSha256;        // the SHA-256 of UnInstall.dat as saved
};

// The error a removal gives for a path that leads through a link (a
// symbolic link or a junction) to somewhere else: it is not followed.
// Bit 29 marks an error code of the application's own.
inline constexpr unsigned long kLinkInTheWay = 0x20000001UL;

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

// Lines set aside for a name Windows refuses that some file system took all
// the same (the line names something that is there): they are used, after
// the others.
void UseOddNamesThatExist(LogReading& reading, RemovalSystem& system);

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
    bool keyKept = false;                  // the registration could not be removed, or was kept
    // Kept on purpose, with the uninstaller and the log: something of the
    // product could not be removed, and the removal can be run again.
    bool keptForRetry = false;
    LogTrust logTrust = LogTrust::Saved;   // how far the log was trusted
    std::vector<RefusedLine> refused;      // lines of the log not used, and why
    // Left for after the program has ended: the program itself and the
    // folders that will then be empty, deepest first.
    std::string self;
    std::vector<std::string> selfFolders;
};

// Whether the uninstall key belongs to this installation: it does unless its
// UninstallString (quoted or not) names another program.
bool UninstallKeyIsOurs(const std::string& uninstallString, const std::string& selfPath,
                        const CanonicalForm& canonical);

// The whole removal after the user said yes: keeps to what the installation
// made (removal_scope.h; `context.logDigest` is the log's SHA-256, nullopt
// when it was lost), plans from the lines, keeps the
// listed folders the installer did not create and the shortcuts of another
// installation, asks about the user's data, makes sure
// nothing to be removed is in use (or gives up, removing nothing), then
// removes in order: the files, the listed folders that are empty (deepest
// first), the uninstall key, the log, the folder levels the installer
// created that are now empty. While anything of the product could not be
// removed, the key, the log and the program stay, so that the removal can
// be run again. It then decides which of the program's
// folders will be empty once the program is gone. Writes every step to `log`.
RemovalOutcome RemoveInstallation(const std::vector<LogLine>& lines, const PlanContext& context,
                                  RemovalSystem& system, RemovalQuestions& questions, RunLog& log);

// The exit code of a removal that was carried out or cancelled.
int RemovalExitCode(const LogReading& reading, const RemovalOutcome& outcome);

}  // namespace qv
