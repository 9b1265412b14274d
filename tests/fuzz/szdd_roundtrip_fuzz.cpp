// Any data through the encoder and back: the same bytes, a well-formed
// stream (decoded without error, so no overrun and nothing trailing), and
// no reference longer than the encoder's limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/szdd.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string stream = qv::CompressSzdd(input);
    std::string out;
    qv::SzddStreamStats stats;
    if (qv::ExpandSzdd(stream, out, &stats) != qv::SzddStatus::kOk) std::abort();
    if (out != input) std::abort();
    if (stats.longestReference > qv::kSzddMaxEncodedMatch) std::abort();
    return 0;
}
