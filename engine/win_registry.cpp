#include "engine/win_registry.h"

#include <windows.h>

#include "toolkit/win_handles.h"

namespace qv {

bool WriteMachineStrings(const std::string& key, const std::vector<RegistryValue>& values) {
    UniqueRegKey handle;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, handle.put(), &disposition) != ERROR_SUCCESS) {
        return false;
    }
    for (const RegistryValue& value : values) {
        const DWORD size = static_cast<DWORD>(value.data.size() + 1);
        if (RegSetValueExA(handle.get(), value.name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(value.data.c_str()), size) != ERROR_SUCCESS) {
            return false;
        }
    }
    return true;
}

}  // namespace qv
