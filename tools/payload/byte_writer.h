#pragma once
// Little- and big-endian fields, fills and text, appended to a growing
// file: how the binary stand-ins are written.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "tools/payload/rng.h"

namespace qv::payload {

class ByteWriter {
public:
    std::size_t Size() const { return b_.size(); }
    std::string Take() { return std::move(b_); }

    void U8(unsigned v) { b_.push_back(static_cast<char>(v & 0xFF)); }
    void U16(unsigned v) {
        U8(v);
        U8(v >> 8);
    }
    void U32(std::uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void U16Be(unsigned v) {
        U8(v >> 8);
        U8(v);
    }
    void U32Be(std::uint32_t v) {
        U16Be(v >> 16);
        U16Be(v & 0xFFFF);
    }
    void Bytes(std::string_view s) { b_.append(s); }
    void Bytes(std::initializer_list<unsigned> bytes) {
        for (unsigned v : bytes) U8(v);
    }
    void Fill(std::size_t n, unsigned v) { b_.append(n, static_cast<char>(v)); }
    void AlignTo(std::size_t alignment, unsigned fill = 0) {
        while (b_.size() % alignment) U8(fill);
    }
    void Random(Rng& rng, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) U8(rng.Byte());
    }
    void PutU32At(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b_[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    // Code page 1251 text as UTF-16LE (Latin and Cyrillic letters).
    void Utf16(std::string_view text, bool bigEndian = false) {
        for (char c : text) {
            const unsigned u = static_cast<unsigned char>(c);
            const unsigned w = u >= 0xC0 ? 0x0410 + (u - 0xC0) : u;
            bigEndian ? U16Be(w) : U16(w);
        }
    }

private:
    std::string b_;
};

}  // namespace qv::payload
