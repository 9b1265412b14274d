#include "engine/payload_entry.h"

namespace qv {

const char* EntryStatusText(EntryStatus status) {
    switch (status) {
    case EntryStatus::kOk: return "ok";
    case EntryStatus::kTooShort: return "entry is shorter than its name field";
    case EntryStatus::kNoTerminator: return "name field has no terminating NUL";
    case EntryStatus::kEmptyName: return "entry name is empty";
    case EntryStatus::kUnsafeName: return "entry name is not a plain file name";
    case EntryStatus::kNameTooLong: return "entry name does not fit the name field";
    }
    return "unknown status";
}

bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (const char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || c == '\\' || c == '/' || c == ':') return false;
    }
    return true;
}

namespace {

EntryStatus CheckName(std::string_view name) {
    if (name.empty()) return EntryStatus::kEmptyName;
    if (!IsPlainFileName(name)) return EntryStatus::kUnsafeName;
    return EntryStatus::kOk;
}

}  // namespace

EntryStatus ParsePayloadEntry(std::string_view bytes, PayloadEntry& entry) {
    entry = PayloadEntry{};
    if (bytes.size() < kEntryNameFieldSize) return EntryStatus::kTooShort;
    const std::string_view field = bytes.substr(0, kEntryNameFieldSize);
    const std::size_t nul = field.find('\0');
    if (nul == std::string_view::npos) return EntryStatus::kNoTerminator;
    const EntryStatus status = CheckName(field.substr(0, nul));
    if (status != EntryStatus::kOk) return status;
    entry.name.assign(field.substr(0, nul));
    entry.stream = bytes.substr(kEntryNameFieldSize);
    return EntryStatus::kOk;
}

EntryStatus BuildPayloadEntry(std::string_view name, std::string_view stream, std::string& out,
                              std::string_view afterNul) {
    out.clear();
    if (name.find('\0') != std::string_view::npos) return EntryStatus::kUnsafeName;
    const EntryStatus status = CheckName(name);
    if (status != EntryStatus::kOk) return status;
    if (name.size() + 1 + afterNul.size() > kEntryNameFieldSize) return EntryStatus::kNameTooLong;
    out.reserve(kEntryNameFieldSize + stream.size());
    out.append(name);
    out.push_back('\0');
    out.append(afterNul);
    out.resize(kEntryNameFieldSize, '\0');
    out.append(stream);
    return EntryStatus::kOk;
}

}  // namespace qv
