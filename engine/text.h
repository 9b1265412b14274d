#pragma once
// Text helpers shared by the engine. A program keeps its texts in one
// encoding: UTF-8 when it is built with Unicode texts (QV_UTF8_TEXT), else
// code page 1251, the encoding of its literals. Both sets of rules are
// here; the unqualified names use the program's.
#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

#include "toolkit/text_mode.h"

namespace qv {

namespace cp1251 {
// Lower-case form of one character (Latin and Cyrillic).
char Lower(char c);
// The text in lower case: two texts that differ only in letter case have
// the same key.
std::string CaseKey(std::string_view text);
std::string ToUtf8(std::string_view text);  // every byte has its character
}  // namespace cp1251

namespace unicode {
// The text with every letter of the Basic Multilingual Plane in upper case,
// by the one-to-one case pairs of Unicode, as the file system compares
// names; anything else, and a text that is not UTF-8, is kept as it is.
std::string CaseKey(std::string_view text);
// The length of the longest start of the text, at most `limit` bytes, that
// cuts no character in two.
std::size_t WholeCharacters(std::string_view text, std::size_t limit);
// Its length in UTF-16 units, as the system counts path lengths; the bytes
// when it is not UTF-8.
std::size_t Utf16Length(std::string_view text);
}  // namespace unicode

QV_TEXT_MODE_BEGIN
#if defined(QV_UTF8_TEXT)
inline std::string CaseKey(std::string_view text) { return unicode::CaseKey(text); }
// The program's text as UTF-8.
inline std::string ProgramTextToUtf8(std::string_view text) { return std::string(text); }
inline std::size_t WholeCharacters(std::string_view text, std::size_t limit) {
    return unicode::WholeCharacters(text, limit);
}
inline std::size_t Utf16Length(std::string_view text) { return unicode::Utf16Length(text); }
// A text in code page 1251 (the agreement is kept so) as the program's text.
inline std::string ProgramTextOf1251(std::string_view text) { return cp1251::ToUtf8(text); }
#else
inline std::string CaseKey(std::string_view text) { return cp1251::CaseKey(text); }
inline std::string ProgramTextToUtf8(std::string_view text) { return cp1251::ToUtf8(text); }
inline std::size_t WholeCharacters(std::string_view text, std::size_t limit) { return std::min(text.size(), limit); }
inline std::size_t Utf16Length(std::string_view text) { return text.size(); }
inline std::string ProgramTextOf1251(std::string_view text) { return std::string(text); }
#endif

// Equality of two texts without regard to letter case.
inline bool EqualNoCase(std::string_view a, std::string_view b) { return a == b || CaseKey(a) == CaseKey(b); }

// Whether a list of texts holds `text`, without regard to letter case.
template <typename Texts>
bool ContainsNoCase(const Texts& texts, std::string_view text) {
    return std::any_of(std::begin(texts), std::end(texts),
                       [&](std::string_view item) { return EqualNoCase(item, text); });
}

QV_TEXT_MODE_END

// A number in decimal, with leading zeros up to `width` digits. (The C
// library's formatted printing would bring its whole floating-point
// machinery into the Windows programs for this.)
std::string ZeroPadded(unsigned long value, std::size_t width);

}  // namespace qv
