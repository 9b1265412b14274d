#include "engine/uninstall_log_reader.h"

#include "engine/install_contract.h"
#include "engine/paths.h"
#include "engine/text.h"
#include "toolkit/utf.h"

namespace qv {
namespace {

// A set-aside line's text is shown in a message box and the run log: one
// longer than this is shortened, visibly.
constexpr size_t kShownLineChars = 300;

std::optional<LogKind> KindOf(std::string_view text) {
    if (text == contract::kFileKind) return LogKind::File;
    if (text == contract::kFolderKind) return LogKind::Folder;
    return std::nullopt;
}

SetAsideLine SetAside(size_t number, std::string_view line, LogFault fault) {
    SetAsideLine out;
    out.number = number;
    out.fault = fault;
    const std::string_view shown = line.substr(0, WholeCharacters(line, kShownLineChars));
    for (char c : shown) out.text += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    if (line.size() > shown.size()) out.text += "...";
    return out;
}

// The fault of a line that is broken as a line, before its path is looked at.
LogFault LineFault(std::string_view line, bool terminated) {
    if (!terminated) return LogFault::Unterminated;
    if (line.find('\r') != std::string_view::npos) return LogFault::StrayBreak;
    if (line.find('\0') != std::string_view::npos) return LogFault::BadCharacter;
    return LogFault::None;
}

// One line of the log, read.
void ReadLine(size_t number, std::string_view line, bool terminated, LogReading& reading) {
    if (const LogFault fault = LineFault(line, terminated); fault != LogFault::None) {
        reading.rejected.push_back(SetAside(number, line, fault));
        return;
    }
    const size_t equals = line.rfind(contract::kLogSeparator);
    const std::optional<LogKind> kind =
        equals == std::string_view::npos ? std::nullopt : KindOf(line.substr(equals + 1));
    if (!kind) {
        reading.rejected.push_back(SetAside(number, line, LogFault::NoKind));
        return;
    }
    std::string path;
    switch (ResolveLogPath(line.substr(0, equals), *kind, &path)) {
        case LineVerdict::Usable:
            reading.lines.push_back({std::move(path), *kind});
            return;
        case LineVerdict::NoSuchName:
            reading.namingNothing.push_back(SetAside(number, line, LogFault::NoSuchName));
            return;
        case LineVerdict::OddName: {
            SetAsideLine odd = SetAside(number, line, LogFault::NoSuchName);
            odd.oddName = LogLine{std::move(path), *kind};
            reading.namingNothing.push_back(std::move(odd));
            return;
        }
        case LineVerdict::Bad:
            reading.rejected.push_back(SetAside(number, line, LogFault::BadPath));
            return;
    }
}

// The log's text: UTF-16LE after its byte-order mark, else 8-bit.
std::optional<std::string> LogText(std::string_view bytes, AnsiLogText fromAnsi) {
    static constexpr std::string_view kUtf16Mark = "\xFF\xFE";
    if (bytes.substr(0, kUtf16Mark.size()) != kUtf16Mark) {
        return fromAnsi ? fromAnsi(bytes) : std::optional<std::string>(bytes);
    }
    return Utf16LeToUtf8(bytes.substr(kUtf16Mark.size()));
}

}  // namespace

LineVerdict ResolveLogPath(std::string_view path, LogKind kind, std::string* resolved) {
    const std::optional<PathParts> parts = SplitPath(path);
    if (!parts) return LineVerdict::Bad;
    if (parts->verdict == NameVerdict::NoSuchName) return LineVerdict::NoSuchName;
    if (parts->verdict == NameVerdict::Bad) return LineVerdict::Bad;
    if (kind == LogKind::File && (parts->names.empty() || parts->endsWithSeparator)) return LineVerdict::Bad;
    *resolved = parts->Joined();
    return parts->verdict == NameVerdict::OddName ? LineVerdict::OddName : LineVerdict::Usable;
}

LogReading ReadUninstallLog(std::string_view bytes, AnsiLogText fromAnsi) {
    LogReading reading;
    if (bytes.size() > kMaxLogBytes) {
        reading.fault = LogFault::TooLarge;
        return reading;
    }
    if (bytes.empty()) {
        reading.fault = LogFault::Empty;
        return reading;
    }
    const std::optional<std::string> text = LogText(bytes, fromAnsi);
    if (!text) {
        reading.fault = LogFault::NotText;
        return reading;
    }
    bytes = *text;
    size_t number = 0;
    size_t start = 0;
    while (start < bytes.size()) {
        ++number;
        const size_t lineFeed = bytes.find('\n', start);
        const bool terminated = lineFeed != std::string_view::npos;
        const size_t end = terminated ? lineFeed : bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ReadLine(number, line, terminated, reading);
        start = end + 1;
    }
    if (reading.lines.empty()) reading.fault = LogFault::NothingUsable;
    return reading;
}

bool IsInstallerPath(std::string_view path, LogKind kind) {
    const std::optional<PathParts> parts = SplitPath(path);
    if (!parts || parts->hadDots || parts->verdict != NameVerdict::Valid) return false;
    if (kind == LogKind::File) return !parts->names.empty() && !parts->endsWithSeparator;
    return true;
}

}  // namespace qv
