#pragma once
// The one seam between the programs' UTF-8 texts and the system's wide
// calls (Windows: wchar_t is UTF-16). A text that cannot be converted is a
// Failure that names it, never a text with «?» in it.
#include <optional>
#include <string>
#include <string_view>

#include "toolkit/failure.h"
#include "toolkit/utf.h"

namespace qv {

inline std::wstring Wide(std::string_view utf8) {
    const std::optional<std::u16string> converted = Utf8ToUtf16(utf8);
    if (!converted) throw Failure("Text is not UTF-8: " + std::string(utf8));
    return std::wstring(converted->begin(), converted->end());
}

// Nothing when the text holds a lone surrogate (a name some file systems
// allow), which no UTF-8 text can hold.
inline std::optional<std::string> Utf8(std::wstring_view wide) {
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace qv
