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
#include "engine/text.h"
#include "engine/uninstall_plan.h"
#include "support/install_rig.h"
#include "tools/payload/inventory.h"

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

    // What the key records of the installation lets the removal trust the
    // log it saved, line for line.
    const auto text = [&](const char* name) {
        const auto value = std::find_if(written.values.begin(), written.values.end(),
                                        [&](const RegistryValue& v) { return v.name == name; });
        return value == written.values.end() ? std::string() : std::get<std::string>(value->data);
    };
    RemovalScope scope;
    scope.trust = JudgeLog(Sha256Hex(rig.ReadFile(logPath)), text(contract::kUninstallLogSha256));
    EXPECT_EQ(scope.trust, LogTrust::Saved);
    scope.installation = rig.choices.destination;
    scope.groups = {text(contract::kStartMenuGroup)};
    scope.groupRegistered = true;
    scope.desktopShortcuts = {text(contract::kDesktopShortcut)};
    const ScopedLines scoped = ScopeLines(reading.lines, scope, nullptr);
    EXPECT_TRUE(scoped.refused.empty()) << scoped.refused.front().path;
    EXPECT_EQ(scoped.lines.size(), reading.lines.size());
}

// The uninstaller knows the payload's files by the contract's list: the
// packer's inventory must be the same names.
TEST(InstallContract, NamesEveryFileThePayloadCarries) {
    ASSERT_EQ(std::size(contract::kPayloadFileNames), payload::kInventorySize);
    for (const payload::InventoryItem& item : payload::kInventory) {
        EXPECT_TRUE(ContainsNoCase(contract::kPayloadFileNames, item.fileName)) << item.fileName;
    }
}

}  // namespace
}  // namespace qv::test
