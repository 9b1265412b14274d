#include "engine/removal.h"

#include <algorithm>
#include <map>
#include <set>

#include "engine/install_contract.h"
#include "engine/paths.h"
#include "engine/text.h"

namespace qv {
namespace {

// What the log lists a path as, and what is said when it is not that.
struct ListedKind {
    PathState state;
    const char* missing;   // the run log's line, before the path
    const char* replaced;  // the failure when the other kind stands there
};

constexpr ListedKind kListedFile{PathState::File, "Файла нет на диске: ", "Не удалён файл (на его месте папка)"};
constexpr ListedKind kListedFolder{PathState::Folder, "Папки нет на диске: ", "Не удалена папка (на её месте файл)"};

bool IsShortcut(const std::string& path) {
    return path.size() > 4 && EqualNoCase(std::string_view(path).substr(path.size() - 4), ".lnk");
}

std::string ReasonsText(unsigned reasons) {
    std::string out;
    auto add = [&](unsigned bit, const char* text) {
        if (!(reasons & bit)) return;
        if (!out.empty()) out += "; ";
        out += text;
    };
    add(kKeptUserFiles, "файлы, не созданные при установке");
    add(kKeptUserData, "файлы с данными пользователя");
    add(kKeptOtherShortcuts, "ярлыки другой установки");
    return out;
}

// One removal, step by step, with what it learns on the way: which paths
// failed to go and what was kept on purpose, so that a folder that stays can
// be reported with the reason.
class Removal {
public:
    Removal(const PlanContext& context, RemovalSystem& system, RunLog& log)
        : context_(context), system_(system), log_(log) {}

    RemovalOutcome Run(const std::vector<LogLine>& logLines, RemovalQuestions& questions) {
        const std::optional<Registration> registration = system_.ReadRegistration();
        const bool ours =
            registration && UninstallKeyIsOurs(registration->uninstallString, context_.selfPath, context_.canonical);
        RemovalPlan plan = PlanRemoval(KeepToScope(logLines, ours ? &*registration : nullptr), context_);
        KeepFoldersThatWereThere(plan, registration);
        SetAsideForeignShortcuts(plan);
        SettleUserData(plan, questions);
        if (!WaitUntilFree(plan, questions)) return std::move(outcome_);

        for (const std::string& file : plan.files) RemoveListedFile(file);
        if (!plan.tempFile.empty() && system_.Inspect(plan.tempFile) != PathState::Missing) {
            RemoveListedFile(plan.tempFile);
        }
        for (const std::string& folder : plan.folders) RemoveListedFolder(folder);
        if (!outcome_.notRemoved.empty() && ours) {
            // The product is not gone: its entry in the list of programs, the
            // log and the program stay, for the removal to be run again.
            outcome_.keyKept = outcome_.keptForRetry = true;
            Say("Удалено не всё: запись в списке установленных программ, журнал удаления и программа удаления "
                "сохранены, чтобы удаление можно было повторить.");
            return std::move(outcome_);
        }
        const std::vector<std::string> created = RemoveRegistration(registration);
        if (!plan.logFile.empty()) RemoveListedFile(plan.logFile);

        std::vector<PlannedFolder> createdOutside;
        std::vector<PlannedFolder> selfFolders;
        for (const std::string& folder : plan.selfFolders) {
            selfFolders.push_back({folder, ApplyCanonical(context_.canonical, folder), PathDepth(folder), true});
        }
        SortCreatedLevels(created, plan, createdOutside, selfFolders);
        for (const PlannedFolder& level : createdOutside) RemoveCreatedLevel(level.path);
        if (!plan.self.empty()) {
            outcome_.self = plan.self;
            FoldersEmptyOnceGone(plan.self, selfFolders);
        }
        return std::move(outcome_);
    }

private:
    std::string Key(const std::string& path) const { return PathKey(ApplyCanonical(context_.canonical, path)); }
    std::string Canonical(const std::string& path) const { return ApplyCanonical(context_.canonical, path); }

    // The places the installation made: the registration's record of them
    // where this installation's key keeps one, else what the log and the
    // system's folders say.
    RemovalScope ScopeOf(const std::vector<LogLine>& logLines, const Registration* ours) const {
        RemovalScope scope;
        scope.trust = JudgeLog(context_.logDigest, ours ? ours->logSha256 : std::string());
        if (IsInstallerPath(context_.selfPath, LogKind::File)) scope.installation = ParentPath(Canonical(context_.selfPath));
        if (ours && !ours->group.empty()) {
            scope.groups.push_back(Canonical(ours->group));
            scope.groupRegistered = true;
        } else {
            scope.groups = GroupsNamedBy(logLines, context_.programsFolders, context_.canonical);
        }
        for (const std::string& shortcut : DesktopShortcutsIn(context_.desktopFolders)) {
            scope.desktopShortcuts.push_back(Canonical(shortcut));
        }
        if (ours && !ours->desktopShortcut.empty()) scope.desktopShortcuts.push_back(Canonical(ours->desktopShortcut));
        return scope;
    }

