#include "engine/uninstall_plan.h"

#include <algorithm>
#include <unordered_set>

#include "engine/install_contract.h"
#include "engine/text.h"

namespace qv {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

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

// One name of a path: something a file or folder may be called.
bool IsValidName(std::string_view name) {
    if (name.empty()) return false;
    bool onlyDotsAndSpaces = true;
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20) return false;
        if (std::string_view("<>:\"|?*").find(c) != std::string_view::npos) return false;
        if (c != '.' && c != ' ') onlyDotsAndSpaces = false;
    }
    return !onlyDotsAndSpaces && !IsReservedDeviceName(name);
}

// A path taken apart: its root in normal form ("C:\" or "\\server\share")
// and the names below it.
struct PathParts {
    std::string root;
    std::vector<std::string_view> names;
    bool endsWithSeparator = false;
};

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
        const size_t serverEnd = std::find_if(tail.begin(), tail.end(), IsSeparator) - tail.begin();
        const std::string_view server = tail.substr(0, serverEnd);
        if (serverEnd == tail.size() || !IsValidName(server)) return std::nullopt;
        tail = tail.substr(serverEnd + 1);
        const size_t shareEnd = std::find_if(tail.begin(), tail.end(), IsSeparator) - tail.begin();
        const std::string_view share = tail.substr(0, shareEnd);
        if (!IsValidName(share)) return std::nullopt;
        parts.root = "\\\\" + std::string(server) + "\\" + std::string(share);
        rest = tail.substr(shareEnd);
    } else {
        return std::nullopt;
    }
    for (std::string_view name : SplitNames(rest)) {
        if (!IsValidName(name)) return std::nullopt;
        parts.names.push_back(name);
    }
    parts.endsWithSeparator = !rest.empty() && IsSeparator(rest.back());
    return parts;
}

std::string JoinParts(const PathParts& parts, size_t count) {
    std::string out = parts.root;
    for (size_t i = 0; i < count; ++i) {
        if (!out.empty() && out.back() != '\\') out += '\\';
        out += parts.names[i];
    }
    return out;
}

std::string Folded(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = LowerCp1251(c);
    return out;
}

std::optional<LogKind> KindOf(std::string_view text) {
    if (text == contract::kFileKind) return LogKind::File;
    if (text == contract::kFolderKind) return LogKind::Folder;
    return std::nullopt;
}

LogReading Fault(LogFault fault, size_t line) {
    LogReading reading;
    reading.fault = fault;
    reading.faultLine = line;
    return reading;
}

using Canonical = std::function<std::string(const std::string&)>;

std::string Apply(const Canonical& canonical, const std::string& path) {
    return canonical ? canonical(path) : path;
}

struct FolderLine {
    std::string path;       // as written in the log
    std::string canonical;  // for comparisons
    size_t depth;
};

void SortDeepestFirst(std::vector<FolderLine>& folders) {
    std::stable_sort(folders.begin(), folders.end(),
                     [](const FolderLine& a, const FolderLine& b) { return a.depth > b.depth; });
}

std::vector<std::string> PathsOf(const std::vector<FolderLine>& folders) {
    std::vector<std::string> out;
    for (const FolderLine& f : folders) out.push_back(f.path);
    return out;
}

void RemoveListedFile(const std::string& path, RemovalSystem& system, RemovalOutcome& outcome) {
    switch (system.Inspect(path)) {
        case PathState::Missing:
            return;
        case PathState::Folder:
            outcome.notRemoved.push_back(path);  // listed as a file, but a folder is there now
            return;
        case PathState::File:
            if (!system.RemoveFile(path)) outcome.notRemoved.push_back(path);
            return;
    }
}

void RemoveListedFolder(const std::string& path, RemovalSystem& system, RemovalOutcome& outcome) {
    switch (system.Inspect(path)) {
        case PathState::Missing:
            return;
        case PathState::File:
            outcome.notRemoved.push_back(path);
            return;
        case PathState::Folder:
            if (!system.RemoveEmptyFolder(path)) outcome.notRemoved.push_back(path);
            return;
    }
}

