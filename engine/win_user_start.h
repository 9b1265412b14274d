#pragma once
// Starts a program for the signed-in user (engine/user_start.h) with the
// system's calls: through the desktop shell's own ShellExecute, or with
// CreateProcessA from this process as it was always done.
#include <optional>
#include <string>

#include "engine/user_start.h"

namespace qv {

// Whether this process runs with an elevated token. False where the system
// has no elevation (before Vista) and when it cannot be asked.
bool ProcessElevated();

// The program started from `folder`, which becomes its working folder; the
// window shows as this program's own was asked to show. The route that
// started it, or none.
std::optional<StartRoute> StartProgramForUser(const std::string& program, const std::string& folder);

// The two routes. The shell's: the desktop's folder view is found among
// the shell's windows, and the shell object behind it runs ShellExecute as
// the shell's user; false when any step is missing (no shell running) or
// fails. The own one: CreateProcessA with a new console and this program's
// start-up record; the process is not waited for.
bool StartThroughDesktopShell(const UserStart& start);
bool StartAsOwnProcess(const UserStart& start);

}  // namespace qv
