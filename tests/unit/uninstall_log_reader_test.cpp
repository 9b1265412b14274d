#include <cctype>

#include <gtest/gtest.h>

#include "engine/uninstall_log.h"
#include "engine/uninstall_log_reader.h"
#include "engine/uninstall_plan.h"
#include "support/uninstall_logs.h"

namespace qv::test {
namespace {

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
    const std::pair<const char*, const char*> saved[] = {
        {"C:\\", "D"},
        {"C:\\\\Quorvel.exe", "F"},
        {"C:\\Menu\\Programs\\", "D"},
        {"C:\\Menu\\Programs\\\\Удалить Кворвель 2.0.lnk", "F"},
    };
    for (const auto& [path, kind] : saved) written.Set(path, kind);
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
        {std::string("\xFF\xFE" "C\0:", 5), LogFault::NotText},         // UTF-16 of an odd length
        {std::string("\xFF\xFE" "C\0\x3D\xD8", 6), LogFault::NotText},   // a lone surrogate
    };
    for (const auto& [bytes, fault] : cases) {
        const LogReading r = ReadUninstallLog(bytes);
        EXPECT_EQ(r.fault, fault) << bytes;
        EXPECT_TRUE(r.lines.empty()) << bytes;
    }
}

// A log written in UTF-16LE after its byte-order mark reads as UTF-8; an
// 8-bit one goes through the conversion given, as a whole.
TEST(UninstallLog, ReadsBothFormsOfTheFile) {
    const std::u16string text = u"C:\\Zo\u00EB\\\xD83D\xDE00=D\r\nC:\\Zo\u00EB\\\xD83D\xDE00\\a.dat=F\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char16_t unit : text) utf16 += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    const LogReading wide = ReadUninstallLog(utf16);
    ASSERT_TRUE(wide.ok());
    ASSERT_EQ(wide.lines.size(), 2u);
    EXPECT_EQ(wide.lines[1].path, "C:\\Zo\xC3\xAB\\\xF0\x9F\x98\x80\\a.dat");

    const auto upper = [](std::string_view bytes) -> std::optional<std::string> {
        if (bytes.find('?') != std::string_view::npos) return std::nullopt;
        std::string out(bytes);
        for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return out;
    };
    EXPECT_EQ(ReadUninstallLog("c:\\q\\a.dat=f\r\n", upper).lines.at(0).path, "C:\\Q\\A.DAT");
    EXPECT_EQ(ReadUninstallLog("c:\\q\\a?.dat=F\r\n", upper).fault, LogFault::NotText);
}

// Each line is read between two good ones.
LogReading ReadBetweenGoodLines(const std::string& line) {
    return ReadUninstallLog(Crlf({"C:\\Q\\a.dat=F", line, "C:\\Q\\z.dat=F"}));
}

TEST(UninstallLog, UsesAFullPathWithItsDotsResolved) {
    const std::pair<std::string, std::string> cases[] = {  // the line, the path used
        {"C:\\Menu\\Programs\\..=D", "C:\\Menu"},  // a group named ".."
        {"C:\\Menu\\Programs\\..\\Кворвель 2.0.lnk=F", "C:\\Menu\\Кворвель 2.0.lnk"},
        {"C:\\Q\\..\\..\\..\\Windows\\win.ini=F", "C:\\Windows\\win.ini"},  // never above the root
        {"C:\\Q\\.\\a.dat=F", "C:\\Q\\a.dat"},
        {"C:\\a*b\\..\\x.dat=F", "C:\\x.dat"},  // resolved before the names are judged
        {"\\\\srv\\share\\..\\x=D", "\\\\srv\\share\\x"},
    };
    for (const auto& [line, usedAs] : cases) {
        const LogReading r = ReadBetweenGoodLines(line);
        ASSERT_TRUE(r.ok()) << line;
        ASSERT_EQ(r.lines.size(), 3u) << line;
        EXPECT_EQ(r.lines[1].path, usedAs);
        EXPECT_TRUE(r.rejected.empty() && r.namingNothing.empty()) << line;
    }
}

// A line that names nothing that can exist is done; any other unusable line
// is set aside and reported.
TEST(UninstallLog, SetsAsideEveryOtherLineWithItsFault) {
    const std::pair<LogFault, std::vector<std::string>> cases[] = {
        {LogFault::NoSuchName,
         {"C:\\P\\Кворвель \"Справочник\"=D", "C:\\P\\a:b\\Кворвель 2.0.lnk=F", "C:\\Q\\*.dat=F", "C:\\Q\\nul.txt=F"}},
        {LogFault::NoKind, {"", "C:\\Q\\b.dat", "C:\\Q\\b.dat= F"}},
        {LogFault::StrayBreak, {"C:\\Q\\b.dat\r=F"}},
        {LogFault::BadCharacter, {std::string("C:\\Q\\b\0.dat=F", 13)}},
        {LogFault::BadPath,
         {"=F", "QuorVel V2.0\\Dates.dat=F", "\\QuorVel V2.0\\Dates.dat=F", "C:QuorVel\\Dates.dat=F",
          "C:\\Q\\...\\a.dat=F", "\\\\?\\C:\\Q\\a.dat=F", "\\\\.\\PhysicalDrive0=F", "\\\\server=D",
          "C:\\Q\\=F" /* a file line naming a folder */, "C:\\Q\\..=F"}},
    };
    for (const auto& [fault, lines] : cases) {
        for (const std::string& line : lines) {
            const LogReading r = ReadBetweenGoodLines(line);
            ASSERT_TRUE(r.ok()) << line;
            const std::vector<SetAsideLine>& setAside = fault == LogFault::NoSuchName ? r.namingNothing : r.rejected;
            ASSERT_EQ(r.lines.size(), 2u) << line;
            ASSERT_EQ(setAside.size(), 1u) << line;
            EXPECT_EQ(setAside[0].number, 2u);
            EXPECT_EQ(setAside[0].fault, fault) << line;
            EXPECT_EQ(setAside[0].text.size(), line.size()) << line;
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

}  // namespace
}  // namespace qv::test
