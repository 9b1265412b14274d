#pragma once
// One payload entry: a 20-byte name field (the file name in the system
// code page, a NUL, then bytes that mean nothing) followed by the file's
// SZDD stream up to the end of the entry.
#include <cstddef>
#include <string>
#include <string_view>

namespace qv {

inline constexpr std::size_t kEntryNameFieldSize = 20;

enum class EntryStatus {
    kOk,
    kTooShort,        // fewer bytes than the name field
    kNoTerminator,    // no NUL within the name field
    kEmptyName,       // the name field starts with its NUL
    kUnsafeName,      // the name would leave the destination folder
    kNameTooLong,     // (building) name and NUL do not fit the field
};

const char* EntryStatusText(EntryStatus status);

struct PayloadEntry {
    std::string name;         // up to the NUL
    std::string_view stream;  // the bytes after the name field, into the parsed entry
};

// A name is unsafe when it is not a plain file name: it holds a path
// separator, a drive colon or a control character, or is "." or "..".
bool IsPlainFileName(std::string_view name);

// Splits an entry. `entry.stream` points into `bytes`.
EntryStatus ParsePayloadEntry(std::string_view bytes, PayloadEntry& entry);

// Builds an entry: the name, a NUL, `afterNul` (bytes kept in the rest of
// the field), zeros up to the field's size, then the stream.
EntryStatus BuildPayloadEntry(std::string_view name, std::string_view stream, std::string& out,
                              std::string_view afterNul = {});

}  // namespace qv