    // The lines the removal goes by: the log's that lie where the
    // installation made things, or, for a log that cannot be trusted, what
    // the contract names and is there. Every other line is set aside.
    std::vector<LogLine> KeepToScope(const std::vector<LogLine>& logLines, const Registration* ours) {
        const RemovalScope scope = ScopeOf(logLines, ours);
        outcome_.logTrust = scope.trust;
        if (scope.trust == LogTrust::Changed) {
            Say("Журнал удаления изменён после установки: удаляются только файлы приложения, его ярлыки и папки.");
        } else if (scope.trust == LogTrust::Lost) {
            Say("Журнала удаления нет: удаляются только файлы приложения, его ярлыки и папки.");
        }
        ScopedLines scoped = ScopeLines(logLines, scope, context_.canonical);
        for (const RefusedLine& line : scoped.refused) {
            Say((line.why == Refusal::Outside ? "Строка журнала не выполнена: путь вне установки приложения: "
                                              : "Файл не создан при установке и сохранён: ") +
                line.path);
        }
        outcome_.refused = std::move(scoped.refused);
        if (scope.trust == LogTrust::Saved || scope.trust == LogTrust::Unchecked) return std::move(scoped.lines);
        std::vector<LogLine> there;
        for (LogLine& line : scoped.lines) {
            if (system_.Inspect(line.path) != PathState::Missing) there.push_back(std::move(line));
        }
        return there;
    }

    void Say(const std::string& text) { log_.Write(text); }

    void Fail(const std::string& path, const std::string& what, unsigned long error) {
        outcome_.notRemoved.push_back(path);
        failed_.insert(Key(path));
        Say(what + ": " + path + (error ? " — " + system_.ErrorText(error) : std::string()));
    }

    // Listed shortcuts that now point outside this installation belong to
    // another one made later with the same group: they stay.
    void SetAsideForeignShortcuts(RemovalPlan& plan) {
        const std::string installation = ParentPath(ApplyCanonical(context_.canonical, context_.selfPath));
        if (installation.empty()) return;
        std::vector<std::string> ours;
        for (const std::string& file : plan.files) {
            if (IsShortcut(file) && system_.Inspect(file) == PathState::File) {
                const std::optional<std::string> target = system_.ShortcutTarget(file);
                if (target && !target->empty()) {
                    const std::string where = ApplyCanonical(context_.canonical, *target);
                    if (!IsAtOrInside(where, installation)) {
                        foreign_.insert(Key(file));
                        Say("Ярлык указывает на " + *target + " вне удаляемой установки и сохранён: " + file);
                        continue;
                    }
                }
            }
            ours.push_back(file);
        }
        plan.files = std::move(ours);
    }

    // The user's data goes only when the user asks for it.
    void SettleUserData(RemovalPlan& plan, RemovalQuestions& questions) {
        std::vector<std::string> existing;
        for (const std::string& file : plan.userData) {
            if (system_.Inspect(file) == PathState::File) existing.push_back(file);
        }
        if (existing.empty()) return;
        if (questions.RemoveUserData(existing)) {
            plan.files.insert(plan.files.end(), existing.begin(), existing.end());
            return;
        }
        for (const std::string& file : existing) {
            outcome_.keptData.push_back(file);
            keptData_.insert(Key(file));
            Say("Файл с данными пользователя сохранён: " + file);
        }
    }

    // Nothing is removed while a file to be removed is held by a running
    // program: the user closes it and looks again, or gives up.
    bool WaitUntilFree(const RemovalPlan& plan, RemovalQuestions& questions) {
        std::vector<std::string> toProbe = plan.files;
        for (const std::string& more : {plan.logFile, plan.tempFile}) {
            if (!more.empty()) toProbe.push_back(more);
        }
        while (true) {
            std::vector<std::string> inUse;
            for (const std::string& file : toProbe) {
                if (system_.Inspect(file) == PathState::File && system_.InUse(file)) inUse.push_back(file);
            }
            if (inUse.empty()) return true;
            for (const std::string& file : inUse) Say("Файл используется другой программой: " + file);
            if (!questions.RetryInUse(inUse)) {
                outcome_.cancelled = true;
                outcome_.inUse = std::move(inUse);
                Say("Удаление отменено: файлы используются. Ничего не удалено.");
                return false;
            }
        }
    }

