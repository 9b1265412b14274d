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
        EXPECT_EQ(r.lines[i].path + (r.lines[i].kind == LogKind::File ? "=F" : "=D"), written.Line(i));
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
    ASSERT_TRUE(r.ok()) << static_cast<int>(r.fault) << " at " << r.faultLine;
    ASSERT_EQ(r.lines.size(), 10u);
    EXPECT_EQ(r.lines[1].path, "C:\\\\QuorVel.exe");
    EXPECT_EQ(r.lines[8].path, "C:\\a=b\\x.txt");
    EXPECT_EQ(r.lines[8].kind, LogKind::File);
}

TEST(UninstallLog, RefusesADamagedFileWhole) {
    struct Case {
        std::string bytes;
        LogFault fault;
        size_t line;
    };
    const std::string good = "C:\\Q\\a.dat=F\r\n";
    const Case cases[] = {
        {"", LogFault::Empty, 0},
        {good + "C:\\Q\\b.dat=F", LogFault::Unterminated, 2},
        {good + "C:\\Q\\b.dat=F\r", LogFault::Unterminated, 2},
        {"C:\\Q\\a.dat=F\nC:\\Q\\b.dat=F\n", LogFault::StrayBreak, 1},
        {good + "C:\\Q\\b.dat\r=F\r\n", LogFault::StrayBreak, 2},
        {good + std::string("C:\\Q\\b\0.dat=F\r\n", 15), LogFault::BadCharacter, 2},
        {good + "\r\n", LogFault::NoKind, 2},
        {good + "C:\\Q\\b.dat\r\n", LogFault::NoKind, 2},
        {good + "C:\\Q\\b.dat=f\r\n", LogFault::NoKind, 2},
        {good + "C:\\Q\\b.dat=FD\r\n", LogFault::NoKind, 2},
        {good + "C:\\Q\\b.dat= F\r\n", LogFault::NoKind, 2},
        {good + "=F\r\n", LogFault::BadPath, 2},
        {good + "=D\r\n", LogFault::BadPath, 2},
        {good + "QuorVel V2.0\\Dates.dat=F\r\n", LogFault::BadPath, 2},
        {good + "\\QuorVel V2.0\\Dates.dat=F\r\n", LogFault::BadPath, 2},
        {good + "C:QuorVel\\Dates.dat=F\r\n", LogFault::BadPath, 2},
        {good + "C:\\Q\\..\\..\\Windows\\win.ini=F\r\n", LogFault::BadPath, 2},
        {good + "C:\\Q\\.\\a.dat=F\r\n", LogFault::BadPath, 2},
        {good + "C:\\Q\\...\\a.dat=F\r\n", LogFault::BadPath, 2},
        {good + "C:\\Q\\a.dat:stream=F\r\n", LogFault::BadPath, 2},
        {good + "C:\\Q\\*.dat=F\r\n", LogFault::BadPath, 2},
        {good + "C:\\Q\\nul.txt=F\r\n", LogFault::BadPath, 2},
        {good + "C:\\Q\\COM1=D\r\n", LogFault::BadPath, 2},
        {good + "\\\\?\\C:\\Q\\a.dat=F\r\n", LogFault::BadPath, 2},
        {good + "\\\\.\\PhysicalDrive0=F\r\n", LogFault::BadPath, 2},
        {good + "\\\\server=D\r\n", LogFault::BadPath, 2},
        {good + "C:\\Q\\=F\r\n", LogFault::BadPath, 2},  // a file line naming a folder
        {good + "C:\\=F\r\n", LogFault::BadPath, 2},
        {good + "1:\\Q=D\r\n", LogFault::BadPath, 2},
        {std::string(kMaxLogBytes + 1, 'x'), LogFault::TooLarge, 0},
    };
    for (const Case& c : cases) {
        const LogReading r = ReadUninstallLog(c.bytes);
        EXPECT_EQ(r.fault, c.fault) << c.bytes;
        EXPECT_EQ(r.faultLine, c.line) << c.bytes;
        EXPECT_TRUE(r.lines.empty()) << c.bytes;
    }
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
    // the program itself (the log is not among the files): both go last.
    ASSERT_EQ(plan.files.size(), 21u);
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
    void Lock(const std::string& p) { locked_.insert(Key(p)); }
    bool Exists(const std::string& p) const { return entries_.count(Key(p)) != 0; }

    PathState Inspect(const std::string& path) override {
        auto it = entries_.find(Key(path));
        return it == entries_.end() ? PathState::Missing : it->second.state;
    }
    bool RemoveFile(const std::string& path) override {
        ops.push_back("file " + NormalizePath(path));
        if (locked_.count(Key(path)) || Inspect(path) != PathState::File) return false;
        entries_.erase(Key(path));
        return true;
    }
    bool RemoveEmptyFolder(const std::string& path) override {
        ops.push_back("folder " + NormalizePath(path));
        if (Inspect(path) != PathState::Folder || !ListFolder(path).empty()) return false;
        entries_.erase(Key(path));
        return true;
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
    std::optional<std::string> ReadUninstallKey() override { return key; }
    bool RemoveUninstallKey() override {
        ops.push_back("key");
        if (keyLocked) return false;
        key.reset();
        return true;
    }

    std::vector<std::string> ops;
    std::optional<std::string> key;
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
    std::set<std::string> locked_;
};

// Everything a complete installation left behind, as listed in FullLog().
void Install(FakeSystem& fs) {
    fs.AddFolder("C:\\Program Files");
    fs.AddFolder("C:\\Menu\\Programs");
    fs.AddFolder("C:\\Desktop");
    for (const LogLine& l : ReadUninstallLog(FullLog()).lines) {
        if (LastName(l.path) == "Peoples.clm") continue;  // never made by the installer
        (l.kind == LogKind::File ? fs.AddFile(l.path) : fs.AddFolder(l.path));
    }
    fs.key = std::string(kDest) + "\\UnInstall.exe";
}

RemovalOutcome Uninstall(FakeSystem& fs, const std::string& log = FullLog()) {
    const PlanContext c = FullContext();
    return CarryOutRemoval(PlanRemoval(ReadUninstallLog(log).lines, c), c, fs);
}

TEST(UninstallRemoval, RemovesAWholeInstallationInOrder) {
    FakeSystem fs;
    Install(fs);
    const RemovalOutcome out = Uninstall(fs);

    EXPECT_TRUE(out.notRemoved.empty());
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

    // Files, then folders, then the key, then the log.
    ASSERT_EQ(fs.ops.size(), 23u);  // 20 files found, the group, the key, the log
    EXPECT_EQ(fs.ops[19], "file C:\\Desktop\\Кворвель 2.0.lnk");
    EXPECT_EQ(fs.ops[20], "folder " + std::string(kGroup));
    EXPECT_EQ(fs.ops[21], "key");
    EXPECT_EQ(fs.ops[22], "file " + std::string(kDest) + "\\UnInstall.dat");
}

TEST(UninstallRemoval, LeavesWhatTheUserAddedAndSaysSo) {
    FakeSystem fs;
    Install(fs);
    fs.AddFile(std::string(kDest) + "\\мои заметки.txt");
    fs.AddFolder(std::string(kGroup) + "\\Своё");
    const RemovalOutcome out = Uninstall(fs);

    EXPECT_TRUE(fs.Exists(std::string(kDest) + "\\мои заметки.txt"));
    EXPECT_TRUE(fs.Exists(std::string(kGroup) + "\\Своё"));
    const std::vector<std::string> kept = {kGroup, kDest};
    EXPECT_EQ(out.notRemoved, kept);
    // The program still goes, but its folder is not handed over for removal.
    EXPECT_EQ(out.self, std::string(kDest) + "\\UnInstall.exe");
    EXPECT_TRUE(out.selfFolders.empty());
    EXPECT_FALSE(fs.key.has_value());
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
    const std::vector<std::string> kept = {locked, nowFolder, kDest};
    EXPECT_EQ(out.notRemoved, kept);
    EXPECT_TRUE(out.keyKept);
    EXPECT_TRUE(fs.Exists(locked));
    EXPECT_EQ(std::count(fs.ops.begin(), fs.ops.end(), "file C:\\Desktop\\Кворвель 2.0.lnk"), 0);
}

TEST(UninstallRemoval, KeepsTheRegistrationOfAnotherInstallation) {
    FakeSystem fs;
    Install(fs);
    fs.key = "D:\\Elsewhere\\UnInstall.exe";
    const RemovalOutcome out = Uninstall(fs);
    EXPECT_EQ(fs.key, "D:\\Elsewhere\\UnInstall.exe");
    EXPECT_FALSE(out.keyKept);
    EXPECT_EQ(std::count(fs.ops.begin(), fs.ops.end(), "key"), 0);

    EXPECT_TRUE(UninstallKeyIsOurs("", "C:\\Q\\UnInstall.exe", nullptr));
    EXPECT_TRUE(UninstallKeyIsOurs(" \"c:\\q\\\\uninstall.exe\" ", "C:\\Q\\UnInstall.exe", nullptr));
    EXPECT_FALSE(UninstallKeyIsOurs("C:\\Q2\\UnInstall.exe", "C:\\Q\\UnInstall.exe", nullptr));
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
