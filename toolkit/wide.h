#pragma once
// The one seam between the programs' UTF-8 texts and the system's wide
// calls (Windows: wchar_t is UTF-16). A text that cannot be converted is a
// Failure that names it, never a text with «?» in it.
#include <optional>
#include <string>
#include <string_view>

namespace qv {

std::wstring Wide(std::string_view utf8);

// Nothing when the text holds a lone surrogate (a name some file systems
// allow), which no UTF-8 text can hold.
std::optional<std::string> Utf8(std::wstring_view wide);

}  // namespace qv
