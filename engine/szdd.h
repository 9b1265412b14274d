#pragma once
// SZDD, the LZ-compressed file format of the system's LZ expansion library
// (mode 'A'): a 14-byte header, then an LZSS stream over a 4096-byte ring
// that starts filled with spaces and is first written at position 4080.
//
// Streams are byte strings held in std::string / std::string_view.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

inline constexpr std::size_t kSzddHeaderSize = 14;
inline constexpr std::string_view kSzddSignature{"SZDD\x88\xF0\x27\x33", 8};
inline constexpr char kSzddModeA = 'A';

// The ring both sides keep, and the lengths a reference may copy.
inline constexpr std::size_t kSzddRingSize = 4096;
inline constexpr std::size_t kSzddRingMask = kSzddRingSize - 1;
inline constexpr std::size_t kSzddRingStart = kSzddRingSize - 16;  // first write position
inline constexpr unsigned char kSzddRingFill = 0x20;
inline constexpr std::size_t kSzddMinMatch = 3;
inline constexpr std::size_t kSzddMaxFormatMatch = 18;

// Longest reference the encoder writes. The format allows 18, but some
// decoders refuse references of 17 and 18 bytes.
inline constexpr std::size_t kSzddMaxEncodedMatch = 16;

struct SzddHeader {
    char mode = kSzddModeA;
    char missingChar = 0;  // last character of the file name that was replaced, 0: none
    std::uint32_t expandedSize = 0;
};

enum class SzddStatus {
    kOk,
    kNotSzdd,          // shorter than the header, or a wrong signature
    kUnsupportedMode,  // a compression mode other than 'A'
    kTruncated,        // the data ends before the expanded size is reached
    kOverrun,          // a reference runs past the expanded size
    kTrailingData,     // bytes are left after the expanded size was reached
};

// A short English description of a status, for messages.
const char* SzddStatusText(SzddStatus status);

// What the decoder met on its way; filled in as far as it got.
struct SzddStreamStats {
    std::size_t literals = 0;
    std::size_t references = 0;
    std::size_t longestReference = 0;  // in bytes, 0 when there is none
};

// Reads and checks the header (signature and mode).
SzddStatus ReadSzddHeader(std::string_view stream, SzddHeader& header);

// Expands a whole stream, header included. The stream must end exactly
// where the expanded size is reached; the unused bits of the last control
// byte are ignored. On failure `out` holds what was expanded so far.
SzddStatus ExpandSzdd(std::string_view stream, std::string& out,
                      SzddStreamStats* stats = nullptr);
// The same, true when the whole stream expanded: the packed pictures'
// expander, as the toolkit takes it (SetPictureExpander).
inline bool ExpandSzddWhole(std::string_view stream, std::string& out) {
    return ExpandSzdd(stream, out) == SzddStatus::kOk;
}

// Compresses `data` into a complete stream (header included) with the
// fewest bits: an optimal parse over the longest match at each position.
// References are at most kSzddMaxEncodedMatch long, the stream ends with
// the item that completes the data, and unused control bits are zero.
// Throws Failure for data whose size does not fit the header.
std::string CompressSzdd(std::string_view data);

}  // namespace qv
