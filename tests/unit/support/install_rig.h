#pragma once
// Everything one run of the install sequence needs in a native test: a
// temporary drive C:, the fake system, the recording sink, the gate, the log
// and the choices, set to an ordinary installation.
#include <memory>
#include <string>
#include <vector>

#include "engine/install_choices.h"
#include "engine/install_gate.h"
#include "engine/install_sequence.h"
#include "engine/uninstall_log.h"
#include "support/install_fakes.h"

namespace qv::test {

// The sixteen entry names of the payload, in container order.
const std::vector<std::string>& PayloadNames();

struct InstallRig {
    // A rig on a fresh drive, or on the drive of an earlier rig.
    InstallRig();
    explicit InstallRig(std::shared_ptr<TempFolder> drive);
    std::shared_ptr<TempFolder> Drive() const { return drive_; }

    // The sixteen entries; each file's contents name the file and the tag.
    void AddPayload(const std::string& tag = "first");
    // Contents of a payload file as AddPayload makes it.
    static std::string PayloadData(const std::string& name, const std::string& tag = "first");

    InstallOutcome Run();

    // destination + "\" + name
    std::string InDestination(const std::string& name) const;
    std::string Host(const std::string& windowsPath) const { return system.HostPath(windowsPath); }
    std::string ReadFile(const std::string& windowsPath) const;
    bool FileExists(const std::string& windowsPath) const;
    void MakeFolder(const std::string& windowsPath) const;
    // The lines of the UnInstall.dat written into the destination.
    std::vector<std::string> SavedLog() const;

    std::string root;
    Trace trace;
    FakeInstallSystem system;
    RecordingSink sink;
    InstallGate gate;
    UninstallLog log;
    InstallChoices choices;
    InstallReport report;  // of the last Run

private:
    std::shared_ptr<TempFolder> drive_;
};

}  // namespace qv::test
