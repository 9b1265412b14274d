#pragma once
// The install sequence's view of Windows: the payload in the program's own
// resources, files, the LZ expansion library, message boxes, shell links
// and the registry.
#include <memory>

#include "engine/install_system.h"

namespace qv {

class ComApartment;

class WinInstallSystem : public InstallSystem {
public:
    WinInstallSystem();
    ~WinInstallSystem() override;

    int CountEntries() override;
    void ForEachEntry(const EntryVisitor& visit) override;

    bool Exists(const std::string& path) override;
    bool MakeFolder(const std::string& path) override;
    SaveResult SaveFile(const std::string& path, std::string_view bytes) override;
    ExpandResult ExpandFile(const std::string& source, const std::string& target) override;
    bool RemoveFile(const std::string& path) override;

    void ShowError(const std::string& text) override;
    CopyAnswer AskCopyFailed(const std::string& text) override;

    void Delay(unsigned milliseconds) override;

    void BeginShortcuts() override;
    bool MakeShortcut(const Shortcut& shortcut) override;
    void EndShortcuts() override;

    bool WriteMachineValues(const std::string& key, const std::vector<RegistryValue>& values) override;

private:
    std::unique_ptr<ComApartment> apartment_;  // during the shortcut stage
};

}  // namespace qv
