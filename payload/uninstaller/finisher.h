#pragma once
// A running program cannot delete its own file. The uninstaller therefore
// copies itself into a handover folder and starts the copy, which waits
// for the uninstaller to end, then removes its file and the folders that
// held only it. The copy cannot delete itself either: it leaves its own
// removal, and its folder's, to the next restart, when Windows deletes them.
//
// The copy runs with the uninstaller's administrator rights, so it never
// runs from a folder that others can write to (a DLL left there would run
// with those rights): the handover folder is a fresh one under the
// temporary folder, with a name nobody can guess, and only the
// Administrators and SYSTEM may write to it where the file system keeps
// access rights.
#include <string>
#include <vector>

#include "engine/finish_request.h"

namespace qv {

// Starts the copy that removes `self` and then `folders` (deepest first)
// once this process has ended. False when the copy could not be started.
bool StartFinisher(const std::string& self, const std::vector<std::string>& folders);

// Asks Windows to remove the paths at the next restart, in order. Gives
// back those it could not schedule.
std::vector<std::string> ScheduleRemovalAtRestart(const std::vector<std::string>& paths);

// The copy's work. Does nothing unless the handle is one of a process.
int RunFinisher(const FinishRequest& request);

}  // namespace qv
