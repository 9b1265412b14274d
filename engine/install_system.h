#pragma once
// What the install sequence needs from the system, and what it tells the
// progress display. The Windows program backs InstallSystem with the real
// calls (win_install_system.h); native tests back it with a temporary folder
// and a fake. Paths are texts in the system's 8-bit code page, built by the
// sequence; the backing never alters them.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/install_report.h"

namespace qv {

// Caption of every box the installation shows.
extern const char kInstallCaption[];

enum class SaveResult {
    Saved,       // created or replaced, every byte written
    NotCreated,  // the file could not be created or opened for writing
    Incomplete,  // created, but writing or closing it failed
    Linked,      // a link (or a linked folder) leads elsewhere: nothing written through it
};

enum class ExpandResult {
    Expanded,    // target written from the (possibly compressed) source
    OpenFailed,  // the source or the target could not be opened
    CopyFailed,  // both opened, but the expansion reported an error
    Linked,      // as SaveResult::Linked
};

// The system's error codes the sequence words itself: the disk (or the
// user's quota on it) is full.
inline constexpr unsigned long kErrorDiskFull = 112;       // ERROR_DISK_FULL
inline constexpr unsigned long kErrorHandleDiskFull = 39;  // ERROR_HANDLE_DISK_FULL

// A file call's result with the system's error code of the call that
// failed (0 when it succeeded or the system gave none).
template <typename Result>
struct FileOutcome {
    FileOutcome(Result r, unsigned long e = 0) : result(r), error(e) {}  // NOLINT: a bare result converts
    bool operator==(Result other) const { return result == other; }
    Result result;
    unsigned long error;
};
using SaveOutcome = FileOutcome<SaveResult>;
using ExpandOutcome = FileOutcome<ExpandResult>;

enum class CopyAnswer { Abort, Retry, Ignore };

// What a shell shortcut file holds.
struct Shortcut {
    std::string file;  // full path of the .lnk file
    std::string target;
    std::string workingFolder;
    std::string arguments;
    std::string iconFile;
    int iconIndex = 0;
    std::uint16_t hotKey = 0;
    int showCommand = 1;  // normal window
};

struct RegistryValue {
    std::string name;
    // REG_SZ, REG_DWORD or REG_MULTI_SZ.
    std::variant<std::string, std::uint32_t, std::vector<std::string>> data;
};

class InstallSystem {
public:
    // Receives one payload entry's bytes; returns false to stop the pass.
    using EntryVisitor = std::function<bool(std::string_view entry)>;

    virtual ~InstallSystem() = default;

    // Payload. The counting pass gives the number of entries that can be
    // located; the installing pass shows every entry that can be loaded to
    // the visitor, in container order, until the visitor returns false.
    virtual int CountEntries() = 0;
    virtual void ForEachEntry(const EntryVisitor& visit) = 0;
    // The table of the expanded files' sizes and digests (payload_digests.h)
    // the payload carries; empty when it carries none.
    virtual std::string PayloadDigestTable() = 0;

    // Files and folders.
    virtual bool Exists(const std::string& path) = 0;
    virtual bool MakeFolder(const std::string& path) = 0;  // one level
    // Both write a file only where its path leads, never through a link.
    virtual SaveOutcome SaveFile(const std::string& path, std::string_view bytes) = 0;
    // The bytes a text file of the program's (the agreement, the uninstall
    // log) is saved as; the text as it is unless the system needs another form.
    virtual std::string TextFileBytes(std::string_view text) { return std::string(text); }
    virtual ExpandOutcome ExpandFile(const std::string& source, const std::string& target) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    virtual bool RemoveFolder(const std::string& path) = 0;  // only an empty one
    virtual std::optional<std::uint64_t> FileSize(const std::string& path) = 0;
    // SHA-256 of a file's contents in lower-case hex; nothing when unreadable.
    virtual std::optional<std::string> FileSha256(const std::string& path) = 0;
    // A path that is not a full one ("foo", "\QuorVel", "C:foo") made full
    // the way the system resolves it for file calls now.
    virtual std::string FullPath(const std::string& path) = 0;

    // Boxes of the installation: caption kInstallCaption, error icon,
    // system-modal, no owner window. `attempt` counts the failures of the
    // same file, from 1. An unattended run answers them by rule.
    virtual void ShowError(const std::string& text) = 0;                       // OK
    virtual CopyAnswer AskCopyFailed(const std::string& text, int attempt) = 0;  // Abort, Retry, Ignore

    // The pause after each entry, for a person to follow the progress;
    // nothing in an unattended run.
    virtual void Delay(unsigned milliseconds) = 0;

    // Shortcut stage: Begin and End bracket the shortcuts, on the calling
    // thread (the Windows side initialises COM there).
    virtual void BeginShortcuts() = 0;
    virtual bool MakeShortcut(const Shortcut& shortcut) = 0;
    virtual void EndShortcuts() = 0;

    // Creates or opens the key below HKEY_LOCAL_MACHINE and writes every
    // value in order, going on past one that fails. The names of the values
    // not written: every name when the key could not be made.
    virtual std::vector<std::string> WriteMachineValues(const std::string& key,
                                                        const std::vector<RegistryValue>& values) = 0;
    // A REG_MULTI_SZ value of a key below HKEY_LOCAL_MACHINE; empty when the
    // key or the value is missing or of another type.
    virtual std::vector<std::string> ReadMachineStrings(const std::string& key, const std::string& name) = 0;
    // A REG_SZ value of a key below HKEY_LOCAL_MACHINE; "" when the key or
    // the value is missing or of another type.
    virtual std::string ReadMachineString(const std::string& key, const std::string& name) = 0;
    // One REG_MULTI_SZ value, the key created when missing; true when written.
    virtual bool WriteMachineStrings(const std::string& key, const std::string& name,
                                     const std::vector<std::string>& strings) = 0;
    // true when the value, or the key (which holds no subkeys), is gone.
    virtual bool DeleteMachineValue(const std::string& key, const std::string& name) = 0;
    virtual bool DeleteMachineKey(const std::string& key) = 0;

    // Starts a command line (the program first, in double quotes) and waits
    // for the program to end: its exit code; nothing when it did not start.
    virtual std::optional<unsigned long> RunAndWait(const std::string& commandLine) = 0;
};

// The progress display. Every call comes from the worker thread (Failed may
// come from the page's own, when no worker thread could be made); the page
// hands each one over to its own thread.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void SetAction(const std::string& text) = 0;
    virtual void SetFileName(const std::string& text) = 0;
    virtual void SetRange(int minimum, int maximum) = 0;
    virtual void SetPosition(int position) = 0;
    // The installation has run to its end, with what it achieved: the page
    // closes with Next.
    virtual void Finished(const InstallReport& report) = 0;
    // The installation stopped on an error nobody expected (the worker
    // could not go on); the text says what it was.
    virtual void Failed(const std::string& what) = 0;
};

}  // namespace qv