    // Whether a listed path is there as what the log says it is; a missing
    // one is only said, one of the other kind fails.
    bool ListedIsThere(const std::string& path, const ListedKind& kind) {
        const PathState state = system_.Inspect(path);
        if (state == kind.state) return true;
        if (state == PathState::Missing) {
            Say(std::string(kind.missing) + path);
        } else {
            Fail(path, kind.replaced, 0);
        }
        return false;
    }

    void RemoveListedFile(const std::string& path) {
        if (!ListedIsThere(path, kListedFile)) return;
        if (const unsigned long error = system_.RemoveFile(path)) {
            Fail(path, "Не удалось удалить файл", error);
        } else {
            Say("Удалён файл: " + path);
        }
    }

    // What keeps a folder that could not be removed: each thing in it is
    // either a failure, something kept on purpose, or the user's own.
    struct Leftovers {
        unsigned reasons = 0;
        bool failure = false;
        bool any = false;
    };

    Leftovers Classify(const std::string& folder) {
        Leftovers found;
        for (const std::string& name : system_.ListFolder(folder)) {
            const std::string key = Key(NormalizePath(folder) + "\\" + name);
            if (going_.count(key)) continue;
            found.any = true;
            if (failed_.count(key) || failureOnly_.count(key)) {
                found.failure = true;
            } else if (keptData_.count(key)) {
                found.reasons |= kKeptUserData;
            } else if (foreign_.count(key)) {
                found.reasons |= kKeptOtherShortcuts;
            } else if (const auto kept = keptFolders_.find(key); kept != keptFolders_.end()) {
                found.reasons |= kept->second;
            } else {
                found.reasons |= kKeptUserFiles;
            }
        }
        return found;
    }

    // A listed folder that holds something: kept on purpose (reported with
    // the reason), or kept only by files that failed to go (not reported:
    // they are).
    void KeepListedFolder(const std::string& folder, const Leftovers& left) {
        if (left.reasons) {
            keptFolders_[Key(folder)] = left.reasons;
            outcome_.keptFolders.push_back({folder, left.reasons});
            Say("Папка сохранена, так как в ней остались " + ReasonsText(left.reasons) + ": " + folder);
        } else {
            failureOnly_.insert(Key(folder));
            Say("Папка не удалена: в ней остались файлы, которые не удалось удалить: " + folder);
        }
    }

    void RemoveListedFolder(const std::string& folder) {
        if (!ListedIsThere(folder, kListedFolder)) return;
        const unsigned long error = system_.RemoveEmptyFolder(folder);
        if (!error) {
            Say("Удалена папка: " + folder);
            return;
        }
        const Leftovers left = Classify(folder);
        if (left.any) {
            KeepListedFolder(folder, left);
        } else {
            Fail(folder, "Не удалось удалить папку", error);
        }
    }

    // A listed folder that was there before the installation is not its to
    // remove: the registration names the levels the installer created.
    void KeepFoldersThatWereThere(RemovalPlan& plan, const std::optional<Registration>& found) {
        if (!found || !found->listsCreatedFolders ||
            !UninstallKeyIsOurs(found->uninstallString, context_.selfPath, context_.canonical)) {
            return;
        }
        std::set<std::string> created;
        for (const std::string& level : found->createdFolders) created.insert(Key(level));
        const auto wasThere = [&](const std::string& folder) {
            if (created.count(Key(folder))) return false;
            Say("Папка была до установки и сохранена: " + folder);
            return true;
        };
        std::erase_if(plan.folders, wasThere);
        std::erase_if(plan.selfFolders, wasThere);
    }

    // Removes the registration when it is this installation's; gives the
    // folder levels it says the installer created.
    std::vector<std::string> RemoveRegistration(const std::optional<Registration>& found) {
        if (!found) {
            Say("Записи в списке установленных программ нет.");
            return {};
        }
        if (!UninstallKeyIsOurs(found->uninstallString, context_.selfPath, context_.canonical)) {
            Say("Запись в списке установленных программ принадлежит другой установке (" +
                found->uninstallString + ") и сохранена.");
            return {};
        }
        if (const unsigned long error = system_.RemoveUninstallKey()) {
            outcome_.keyKept = true;
            Say("Не удалось удалить запись в списке установленных программ — " + system_.ErrorText(error));
        } else {
            Say("Удалена запись в списке установленных программ.");
        }
        return found->createdFolders;
    }

    bool IsProtected(const std::string& canonicalPath) const {
        return std::any_of(context_.protectedFolders.begin(), context_.protectedFolders.end(),
                           [&](const std::string& p) { return SamePath(canonicalPath, ApplyCanonical(context_.canonical, p)); });
    }

