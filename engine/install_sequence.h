#pragma once
// The installation, start to end: counts the payload entries, removes an
// earlier installation in another folder, expands the entries into the
// destination folder, saves the agreement as lic.txt, makes the program
// group and its shortcuts, saves the uninstall log, registers the program
// for removal and reports completion; a run that is left or aborted takes
// back what it wrote. Runs on the worker thread and asks the gate before
// every step and every entry.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/install_choices.h"
#include "engine/install_gate.h"
#include "engine/install_report.h"
#include "engine/install_system.h"
#include "engine/paths.h"
#include "engine/payload_digests.h"
#include "engine/run_log.h"
#include "engine/run_writes.h"
#include "engine/uninstall_log.h"

namespace qv {

// The longest path a file operation takes, terminator included.
constexpr std::size_t kMaxPath = 260;

enum class InstallOutcome { Finished, Abandoned };

class InstallSequence {
public:
    InstallSequence(const InstallChoices& choices, InstallSystem& system, ProgressSink& progress,
                    InstallGate& gate, UninstallLog& log, RunLog& runLog);
    InstallSequence(const InstallChoices& choices, InstallSystem& system, ProgressSink& progress,
                    InstallGate& gate, UninstallLog& log);

    InstallOutcome Run();

    int EntryCount() const { return report_.entryCount; }
    int EntriesDone() const { return entriesDone_; }
    // What the run achieved so far; complete once Run has returned.
    const InstallReport& Report() const { return report_; }
    // The destination folder the files go to: the one chosen, made full.
    const std::string& Destination() const { return destination_; }

private:
    using Step = void (InstallSequence::*)();

    void CountEntries();
    void SetProgressRange();
    void LogDestination();
    void RemoveEarlierInstallation();
    void InstallEntries();
    void SaveLicence();
    void AnnounceShortcuts();
    void MakeShortcuts();
    void LogUserData();
    void LogUninstallLog();
    void SaveUninstallLog();
    void AnnounceRegistration();
    void Register();
    void Finish();
    // A run that is left, or whose pass the user aborted, takes back what it
    // wrote, unless the program is registered by then: an installation in
    // the list of programs is whole and its uninstaller removes it.
    void TakeBack();

    // Where an entry's file stands once its expansion is over.
    enum class Placed { No, Yes, Linked };

    // One payload entry; false stops the installing pass.
    bool InstallEntry(std::string_view entry);
    // Expands the temporary file into the target and checks what came out,
    // asking on failure; false stops the installing pass. `placed` tells
    // whether the file is there once it returns true, or that a link stood
    // in its place and nothing was written.
    bool ExpandEntry(const std::string& tmp, const std::string& target, const std::string& name,
                     std::optional<std::uint64_t> expectedSize, Placed& placed);
    // Why an expanded target is not the file the payload holds; "" when it is.
    std::string DamageOf(const std::string& target, const std::string& name,
                         std::optional<std::uint64_t> expectedSize);
    void MakeShortcut(const std::string& file, const std::string& targetName);
    void EnsureDestination();
    void MakeFolders(const std::string& path);
    // Adds folder levels about to be made to the uninstall key's list of
    // created folders at once, so that a run that ends before its
    // registration (killed, say) leaves them to the next run's list.
    void RecordFolders(const std::vector<std::string>& levels);
    // Puts that list back as the run found it (TakeBack).
    void RestoreFolderRecord();
    // Shows the box that says why a file was not written.
    void ShowSaveError(const std::string& text, const std::string& path, const SaveOutcome& saved,
                       std::string_view note = {});
    bool Save(const std::string& path, std::string_view bytes);
    std::string InDestination(std::string_view name) const;
    // Whether a payload file is in the destination: put there by this run,
    // or there from before.
    bool IsInPlace(std::string_view name);
    std::vector<std::string> CreatedFolders();
    std::string GroupPath() const;            // "" without a Programs folder
    std::string DesktopShortcutPath() const;
    void AddTrustedRecords(std::vector<RegistryValue>& values);
    void LeaveOut(const std::string& name);
    // Records a file about to be written where nothing is, for TakeBack
    // (which looks whether it is there before removing it).
    void NoteIfNew(const std::string& path);
    // Whether the pass left the file out or never reached it.
    bool IsMissing(std::string_view name);

    static const Step kSteps[];

    const InstallChoices& choices_;
    InstallSystem& system_;
    ProgressSink& progress_;
    InstallGate& gate_;
    UninstallLog& log_;
    RunLog& runLog_;
    std::string destination_;
    PayloadDigests digests_;
    bool haveDigests_ = false;
    std::uint64_t installedBytes_ = 0;
    RunWrites written_;                        // what this run made where nothing was
    // The list of created folders in the uninstall key before this run first
    // added to it; nothing while it has not.
    std::optional<std::vector<std::string>> recordBefore_;
    std::vector<std::string> inPlace_;         // entry names this run put in place
    int entriesDone_ = 0;
    InstallReport report_;
};

// How an unattended run answers a failed copy, the `attempt`-th failure of
// one file: three retries (the caller waits a moment before each), then Abort.
CopyAnswer UnattendedCopyAnswer(int attempt);

// Whether a path fits the system's path limit.
bool FitsMaxPath(std::string_view path);

// The longest destination folder, in characters, that holds every file the
// installation writes into it within the system's path limit.
std::size_t LongestDestination();

// The drive a full path is on, as the user names it: "C:", or
// "\\server\share"; "" when the path names none.
std::string DriveOf(std::string_view path);

// What a box adds when a write failed with the system's error `error` on
// the drive of `path`: the disk is full, when it is; else nothing.
std::string DiskFullNote(std::string_view path, unsigned long error);

// The box when a link stands where the installation would write `path`.
std::string LinkedText(std::string_view path);

// The command line of the uninstaller at `path` with optional arguments:
// the path in double quotes, so that no part of it before a space can be
// taken for the program.
std::string QuotedCommand(std::string_view path, std::string_view arguments = {});

// `folder` and `name` joined by one backslash.
std::string InFolder(std::string_view folder, std::string_view name);

}  // namespace qv
