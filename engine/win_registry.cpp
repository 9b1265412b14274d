#include "engine/win_registry.h"

#include <algorithm>

#include "engine/install_contract.h"
#include "toolkit/safe_dll.h"

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

// A value of an open key, whole, with its type; nullopt when it cannot be read.
std::optional<RawValue> QueryValue(HKEY key, const char* name) {
    RawValue value;
    value.bytes.assign(MAX_PATH, '\0');
    while (true) {
        DWORD size = static_cast<DWORD>(value.bytes.size());
        const LONG read = RegQueryValueExA(key, name, nullptr, &value.type,
                                           reinterpret_cast<BYTE*>(value.bytes.data()), &size);
        if (read == ERROR_MORE_DATA) {
            value.bytes.resize(std::max<size_t>(size + 1, value.bytes.size() * 2));
            continue;
        }
        if (read != ERROR_SUCCESS) return std::nullopt;
        value.bytes.resize(size);
        return value;
    }
}

// The strings of REG_MULTI_SZ data, NUL-separated; empty strings are skipped.
std::vector<std::string> MultiStrings(const std::string& data) {
    std::vector<std::string> strings;
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find('\0', start);
        if (end == std::string::npos) end = data.size();
        if (end > start) strings.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    return strings;
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

LONG OpenMachineKeyToRead(const std::string& key, UniqueRegKey& opened) {
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE | contract::kRegistryView,
                         opened.put());
}

std::optional<std::string> ReadStringValue(HKEY key, const char* name) {
    const std::optional<RawValue> value = QueryValue(key, name);
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return std::nullopt;
    return value->bytes.substr(0, value->bytes.find('\0'));
}

std::optional<std::vector<std::string>> ReadMultiStrings(HKEY key, const char* name) {
    const std::optional<RawValue> value = QueryValue(key, name);
    if (!value || value->type != REG_MULTI_SZ) return std::nullopt;
    return MultiStrings(value->bytes);
}

std::vector<std::string> ReadMachineStrings(const std::string& key, const std::string& name) {
    UniqueRegKey opened;
    if (OpenMachineKeyToRead(key, opened) != ERROR_SUCCESS) return {};
    return ReadMultiStrings(opened.get(), name.c_str()).value_or(std::vector<std::string>());
}

std::string ReadMachineString(const std::string& key, const std::string& name) {
    UniqueRegKey opened;
    if (OpenMachineKeyToRead(key, opened) != ERROR_SUCCESS) return {};
    return ReadStringValue(opened.get(), name.c_str()).value_or(std::string());
}

unsigned long DeleteMachineKey(const std::string& key) {
    // RegDeleteKeyExA names the view; a system without it has one view only.
    using DeleteKeyEx = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
    const auto deleteInView = ProcAddress<DeleteKeyEx>(GetModuleHandleA("advapi32.dll"), "RegDeleteKeyExA");
    const LONG deleted = deleteInView ? deleteInView(HKEY_LOCAL_MACHINE, key.c_str(), contract::kRegistryView, 0)
                                      : RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
    return deleted == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<unsigned long>(deleted);
}

unsigned long DeleteMachineValue(const std::string& key, const std::string& name) {
    UniqueRegKey opened;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE | contract::kRegistryView,
                                opened.put());
    if (result == ERROR_SUCCESS) result = RegDeleteValueA(opened.get(), name.c_str());
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<unsigned long>(result);
}

}  // namespace qv
