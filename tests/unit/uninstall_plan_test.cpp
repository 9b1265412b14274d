#include <gtest/gtest.h>

#include "engine/uninstall_plan.h"
#include "support/uninstall_logs.h"

namespace qv::test {
namespace {

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

}  // namespace
}  // namespace qv::test