// Which of the program's folders will be empty once the program itself is
// gone: each may hold only the program and folders that will be empty too.
std::vector<std::string> FoldersEmptyOnceGone(const RemovalPlan& plan, const Canonical& canonical,
                                              RemovalSystem& system, RemovalOutcome& outcome) {
    std::vector<std::string> going{Apply(canonical, plan.self)};  // canonical forms
    std::vector<std::string> emptyOnceGone;
    for (const std::string& folder : plan.selfFolders) {
        const PathState state = system.Inspect(folder);
        if (state == PathState::Missing) continue;
        const std::string folderKey = Apply(canonical, folder);
        bool empty = state == PathState::Folder;
        if (empty) {
            for (const std::string& name : system.ListFolder(folder)) {
                const bool leaving = std::any_of(going.begin(), going.end(), [&](const std::string& g) {
                    return SamePath(ParentPath(g), folderKey) && EqualNoCase(LastName(g), name);
                });
                if (!leaving) {
                    empty = false;
                    break;
                }
            }
        }
        if (empty) {
            going.push_back(folderKey);
            emptyOnceGone.push_back(folder);
        } else {
            outcome.notRemoved.push_back(folder);
        }
    }
    return emptyOnceGone;
}

// A command line's next argument: quoted (no escapes) or up to white space.
std::optional<std::string_view> NextArgument(std::string_view& rest) {
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
    if (rest.empty()) return std::nullopt;
    if (rest.front() == '"') {
        const size_t close = rest.find('"', 1);
        if (close == std::string_view::npos) return std::nullopt;
        const std::string_view arg = rest.substr(1, close - 1);
        rest.remove_prefix(close + 1);
        return arg;
    }
    size_t end = 0;
    while (end < rest.size() && rest[end] != ' ' && rest[end] != '\t') ++end;
    const std::string_view arg = rest.substr(0, end);
    rest.remove_prefix(end);
    return arg;
}

std::optional<unsigned long> ParseHandle(std::string_view digits) {
    if (digits.empty() || digits.size() > 10) return std::nullopt;
    unsigned long long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<unsigned long>(value);
}

}  // namespace

LogReading ReadUninstallLog(std::string_view bytes) {
    if (bytes.size() > kMaxLogBytes) return Fault(LogFault::TooLarge, 0);
    if (bytes.empty()) return Fault(LogFault::Empty, 0);
    LogReading reading;
    size_t lineNumber = 0;
    size_t start = 0;
    while (start < bytes.size()) {
        ++lineNumber;
        size_t end = start;
        while (end < bytes.size() && bytes[end] != '\r') {
            if (bytes[end] == '\n') return Fault(LogFault::StrayBreak, lineNumber);
            if (bytes[end] == '\0') return Fault(LogFault::BadCharacter, lineNumber);
            ++end;
        }
        if (end + 1 >= bytes.size()) return Fault(LogFault::Unterminated, lineNumber);
        if (bytes[end + 1] != '\n') return Fault(LogFault::StrayBreak, lineNumber);

        const std::string_view line = bytes.substr(start, end - start);
        const size_t equals = line.rfind(contract::kLogSeparator);
        const std::optional<LogKind> kind =
            equals == std::string_view::npos ? std::nullopt : KindOf(line.substr(equals + 1));
        if (!kind) return Fault(LogFault::NoKind, lineNumber);
        const std::string_view path = line.substr(0, equals);
        if (!IsInstallerPath(path, *kind)) return Fault(LogFault::BadPath, lineNumber);
        reading.lines.push_back({std::string(path), *kind});
        start = end + 2;
    }
    return reading;
}

bool IsInstallerPath(std::string_view path, LogKind kind) {
    const std::optional<PathParts> parts = SplitPath(path);
    if (!parts) return false;
    if (kind == LogKind::File) return !parts->names.empty() && !parts->endsWithSeparator;
    return true;
}

std::string NormalizePath(std::string_view path) {
    const std::optional<PathParts> parts = SplitPath(path);
    if (!parts) return std::string(path);
    return JoinParts(*parts, parts->names.size());
}

bool SamePath(std::string_view a, std::string_view b) {
    return EqualNoCase(NormalizePath(a), NormalizePath(b));
}

bool IsInside(std::string_view path, std::string_view folder) {
    const std::string inner = NormalizePath(path);
    std::string prefix = NormalizePath(folder);
    if (prefix.empty()) return false;
    if (prefix.back() != '\\') prefix += '\\';
    return inner.size() > prefix.size() &&
           EqualNoCase(std::string_view(inner).substr(0, prefix.size()), prefix);
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
    return JoinParts(*parts, parts->names.empty() ? 0 : parts->names.size() - 1);
}

