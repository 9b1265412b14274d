#pragma once
// Where an open file or folder really is: the path the system reached, every
// link (symbolic link, junction, mount point) on the way followed. Used to
// check on the handle itself that a path does not lead somewhere else
// before anything is written or deleted there.
#include <windows.h>

#include <optional>
#include <string>

namespace qv {

// Whether the open `file` is what `path` names: its final path is the long form of `path`, letter case aside.
// Nothing when the system cannot tell (before Windows Vista, or on a volume
// without a drive letter).
std::optional<bool> IsReachedAt(HANDLE file, const std::wstring& path);

}  // namespace qv
