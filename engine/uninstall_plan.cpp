#include "engine/uninstall_plan.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_set>

#include "engine/install_contract.h"
#include "engine/text.h"

namespace qv {
namespace {

// A set-aside line's text is shown in a message box and the run log: one
// longer than this is shortened, visibly.
constexpr size_t kShownLineChars = 300;

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

// What one name of a path can stand for. The order is that of precedence:
// a path with a name nothing can have names nothing, whatever else it holds.
// A name with a character Windows refuses (OddName) names nothing on
// Windows; other file systems may have taken it.
enum class NameVerdict { Valid, Bad, OddName, NoSuchName };

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

// A path taken apart: its root in normal form ("C:\" or "\\server\share")
// and the names below it, "." and ".." resolved.
struct PathParts {
    std::string root;
    std::vector<std::string_view> names;
    bool endsWithSeparator = false;
    bool hadDots = false;  // a "." or ".." part was resolved
    NameVerdict verdict = NameVerdict::Valid;  // the names that remain
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
        if (serverEnd == tail.size() || CheckName(server) != NameVerdict::Valid) return std::nullopt;
        tail = tail.substr(serverEnd + 1);
        const size_t shareEnd = std::find_if(tail.begin(), tail.end(), IsSeparator) - tail.begin();
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

// What a path of the log stands for once "." and ".." are resolved.
enum class LineVerdict { Usable, Bad, OddName, NoSuchName };

LineVerdict ResolveLogPath(std::string_view path, LogKind kind, std::string* resolved) {
    const std::optional<PathParts> parts = SplitPath(path);
    if (!parts) return LineVerdict::Bad;
    if (parts->verdict == NameVerdict::NoSuchName) return LineVerdict::NoSuchName;
    if (parts->verdict == NameVerdict::Bad) return LineVerdict::Bad;
    if (kind == LogKind::File && (parts->names.empty() || parts->endsWithSeparator)) return LineVerdict::Bad;
    *resolved = JoinParts(*parts, parts->names.size());
    return parts->verdict == NameVerdict::OddName ? LineVerdict::OddName : LineVerdict::Usable;
}

std::optional<LogKind> KindOf(std::string_view text) {
    if (text == contract::kFileKind) return LogKind::File;
    if (text == contract::kFolderKind) return LogKind::Folder;
    return std::nullopt;
}

SetAsideLine SetAside(size_t number, std::string_view line, LogFault fault) {
    SetAsideLine out;
    out.number = number;
    out.fault = fault;
    const std::string_view shown = line.substr(0, kShownLineChars);
    for (char c : shown) out.text += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    if (line.size() > shown.size()) out.text += "...";
    return out;
}

// One line of the log, read.
void ReadLine(size_t number, std::string_view line, bool terminated, LogReading& reading) {
    if (!terminated) {
        reading.rejected.push_back(SetAside(number, line, LogFault::Unterminated));
        return;
    }
    if (line.find('\r') != std::string_view::npos) {
        reading.rejected.push_back(SetAside(number, line, LogFault::StrayBreak));
        return;
    }
    if (line.find('\0') != std::string_view::npos) {
        reading.rejected.push_back(SetAside(number, line, LogFault::BadCharacter));
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

using Canonical = std::function<std::string(const std::string&)>;

std::string Apply(const Canonical& canonical, const std::string& path) {
    return canonical ? canonical(path) : path;
}

struct FolderLine {
    std::string path;       // as planned
    std::string canonical;  // for comparisons
    size_t depth;
    bool listed;            // from the log (reported when kept), not a created level (kept silently)
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

bool IsShortcut(const std::string& path) {
    return path.size() > 4 && EqualNoCase(std::string_view(path).substr(path.size() - 4), ".lnk");
}

bool IsUserDataName(std::string_view name) {
    return std::any_of(std::begin(contract::kUserDataFiles), std::end(contract::kUserDataFiles),
                       [&](const char* data) { return EqualNoCase(name, data); });
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

    RemovalOutcome Run(const std::vector<LogLine>& lines, RemovalQuestions& questions) {
        RemovalPlan plan = PlanRemoval(lines, context_);
        SetAsideForeignShortcuts(plan);
        SettleUserData(plan, questions);
        if (!WaitUntilFree(plan, questions)) return std::move(outcome_);

        for (const std::string& file : plan.files) RemoveListedFile(file);
        if (!plan.tempFile.empty() && system_.Inspect(plan.tempFile) != PathState::Missing) {
            RemoveListedFile(plan.tempFile);
        }
        for (const std::string& folder : plan.folders) RemoveListedFolder(folder);
        const std::vector<std::string> created = RemoveRegistration();
        if (!plan.logFile.empty()) RemoveListedFile(plan.logFile);

        std::vector<FolderLine> createdOutside;
        std::vector<FolderLine> selfFolders;
        for (const std::string& folder : plan.selfFolders) {
            selfFolders.push_back({folder, Apply(context_.canonical, folder), PathDepth(folder), true});
        }
        SortCreatedLevels(created, plan, createdOutside, selfFolders);
        for (const FolderLine& level : createdOutside) RemoveCreatedLevel(level.path);
        if (!plan.self.empty()) {
            outcome_.self = plan.self;
            FoldersEmptyOnceGone(plan.self, selfFolders);
        }
        return std::move(outcome_);
    }

private:
    std::string Key(const std::string& path) const { return Folded(NormalizePath(Apply(context_.canonical, path))); }

    void Say(const std::string& text) { log_.Write(text); }

    void Fail(const std::string& path, const std::string& what, unsigned long error) {
        outcome_.notRemoved.push_back(path);
        failed_.insert(Key(path));
        Say(what + ": " + path + (error ? " — " + system_.ErrorText(error) : std::string()));
    }

    // Listed shortcuts that now point outside this installation belong to
    // another one made later with the same group: they stay.
    void SetAsideForeignShortcuts(RemovalPlan& plan) {
        const std::string installation = ParentPath(Apply(context_.canonical, context_.selfPath));
        if (installation.empty()) return;
        std::vector<std::string> ours;
        for (const std::string& file : plan.files) {
            if (IsShortcut(file) && system_.Inspect(file) == PathState::File) {
                const std::optional<std::string> target = system_.ShortcutTarget(file);
                if (target && !target->empty()) {
                    const std::string where = Apply(context_.canonical, *target);
                    if (!IsInside(where, installation) && !SamePath(where, installation)) {
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

    void RemoveListedFile(const std::string& path) {
        switch (system_.Inspect(path)) {
            case PathState::Missing:
                Say("Файла нет на диске: " + path);
                return;
            case PathState::Folder:
                Fail(path, "Не удалён файл (на его месте папка)", 0);
                return;
            case PathState::File:
                if (const unsigned long error = system_.RemoveFile(path)) {
                    Fail(path, "Не удалось удалить файл", error);
                } else {
                    Say("Удалён файл: " + path);
                }
                return;
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
        switch (system_.Inspect(folder)) {
            case PathState::Missing:
                Say("Папки нет на диске: " + folder);
                return;
            case PathState::File:
                Fail(folder, "Не удалена папка (на её месте файл)", 0);
                return;
            case PathState::Folder:
                break;
        }
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

    // Removes the registration when it is this installation's; gives the
    // folder levels it says the installer created.
    std::vector<std::string> RemoveRegistration() {
        const std::optional<Registration> found = system_.ReadRegistration();
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
                           [&](const std::string& p) { return SamePath(canonicalPath, Apply(context_.canonical, p)); });
    }

    // The created levels that may go: full paths, neither roots nor
    // protected nor already planned. Those holding the program join its
    // folders; all are ordered deepest first.
    void SortCreatedLevels(const std::vector<std::string>& created, const RemovalPlan& plan,
                           std::vector<FolderLine>& outside, std::vector<FolderLine>& selfFolders) {
        std::set<std::string> planned;
        for (const std::string& f : plan.folders) planned.insert(Key(f));
        for (const std::string& f : plan.selfFolders) planned.insert(Key(f));
        const std::string self = plan.self.empty() ? std::string() : Apply(context_.canonical, plan.self);
        for (const std::string& level : created) {
            std::string path;
            if (ResolveLogPath(level, LogKind::Folder, &path) != LineVerdict::Usable) continue;
            const std::string canonical = Apply(context_.canonical, path);
            if (IsRootPath(canonical) || IsProtected(canonical) || !planned.insert(Key(path)).second) continue;
            FolderLine line{path, canonical, PathDepth(canonical), false};
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
    void FoldersEmptyOnceGone(const std::string& self, const std::vector<FolderLine>& folders) {
        going_.insert(Key(self));
        for (const FolderLine& folder : folders) {
            const PathState state = system_.Inspect(folder.path);
            if (state == PathState::Missing) continue;
            if (state == PathState::File) {
                if (folder.listed) Fail(folder.path, "Не удалена папка (на её месте файл)", 0);
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

LogReading ReadUninstallLog(std::string_view bytes) {
    LogReading reading;
    if (bytes.size() > kMaxLogBytes) {
        reading.fault = LogFault::TooLarge;
        return reading;
    }
    if (bytes.empty()) {
        reading.fault = LogFault::Empty;
        return reading;
    }
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
    const std::string installation = IsInstallerPath(self, LogKind::File) ? ParentPath(self) : std::string();
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
    // when an installation was abandoned at an entry.
    if (!installation.empty()) {
        const std::string temp = NormalizePath(ParentPath(context.selfPath) + "\\" + contract::kTempFileName);
        if (!seenFiles.count(Folded(NormalizePath(Apply(context.canonical, temp))))) plan.tempFile = temp;
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

RemovalOutcome RemoveInstallation(const std::vector<LogLine>& lines, const PlanContext& context,
                                  RemovalSystem& system, RemovalQuestions& questions, RunLog& log) {
    return Removal(context, system, log).Run(lines, questions);
}

int RemovalExitCode(const LogReading& reading, const RemovalOutcome& outcome) {
    const bool left = outcome.cancelled || !outcome.notRemoved.empty() || outcome.keyKept ||
                      !reading.rejected.empty();
    return left ? contract::kUninstallSomethingLeft : contract::kUninstallDone;
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