RemovalPlan PlanRemoval(const std::vector<LogLine>& lines, const PlanContext& context) {
    const std::string self = Apply(context.canonical, context.selfPath);
    const std::string log = Apply(context.canonical, context.logPath);
    std::vector<std::string> protectedFolders;
    for (const std::string& p : context.protectedFolders) {
        protectedFolders.push_back(Apply(context.canonical, p));
    }

    RemovalPlan plan;
    std::string selfKey;
    std::vector<FolderLine> folders;
    std::unordered_set<std::string> seenFiles;
    std::unordered_set<std::string> seenFolders;
    for (const LogLine& line : lines) {
        const std::string key = Apply(context.canonical, line.path);
        const std::string folded = Folded(NormalizePath(key));
        if (line.kind == LogKind::File) {
            if (!seenFiles.insert(folded).second) continue;
            if (SamePath(key, self)) {
                plan.self = line.path;
                selfKey = key;
            } else if (SamePath(key, log)) {
                plan.logFile = line.path;
            } else {
                plan.files.push_back(line.path);
            }
        } else {
            if (!seenFolders.insert(folded).second) continue;
            if (IsRootPath(key)) continue;
            const bool isProtected =
                std::any_of(protectedFolders.begin(), protectedFolders.end(),
                            [&](const std::string& p) { return SamePath(key, p); });
            if (isProtected) continue;
            folders.push_back({line.path, key, PathDepth(key)});
        }
    }

    std::vector<FolderLine> selfFolders;
    std::vector<FolderLine> otherFolders;
    for (FolderLine& f : folders) {
        const bool holdsSelf = !selfKey.empty() && IsInside(selfKey, f.canonical);
        (holdsSelf ? selfFolders : otherFolders).push_back(std::move(f));
    }
    SortDeepestFirst(selfFolders);
    SortDeepestFirst(otherFolders);
    plan.folders = PathsOf(otherFolders);
    plan.selfFolders = PathsOf(selfFolders);
    return plan;
}

bool UninstallKeyIsOurs(const std::string& uninstallString, const std::string& selfPath,
                        const Canonical& canonical) {
    std::string_view command = uninstallString;
    while (!command.empty() && command.front() == ' ') command.remove_prefix(1);
    while (!command.empty() && command.back() == ' ') command.remove_suffix(1);
    if (command.size() >= 2 && command.front() == '"' && command.back() == '"') {
        command = command.substr(1, command.size() - 2);
    }
    if (command.empty()) return true;
    return SamePath(Apply(canonical, std::string(command)), Apply(canonical, selfPath));
}

RemovalOutcome CarryOutRemoval(const RemovalPlan& plan, const PlanContext& context,
                               RemovalSystem& system) {
    RemovalOutcome outcome;
    for (const std::string& file : plan.files) RemoveListedFile(file, system, outcome);
    for (const std::string& folder : plan.folders) RemoveListedFolder(folder, system, outcome);

    const std::optional<std::string> command = system.ReadUninstallKey();
    if (command && UninstallKeyIsOurs(*command, context.selfPath, context.canonical)) {
        outcome.keyKept = !system.RemoveUninstallKey();
    }

    if (!plan.logFile.empty()) RemoveListedFile(plan.logFile, system, outcome);

    if (!plan.self.empty()) {
        outcome.self = plan.self;
        outcome.selfFolders = FoldersEmptyOnceGone(plan, context.canonical, system, outcome);
    }
    return outcome;
}

std::string FormatFinishArguments(const FinishRequest& request) {
    std::string out = std::string(contract::kFinishSwitch) + " " + std::to_string(request.processHandle) +
                      " \"" + request.self + "\"";
    for (const std::string& folder : request.folders) out += " \"" + folder + "\"";
    return out;
}

std::optional<FinishRequest> ParseFinishCommandLine(std::string_view commandLine) {
    std::string_view rest = commandLine;
    if (!NextArgument(rest)) return std::nullopt;  // the program's own name
    const std::optional<std::string_view> word = NextArgument(rest);
    if (!word || *word != contract::kFinishSwitch) return std::nullopt;

    FinishRequest request;
    const std::optional<std::string_view> handleText = NextArgument(rest);
    const std::optional<unsigned long> handle =
        handleText ? ParseHandle(*handleText) : std::nullopt;
    if (!handle) return std::nullopt;
    request.processHandle = *handle;

    const std::optional<std::string_view> self = NextArgument(rest);
    if (!self || !IsInstallerPath(*self, LogKind::File) ||
        !EqualNoCase(LastName(*self), contract::kUninstallerFileName)) {
        return std::nullopt;
    }
    request.self = std::string(*self);

    while (true) {
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
        if (rest.empty()) break;
        const std::optional<std::string_view> folder = NextArgument(rest);
        if (!folder || !IsInstallerPath(*folder, LogKind::Folder) || !IsInside(request.self, *folder)) {
            return std::nullopt;
        }
        request.folders.emplace_back(*folder);
    }
    return request;
}

}  // namespace qv
