#include <gtest/gtest.h>

#include <map>
#include <set>

#include "engine/text.h"
#include "engine/uninstall_log.h"
#include "engine/uninstall_plan.h"

namespace qv {
namespace {

std::string Crlf(std::initializer_list<std::string> lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

// The log of a complete installation into a drive root's subfolder, with
// the desktop shortcut.
const char* const kDest = "C:\\Program Files\\QuorVel V2.0";
const char* const kGroup = "C:\\Menu\\Programs\\Кворвель 2.0";

std::string FullLog() {
    const std::string d = kDest;
    const std::string g = kGroup;
    std::initializer_list<std::string> lines = {
        d + "=D",
        d + "\\Quorvel.exe=F", d + "\\Descript.txt=F", d + "\\DateVar.dat=F",
        d + "\\TimeVar.dat=F", d + "\\Dates.dat=F", d + "\\Dates2.dat=F",
        d + "\\Dates3.dat=F", d + "\\Dates4.dat=F", d + "\\Cityes.dat=F",
        d + "\\Regions.dat=F", d + "\\Republics.dat=F", d + "\\Group.txt=F",
        d + "\\UnInstall.exe=F", d + "\\QuorVel.chm=F", d + "\\People.dat=F",
        d + "\\QuorVel.TTF=F", d + "\\lic.txt=F",
        g + "=D", g + "\\Кворвель 2.0.lnk=F", g + "\\Справка по Кворвель 2.0.lnk=F",
        g + "\\Удалить Кворвель 2.0.lnk=F", "C:\\Desktop\\Кворвель 2.0.lnk=F",
        d + "\\Peoples.clm=F", d + "\\UnInstall.dat=F"};
    return Crlf(lines);
}

PlanContext FullContext() {
    PlanContext c;
    c.selfPath = std::string(kDest) + "\\UnInstall.exe";
    c.logPath = std::string(kDest) + "\\UnInstall.dat";
    c.protectedFolders = {"C:\\Menu\\Programs", "C:\\Desktop"};
    return c;
}

TEST(UninstallLog, ReadsEveryLineOfAnInstallation) {
    const LogReading r = ReadUninstallLog(FullLog());
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.lines.size(), 25u);
    EXPECT_EQ(r.lines[0].path, kDest);
    EXPECT_EQ(r.lines[0].kind, LogKind::Folder);
    EXPECT_EQ(r.lines[19].path, std::string(kGroup) + "\\Кворвель 2.0.lnk");
    EXPECT_EQ(r.lines[19].kind, LogKind::File);
    EXPECT_EQ(r.lines[24].path, std::string(kDest) + "\\UnInstall.dat");
}

TEST(UninstallLog, ReadsWhatTheInstallerSaves) {
    UninstallLog written;
    written.Set("C:\\", "D");
    written.Set("C:\\\\Quorvel.exe", "F");
    written.Set("C:\\Menu\\Programs\\", "D");
    written.Set("C:\\Menu\\Programs\\\\Удалить Кворвель 2.0.lnk", "F");
    const LogReading r = ReadUninstallLog(written.Text());
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.lines.size(), written.Count());
    for (size_t i = 0; i < r.lines.size(); ++i) {
        const std::string line = written.Line(i);
        EXPECT_EQ(r.lines[i].path, NormalizePath(line.substr(0, line.size() - 2)));
        EXPECT_EQ(r.lines[i].kind == LogKind::File ? 'F' : 'D', line.back());
    }
}

TEST(UninstallLog, AcceptsTheFormsTheInstallerWrites) {
    const LogReading r = ReadUninstallLog(Crlf({
        "C:\\=D",                                    // destination is a drive root
        "C:\\\\QuorVel.exe=F",                       // ... so the backslash is doubled
        "D:\\Games\\=D", "D:\\Games\\\\lic.txt=F",   // destination typed with a trailing one
        "C:\\Menu\\Programs\\=D",                    // empty group name
        "C:\\Menu\\Programs\\\\Кворвель 2.0.lnk=F",
        "\\\\server\\share\\Кворвель=D",             // redirected folder on a share
        "E:/Games/QuorVel V2.0/Dates.dat=F",         // typed with forward slashes
        "C:\\a=b\\x.txt=F",                          // '=' inside a path: the kind follows the last
        "C:\\dir.\\name with spaces.txt=F",
    }));
    ASSERT_TRUE(r.ok() && r.rejected.empty() && r.namingNothing.empty());
    ASSERT_EQ(r.lines.size(), 10u);
    EXPECT_EQ(r.lines[1].path, "C:\\QuorVel.exe");
    EXPECT_EQ(r.lines[4].path, "C:\\Menu\\Programs");
    EXPECT_EQ(r.lines[8].path, "C:\\a=b\\x.txt");
    EXPECT_EQ(r.lines[8].kind, LogKind::File);
}

TEST(UninstallLog, RefusesWholeOnlyAFileWithoutAUsableLine) {
    const std::pair<std::string, LogFault> cases[] = {
        {"", LogFault::Empty},
        {std::string(kMaxLogBytes + 1, 'x'), LogFault::TooLarge},
        {"\x01\xfe garbage \x7f", LogFault::NothingUsable},            // one line, cut short
        {Crlf({"QuorVel\\a.dat=F", "C:\\a*b=D"}), LogFault::NothingUsable},  // nothing usable
    };
    for (const auto& [bytes, fault] : cases) {
        const LogReading r = ReadUninstallLog(bytes);
        EXPECT_EQ(r.fault, fault) << bytes;
        EXPECT_TRUE(r.lines.empty()) << bytes;
    }
}

// Each line between two good ones: used (with its path resolved), set
// aside and reported, or done because it names nothing that can exist.
TEST(UninstallLog, ReadsLineByLine) {
    struct Case {
        std::string line;        // without its line end
        std::string usedAs;      // the resolved path when used
        LogFault fault;          // else why not
    };
    const Case cases[] = {
        {"C:\\Menu\\Programs\\..=D", "C:\\Menu", LogFault::None},  // a group named ".."
        {"C:\\Menu\\Programs\\..\\Кворвель 2.0.lnk=F", "C:\\Menu\\Кворвель 2.0.lnk", LogFault::None},
        {"C:\\Q\\..\\..\\..\\Windows\\win.ini=F", "C:\\Windows\\win.ini", LogFault::None},  // never above the root
        {"C:\\Q\\.\\a.dat=F", "C:\\Q\\a.dat", LogFault::None},
        {"C:\\a*b\\..\\x.dat=F", "C:\\x.dat", LogFault::None},  // resolved before the names are judged
        {"\\\\srv\\share\\..\\x=D", "\\\\srv\\share\\x", LogFault::None},
        {"C:\\P\\Кворвель \"Справочник\"=D", "", LogFault::NoSuchName},
        {"C:\\P\\a:b\\Кворвель 2.0.lnk=F", "", LogFault::NoSuchName},
        {"C:\\Q\\*.dat=F", "", LogFault::NoSuchName},
        {"C:\\Q\\nul.txt=F", "", LogFault::NoSuchName},
        {"", "", LogFault::NoKind},
        {"C:\\Q\\b.dat", "", LogFault::NoKind},
        {"C:\\Q\\b.dat= F", "", LogFault::NoKind},
        {"C:\\Q\\b.dat\r=F", "", LogFault::StrayBreak},
        {std::string("C:\\Q\\b\0.dat=F", 13), "", LogFault::BadCharacter},
        {"=F", "", LogFault::BadPath},
        {"QuorVel V2.0\\Dates.dat=F", "", LogFault::BadPath},
        {"\\QuorVel V2.0\\Dates.dat=F", "", LogFault::BadPath},
        {"C:QuorVel\\Dates.dat=F", "", LogFault::BadPath},
        {"C:\\Q\\...\\a.dat=F", "", LogFault::BadPath},
        {"\\\\?\\C:\\Q\\a.dat=F", "", LogFault::BadPath},
        {"\\\\.\\PhysicalDrive0=F", "", LogFault::BadPath},
        {"\\\\server=D", "", LogFault::BadPath},
        {"C:\\Q\\=F", "", LogFault::BadPath},  // a file line naming a folder
        {"C:\\Q\\..=F", "", LogFault::BadPath},
    };
    for (const Case& c : cases) {
        const LogReading r = ReadUninstallLog(Crlf({"C:\\Q\\a.dat=F", c.line, "C:\\Q\\z.dat=F"}));
        ASSERT_TRUE(r.ok()) << c.line;
        const std::vector<SetAsideLine>& setAside = c.fault == LogFault::NoSuchName ? r.namingNothing : r.rejected;
        if (c.fault == LogFault::None) {
            ASSERT_EQ(r.lines.size(), 3u) << c.line;
            EXPECT_EQ(r.lines[1].path, c.usedAs);
            EXPECT_TRUE(r.rejected.empty() && r.namingNothing.empty()) << c.line;
        } else {
            ASSERT_EQ(r.lines.size(), 2u) << c.line;
            ASSERT_EQ(setAside.size(), 1u) << c.line;
            EXPECT_EQ(setAside[0].number, 2u);
            EXPECT_EQ(setAside[0].fault, c.fault) << c.line;
            EXPECT_EQ(setAside[0].text.size(), c.line.size()) << c.line;
        }
    }
}

TEST(UninstallLog, UsesTheCompleteLinesOfALogCutShort) {
    const std::string whole = FullLog();
    const LogReading r = ReadUninstallLog(whole.substr(0, whole.size() - 7));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.lines.size(), 24u);
    ASSERT_EQ(r.rejected.size(), 1u);
    EXPECT_EQ(r.rejected[0].number, 25u);
    EXPECT_EQ(r.rejected[0].fault, LogFault::Unterminated);
    EXPECT_EQ(r.rejected[0].text, std::string(kDest) + "\\UnInstall.");
    // The log whose own line was cut still goes.
    EXPECT_EQ(PlanRemoval(r.lines, FullContext()).logFile, std::string(kDest) + "\\UnInstall.dat");
    // Line ends changed to LF alone still end lines.
    EXPECT_EQ(ReadUninstallLog("C:\\Q\\a.dat=F\nC:\\Q=D\n").lines.size(), 2u);
}

