#pragma once
// Files written only where their path leads. Setup runs with administrator
// rights and writes into folders that other users may be able to change: a
// link (a symbolic link, a junction, a hard link) planted at a file's place,
// or a linked folder on its way, would turn setup's write into a write of
// whatever it points at. Each file is opened first and what the handle
// really is checked before a byte is written.
#include <windows.h>

#include <string>
#include <string_view>

#include "engine/install_system.h"
#include "toolkit/win_handles.h"

namespace qv {

// Whether the open file is the one `path` names: not a link itself (a
// reparse point, or one of several hard links), and its final path (where
// the system has it) the long form of `path`, letter case aside.
bool HandleIsPath(HANDLE file, const std::string& path);

// Creates `path`, or replaces what the file there holds, and writes `bytes`
// into it. Nothing is written, and nothing is left created, when the path
// leads elsewhere (SaveResult::Linked). The error is the system's code of
// the call that failed.
SaveOutcome WriteCheckedFile(const std::string& path, std::string_view bytes);

}  // namespace qv
