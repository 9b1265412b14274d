#include "engine/payload_digests.h"

#include "engine/text.h"

namespace qv {
namespace {

bool IsHexDigest(std::string_view text) {
    if (text.size() != 64) return false;
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

std::optional<std::uint64_t> ParseSize(std::string_view text) {
    if (text.empty() || text.size() > 19) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

}  // namespace

std::optional<PayloadDigests> PayloadDigests::Parse(std::string_view text) {
    PayloadDigests table;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) return std::nullopt;  // cut short
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        const std::size_t first = line.find(' ');
        const std::size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
        if (second == std::string_view::npos) return std::nullopt;
        const std::string_view hex = line.substr(0, first);
        const std::optional<std::uint64_t> size = ParseSize(line.substr(first + 1, second - first - 1));
        const std::string_view name = line.substr(second + 1);
        if (!IsHexDigest(hex) || !size || name.empty()) return std::nullopt;
        table.Add(std::string(name), FileDigest{*size, std::string(hex)});
    }
    return table;
}

std::string PayloadDigests::Format() const {
    std::string text;
    for (const Row& row : files_) {
        text += row.digest.sha256;
        text += ' ';
        text += std::to_string(row.digest.size);
        text += ' ';
        text += row.name;
        text += '\n';
    }
    return text;
}

void PayloadDigests::Add(std::string name, FileDigest digest) {
    files_.push_back(Row{std::move(name), std::move(digest)});
}

const FileDigest* PayloadDigests::Find(std::string_view name) const {
    for (const Row& row : files_) {
        if (EqualNoCase(row.name, name)) return &row.digest;
    }
    return nullptr;
}

std::string HexDigest(std::string_view bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        hex += kDigits[u >> 4];
        hex += kDigits[u & 0x0F];
    }
    return hex;
}

}  // namespace qv
