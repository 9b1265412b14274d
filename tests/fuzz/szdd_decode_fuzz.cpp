// Any bytes into the SZDD decoder: it must never read or write out of
// bounds, and a stream it accepts expands to exactly its header's size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/szdd.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view stream(reinterpret_cast<const char*>(data), size);
    std::string out;
    qv::SzddStreamStats stats;
    const qv::SzddStatus status = qv::ExpandSzdd(stream, out, &stats);
    qv::SzddHeader header;
    if (status == qv::SzddStatus::kOk) {
        if (qv::ReadSzddHeader(stream, header) != qv::SzddStatus::kOk) std::abort();
        if (out.size() != header.expandedSize) std::abort();
    }
    if (stats.longestReference > 18) std::abort();
    return 0;
}
