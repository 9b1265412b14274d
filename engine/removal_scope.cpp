#include "engine/removal_scope.h"

#include <algorithm>

#include "engine/install_contract.h"
#include "engine/paths.h"
#include "engine/text.h"

namespace qv {
namespace {

bool IsKnownShortcut(std::string_view name) { return ContainsNoCase(contract::kShortcutNames, name); }

bool IsInstalledName(std::string_view name) { return ContainsNoCase(contract::DestinationFileNames(), name); }

bool AnySame(const std::vector<std::string>& paths, const std::string& path) {
    return std::any_of(paths.begin(), paths.end(), [&](const std::string& p) { return SamePath(p, path); });
}

// Whether the log's line may be used, and if not, why.
std::optional<Refusal> Judge(const LogLine& line, const std::string& path, const RemovalScope& scope) {
    const bool trusted = scope.trust == LogTrust::Saved || scope.trust == LogTrust::Unchecked;
    const std::string folder = ParentPath(path);
    const std::string name = LastName(path);
    const bool inInstallation = !scope.installation.empty() && IsAtOrInside(path, scope.installation);
    if (line.kind == LogKind::Folder) {
        if (AnySame(scope.groups, path) || (!scope.installation.empty() && SamePath(path, scope.installation))) {
            return std::nullopt;
        }
        if (inInstallation) return trusted ? std::nullopt : std::optional(Refusal::NotProven);
        return Refusal::Outside;
    }
    if (AnySame(scope.desktopShortcuts, path)) return std::nullopt;
    if (AnySame(scope.groups, folder)) {
        // Only the installer's own log may name other files in the group.
        const bool any = scope.trust == LogTrust::Saved && scope.groupRegistered;
        return any || IsKnownShortcut(name) ? std::nullopt : std::optional(Refusal::Outside);
    }
    if (!inInstallation) return Refusal::Outside;
    if (trusted) return std::nullopt;
    return SamePath(folder, scope.installation) && IsInstalledName(name) ? std::nullopt
                                                                          : std::optional(Refusal::NotProven);
}

}  // namespace

LogTrust JudgeLog(const std::optional<std::string>& read, const std::string& saved) {
    if (!read) return LogTrust::Lost;
    if (saved.empty()) return LogTrust::Unchecked;
    return EqualNoCase(*read, saved) ? LogTrust::Saved : LogTrust::Changed;
}

std::vector<std::string> GroupsNamedBy(const std::vector<LogLine>& lines,
                                       const std::vector<std::string>& programsFolders, const CanonicalForm& canonical) {
    std::vector<std::string> groups;
    for (const LogLine& line : lines) {
        if (line.kind != LogKind::File || !IsKnownShortcut(LastName(line.path))) continue;
        const std::string group = ParentPath(ApplyCanonical(canonical, line.path));
        const bool inPrograms = std::any_of(programsFolders.begin(), programsFolders.end(), [&](const std::string& p) {
            return IsInside(group, ApplyCanonical(canonical, p));
        });
        if (inPrograms && !AnySame(groups, group)) groups.push_back(group);
    }
    return groups;
}

std::vector<std::string> DesktopShortcutsIn(const std::vector<std::string>& desktopFolders) {
    std::vector<std::string> shortcuts;
    for (const std::string& folder : desktopFolders) {
        if (!folder.empty()) shortcuts.push_back(NormalizePath(folder + "\\" + contract::kProgramShortcutName));
    }
    return shortcuts;
}

ScopedLines ScopeLines(const std::vector<LogLine>& lines, const RemovalScope& scope, const CanonicalForm& canonical) {
    const bool trusted = scope.trust == LogTrust::Saved || scope.trust == LogTrust::Unchecked;
    ScopedLines out;
    for (const LogLine& line : lines) {
        if (const std::optional<Refusal> why = Judge(line, ApplyCanonical(canonical, line.path), scope)) {
            out.refused.push_back({line.path, *why});
        } else if (trusted) {
            out.lines.push_back(line);
        }
    }
    if (!trusted) out.lines = ContractLines(scope);
    return out;
}

std::vector<LogLine> ContractLines(const RemovalScope& scope) {
    std::vector<LogLine> lines;
    if (!scope.installation.empty()) {
        lines.push_back({scope.installation, LogKind::Folder});
        for (std::string_view name : contract::DestinationFileNames()) {
            lines.push_back({NormalizePath(scope.installation + "\\" + std::string(name)), LogKind::File});
        }
    }
    for (const std::string& group : scope.groups) {
        lines.push_back({group, LogKind::Folder});
        for (const char* name : contract::kShortcutNames) {
            lines.push_back({NormalizePath(group + "\\" + name), LogKind::File});
        }
    }
    for (const std::string& shortcut : scope.desktopShortcuts) lines.push_back({shortcut, LogKind::File});
    return lines;
}

}  // namespace qv
