#pragma once
// UTF-8 texts to and from the system's ANSI code page, exactly: for the
// files that keep the 8-bit form earlier programs read and write.
#include <optional>
#include <string>
#include <string_view>

#include "engine/uninstall_log.h"
#include "toolkit/text_mode.h"

namespace qv {

// The text in the ANSI code page, where that is single-byte and holds every
// character of it (no «?», no look-alike); nothing otherwise.
std::optional<std::string> ToAnsiCodePage(std::string_view utf8);

// 8-bit text in the ANSI code page as UTF-8; nothing when the bytes are not
// text there.
std::optional<std::string> FromAnsiCodePage(std::string_view bytes);

QV_TEXT_MODE_BEGIN
// The bytes a program saves a text file of the installation in: a Unicode
// program's by TextFileBytes, with the ANSI code page; the others' text is
// in that code page already.
inline std::string SavedTextBytes(std::string_view text) {
#if defined(QV_UTF8_TEXT)
    return TextFileBytes(text, ToAnsiCodePage).value_or(std::string(text));
#else
    return std::string(text);
#endif
}
QV_TEXT_MODE_END

}  // namespace qv
