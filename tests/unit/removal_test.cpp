#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "engine/removal.h"
#include "support/uninstall_logs.h"

namespace qv::test {
namespace {

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
    static std::string Key(const std::string& p) { return PathKey(p); }
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

Registration KeyOf(const std::string& uninstallString) {
    Registration key;
    key.uninstallString = uninstallString;
    return key;
}

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
    fs.key = KeyOf("\"" + std::string(kDest) + "\\UnInstall.exe\"");
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
    fs.ops.clear();

    const RemovalOutcome out = Uninstall(fs);
    // The destination stays only because of those: it is not named again.
    const std::vector<std::string> kept = {locked, nowFolder};
    EXPECT_EQ(out.notRemoved, kept);
    EXPECT_TRUE(out.keptFolders.empty());
    EXPECT_TRUE(out.keyKept);
    EXPECT_TRUE(fs.Exists(locked));
    // The product is not gone: its registration, log and uninstaller stay
    // for the removal to be run again.
    EXPECT_TRUE(out.keptForRetry);
    EXPECT_TRUE(fs.key.has_value());
    EXPECT_TRUE(fs.Exists(std::string(kDest) + "\\UnInstall.dat"));
    EXPECT_TRUE(out.self.empty());
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
    fs.key = KeyOf("D:\\Elsewhere\\UnInstall.exe");
    fs.key->createdFolders = {"D:\\Elsewhere"};
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

// A listed folder the installer did not create was there before it: it
// stays, even empty; a key without the list keeps the older rule.
TEST(UninstallRemoval, KeepsAListedFolderThatWasThereBeforeTheInstallation) {
    for (const bool lists : {true, false}) {
        FakeSystem fs;
        Install(fs);
        fs.key->createdFolders = {kGroup};
        fs.key->listsCreatedFolders = lists;
        const RemovalOutcome out = Uninstall(fs);
        EXPECT_TRUE(out.notRemoved.empty());
        EXPECT_FALSE(fs.Exists(kGroup));
        EXPECT_EQ(out.selfFolders.empty(), lists) << lists;
    }
}

TEST(UninstallRemoval, EmptiesNestedFoldersDeepestFirst) {
    FakeSystem fs;
    const std::string a = std::string(kDest) + "\\A";
    fs.AddFolder(a);
    fs.AddFolder(a + "\\B");
    fs.AddFolder(a + "\\B\\C");
    fs.AddFile(a + "\\B\\C\\x.dat");
    fs.AddFile(std::string(kDest) + "\\UnInstall.exe");
    const RemovalOutcome out =
        Uninstall(fs, Crlf({a + "=D", a + "\\B=D", a + "\\B\\C=D", a + "\\B\\C\\x.dat=F"}));
    EXPECT_TRUE(out.notRemoved.empty());
    EXPECT_FALSE(fs.Exists(a));
    // The program is not listed here, so it stays where it is.
    EXPECT_TRUE(out.self.empty());
}

// The key as the installer now writes it: it records the group, the
// desktop shortcut and the digest of the log it saved.
void Record(FakeSystem& fs, const std::string& savedDigest) {
    fs.key->group = kGroup;
    fs.key->desktopShortcut = "C:\\Desktop\\Кворвель 2.0.lnk";
    fs.key->logSha256 = savedDigest;
}

// Nothing of the installation is left but its folder's own (the program,
// removed after it ends) and what the test expects to stay.
void ExpectProductGone(FakeSystem& fs, const RemovalOutcome& out) {
    EXPECT_EQ(fs.ListFolder(kDest), std::vector<std::string>{"UnInstall.exe"});
    EXPECT_FALSE(fs.Exists(kGroup));
    EXPECT_FALSE(fs.Exists("C:\\Desktop\\Кворвель 2.0.lnk"));
    EXPECT_FALSE(fs.key.has_value());
    EXPECT_EQ(out.self, std::string(kDest) + "\\UnInstall.exe");
}

// Lines a user added to a log in a folder anyone may change: none is
// followed, whether the key keeps the saved log's digest (which then
// differs) or, an older installation's, none.
TEST(UninstallRemoval, NeverFollowsALineOutsideTheInstallation) {
    const std::string d = kDest;
    const struct {
        std::string line;
        std::string victim;  // what must stay
        Refusal why;
    } rows[] = {
        {"C:\\Other\\keep.txt=F", "C:\\Other\\keep.txt", Refusal::Outside},
        {"C:\\windows\\win.ini=F", "C:\\windows\\win.ini", Refusal::Outside},
        {"C:\\windows\\system32\\kernel32.dll=F", "C:\\windows\\system32\\kernel32.dll", Refusal::Outside},
        {"C:\\Users\\u\\Documents\\report.doc=F", "C:\\Users\\u\\Documents\\report.doc", Refusal::Outside},
        {d + "\\..\\..\\Other\\keep.txt=F", "C:\\Other\\keep.txt", Refusal::Outside},
        {"c:/Other/keep.txt=F", "C:\\Other\\keep.txt", Refusal::Outside},
        {"C:\\Other=D", "C:\\Other", Refusal::Outside},
        {std::string(kGroup) + "\\..\\Accessories\\Paint.lnk=F", "C:\\Menu\\Programs\\Accessories\\Paint.lnk",
         Refusal::Outside},
        {std::string(kGroup) + "\\notes.txt=F", std::string(kGroup) + "\\notes.txt", Refusal::Outside},
        {d + "\\mynotes.txt=F", d + "\\mynotes.txt", Refusal::NotProven},
    };
    for (const bool older : {false, true}) {
        for (const auto& row : rows) {
            if (older && row.why == Refusal::NotProven) continue;  // an older log names what it wrote
            SCOPED_TRACE(row.line + (older ? " (older key)" : ""));
            FakeSystem fs;
            Install(fs);
            if (!older) Record(fs, "5a7ed");
            fs.AddFile(row.victim);
            const RemovalOutcome out = Uninstall(fs, FullLog() + Crlf({row.line}));
            EXPECT_TRUE(fs.Exists(row.victim));
            ASSERT_EQ(out.refused.size(), 1u);
            EXPECT_EQ(out.refused[0].why, row.why);
            EXPECT_EQ(out.logTrust, older ? LogTrust::Unchecked : LogTrust::Changed);
            EXPECT_EQ(RemovalExitCode(LogReading{}, out), 2);
            EXPECT_FALSE(fs.Exists(d + "\\Quorvel.exe"));
            EXPECT_FALSE(fs.Exists(std::string(kGroup) + "\\Удалить Кворвель 2.0.lnk"));
        }
    }
}

// A log that is not the one saved (changed, cut short, or only foreign
// lines) or no log at all: the product goes all the same, by the names the
// contract and the key give, and nothing else does.
TEST(UninstallRemoval, RemovesTheProductByItsContractWhenTheLogCannotBeTrusted) {
    const std::string full = FullLog();
    const struct {
        const char* what;
        std::string log;
        bool lost;
    } rows[] = {
        {"only foreign lines", Crlf({"C:\\Other\\keep.txt=F"}), false},
        {"cut in half", full.substr(0, full.size() / 2), false},
        {"lost", std::string(), true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        FakeSystem fs;
        Install(fs);
        Record(fs, "5a7ed");
        fs.AddFile("C:\\Other\\keep.txt");
        PlanContext context = FullContext();
        if (row.lost) context.logDigest.reset();
        FakeQuestions questions;
        NoRunLog runLog;
        const RemovalOutcome out =
            RemoveInstallation(ReadUninstallLog(row.log).lines, context, fs, questions, runLog);
        ExpectProductGone(fs, out);
        EXPECT_TRUE(fs.Exists("C:\\Other\\keep.txt"));
        EXPECT_EQ(RemovalExitCode(LogReading{}, out), row.lost ? 1 : 2);
    }
}

}  // namespace
}  // namespace qv::test
