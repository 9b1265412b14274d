#pragma once
// Values under a key of HKEY_LOCAL_MACHINE.
#include <string>
#include <vector>

#include "engine/install_system.h"

namespace qv {

// Creates or opens the key with full access and writes the values in order:
// strings as REG_SZ with their terminating NUL, numbers as REG_DWORD, lists
// as REG_MULTI_SZ. False if the key cannot be opened or a value cannot be
// written (the system's error code is then the thread's last error); the
// values after it are not tried.
bool WriteMachineValues(const std::string& key, const std::vector<RegistryValue>& values);

// A REG_MULTI_SZ value; empty when the key or value is missing or of another type.
std::vector<std::string> ReadMachineStrings(const std::string& key, const std::string& name);

}  // namespace qv
