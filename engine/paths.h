#pragma once
// Windows paths taken apart, compared and judged, portably.
//
// A full path is rooted at a drive ("C:\...") or at a network share
// ("\\server\share\..."). Runs of separators count as one, '/' separates
// like '\', and a path may end with a separator. "." and ".." are resolved
// by their letters, as Windows resolves them, never above the root. Letter
// case is kept; comparisons ignore it (code page 1251).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Whether a path names its folder in full: a drive and a separator
// ("C:\...") or a network share ("\\server\share"). "foo", "\foo" and
// "C:foo" depend on the current folder or drive.
bool IsFullPath(std::string_view path);

// "\\" or "/".
bool IsSeparator(char c);

// Whether a folder name added to another folder's path stays inside that
// folder: no part of it is ".." (trailing blanks, which the system drops,
// aside). "Кворвель\\Справочник" stays; "..", "a\\..\\.." and "../x" do not.
bool StaysInside(std::string_view relative);

// What one name of a path can stand for. The order is that of precedence:
// a path with a name nothing can have names nothing, whatever else it holds.
// A name with a character Windows refuses (< > : " | ? *) is an OddName: it
// names nothing on Windows, but other file systems may have taken it. A
// control character or a device name (CON, NUL.txt...) is NoSuchName; an
// empty name or one of dots and spaces only is Bad.
enum class NameVerdict { Valid, Bad, OddName, NoSuchName };

NameVerdict CheckName(std::string_view name);

// A full path taken apart: its root in normal form ("C:\" or
// "\\server\share") and the names below it, "." and ".." resolved.
struct PathParts {
    std::string root;
    std::vector<std::string_view> names;  // views into the path taken apart
    bool endsWithSeparator = false;
    bool hadDots = false;                      // a "." or ".." part was resolved
    NameVerdict verdict = NameVerdict::Valid;  // the worst of the names that remain

    // The root and the first `count` names, joined by single backslashes.
    std::string Joined(size_t count) const;
    std::string Joined() const { return Joined(names.size()); }
};

// Nothing when the path is not a full path (a share's server and share must
// be valid names, which rules out the device forms \\?\ and \\.\).
std::optional<PathParts> SplitPath(std::string_view path);

// The path with every run of separators made one backslash, "." and ".."
// resolved and without a trailing separator, except after a bare drive root
// ("C:\"). Letter case is kept. A path without a root is given back as it is.
std::string NormalizePath(std::string_view path);

// The normal form in lower case: equal for two paths that SamePath finds
// equal, for sets and maps of paths.
std::string PathKey(std::string_view path);

// Equality of two paths after normalising, without regard to letter case.
bool SamePath(std::string_view a, std::string_view b);

// True when `path` lies inside `folder` (at any depth), not when they are equal.
bool IsInside(std::string_view path, std::string_view folder);
// The same, or the folder itself.
bool IsAtOrInside(std::string_view path, std::string_view folder);

// Number of names below the root: "C:\" 0, "C:\a\\b" 2.
size_t PathDepth(std::string_view path);

// True for a drive root or a share root.
bool IsRootPath(std::string_view path);

// The last name of a path ("" for a root) and the folder holding it.
std::string LastName(std::string_view path);
std::string ParentPath(std::string_view path);

}  // namespace qv
