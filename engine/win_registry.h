#pragma once
// Values under a key of HKEY_LOCAL_MACHINE, always in the registry view of
// the registration (contract::kRegistryView), whichever build asks.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/install_system.h"
#include "toolkit/win_handles.h"

namespace qv {

// Creates or opens the key with full access and writes the values in order:
// strings as REG_SZ with their terminating NUL, numbers as REG_DWORD, lists
// as REG_MULTI_SZ. A value that cannot be written does not stop the ones
// after it; `failed` hears of each (its name and the system's error code),
// and of every value, with the key's error, when the key cannot be made.
using RegistryFailure = std::function<void(const std::string& name, unsigned long error)>;
void WriteMachineValues(const std::string& key, const std::vector<RegistryValue>& values,
                        const RegistryFailure& failed);

// Opens the key for reading its values; the system's error code.
LONG OpenMachineKeyToRead(const std::string& key, UniqueRegKey& opened);

// A REG_SZ or REG_EXPAND_SZ value of an open key, up to its first NUL;
// nullopt when it is missing, unreadable or of another type.
std::optional<std::string> ReadStringValue(HKEY key, const char* name);

// A REG_MULTI_SZ value of an open key; nothing when it is missing,
// unreadable or of another type. The data need not end with its terminators.
std::optional<std::vector<std::string>> ReadMultiStrings(HKEY key, const char* name);

// A REG_MULTI_SZ value; empty when the key or value is missing or of another type.
std::vector<std::string> ReadMachineStrings(const std::string& key, const std::string& name);

// A REG_SZ value; "" when the key or value is missing or of another type.
std::string ReadMachineString(const std::string& key, const std::string& name);

// Deletes the key (which must have no subkeys); 0 when it is gone or was
// never there, else the system's error code.
unsigned long DeleteMachineKey(const std::string& key);

// Deletes one value of the key; 0 when it is gone or was never there (nor
// its key), else the system's error code.
unsigned long DeleteMachineValue(const std::string& key, const std::string& name);

}  // namespace qv
