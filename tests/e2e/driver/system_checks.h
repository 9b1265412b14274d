#pragma once
// What scenarios on a real system need beyond the wizard's own windows:
// whole trees listed at any depth, a file held open the way another program
// holds it, a registry key closed to writing, the message boxes and child
// processes of other programs, and the resources a process holds.
#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver/driver.h"
#include "tests/e2e/driver/system.h"
#include "toolkit/win_handles.h"

namespace e2e {

// --- Trees ----------------------------------------------------------------------

// Every file and folder below `root` (not root itself), at any depth, even
// past the 260-character limit; `name` is the full path, as this program's
// text. Folders in `skip`, and links to folders, are listed but not
// entered. Sorted by path.
std::vector<FolderEntry> ListTree(const std::string& root, const std::vector<std::string>& skip = {});
// The paths of `after` that `before` does not have.
std::vector<std::string> AddedPaths(const std::vector<FolderEntry>& before, const std::vector<FolderEntry>& after);

// The folders (their trees, or that they are missing) and one registry key,
// as one text: two snapshots compare equal when nothing there changed.
std::string DescribeState(const std::vector<std::string>& folders, HKEY root, const std::string& key);
// Waits until `describe` gives the same text for `quiet` on end; true if it
// settled within `limit`.
bool WaitUnchanged(const std::function<std::string()>& describe, std::chrono::milliseconds quiet,
                   std::chrono::milliseconds limit);

// The packed payload file the installation should have written.
std::optional<std::string> PackedPayloadFile(const std::string& name);

// --- A file another program holds ------------------------------------------------

// Opens the file for writing without sharing it, as a program that has it
// open does, creating it (and its folders) with `contents` when missing.
class HeldFile {
public:
    HeldFile(const std::string& path, const std::string& contents);

    bool held() const { return static_cast<bool>(handle_); }
    void Release() { handle_.reset(); }

private:
    qv::UniqueHandle handle_;
};

// --- Registry ---------------------------------------------------------------------

bool RegistryKeyExists(HKEY root, const std::string& key);
// The key's values, one line each (name, type, bytes in hex), sorted; or
// "<no key>". Two snapshots compare equal when nothing in the key changed.
std::string DescribeRegistryKey(HKEY root, const std::string& key);

// A key that exists but that nobody may open (its access list denies all),
// as a key another administrator has locked. Opened again on destruction.
class DeniedRegistryKey {
public:
    DeniedRegistryKey(HKEY root, std::string key);
    ~DeniedRegistryKey() { Restore(); }
    DeniedRegistryKey(const DeniedRegistryKey&) = delete;
    DeniedRegistryKey& operator=(const DeniedRegistryKey&) = delete;

    bool denied() const { return denied_; }
    void Restore();

private:
    HKEY root_;
    std::string key_;
    bool denied_ = false;
};

// --- Other programs -------------------------------------------------------------------

// Program (driver.h) starts another program with a working folder of its
// own, as a shortcut starts it.

// Waits for a box of the process with this caption (any caption when empty).
bool WaitBoxOf(DWORD pid, const std::string& caption, Box& box, std::chrono::milliseconds limit = 20s);
// Presses a button of a box and waits until the box is gone.
bool AnswerBox(const Box& box, int button, std::chrono::milliseconds limit = 20s);
bool HasButton(const Box& box, int button);
// Whether the box stays in front of every window (a system-modal box).
bool Topmost(const Box& box);

// The processes a process started (they may outlive it).
std::vector<DWORD> ChildProcesses(DWORD parent);
// Waits until all of them have ended; true if they did.
bool WaitProcessesEnded(const std::vector<DWORD>& pids, std::chrono::milliseconds limit);

// --- The display's scale --------------------------------------------------------------

// Sets the DPI that programs started from now on see (the user's LogPixels,
// which this Wine reads at a process's start); puts the previous setting
// back when it goes. This program keeps the DPI it started with.
class DisplayScale {
public:
    explicit DisplayScale(int dpi);
    ~DisplayScale();
    DisplayScale(const DisplayScale&) = delete;
    DisplayScale& operator=(const DisplayScale&) = delete;
    bool set() const { return set_; }

private:
    std::optional<RegistryValue> previous_;
    bool set_ = false;
};

// --- Resources -------------------------------------------------------------------------

// What a process holds. The documented counters are used where the system
// fills them; Wine answers 0 to both, and then the handles come from the
// system's handle table, the GDI objects from the process's own GDI handle
// table and the USER objects are its windows.
struct ProcessResources {
    long handles = -1;
    long gdiObjects = -1;
    long userObjects = -1;
    std::string source;  // how they were counted
};
ProcessResources CountResources(HANDLE process, DWORD pid);

}  // namespace e2e
