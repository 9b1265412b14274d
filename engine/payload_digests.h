#pragma once
// The table of what every payload file must expand to: its size and its
// SHA-256. Written by the payload packer at build time into a resource of
// its own (the SETUP entries stay as they are); read by the installer,
// which checks each expanded file against it.
//
// Text, one line per file, each ended by LF: the digest in lower-case hex,
// a space, the size in bytes, a space, the file name (code page 1251).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The resource that carries the table: RCDATA of this name.
inline constexpr char kDigestResourceName[] = "PAYLOADSHA256";

struct FileDigest {
    std::uint64_t size = 0;
    std::string sha256;  // 64 lower-case hex digits
};

class PayloadDigests {
public:
    // The table a text holds; nothing when a line is malformed.
    static std::optional<PayloadDigests> Parse(std::string_view text);
    std::string Format() const;

    void Add(std::string name, FileDigest digest);
    // The digest of a file name (case ignored, code page 1251), or null.
    const FileDigest* Find(std::string_view name) const;
    bool Empty() const { return files_.empty(); }

private:
    struct Row {
        std::string name;
        FileDigest digest;
    };
    std::vector<Row> files_;
};

// Hex of raw digest bytes, lower case.
std::string HexDigest(std::string_view bytes);

}  // namespace qv
