#pragma once
// Expansion of a file: an SZDD source is expanded into the target, any
// other source is copied as is. The target is written only where its path
// leads (win_checked_file.h).
#include <string>

#include "engine/install_system.h"

namespace qv {

// Creates or replaces target from source. The target is not touched unless
// the source could be read.
ExpandOutcome LzExpandFile(const std::string& source, const std::string& target);

}  // namespace qv
