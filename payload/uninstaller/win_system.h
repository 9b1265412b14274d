#pragma once
// The uninstaller's view of Windows: its own path, the folders of the
// system, the log file, and the removal operations behind RemovalSystem.
#include <cstddef>
#include <string>
#include <vector>

#include "engine/removal.h"

namespace qv {

// Full path of the running program.
std::string ModulePath();
// The folder part of a path: everything before its last backslash.
std::string FolderOf(const std::string& path);
// The long form of an existing path (no 8.3 names); the path itself when
// that cannot be had.
std::string LongPath(const std::string& path);
// The form in which the removal compares paths: full, as the system
// resolves it for file calls (trailing dots and blanks dropped), then long.
std::string CanonicalPath(const std::string& path);
// A folder of the shell's (CSIDL_...); "" when there is none.
std::string ShellFolder(int csidl);
// The temporary folder, ending with a backslash.
std::string TempFolder();

// The system's special folders (Start menu, desktop, program files, Windows
// and the like), which are never removed.
std::vector<std::string> SystemFolders();

enum class ReadStatus { Ok, Missing, Failed };
// Reads a file whole, but no more than `limit` + 1 bytes.
ReadStatus ReadWholeFile(const std::string& path, size_t limit, std::string* bytes);

// DeleteFileW, clearing a read-only attribute that stands in the way (and
// putting it back when the file still cannot go).
bool RemoveFileForce(const std::string& path);

class WinRemovalSystem : public RemovalSystem {
public:
    PathState Inspect(const std::string& path) override;
    unsigned long RemoveFile(const std::string& path) override;
    unsigned long RemoveEmptyFolder(const std::string& path) override;
    std::vector<std::string> ListFolder(const std::string& path) override;
    // Through the shell link object: COM must be initialised on the thread.
    std::optional<std::string> ShortcutTarget(const std::string& path) override;
    bool InUse(const std::string& path) override;
    std::optional<Registration> ReadRegistration() override;
    unsigned long RemoveUninstallKey() override;
    std::string ErrorText(unsigned long code) override;
};

}  // namespace qv
