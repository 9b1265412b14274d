// The installer and the uninstaller against each other: what the install
// sequence writes (the log, the registration), the uninstaller's code must
// read and plan to remove, so that a change on one side that the other does
// not follow fails here.
#include "engine/install_contract.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/removal.h"
#include "engine/uninstall_plan.h"
#include "support/install_rig.h"

namespace qv::test {
namespace {

bool Contains(const std::vector<std::string>& paths, const std::string& path) {
    return std::any_of(paths.begin(), paths.end(), [&](const std::string& p) { return SamePath(p, path); });
}

TEST(InstallContract, TheUninstallerPlansTheRemovalOfWhatTheInstallerLogged) {
    InstallRig rig;
    rig.AddPayload();
    ASSERT_EQ(rig.Run(), InstallOutcome::Finished);

    const std::string self = rig.InDestination(contract::kUninstallerFileName);
    const std::string logPath = rig.InDestination(contract::kLogFileName);
    const LogReading reading = ReadUninstallLog(rig.ReadFile(logPath));
    ASSERT_TRUE(reading.ok() && reading.rejected.empty() && reading.namingNothing.empty());
    ASSERT_EQ(reading.lines.size(), rig.log.Count());

    PlanContext context;
    context.selfPath = self;
    context.logPath = logPath;
    const RemovalPlan plan = PlanRemoval(reading.lines, context);

    // The uninstaller finds itself and its log among the lines, and every
    // other file and folder the installer logged is planned for removal.
    EXPECT_TRUE(SamePath(plan.self, self)) << plan.self;
    EXPECT_TRUE(SamePath(plan.logFile, logPath)) << plan.logFile;
    for (const LogLine& line : reading.lines) {
        if (line.kind == LogKind::File) {
            EXPECT_TRUE(Contains(plan.files, line.path) || Contains(plan.userData, line.path) ||
                        SamePath(line.path, self) || SamePath(line.path, logPath))
                << line.path;
        } else {
            EXPECT_TRUE(Contains(plan.folders, line.path) || Contains(plan.selfFolders, line.path)) << line.path;
        }
    }
    EXPECT_TRUE(Contains(plan.selfFolders, rig.choices.destination));

    // The registration the installer writes is the one this uninstaller owns.
    ASSERT_EQ(rig.system.RegistryWrites().size(), 1u);
    const auto& written = rig.system.RegistryWrites().front();
    EXPECT_EQ(written.key, contract::kUninstallKey);
    const auto uninstallString =
        std::find_if(written.values.begin(), written.values.end(),
                     [](const RegistryValue& v) { return v.name == contract::kUninstallString; });
    ASSERT_NE(uninstallString, written.values.end());
    const std::string command = std::get<std::string>(uninstallString->data);
    EXPECT_TRUE(UninstallKeyIsOurs(command, self, nullptr)) << command;
}

}  // namespace
}  // namespace qv::test
