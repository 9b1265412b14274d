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

    // One payload entry; false stops the installing pass.
    bool InstallEntry(std::string_view entry);
    // Expands the temporary file into the target and checks what came out,
    // asking on failure; false stops the installing pass. `inPlace` tells
    // whether the file is there once it returns true.
    bool ExpandEntry(const std::string& tmp, const std::string& target, const std::string& name,
                     std::optional<std::uint64_t> expectedSize, bool& inPlace);
    // Why an expanded target is not the file the payload holds; "" when it is.
    std::string DamageOf(const std::string& target, const std::string& name,
                         std::optional<std::uint64_t> expectedSize);
    void MakeShortcut(const std::string& file, const std::string& targetName);
    void EnsureDestination();
    void MakeFolders(const std::string& path);
    bool Save(const std::string& path, std::string_view bytes);
    std::string InDestination(std::string_view name) const;
    // Whether a payload file is in the destination: put there by this run,
    // or there from before.
    bool IsInPlace(std::string_view name);
    std::vector<std::string> CreatedFolders();
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
    std::vector<std::string> inPlace_;         // entry names this run put in place
    int entriesDone_ = 0;
    InstallReport report_;
};

// How an unattended run answers a failed copy, the `attempt`-th failure of
// one file: three retries (the caller waits a moment before each), then Abort.
CopyAnswer UnattendedCopyAnswer(int attempt);

// Whether a path fits the system's path limit.
bool FitsMaxPath(std::string_view path);

// The command line of the uninstaller at `path` with optional arguments:
// the path in double quotes, so that no part of it before a space can be
// taken for the program.
std::string QuotedCommand(std::string_view path, std::string_view arguments = {});

}  // namespace qv
