#pragma once
// Values under a key of HKEY_LOCAL_MACHINE.
#include <functional>
#include <string>
#include <vector>

#include "engine/install_system.h"

namespace qv {

// Creates or opens the key with full access and writes the values in order:
// strings as REG_SZ with their terminating NUL, numbers as REG_DWORD, lists
// as REG_MULTI_SZ. A value that cannot be written does not stop the ones
// after it; `failed` hears of each (its name and the system's error code),
// and of every value, with the key's error, when the key cannot be made.
using RegistryFailure = std::function<void(const std::string& name, unsigned long error)>;
void WriteMachineValues(const std::string& key, const std::vector<RegistryValue>& values,
                        const RegistryFailure& failed);

// A REG_MULTI_SZ value; empty when the key or value is missing or of another type.
std::vector<std::string> ReadMachineStrings(const std::string& key, const std::string& name);

// A REG_SZ value; "" when the key or value is missing or of another type.
std::string ReadMachineString(const std::string& key, const std::string& name);

}  // namespace qv
