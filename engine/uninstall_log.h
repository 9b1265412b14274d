#pragma once
// The uninstall log: an ordered list of name=value lines (a full path, then
// "F" for a file or "D" for a folder), saved as UnInstall.dat and read by
// the carried uninstaller.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class UninstallLog {
public:
    // Sets the value of a name. A name already present (compared without
    // regard to case, code page 1251) keeps the place of its line, which
    // takes the new name text and value; a new name is appended.
    void Set(std::string_view name, std::string_view value);
    // Drops the line of a name (compared as Set compares), if there is one.
    void Remove(std::string_view name);

    std::size_t Count() const { return lines_.size(); }
    // The line at index i, as name=value.
    std::string Line(std::size_t i) const;
    // The whole log: every line followed by CR LF, no byte-order mark.
    std::string Text() const;

private:
    struct Entry {
        std::string name;
        std::string value;
    };
    std::vector<Entry> lines_;
};

// The bytes of a text (UTF-8) as a file of the installation keeps it (the
// uninstall log, the agreement): 8-bit, as
// `toAnsi` gives them, where it can give them (every character has its byte
// in the system's ANSI code page, which is single-byte): an earlier
// uninstaller reads that form, and an 8-bit editor shows it right. Otherwise UTF-16LE after a byte-order mark,
// which an 8-bit reader refuses whole rather than removing part of the
// installation. A text that is not UTF-8 gives nothing.
using AnsiText = std::optional<std::string> (*)(std::string_view utf8);
std::optional<std::string> TextFileBytes(std::string_view text, AnsiText toAnsi);

}  // namespace qv
