#pragma once
// UTF-8 texts to and from the system's ANSI code page, exactly: for the
// files that keep the 8-bit form earlier programs read and write.
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The text in the ANSI code page, where that is single-byte and holds every
// character of it (no «?», no look-alike); nothing otherwise.
std::optional<std::string> ToAnsiCodePage(std::string_view utf8);

// 8-bit text in the ANSI code page as UTF-8; nothing when the bytes are not
// text there.
std::optional<std::string> FromAnsiCodePage(std::string_view bytes);

}  // namespace qv
