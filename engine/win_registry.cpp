#include "engine/win_registry.h"

#include <windows.h>

#include <optional>

#include "engine/install_contract.h"
#include "toolkit/win_handles.h"

namespace qv {
namespace {

// The bytes and type a value is stored as.
struct RawValue {
    DWORD type = REG_SZ;
    std::string bytes;
};

RawValue Raw(const RegistryValue& value) {
    RawValue raw;
    if (const auto* text = std::get_if<std::string>(&value.data)) {
        raw.bytes = *text;
        raw.bytes += '\0';
    } else if (const auto* number = std::get_if<std::uint32_t>(&value.data)) {
        raw.type = REG_DWORD;
        raw.bytes.assign(reinterpret_cast<const char*>(number), sizeof *number);
    } else {
        raw.type = REG_MULTI_SZ;
        for (const std::string& item : std::get<std::vector<std::string>>(value.data)) {
            raw.bytes += item;
            raw.bytes += '\0';
        }
        raw.bytes += '\0';
    }
    return raw;
}

static_assert(contract::kRegistryView == KEY_WOW64_32KEY);

}  // namespace

void WriteMachineValues(const std::string& key, const std::vector<RegistryValue>& values,
                        const RegistryFailure& failed) {
    UniqueRegKey handle;
    DWORD disposition = 0;
    const LONG made = RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      KEY_ALL_ACCESS | contract::kRegistryView, nullptr, handle.put(), &disposition);
    for (const RegistryValue& value : values) {
        LONG status = made;
        if (made == ERROR_SUCCESS) {
            const RawValue raw = Raw(value);
            status = RegSetValueExA(handle.get(), value.name.c_str(), 0, raw.type,
                                    reinterpret_cast<const BYTE*>(raw.bytes.data()),
                                    static_cast<DWORD>(raw.bytes.size()));
        }
        if (status != ERROR_SUCCESS) failed(value.name, static_cast<unsigned long>(status));
    }
}

namespace {

// The bytes of a value of the given type; nothing when the key or the value
// is missing or of another type.
std::optional<std::string> ReadMachineValue(const std::string& key, const std::string& name, DWORD wanted) {
    UniqueRegKey handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE | contract::kRegistryView, handle.put()) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(handle.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != wanted) {
        return std::nullopt;
    }
    std::string bytes(size, '\0');
    if (RegQueryValueExA(handle.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()),
                         &size) != ERROR_SUCCESS ||
        type != wanted) {
        return std::nullopt;
    }
    bytes.resize(size);
    return bytes;
}

}  // namespace

std::vector<std::string> ReadMachineStrings(const std::string& key, const std::string& name) {
    std::vector<std::string> strings;
    const std::optional<std::string> bytes = ReadMachineValue(key, name, REG_MULTI_SZ);
    if (!bytes) return strings;
    // NUL-separated; the data need not end with its terminators.
    std::size_t start = 0;
    while (start < bytes->size()) {
        std::size_t end = bytes->find('\0', start);
        if (end == std::string::npos) end = bytes->size();
        if (end > start) strings.push_back(bytes->substr(start, end - start));
        start = end + 1;
    }
    return strings;
}

std::string ReadMachineString(const std::string& key, const std::string& name) {
    std::string text = ReadMachineValue(key, name, REG_SZ).value_or(std::string());
    // Stored with its terminator, or without one.
    const std::size_t end = text.find('\0');
    if (end != std::string::npos) text.resize(end);
    return text;
}

}  // namespace qv
