#pragma once
// What a scenario looks at outside the program's windows: files and
// folders, shortcut files read through the shell, registry values, shell
// folders and running processes.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/install_contract.h"
#include "engine/win_shortcut.h"

namespace e2e {

// --- Files --------------------------------------------------------------------

bool Exists(const std::string& path);
bool IsFolder(const std::string& path);
// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadWhole(const std::string& path);
bool WriteWhole(const std::string& path, const std::string& bytes);
// A text file of the installation (UnInstall.dat, lic.txt) as this
// program's text. A Unicode test decodes it by its form: UTF-16LE after its
// byte-order mark, else 8-bit in the system's ANSI code page. A test in the
// code page compares the bytes themselves, as they were always written.
std::optional<std::string> ReadTextFile(const std::string& path);
// A text kept in code page 1251 (the built-in agreement) as this program's text.
std::string TextOf1251(const std::string& bytes);
// Removes a file or a folder with everything in it; nothing if missing.
void RemoveTree(const std::string& path);
// Makes every missing level of a folder.
bool MakeFolders(const std::string& path);
// A Unix path of the build as Wine shows it: under Z:, with backslashes.
std::string WinePath(const std::string& unixPath);

// Starts a program of the Linux system the tests run on (Z:\bin\<tool>) in
// `folder`; Wine hands the arguments to it in UTF-8. Wine runs it as it is
// and hands back no process to wait for: the caller waits for what it does.
// false when it could not be started.
bool StartLinuxTool(const std::string& tool, const std::wstring& arguments, const std::string& folder = "C:\\");

// A symbolic link at `link` to `target` (Windows paths), made
// as a user of the machine makes one: with ln -s on the Unix side, which
// Wine shows as a link. False when it cannot be made here (outside Wine).
bool MakeUnixLink(const std::string& target, const std::string& link);

// A new folder under the system's temporary folder, removed with everything
// in it when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder() { RemoveTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// One entry of a folder, as a listing shows it.
struct FolderEntry {
    std::string name;
    bool folder = false;
    std::uint64_t size = 0;
    std::uint64_t written = 0;  // last write time, FILETIME units
    bool operator==(const FolderEntry& other) const {
        return name == other.name && folder == other.folder && size == other.size && written == other.written;
    }
};
// The folder's entries sorted by name; empty when it is missing.
std::vector<FolderEntry> ListFolder(const std::string& folder);
std::string Describe(const std::vector<FolderEntry>& listing);

// Text split at CR LF; false (and the lines so far) when a line break is
// anything else or the last line is not ended.
bool SplitCrLfLines(const std::string& text, std::vector<std::string>& lines);

// Case is ignored, as Windows compares file names.
bool SamePath(const std::string& a, const std::string& b);

// --- Shell ----------------------------------------------------------------------

// COM for the calling thread while the object lives: the programs' own.
using qv::ComApartment;

// A shell folder by CSIDL; empty when the system has none.
std::string ShellFolder(int csidl);

// The fields of a shortcut file as the shell link object reads them back.
struct ShortcutFields {
    std::string target;
    std::string workingFolder;
    std::string arguments;
    std::string description;
    std::string iconFile;
    int iconIndex = -1;
    int showCommand = -1;
    WORD hotKey = 0xFFFF;
};
// Needs a ComApartment on the calling thread. Paths and fields are this
// program's text (toolkit/program_text.h), as everywhere in the driver.
std::optional<ShortcutFields> ReadShortcut(const std::string& file);

// --- Registry -------------------------------------------------------------------
// These helpers (and RegistryKeyExists, DeniedRegistryKey) open every key in
// the view the setup programs keep their registration in
// (contract::kRegistryView), whichever build the driver itself is.

struct RegistryValue {
    DWORD type = REG_NONE;
    // The raw bytes; for a string value (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ)
    // its text as this program's, terminators included.
    std::string data;
};
// Nothing when the value is missing, or is a string whose text this
// program cannot hold.
std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::string& key, const std::string& name);
// The names of a key's values; nothing when the key is missing.
std::vector<std::string> RegistryValueNames(HKEY root, const std::string& key);
bool DeleteRegistryTree(HKEY root, const std::string& key);

// --- Processes and their windows ----------------------------------------------------

// Identifiers of the running processes whose entry passes `wanted`.
std::vector<DWORD> ProcessesWhere(const std::function<bool(const PROCESSENTRY32W&)>& wanted);
// Identifiers of the running processes with this image name (case ignored).
std::vector<DWORD> ProcessesNamed(const std::string& image);
// Visible top-level windows with this caption, of any process.
std::vector<HWND> WindowsTitled(const std::string& caption);
// The text of a dialog item of another process's window.
std::string ItemText(HWND window, int id);
// Asks the window to close and waits until its process has ended.
bool CloseAndWaitForExit(HWND window, DWORD milliseconds);

}  // namespace e2e
