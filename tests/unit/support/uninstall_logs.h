#pragma once
// Uninstall logs for the native tests of the uninstaller's portable part.
#include <initializer_list>
#include <string>

#include "engine/uninstall_plan.h"

namespace qv::test {

// The lines, each ended by CR LF.
std::string Crlf(std::initializer_list<std::string> lines);

// A complete installation into a drive root's subfolder, with the desktop
// shortcut: its destination and program group.
inline constexpr char kDest[] = "C:\\Program Files\\QuorVel V2.0";
inline constexpr char kGroup[] = "C:\\Menu\\Programs\\Кворвель 2.0";

// The digest FullContext says the log read has.
inline constexpr char kReadDigest[] = "0123abcd";

// The log that installation leaves, and the uninstaller's surroundings in it.
std::string FullLog();
PlanContext FullContext();

}  // namespace qv::test
