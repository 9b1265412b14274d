#include "engine/uninstall_log.h"

#include <algorithm>

#include "engine/install_contract.h"
#include "engine/text.h"
#include "toolkit/utf.h"

namespace qv {

void UninstallLog::Set(std::string_view name, std::string_view value) {
    // Names are kept apart from their values, so a path that itself holds
    // an "=" is still found again as a whole.
    auto same = [name](const Entry& e) { return EqualNoCase(e.name, name); };
    auto it = std::find_if(lines_.begin(), lines_.end(), same);
    if (it == lines_.end()) {
        lines_.push_back(Entry{std::string(name), std::string(value)});
    } else {
        it->name.assign(name);
        it->value.assign(value);
    }
}

void UninstallLog::Remove(std::string_view name) {
    lines_.erase(std::remove_if(lines_.begin(), lines_.end(), [name](const Entry& e) { return EqualNoCase(e.name, name); }),
                 lines_.end());
}

std::string UninstallLog::Line(std::size_t i) const {
    const Entry& e = lines_.at(i);
    return e.name + contract::kLogSeparator + e.value;
}

std::string UninstallLog::Text() const {
    std::string text;
    for (const Entry& e : lines_) {
        text += e.name;
        text += contract::kLogSeparator;
        text += e.value;
        text += contract::kLogLineEnd;
    }
    return text;
}

std::optional<std::string> TextFileBytes(std::string_view text, AnsiText toAnsi) {
    if (std::optional<std::string> ansi = toAnsi(text)) return ansi;
    const std::optional<std::u16string> units = Utf8ToUtf16(text);
    if (!units) return std::nullopt;
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : *units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

}  // namespace qv
