#include "engine/uninstall_plan.h"

#include <algorithm>
#include <unordered_set>

#include "engine/install_contract.h"
#include "engine/text.h"

namespace qv {
namespace {

std::vector<std::string> PathsOf(const std::vector<PlannedFolder>& folders) {
    std::vector<std::string> out;
    for (const PlannedFolder& f : folders) out.push_back(f.path);
    return out;
}

bool IsUserDataName(std::string_view name) { return ContainsNoCase(contract::kUserDataFiles, name); }

}  // namespace

std::string ApplyCanonical(const CanonicalForm& canonical, const std::string& path) {
    return canonical ? canonical(path) : path;
}

void SortDeepestFirst(std::vector<PlannedFolder>& folders) {
    std::stable_sort(folders.begin(), folders.end(),
                     [](const PlannedFolder& a, const PlannedFolder& b) { return a.depth > b.depth; });
}

RemovalPlan PlanRemoval(const std::vector<LogLine>& lines, const PlanContext& context) {
    const std::string self = ApplyCanonical(context.canonical, context.selfPath);
    const std::string log = ApplyCanonical(context.canonical, context.logPath);
    const std::string installation = IsInstallerPath(self, LogKind::File) ? ParentPath(self) : std::string();
    std::vector<std::string> protectedFolders;
    for (const std::string& p : context.protectedFolders) {
        protectedFolders.push_back(ApplyCanonical(context.canonical, p));
    }

    RemovalPlan plan;
    std::string selfKey;
    std::vector<PlannedFolder> folders;
    std::unordered_set<std::string> seenFiles;
    std::unordered_set<std::string> seenFolders;
    for (const LogLine& line : lines) {
        const std::string key = ApplyCanonical(context.canonical, line.path);
        const std::string folded = PathKey(key);
        if (line.kind == LogKind::File) {
            if (!seenFiles.insert(folded).second) continue;
            if (SamePath(key, self)) {
                plan.self = line.path;
                selfKey = key;
            } else if (SamePath(key, log)) {
                plan.logFile = line.path;
            } else if (!installation.empty() && SamePath(ParentPath(key), installation) &&
                       IsUserDataName(LastName(key))) {
                plan.userData.push_back(line.path);
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
            folders.push_back({line.path, key, PathDepth(key), true});
        }
    }
    // The log this program read goes with the installation even when its own
    // line was lost (a log cut short): nothing else can use it afterwards.
    if (plan.logFile.empty() && IsInstallerPath(log, LogKind::File)) plan.logFile = NormalizePath(context.logPath);
    // The installer's temporary file is never listed; it is left behind only
    // when an installation could not take it back.
    if (!installation.empty()) {
        const std::string temp = NormalizePath(ParentPath(context.selfPath) + "\\" + contract::kTempFileName);
        if (!seenFiles.count(PathKey(ApplyCanonical(context.canonical, temp)))) plan.tempFile = temp;
    }

    std::vector<PlannedFolder> selfFolders;
    std::vector<PlannedFolder> otherFolders;
    for (PlannedFolder& f : folders) {
        const bool holdsSelf = !selfKey.empty() && IsInside(selfKey, f.canonical);
        (holdsSelf ? selfFolders : otherFolders).push_back(std::move(f));
    }
    SortDeepestFirst(selfFolders);
    SortDeepestFirst(otherFolders);
    plan.folders = PathsOf(otherFolders);
    plan.selfFolders = PathsOf(selfFolders);
    return plan;
}

}  // namespace qv