TEST(UninstallPaths, NormaliseCompareAndTakeApart) {
    EXPECT_EQ(NormalizePath("C:\\\\QuorVel.exe"), "C:\\QuorVel.exe");
    EXPECT_EQ(NormalizePath("D:/Games//x\\"), "D:\\Games\\x");
    EXPECT_EQ(NormalizePath("C:\\"), "C:\\");
    EXPECT_EQ(NormalizePath("\\\\srv\\share\\\\a\\"), "\\\\srv\\share\\a");
    EXPECT_TRUE(SamePath("c:\\program files\\кворвель", "C:\\Program Files\\\\КВОРВЕЛЬ\\"));
    EXPECT_FALSE(SamePath("C:\\a\\b", "C:\\a\\bc"));

    EXPECT_TRUE(IsInside("C:\\a\\b\\c.txt", "C:\\A"));
    EXPECT_TRUE(IsInside("C:\\\\x.exe", "C:\\"));
    EXPECT_FALSE(IsInside("C:\\ab\\c.txt", "C:\\a"));
    EXPECT_FALSE(IsInside("C:\\a", "C:\\a\\"));

    EXPECT_EQ(PathDepth("C:\\"), 0u);
    EXPECT_EQ(PathDepth("C:\\a\\\\b\\"), 2u);
    EXPECT_TRUE(IsRootPath("\\\\srv\\share\\"));
    EXPECT_FALSE(IsRootPath("C:\\a"));
    EXPECT_EQ(LastName("C:\\a\\\\UnInstall.exe"), "UnInstall.exe");
    EXPECT_EQ(ParentPath("C:\\a\\\\UnInstall.exe"), "C:\\a");
    EXPECT_EQ(ParentPath("C:\\\\x.exe"), "C:\\");
}

