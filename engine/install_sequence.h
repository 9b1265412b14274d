#pragma once
// The installation, start to end: counts and expands the payload entries
// into the destination folder, saves the agreement as lic.txt, makes the
// program group and its shortcuts, saves the uninstall log, registers the
// program for removal and reports completion. Runs on the worker thread and
// asks the gate before every step and every entry.
#include <cstddef>
#include <string>
#include <string_view>

#include "engine/install_choices.h"
#include "engine/install_gate.h"
#include "engine/install_system.h"
#include "engine/uninstall_log.h"

namespace qv {

// The longest path a file operation takes, terminator included.
constexpr std::size_t kMaxPath = 260;

enum class InstallOutcome { Finished, Abandoned };

class InstallSequence {
public:
    InstallSequence(const InstallChoices& choices, InstallSystem& system,
                    ProgressSink& progress, InstallGate& gate, UninstallLog& log);

    InstallOutcome Run();

    int EntryCount() const { return entryCount_; }
    int EntriesDone() const { return entriesDone_; }

private:
    using Step = void (InstallSequence::*)();

    void CountEntries();
    void SetProgressRange();
    void LogDestination();
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

    // One payload entry; false stops the installing pass.
    bool InstallEntry(std::string_view entry);
    // Expands the temporary file into the target, asking on failure;
    // false stops the installing pass.
    bool ExpandEntry(const std::string& tmp, const std::string& target,
                     const std::string& name);
    void MakeShortcut(const std::string& file, const std::string& targetName);
    void EnsureDestination();
    void MakeFolders(const std::string& path);
    void Save(const std::string& path, std::string_view bytes);
    std::string InDestination(std::string_view name) const;

    static const Step kSteps[];

    const InstallChoices& choices_;
    InstallSystem& system_;
    ProgressSink& progress_;
    InstallGate& gate_;
    UninstallLog& log_;
    int entryCount_ = 0;
    int entriesDone_ = 0;
};

// Whether a path fits the system's path limit.
bool FitsMaxPath(std::string_view path);

}  // namespace qv
