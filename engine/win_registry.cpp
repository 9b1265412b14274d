#include "engine/win_registry.h"

#include <algorithm>

#include "engine/install_contract.h"
#include "toolkit/program_text.h"
#include "toolkit/safe_dll.h"

namespace qv {
namespace {

// The bytes and type a value is stored as; text as the wide calls keep it.
struct RawValue {
    DWORD type = REG_SZ;
    std::wstring data;  // the bytes, two to a unit
};

RawValue Raw(const RegistryValue& value) {
    RawValue raw;
    if (const auto* text = std::get_if<std::string>(&value.data)) {
        raw.data = ToWide(*text);
        raw.data += L'\0';
    } else if (const auto* number = std::get_if<std::uint32_t>(&value.data)) {
        raw.type = REG_DWORD;
        raw.data.assign(reinterpret_cast<const wchar_t*>(number), sizeof *number / sizeof(wchar_t));
    } else {
        raw.type = REG_MULTI_SZ;
        for (const std::string& item : std::get<std::vector<std::string>>(value.data)) {
            raw.data += ToWide(item);
            raw.data += L'\0';
        }
        raw.data += L'\0';
    }
    return raw;
}

// A value of an open key, whole, with its type; nullopt when it cannot be
// read. An odd last byte of a text value is dropped.
std::optional<RawValue> QueryValue(HKEY key, const char* name) {
    const std::wstring wideName = ToWide(name);
    RawValue value;
    value.data.assign(MAX_PATH, L'\0');
    while (true) {
        DWORD size = static_cast<DWORD>(value.data.size() * sizeof(wchar_t));
        const LONG read = RegQueryValueExW(key, wideName.c_str(), nullptr, &value.type,
                                           reinterpret_cast<BYTE*>(value.data.data()), &size);
        if (read == ERROR_MORE_DATA) {
            value.data.resize(std::max<size_t>(size / sizeof(wchar_t) + 1, value.data.size() * 2));
            continue;
        }
        if (read != ERROR_SUCCESS) return std::nullopt;
        value.data.resize(size / sizeof(wchar_t));
        return value;
    }
}

// The strings of REG_MULTI_SZ data, NUL-separated; empty strings are
// skipped. Nothing when one is not text of the program's.
std::optional<std::vector<std::string>> MultiStrings(std::wstring_view data) {
    std::vector<std::string> strings;
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find(L'\0', start);
        if (end == std::wstring_view::npos) end = data.size();
        if (end > start) {
            std::optional<std::string> item = FromWide(data.substr(start, end - start));
            if (!item) return std::nullopt;
            strings.push_back(std::move(*item));
        }
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
    const LONG made = RegCreateKeyExW(HKEY_LOCAL_MACHINE, ToWide(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      KEY_ALL_ACCESS | contract::kRegistryView, nullptr, handle.put(), &disposition);
    for (const RegistryValue& value : values) {
        LONG status = made;
        if (made == ERROR_SUCCESS) {
            const RawValue raw = Raw(value);
            status = RegSetValueExW(handle.get(), ToWide(value.name).c_str(), 0, raw.type,
                                    reinterpret_cast<const BYTE*>(raw.data.data()),
                                    static_cast<DWORD>(raw.data.size() * sizeof(wchar_t)));
        }
        if (status != ERROR_SUCCESS) failed(value.name, static_cast<unsigned long>(status));
    }
}

LONG OpenMachineKeyToRead(const std::string& key, UniqueRegKey& opened) {
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, ToWide(key).c_str(), 0, KEY_QUERY_VALUE | contract::kRegistryView,
                         opened.put());
}

std::optional<std::string> ReadStringValue(HKEY key, const char* name) {
    const std::optional<RawValue> value = QueryValue(key, name);
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return std::nullopt;
    const std::wstring_view text(value->data);
    return FromWide(text.substr(0, text.find(L'\0')));
}

std::optional<std::vector<std::string>> ReadMultiStrings(HKEY key, const char* name) {
    const std::optional<RawValue> value = QueryValue(key, name);
    if (!value || value->type != REG_MULTI_SZ) return std::nullopt;
    return MultiStrings(value->data);
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
    // RegDeleteKeyExW names the view; a system without it has one view only.
    using DeleteKeyEx = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
    const auto deleteInView = ProcAddress<DeleteKeyEx>(GetModuleHandleW(L"advapi32.dll"), "RegDeleteKeyExW");
    const std::wstring wideKey = ToWide(key);
    const LONG deleted = deleteInView ? deleteInView(HKEY_LOCAL_MACHINE, wideKey.c_str(), contract::kRegistryView, 0)
                                      : RegDeleteKeyW(HKEY_LOCAL_MACHINE, wideKey.c_str());
    return deleted == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<unsigned long>(deleted);
}

unsigned long DeleteMachineValue(const std::string& key, const std::string& name) {
    UniqueRegKey opened;
    LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, ToWide(key).c_str(), 0, KEY_SET_VALUE | contract::kRegistryView,
                                opened.put());
    if (result == ERROR_SUCCESS) result = RegDeleteValueW(opened.get(), ToWide(name).c_str());
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<unsigned long>(result);
}

}  // namespace qv
