#pragma once
// The install sequence's view of Windows: the payload in the program's own
// resources, files, the LZ expansion library, message boxes, shell links
// and the registry.
#include <memory>

#include "engine/install_system.h"
#include "engine/run_log.h"
#include "engine/win_boxes.h"

namespace qv {

class ComApartment;
class FileHasher;

class WinInstallSystem : public InstallSystem {
public:
    // `pauses`: whether the pause after each entry is kept (for a person
    // to follow the progress). Failures of system calls go into the log
    // of `boxes` with the system's text.
    explicit WinInstallSystem(const Boxes& boxes = RunBoxes(), bool pauses = true);
    ~WinInstallSystem() override;

    int CountEntries() override;
    void ForEachEntry(const EntryVisitor& visit) override;
    std::string PayloadDigestTable() override;

    bool Exists(const std::string& path) override;
    bool MakeFolder(const std::string& path) override;
    std::string TextFileBytes(std::string_view text) override;
    SaveOutcome SaveFile(const std::string& path, std::string_view bytes) override;
    ExpandOutcome ExpandFile(const std::string& source, const std::string& target) override;
    bool RemoveFile(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
    std::optional<std::string> FileSha256(const std::string& path) override;
    std::string FullPath(const std::string& path) override;

    void ShowError(const std::string& text) override;
    CopyAnswer AskCopyFailed(const std::string& text, int attempt) override;

    void Delay(unsigned milliseconds) override;

    void BeginShortcuts() override;
    bool MakeShortcut(const Shortcut& shortcut) override;
    void EndShortcuts() override;

    std::vector<std::string> WriteMachineValues(const std::string& key,
                                                const std::vector<RegistryValue>& values) override;
    std::vector<std::string> ReadMachineStrings(const std::string& key, const std::string& name) override;
    std::string ReadMachineString(const std::string& key, const std::string& name) override;
    bool WriteMachineStrings(const std::string& key, const std::string& name,
                             const std::vector<std::string>& strings) override;
    bool DeleteMachineValue(const std::string& key, const std::string& name) override;
    bool DeleteMachineKey(const std::string& key) override;

    std::optional<unsigned long> RunAndWait(const std::string& commandLine) override;

private:
    // Writes "what: (code) the system's text" for the last error, or for
    // the error the failing call gave.
    void LogFailure(const std::string& what) const;
    void LogFailure(const std::string& what, unsigned long error) const;

    Boxes boxes_;
    bool pauses_;
    std::unique_ptr<FileHasher> hasher_;  // made at the first file checked
    std::unique_ptr<ComApartment> apartment_;  // during the shortcut stage
};

}  // namespace qv