TEST(UninstallPlan, OrdersAnInstallationForRemoval) {
    const RemovalPlan plan = PlanRemoval(ReadUninstallLog(FullLog()).lines, FullContext());
    // 16 entries + lic.txt + 3 group shortcuts + desktop + Peoples.clm, less
    // the program itself (the log is not among the files): both go last;
    // less the user's data, which is asked about.
    ASSERT_EQ(plan.files.size(), 19u);
    const std::vector<std::string> data = {std::string(kDest) + "\\Group.txt", std::string(kDest) + "\\People.dat"};
    EXPECT_EQ(plan.userData, data);
    EXPECT_EQ(plan.tempFile, std::string(kDest) + "\\tmp.zip");
    EXPECT_EQ(plan.files.front(), std::string(kDest) + "\\Quorvel.exe");
    EXPECT_EQ(plan.files.back(), std::string(kDest) + "\\Peoples.clm");
    for (const std::string& f : plan.files) {
        EXPECT_EQ(LastName(f).find("UnInstall."), std::string::npos) << f;
    }
    EXPECT_EQ(plan.folders, std::vector<std::string>{kGroup});
    EXPECT_EQ(plan.logFile, std::string(kDest) + "\\UnInstall.dat");
    EXPECT_EQ(plan.self, std::string(kDest) + "\\UnInstall.exe");
    EXPECT_EQ(plan.selfFolders, std::vector<std::string>{kDest});
}

