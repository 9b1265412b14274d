#pragma once
// Text inside the programs is UTF-8; the system's wide calls take UTF-16.
// Both directions are strict: bytes that are not UTF-8 (an overlong form, a
// stray or missing continuation byte, a surrogate's code) and a lone UTF-16
// surrogate are refused, never replaced by «?» or a look-alike. Portable.
#include <optional>
#include <string>
#include <string_view>

namespace qv {

std::optional<std::u16string> Utf8ToUtf16(std::string_view text);
std::optional<std::string> Utf16ToUtf8(std::u16string_view text);
// The same for UTF-16LE bytes (a file's, after its byte-order mark);
// nothing also for an odd number of bytes.
std::optional<std::string> Utf16LeToUtf8(std::string_view bytes);

}  // namespace qv
