#include "engine/paths.h"

#include <algorithm>

#include "engine/text.h"

namespace qv {
namespace {

bool IsAsciiLetter(char c) {
    const char lower = static_cast<char>(c | 0x20);
    return lower >= 'a' && lower <= 'z';
}

bool IsReservedDeviceName(std::string_view name) {
    // The device names apply whatever the extension: "nul.txt" is NUL too.
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    static constexpr std::string_view kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$",
                                                    "CONOUT$", "CLOCK$"};
    for (std::string_view device : kDevices) {
        if (EqualNoCase(base, device)) return true;
    }
    if (base.size() == 4 && (EqualNoCase(base.substr(0, 3), "COM") ||
                             EqualNoCase(base.substr(0, 3), "LPT"))) {
        return base[3] >= '1' && base[3] <= '9';
    }
    return false;
}

std::vector<std::string_view> SplitNames(std::string_view rest) {
    std::vector<std::string_view> names;
    size_t i = 0;
    while (i < rest.size()) {
        if (IsSeparator(rest[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < rest.size() && !IsSeparator(rest[end])) ++end;
        names.push_back(rest.substr(i, end - i));
        i = end;
    }
    return names;
}

// The length of the name at the start of `text`, up to a separator or the end.
size_t NameLength(std::string_view text) {
    return static_cast<size_t>(std::find_if(text.begin(), text.end(), IsSeparator) - text.begin());
}

}  // namespace

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool StaysInside(std::string_view relative) {
    const std::vector<std::string_view> parts = SplitNames(relative);
    return std::none_of(parts.begin(), parts.end(), [](std::string_view part) {
        while (!part.empty() && part.back() == ' ') part.remove_suffix(1);  // "..  " is ".." to the system
        return part == "..";
    });
}

bool IsFullPath(std::string_view path) {
    if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) return true;
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

NameVerdict CheckName(std::string_view name) {
    if (name.empty()) return NameVerdict::Bad;
    bool onlyDotsAndSpaces = true;
    bool odd = false;
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20) return NameVerdict::NoSuchName;
        if (std::string_view("<>:\"|?*").find(c) != std::string_view::npos) odd = true;
        if (c != '.' && c != ' ') onlyDotsAndSpaces = false;
    }
    if (IsReservedDeviceName(name)) return NameVerdict::NoSuchName;
    if (odd) return NameVerdict::OddName;
    return onlyDotsAndSpaces ? NameVerdict::Bad : NameVerdict::Valid;
}

std::string PathParts::Joined(size_t count) const {
    std::string out = root;
    for (size_t i = 0; i < count; ++i) {
        if (!out.empty() && out.back() != '\\') out += '\\';
        out += names[i];
    }
    return out;
}

std::optional<PathParts> SplitPath(std::string_view path) {
    PathParts parts;
    std::string_view rest;
    if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) {
        parts.root = std::string(path.substr(0, 2)) + "\\";
        rest = path.substr(3);
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        // \\server\share: both names must be plain names, which also rules
        // out the device forms \\?\ and \\.\ and a third leading separator.
        std::string_view tail = path.substr(2);
        const size_t serverEnd = NameLength(tail);
        const std::string_view server = tail.substr(0, serverEnd);
        if (serverEnd == tail.size() || CheckName(server) != NameVerdict::Valid) return std::nullopt;
        tail = tail.substr(serverEnd + 1);
        const size_t shareEnd = NameLength(tail);
        const std::string_view share = tail.substr(0, shareEnd);
        if (CheckName(share) != NameVerdict::Valid) return std::nullopt;
        parts.root = "\\\\" + std::string(server) + "\\" + std::string(share);
        rest = tail.substr(shareEnd);
    } else {
        return std::nullopt;
    }
    for (std::string_view name : SplitNames(rest)) {
        if (name == "." || name == "..") {
            parts.hadDots = true;
            if (name == ".." && !parts.names.empty()) parts.names.pop_back();
            continue;
        }
        parts.names.push_back(name);
    }
    for (std::string_view name : parts.names) parts.verdict = std::max(parts.verdict, CheckName(name));
    parts.endsWithSeparator = !rest.empty() && IsSeparator(rest.back());
    return parts;
}

std::string NormalizePath(std::string_view path) {
    const std::optional<PathParts> parts = SplitPath(path);
    if (!parts) return std::string(path);
    return parts->Joined();
}

std::string PathKey(std::string_view path) {
    return CaseKey(NormalizePath(path));
}

bool SamePath(std::string_view a, std::string_view b) {
    return EqualNoCase(NormalizePath(a), NormalizePath(b));
}

bool IsAtOrInside(std::string_view path, std::string_view folder) {
    return SamePath(path, folder) || IsInside(path, folder);
}

bool IsInside(std::string_view path, std::string_view folder) {
    const std::string inner = NormalizePath(path);
    std::string prefix = NormalizePath(folder);
    if (prefix.empty()) return false;
    if (prefix.back() != '\\') prefix += '\\';
    return inner.size() > prefix.size() && CaseKey(inner).starts_with(CaseKey(prefix));
}

size_t PathDepth(std::string_view path) {
    const std::optional<PathParts> parts = SplitPath(path);
    return parts ? parts->names.size() : 0;
}

bool IsRootPath(std::string_view path) {
    const std::optional<PathParts> parts = SplitPath(path);
    return parts && parts->names.empty();
}

std::string LastName(std::string_view path) {
    const std::optional<PathParts> parts = SplitPath(path);
    if (!parts || parts->names.empty()) return std::string();
    return std::string(parts->names.back());
}

std::string ParentPath(std::string_view path) {
    const std::optional<PathParts> parts = SplitPath(path);
    if (!parts) return std::string();
    return parts->Joined(parts->names.empty() ? 0 : parts->names.size() - 1);
}

}  // namespace qv