TEST(UninstallPlan, NeverPlansRootsOrProtectedFoldersAndListsEachPathOnce) {
    PlanContext c = FullContext();
    const RemovalPlan plan = PlanRemoval(
        ReadUninstallLog(Crlf({"C:\\=D", "C:\\Menu\\Programs\\=D", "c:\\desktop=D", "C:\\A=D",
                               "C:\\A\\B\\C=D", "C:\\A\\B=D", "C:\\a\\\\b=D", "C:\\A\\x=F",
                               "c:\\a\\X=F", "C:\\A\\x=D"}))
            .lines,
        c);
    EXPECT_EQ(plan.files, std::vector<std::string>{"C:\\A\\x"});
    // Deepest first; of two folders equally deep the log's order holds.
    const std::vector<std::string> folders = {"C:\\A\\B\\C", "C:\\A\\B", "C:\\A\\x", "C:\\A"};
    EXPECT_EQ(plan.folders, folders);
    EXPECT_TRUE(plan.self.empty());
    EXPECT_TRUE(plan.selfFolders.empty());
}

TEST(UninstallPlan, RecognisesItselfThroughTheCanonicalForm) {
    PlanContext c;
    c.selfPath = "C:\\PROGRA~1\\QUORVE~1\\UNINST~1.EXE";
    c.logPath = "C:\\PROGRA~1\\QUORVE~1\\UnInstall.dat";
    c.canonical = [](const std::string& p) {
        std::string out = p;
        const std::pair<std::string, std::string> shortNames[] = {
            {"PROGRA~1", "Program Files"}, {"QUORVE~1", "QuorVel V2.0"}, {"UNINST~1.EXE", "UnInstall.exe"}};
        for (const auto& [from, to] : shortNames) {
            const size_t at = out.find(from);
            if (at != std::string::npos) out.replace(at, from.size(), to);
        }
        return out;
    };
    const RemovalPlan plan = PlanRemoval(
        ReadUninstallLog(Crlf({std::string(kDest) + "=D", std::string(kDest) + "\\UnInstall.exe=F",
                               std::string(kDest) + "\\UnInstall.dat=F"}))
            .lines,
        c);
    EXPECT_TRUE(plan.files.empty());
    EXPECT_EQ(plan.self, std::string(kDest) + "\\UnInstall.exe");
    EXPECT_EQ(plan.logFile, std::string(kDest) + "\\UnInstall.dat");
    EXPECT_EQ(plan.selfFolders, std::vector<std::string>{kDest});
}

// A small file system in memory, with a registry key, recording what is done.
class FakeSystem : public RemovalSystem {
public:
    void AddFile(const std::string& p) { Add(p, PathState::File); }
    void AddFolder(const std::string& p) { Add(p, PathState::Folder); }
    void AddShortcut(const std::string& p, const std::string& target) {
        AddFile(p);
        targets_[Key(p)] = target;
    }
    void Lock(const std::string& p) { locked_.insert(Key(p)); }
    // Held by a running program for the next `probes` looks.
    void Hold(const std::string& p, int probes) { held_[Key(p)] = probes; }
    bool Exists(const std::string& p) const { return entries_.count(Key(p)) != 0; }