    // The created levels that may go: full paths, neither roots nor
    // protected nor already planned. Those holding the program join its
    // folders; all are ordered deepest first.
    void SortCreatedLevels(const std::vector<std::string>& created, const RemovalPlan& plan,
                           std::vector<PlannedFolder>& outside, std::vector<PlannedFolder>& selfFolders) {
        std::set<std::string> planned;
        for (const std::string& f : plan.folders) planned.insert(Key(f));
        for (const std::string& f : plan.selfFolders) planned.insert(Key(f));
        const std::string self = plan.self.empty() ? std::string() : ApplyCanonical(context_.canonical, plan.self);
        for (const std::string& level : created) {
            std::string path;
            if (ResolveLogPath(level, LogKind::Folder, &path) != LineVerdict::Usable) continue;
            const std::string canonical = ApplyCanonical(context_.canonical, path);
            if (IsRootPath(canonical) || IsProtected(canonical) || !planned.insert(Key(path)).second) continue;
            PlannedFolder line{path, canonical, PathDepth(canonical), false};
            (!self.empty() && IsInside(self, canonical) ? selfFolders : outside).push_back(std::move(line));
        }
        SortDeepestFirst(outside);
        SortDeepestFirst(selfFolders);
    }

    void RemoveCreatedLevel(const std::string& level) {
        if (system_.Inspect(level) != PathState::Folder) return;
        const unsigned long error = system_.RemoveEmptyFolder(level);
        if (!error) {
            Say("Удалена папка, созданная при установке: " + level);
        } else if (!system_.ListFolder(level).empty()) {
            Say("Папка, созданная при установке, не пуста и сохранена: " + level);
        } else {
            Fail(level, "Не удалось удалить папку, созданную при установке", error);
        }
    }

    // Which of the program's folders will be empty once the program itself is
    // gone: each may hold only the program and folders that will be empty too.
    void FoldersEmptyOnceGone(const std::string& self, const std::vector<PlannedFolder>& folders) {
        going_.insert(Key(self));
        for (const PlannedFolder& folder : folders) {
            const PathState state = system_.Inspect(folder.path);
            if (state == PathState::Missing) continue;
            if (state == PathState::File) {
                if (folder.listed) Fail(folder.path, kListedFolder.replaced, 0);
                continue;
            }
            const Leftovers left = Classify(folder.path);
            if (!left.any) {
                going_.insert(Key(folder.path));
                outcome_.selfFolders.push_back(folder.path);
            } else if (folder.listed) {
                KeepListedFolder(folder.path, left);
            } else {
                Say("Папка, созданная при установке, не пуста и сохранена: " + folder.path);
            }
        }
    }

    const PlanContext& context_;
    RemovalSystem& system_;
    RunLog& log_;
    RemovalOutcome outcome_;
    // Keys (Key()) of what the removal has learnt about.
    std::set<std::string> failed_;        // listed paths that could not go
    std::set<std::string> failureOnly_;   // folders kept only by those
    std::set<std::string> keptData_;      // the user's data files, kept
    std::set<std::string> foreign_;       // another installation's shortcuts
    std::map<std::string, unsigned> keptFolders_;  // folders kept on purpose, with the reasons
    std::set<std::string> going_;         // the program and the folders that go with it
};

}  // namespace

void UseOddNamesThatExist(LogReading& reading, RemovalSystem& system) {
    std::vector<SetAsideLine> nothing;
    for (SetAsideLine& line : reading.namingNothing) {
        if (line.oddName && system.Inspect(line.oddName->path) != PathState::Missing) {
            reading.lines.push_back(*line.oddName);
        } else {
            nothing.push_back(std::move(line));
        }
    }
    reading.namingNothing = std::move(nothing);
}

bool UninstallKeyIsOurs(const std::string& uninstallString, const std::string& selfPath,
                        const CanonicalForm& canonical) {
    std::string_view command = uninstallString;
    while (!command.empty() && command.front() == ' ') command.remove_prefix(1);
    while (!command.empty() && command.back() == ' ') command.remove_suffix(1);
    if (command.size() >= 2 && command.front() == '"' && command.back() == '"') {
        command = command.substr(1, command.size() - 2);
    }
    if (command.empty()) return true;
    return SamePath(ApplyCanonical(canonical, std::string(command)), ApplyCanonical(canonical, selfPath));
}

RemovalOutcome RemoveInstallation(const std::vector<LogLine>& lines, const PlanContext& context,
                                  RemovalSystem& system, RemovalQuestions& questions, RunLog& log) {
    return Removal(context, system, log).Run(lines, questions);
}

int RemovalExitCode(const LogReading& reading, const RemovalOutcome& outcome) {
    if (outcome.logTrust == LogTrust::Lost) return contract::kUninstallNoLog;
    const bool left = outcome.cancelled || !outcome.notRemoved.empty() || outcome.keyKept ||
                      !reading.rejected.empty() || !outcome.refused.empty() || outcome.logTrust == LogTrust::Changed;
    return left ? contract::kUninstallSomethingLeft : contract::kUninstallDone;
}

}  // namespace qv
