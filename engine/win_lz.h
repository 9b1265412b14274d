#pragma once
// Expansion of a file through the system's LZ expansion library: an SZDD
// source is expanded into the target, any other source is copied as is.
#include <string>

#include "engine/install_system.h"

namespace qv {

// Creates or replaces target from source.
ExpandResult LzExpandFile(const std::string& source, const std::string& target);

}  // namespace qv