    PathState Inspect(const std::string& path) override {
        auto it = entries_.find(Key(path));
        return it == entries_.end() ? PathState::Missing : it->second.state;
    }
    unsigned long RemoveFile(const std::string& path) override {
        ops.push_back("file " + NormalizePath(path));
        if (locked_.count(Key(path)) || held_[Key(path)] > 0 || Inspect(path) != PathState::File) return 5;
        entries_.erase(Key(path));
        return 0;
    }
    unsigned long RemoveEmptyFolder(const std::string& path) override {
        ops.push_back("folder " + NormalizePath(path));
        if (Inspect(path) != PathState::Folder || !ListFolder(path).empty()) return 145;
        entries_.erase(Key(path));
        return 0;
    }
    std::vector<std::string> ListFolder(const std::string& path) override {
        std::vector<std::string> names;
        for (const auto& [key, entry] : entries_) {
            if (SamePath(ParentPath(entry.path), path) && !IsRootPath(entry.path)) {
                names.push_back(LastName(entry.path));
            }
        }
        return names;
    }
    std::optional<std::string> ShortcutTarget(const std::string& path) override {
        auto it = targets_.find(Key(path));
        if (it == targets_.end()) return std::nullopt;
        return it->second;
    }
    bool InUse(const std::string& path) override {
        auto it = held_.find(Key(path));
        return it != held_.end() && it->second-- > 0;
    }
    std::optional<Registration> ReadRegistration() override { return key; }
    unsigned long RemoveUninstallKey() override {
        ops.push_back("key");
        if (keyLocked) return 5;
        key.reset();
        return 0;
    }
    std::string ErrorText(unsigned long code) override { return "(" + std::to_string(code) + ")"; }

    std::vector<std::string> ops;
    std::optional<Registration> key;
    bool keyLocked = false;

private:
    struct Entry {
        std::string path;
        PathState state;
    };
    static std::string Key(const std::string& p) {
        std::string k = NormalizePath(p);
        for (char& c : k) c = LowerCp1251(c);
        return k;
    }
    void Add(const std::string& p, PathState s) { entries_[Key(p)] = {NormalizePath(p), s}; }
    std::map<std::string, Entry> entries_;
    std::map<std::string, std::string> targets_;
    std::map<std::string, int> held_;
    std::set<std::string> locked_;
};

// Answers as configured and remembers what was asked.
struct FakeQuestions : RemovalQuestions {
    bool removeData = true;
    int retries = 0;  // Retry this many times, then Cancel
    std::vector<std::vector<std::string>> askedData, askedInUse;
    bool RemoveUserData(const std::vector<std::string>& files) override {
        askedData.push_back(files);
        return removeData;
    }
    bool RetryInUse(const std::vector<std::string>& files) override {
        askedInUse.push_back(files);
        return retries-- > 0;
    }
};

// Everything a complete installation left behind, as listed in FullLog();
// its shortcuts point into the destination.
void Install(FakeSystem& fs) {
    fs.AddFolder("C:\\Program Files");
    fs.AddFolder("C:\\Menu\\Programs");
    fs.AddFolder("C:\\Desktop");
    for (const LogLine& l : ReadUninstallLog(FullLog()).lines) {
        if (LastName(l.path) == "Peoples.clm") continue;  // never made by the installer
        if (l.kind == LogKind::Folder) {
            fs.AddFolder(l.path);
        } else if (l.path.size() > 4 && l.path.substr(l.path.size() - 4) == ".lnk") {
            fs.AddShortcut(l.path, std::string(kDest) + "\\QuorVel.exe");
        } else {
            fs.AddFile(l.path);
        }
    }
    fs.key = Registration{"\"" + std::string(kDest) + "\\UnInstall.exe\"", {}};
}

RemovalOutcome Uninstall(FakeSystem& fs, FakeQuestions& questions, const std::string& log = FullLog()) {
    const PlanContext c = FullContext();
    NoRunLog runLog;
    return RemoveInstallation(ReadUninstallLog(log).lines, c, fs, questions, runLog);
}

RemovalOutcome Uninstall(FakeSystem& fs, const std::string& log = FullLog()) {
    FakeQuestions questions;
    return Uninstall(fs, questions, log);
}

