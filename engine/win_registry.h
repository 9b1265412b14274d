#pragma once
// String values under a key of HKEY_LOCAL_MACHINE.
#include <string>
#include <vector>

#include "engine/install_system.h"

namespace qv {

// Creates or opens the key with full access and writes the values in order,
// each as REG_SZ with its terminating NUL. False if the key cannot be
// opened or a value cannot be written; the values after it are not tried.
bool WriteMachineStrings(const std::string& key, const std::vector<RegistryValue>& values);

}  // namespace qv
