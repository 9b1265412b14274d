#pragma once
// Text helpers shared by the engine: the program's strings are 8-bit, in
// the Windows-1251 code page.
#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

namespace qv {

// Lower-case form of one Windows-1251 character (Latin and Cyrillic).
char LowerCp1251(char c);

// Equality of two Windows-1251 texts without regard to letter case.
bool EqualNoCase(std::string_view a, std::string_view b);

// Whether a list of texts holds `text`, without regard to letter case.
template <typename Texts>
bool ContainsNoCase(const Texts& texts, std::string_view text) {
    return std::any_of(std::begin(texts), std::end(texts),
                       [&](std::string_view item) { return EqualNoCase(item, text); });
}

// A number in decimal, with leading zeros up to `width` digits. (The C
// library's formatted printing would bring its whole floating-point
// machinery into the Windows programs for this.)
std::string ZeroPadded(unsigned long value, std::size_t width);

}  // namespace qv