TEST(UninstallRemoval, RemovesAWholeInstallationInOrder) {
    FakeSystem fs;
    Install(fs);
    fs.AddFile(std::string(kDest) + "\\tmp.zip");  // left by an abandoned installation
    const RemovalOutcome out = Uninstall(fs);

    EXPECT_TRUE(out.notRemoved.empty());
    EXPECT_TRUE(out.keptFolders.empty());
    EXPECT_FALSE(out.keyKept);
    EXPECT_FALSE(fs.key.has_value());
    EXPECT_EQ(out.self, std::string(kDest) + "\\UnInstall.exe");
    EXPECT_EQ(out.selfFolders, std::vector<std::string>{kDest});
    // Only the program and its folder are left for after the program ends.
    EXPECT_EQ(fs.ListFolder(kDest), std::vector<std::string>{"UnInstall.exe"});
    EXPECT_FALSE(fs.Exists(kGroup));
    EXPECT_FALSE(fs.Exists("C:\\Desktop\\Кворвель 2.0.lnk"));
    EXPECT_TRUE(fs.Exists("C:\\Menu\\Programs"));
    EXPECT_TRUE(fs.Exists("C:\\Desktop"));

    // Files (the user's data, asked about, and the temporary file last),
    // then folders, then the key, then the log.
    ASSERT_EQ(fs.ops.size(), 24u);  // 18 files found, 2 data files, tmp.zip, the group, the key, the log
    EXPECT_EQ(fs.ops[17], "file C:\\Desktop\\Кворвель 2.0.lnk");
    EXPECT_EQ(fs.ops[20], "file " + std::string(kDest) + "\\tmp.zip");
    EXPECT_EQ(fs.ops[21], "folder " + std::string(kGroup));
    EXPECT_EQ(fs.ops[22], "key");
    EXPECT_EQ(fs.ops[23], "file " + std::string(kDest) + "\\UnInstall.dat");
    EXPECT_EQ(RemovalExitCode(LogReading{}, out), 0);
}

TEST(UninstallRemoval, KeepsWhatIsNotOursAndSaysWhy) {
    FakeSystem fs;
    Install(fs);
    fs.AddFile(std::string(kDest) + "\\мои заметки.txt");
    // A later installation into C:\Y with the same group took the group's
    // shortcuts and the desktop one.
    for (const char* name : {"\\Кворвель 2.0.lnk", "\\Справка по Кворвель 2.0.lnk"}) {
        fs.AddShortcut(kGroup + std::string(name), "C:\\Y\\QuorVel.exe");
    }
    fs.AddShortcut("C:\\Desktop\\Кворвель 2.0.lnk", "C:\\Y\\QuorVel.exe");
    FakeQuestions questions;
    questions.removeData = false;
    const RemovalOutcome out = Uninstall(fs, questions);

    const std::vector<std::string> data = {std::string(kDest) + "\\Group.txt", std::string(kDest) + "\\People.dat"};
    ASSERT_EQ(questions.askedData, std::vector<std::vector<std::string>>{data});
    EXPECT_EQ(out.keptData, data);
    for (const std::string& file : data) EXPECT_TRUE(fs.Exists(file));
    EXPECT_TRUE(fs.Exists(std::string(kDest) + "\\мои заметки.txt"));
    EXPECT_TRUE(fs.Exists("C:\\Desktop\\Кворвель 2.0.lnk"));
    EXPECT_FALSE(fs.Exists(std::string(kGroup) + "\\Удалить Кворвель 2.0.lnk"));  // still points here

    // Kept on purpose, not failures: the removal succeeded.
    EXPECT_TRUE(out.notRemoved.empty());
    ASSERT_EQ(out.keptFolders.size(), 2u);
    EXPECT_EQ(out.keptFolders[0].path, kGroup);
    EXPECT_EQ(out.keptFolders[0].reasons, unsigned{kKeptOtherShortcuts});
    EXPECT_EQ(out.keptFolders[1].path, kDest);
    EXPECT_EQ(out.keptFolders[1].reasons, unsigned{kKeptUserFiles | kKeptUserData});
    EXPECT_TRUE(out.selfFolders.empty());
    EXPECT_EQ(RemovalExitCode(LogReading{}, out), 0);
}

