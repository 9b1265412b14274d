// Any bytes as a payload entry: parsing stays in bounds, and an accepted
// entry is rebuilt from its name and stream into an entry that parses the
// same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/payload_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    qv::PayloadEntry entry;
    if (qv::ParsePayloadEntry(bytes, entry) != qv::EntryStatus::kOk) return 0;
    if (entry.name.size() >= qv::kEntryNameFieldSize) std::abort();
    if (entry.stream.data() != bytes.data() + qv::kEntryNameFieldSize) std::abort();
    std::string rebuilt;
    if (qv::BuildPayloadEntry(entry.name, entry.stream, rebuilt) != qv::EntryStatus::kOk) std::abort();
    qv::PayloadEntry again;
    if (qv::ParsePayloadEntry(rebuilt, again) != qv::EntryStatus::kOk) std::abort();
    if (again.name != entry.name || again.stream != entry.stream) std::abort();
    return 0;
}
