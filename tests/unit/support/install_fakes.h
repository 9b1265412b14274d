#pragma once
// Test doubles for the install sequence: a system backed by a real
// temporary folder (the drive "C:" of the Windows paths the sequence builds
// maps onto it) that records what it does and injects faults, and a
// progress sink that records into the same trace.
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/install_gate.h"
#include "engine/install_system.h"

namespace qv::test {

// What the installation did, in order. Safe to read from another thread
// while the worker adds to it.
class Trace {
public:
    struct Event {
        std::string text;
        std::size_t boundaries;  // gate boundaries passed before it
    };

    // Optional: each event notes how many boundaries the gate had passed.
    void WatchGate(const InstallGate* gate) { gate_ = gate; }
    // Optional: called on the adding thread after each event is recorded.
    void OnEvent(std::function<void(std::size_t index)> hook) { hook_ = std::move(hook); }

    void Add(std::string text);
    std::vector<Event> Events() const;
    std::vector<std::string> Texts() const;
    std::size_t Size() const;
    // Texts of the events that begin with prefix.
    std::vector<std::string> Matching(const std::string& prefix) const;

private:
    mutable std::mutex mutex_;
    std::vector<Event> events_;
    const InstallGate* gate_ = nullptr;
    std::function<void(std::size_t)> hook_;
};

class FakeInstallSystem : public InstallSystem {
public:
    FakeInstallSystem(std::string root, Trace& trace) : root_(std::move(root)), trace_(trace) {}

    // The host path of a Windows path on drive C:.
    std::string HostPath(const std::string& path) const;

    // Payload.
    void AddEntry(std::string bytes) { entries_.push_back({std::move(bytes), true}); }
    // An entry that the counting pass finds but that cannot be loaded.
    void AddUnloadableEntry() { entries_.push_back({std::string(), false}); }
    // Changes the bytes of the entry of that name.
    void ReplaceEntry(const std::string& name, const std::function<void(std::string&)>& change);

    // The payload's table of sizes and digests.
    void SetDigestTable(std::string table) { digestTable_ = std::move(table); }
    // A REG_MULTI_SZ value already in the registry.
    void SetMachineStrings(const std::string& name, std::vector<std::string> strings) {
        machineStrings_[name] = std::move(strings);
    }
    // A REG_SZ value already in the registry.
    void SetMachineString(const std::string& name, std::string text) { machineTexts_[name] = std::move(text); }
    // What a program started by RunAndWait does, and its exit code.
    void OnRun(std::function<unsigned long()> run) { onRun_ = std::move(run); }

    // Faults.
    void FailSave(const std::string& path) { failSave_.insert(path); }
    // Writing or expanding into path fails as on a full disk; or finds a
    // link there.
    void FillDisk(const std::string& path) { diskFull_.insert(path); }
    void PlantLink(const std::string& path) { linked_.insert(path); }
    // The next `times` expansions into target fail to open (-1: all of them).
    void FailExpand(const std::string& target, int times);
    void FailRegistry() { failRegistry_ = true; }
    // Only this value of the registration cannot be written.
    void FailRegistryValue(const std::string& name) { failedValue_ = name; }
    // Answers to the copy box, in order; an unexpected box answers Abort.
    void Answer(std::initializer_list<CopyAnswer> answers);

    struct RegistryWrite {
        std::string key;
        std::vector<RegistryValue> values;
    };
    const std::vector<Shortcut>& Shortcuts() const { return shortcuts_; }
    const std::vector<RegistryWrite>& RegistryWrites() const { return registry_; }
    std::size_t UnansweredBoxes() const { return unanswered_; }

    // InstallSystem
    int CountEntries() override;
    void ForEachEntry(const EntryVisitor& visit) override;
    std::string PayloadDigestTable() override { return digestTable_; }
    bool Exists(const std::string& path) override;
    bool MakeFolder(const std::string& path) override;
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
    // The list of created folders goes into the values ReadMachineStrings
    // reads, not into RegistryWrites (the registrations).
    bool WriteMachineStrings(const std::string& key, const std::string& name,
                             const std::vector<std::string>& strings) override;
    bool DeleteMachineValue(const std::string& key, const std::string& name) override;
    bool DeleteMachineKey(const std::string& key) override;
    // Whether the key was deleted since the last WriteMachineStrings.
    bool MachineKeyDeleted() const { return keyDeleted_; }
    std::optional<unsigned long> RunAndWait(const std::string& commandLine) override;

private:
    struct Entry {
        std::string bytes;
        bool loadable;
    };

    std::string root_;
    Trace& trace_;
    std::vector<Entry> entries_;
    std::string digestTable_;
    std::string currentFolder_ = "C:\\Current";  // where a path that is not a full one resolves to
    std::map<std::string, std::vector<std::string>> machineStrings_;
    std::map<std::string, std::string> machineTexts_;
    std::function<unsigned long()> onRun_;
    std::set<std::string> failSave_;
    std::set<std::string> diskFull_;
    std::set<std::string> linked_;
    bool keyDeleted_ = false;
    std::vector<std::pair<std::string, int>> failExpand_;
    bool failRegistry_ = false;
    std::string failedValue_;
    std::deque<CopyAnswer> answers_;
    std::size_t unanswered_ = 0;
    bool inShortcutStage_ = false;
    std::vector<Shortcut> shortcuts_;
    std::vector<RegistryWrite> registry_;
};

class RecordingSink : public ProgressSink {
public:
    explicit RecordingSink(Trace& trace) : trace_(trace) {}
    void SetAction(const std::string& text) override;
    void SetFileName(const std::string& text) override;
    void SetRange(int minimum, int maximum) override;
    void SetPosition(int position) override;
    void Finished(const InstallReport& report) override;
    void Failed(const std::string& what) override;

private:
    Trace& trace_;
};

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Whole-file helpers on host paths.
std::string ReadHostFile(const std::string& path);  // empty if missing
void WriteHostFile(const std::string& path, const std::string& bytes);
bool HostExists(const std::string& path);

// A payload entry: name field (name, NUL, zeros) then data compressed as SZDD.
std::string MakeEntry(const std::string& name, const std::string& data);

// SHA-256 of bytes in lower-case hex, by the host's own library.
std::string Sha256Hex(std::string_view bytes);

}  // namespace qv::test