TEST(UninstallRemoval, ReportsWhatFailsAndSkipsWhatIsGone) {
    FakeSystem fs;
    Install(fs);
    const std::string locked = std::string(kDest) + "\\Dates.dat";
    const std::string nowFolder = std::string(kDest) + "\\lic.txt";
    fs.Lock(locked);
    fs.RemoveFile(nowFolder);
    fs.AddFolder(nowFolder);
    fs.RemoveFile("C:\\Desktop\\Кворвель 2.0.lnk");  // the user deleted the shortcut
    fs.keyLocked = true;
    fs.ops.clear();

    const RemovalOutcome out = Uninstall(fs);
    // The destination stays only because of those: it is not named again.
    const std::vector<std::string> kept = {locked, nowFolder};
    EXPECT_EQ(out.notRemoved, kept);
    EXPECT_TRUE(out.keptFolders.empty());
    EXPECT_TRUE(out.keyKept);
    EXPECT_TRUE(fs.Exists(locked));
    EXPECT_EQ(std::count(fs.ops.begin(), fs.ops.end(), "file C:\\Desktop\\Кворвель 2.0.lnk"), 0);
    EXPECT_EQ(RemovalExitCode(LogReading{}, out), 2);
    // A log line that could not be used: something may be left.
    EXPECT_EQ(RemovalExitCode(ReadUninstallLog("x=F\r\nC:\\A=D\r\n"), RemovalOutcome{}), 2);
}

TEST(UninstallRemoval, RemovesNothingWhileAFileIsInUse) {
    FakeSystem fs;
    Install(fs);
    const std::string program = std::string(kDest) + "\\Quorvel.exe";
    fs.Hold(program, 2);
    FakeQuestions questions;
    const RemovalOutcome out = Uninstall(fs, questions);
    EXPECT_TRUE(out.cancelled);
    EXPECT_EQ(out.inUse, std::vector<std::string>{program});
    EXPECT_EQ(questions.askedInUse.size(), 1u);
    EXPECT_TRUE(fs.ops.empty());
    EXPECT_TRUE(fs.key.has_value());
    EXPECT_EQ(RemovalExitCode(LogReading{}, out), 2);

    // Closed after the second look: Retry goes on with the removal.
    questions.retries = 1;
    const RemovalOutcome again = Uninstall(fs, questions);
    EXPECT_FALSE(again.cancelled);
    EXPECT_EQ(questions.askedInUse.size(), 2u);
    EXPECT_FALSE(fs.Exists(program));
}

// A name Windows refuses names nothing there; a file system that took it
// (as the one under Wine takes "a:b") has it, and then the line is used.
TEST(UninstallRemoval, UsesALineOfAnOddNameOnlyWhenItIsThere) {
    LogReading r = ReadUninstallLog(
        Crlf({"C:\\Q\\a.dat=F", "C:\\P\\a:b=D", "C:\\P\\a*b=D", "C:\\P\\a:b\\..\\c:d\\x.lnk=F", "C:\\Q\\nul=F"}));
    FakeSystem system;
    system.AddFolder("C:\\P\\a:b");
    system.AddFile("C:\\P\\c:d\\x.lnk");
    UseOddNamesThatExist(r, system);
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_EQ(r.lines[1].path, "C:\\P\\a:b");
    EXPECT_EQ(r.lines[2].path, "C:\\P\\c:d\\x.lnk");
    ASSERT_EQ(r.namingNothing.size(), 2u);  // a*b, and the device
    EXPECT_EQ(r.namingNothing[0].number, 3u);
    EXPECT_EQ(r.namingNothing[1].number, 5u);
}

TEST(UninstallRemoval, KeepsTheRegistrationOfAnotherInstallation) {
    FakeSystem fs;
    Install(fs);
    fs.key = Registration{"D:\\Elsewhere\\UnInstall.exe", {"D:\\Elsewhere"}};
    fs.AddFolder("D:\\Elsewhere");
    const RemovalOutcome out = Uninstall(fs);
    EXPECT_EQ(fs.key->uninstallString, "D:\\Elsewhere\\UnInstall.exe");
    EXPECT_FALSE(out.keyKept);
    EXPECT_EQ(std::count(fs.ops.begin(), fs.ops.end(), "key"), 0);
    EXPECT_TRUE(fs.Exists("D:\\Elsewhere"));  // its created folders are not ours either

    EXPECT_TRUE(UninstallKeyIsOurs("", "C:\\Q\\UnInstall.exe", nullptr));
    EXPECT_TRUE(UninstallKeyIsOurs(" \"c:\\q\\\\uninstall.exe\" ", "C:\\Q\\UnInstall.exe", nullptr));
    EXPECT_FALSE(UninstallKeyIsOurs("C:\\Q2\\UnInstall.exe", "C:\\Q\\UnInstall.exe", nullptr));
}

TEST(UninstallRemoval, RemovesTheCreatedLevelsThatAreEmpty) {
    FakeSystem fs;
    Install(fs);
    fs.AddFolder("C:\\Menu");
    fs.AddFolder("D:\\x");
    fs.key->createdFolders = {"C:\\Menu", "C:\\Program Files", kDest, "C:\\Menu\\Programs", kGroup, "C:\\", "D:\\x"};
    const RemovalOutcome out = Uninstall(fs);
    EXPECT_TRUE(out.notRemoved.empty() && out.keptFolders.empty());
    EXPECT_FALSE(fs.Exists("D:\\x"));
    EXPECT_TRUE(fs.Exists("C:\\Menu"));            // not empty: kept silently
    EXPECT_TRUE(fs.Exists("C:\\Menu\\Programs"));  // protected
    // The levels holding the program go with it, deepest first.
    EXPECT_EQ(out.selfFolders, (std::vector<std::string>{kDest, "C:\\Program Files"}));
}

TEST(UninstallRemoval, EmptiesNestedFoldersDeepestFirst) {
    FakeSystem fs;
    fs.AddFolder("C:\\A");
    fs.AddFolder("C:\\A\\B");
    fs.AddFolder("C:\\A\\B\\C");
    fs.AddFile("C:\\A\\B\\C\\x.dat");
    fs.AddFolder(kDest);
    fs.AddFile(std::string(kDest) + "\\UnInstall.exe");
    const RemovalOutcome out = Uninstall(
        fs, Crlf({"C:\\A=D", "C:\\A\\B=D", "C:\\A\\B\\C=D", "C:\\A\\B\\C\\x.dat=F"}));
    EXPECT_TRUE(out.notRemoved.empty());
    EXPECT_FALSE(fs.Exists("C:\\A"));
    // The program is not listed here, so it stays where it is.
    EXPECT_TRUE(out.self.empty());
}

TEST(UninstallFinish, CommandLineRoundTrip) {
    FinishRequest r;
    r.processHandle = 4294967295ul;
    r.self = "C:\\Program Files\\Кворвель\\UnInstall.exe";
    r.folders = {"C:\\Program Files\\Кворвель"};
    const std::string line = "\"C:\\Temp dir\\qvu1A.tmp\" " + FormatFinishArguments(r);
    const std::optional<FinishRequest> back = ParseFinishCommandLine(line);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->processHandle, r.processHandle);
    EXPECT_EQ(back->self, r.self);
    EXPECT_EQ(back->folders, r.folders);
}

TEST(UninstallFinish, RefusesAnythingButAWellFormedRequest) {
    const char* const lines[] = {
        "UnInstall.exe",
        "UnInstall.exe /FINISH 12 \"C:\\Q\\UnInstall.exe\"",
        "UnInstall.exe /finish \"C:\\Q\\UnInstall.exe\"",
        "UnInstall.exe /finish 0 \"C:\\Q\\UnInstall.exe\"",
        "UnInstall.exe /finish 12x \"C:\\Q\\UnInstall.exe\"",
        "UnInstall.exe /finish 4294967296 \"C:\\Q\\UnInstall.exe\"",
        "UnInstall.exe /finish 12",
        "UnInstall.exe /finish 12 \"C:\\Q\\Important.doc\"",
        "UnInstall.exe /finish 12 \"Q\\UnInstall.exe\"",
        "UnInstall.exe /finish 12 \"C:\\Q\\..\\UnInstall.exe\"",
        "UnInstall.exe /finish 12 \"C:\\Q\\UnInstall.exe",
        "UnInstall.exe /finish 12 \"C:\\Q\\UnInstall.exe\" \"C:\\Other\"",
        "UnInstall.exe /finish 12 \"C:\\Q\\UnInstall.exe\" \"C:\\Q\"x",
    };
    for (const char* line : lines) {
        EXPECT_FALSE(ParseFinishCommandLine(line).has_value()) << line;
    }
    EXPECT_TRUE(ParseFinishCommandLine("u.tmp /finish 12 C:\\Q\\uninstall.exe C:\\Q").has_value());
}

}  // namespace
}  // namespace qv
