#include "wizard/run_options.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(RunOptions, NoSwitchIsTheInteractiveWizard) {
    const RunOptions options = ParseRunOptions("\"C:\\Загрузки\\setup.exe\"");
    EXPECT_EQ(options.mode, RunMode::Interactive);
    EXPECT_TRUE(options.error.empty());
    EXPECT_FALSE(options.directory || options.group || options.desktopIcon || options.log || options.help);
}

TEST(RunOptions, AnUnattendedInstallationAsDeploymentToolsWriteIt) {
    const RunOptions options = ParseRunOptions(
        "setup.exe /verysilent -SUPPRESSMSGBOXES /DIR=\"C:\\Программы\\Кворвель\" /Group=\"Тест\\Кворвель\" "
        "/TASKS=\"\" /LOG=\"C:\\logs\\setup log.txt\" /NORESTART /SP- /NoCancel");
    ASSERT_TRUE(options.error.empty()) << options.error;
    EXPECT_EQ(options.mode, RunMode::VerySilent);
    EXPECT_TRUE(options.BoxesSuppressed());
    EXPECT_TRUE(options.noCancel);
    EXPECT_EQ(options.directory, "C:\\Программы\\Кворвель");
    EXPECT_EQ(options.group, "Тест\\Кворвель");
    EXPECT_EQ(options.desktopIcon, false);
    EXPECT_TRUE(options.log);
    EXPECT_EQ(options.logFile, "C:\\logs\\setup log.txt");

    // The quieter mode wins in either order; the desktop task by name.
    const RunOptions other = ParseRunOptions("setup.exe /VERYSILENT /SILENT /TASKS=DesktopIcon /LOG");
    EXPECT_EQ(other.mode, RunMode::VerySilent);
    EXPECT_EQ(other.desktopIcon, true);
    EXPECT_TRUE(other.log);
    EXPECT_TRUE(other.logFile.empty());
    // Boxes are suppressed only when a silent mode asks for it.
    EXPECT_FALSE(ParseRunOptions("setup.exe /SUPPRESSMSGBOXES").BoxesSuppressed());
    EXPECT_TRUE(ParseRunOptions("setup.exe /?").help);
    EXPECT_TRUE(ParseRunOptions("setup.exe -help").help);
}

TEST(RunOptions, ASwitchOrValueThatCannotBeUsedIsNamed) {
    const std::pair<const char*, const char*> rows[] = {
        {"setup.exe /FROBNICATE", "Неизвестный параметр командной строки: /FROBNICATE"},
        {"setup.exe C:\\Кворвель", "Неизвестный параметр командной строки: C:\\Кворвель"},
        {"setup.exe /TASKS=\"quicklaunch\"", "/TASKS=quicklaunch"},
        {"setup.exe /TASKS", "/TASKS"},
        {"setup.exe /DIR=", "/DIR="},
        {"setup.exe /DIR", "/DIR"},
        {"setup.exe /LOG=", "/LOG="},
        {"setup.exe /SILENT=yes", "/SILENT=yes"},
    };
    for (const auto& [line, named] : rows) {
        SCOPED_TRACE(line);
        const RunOptions options = ParseRunOptions(line);
        EXPECT_NE(options.error.find(named), std::string::npos) << options.error;
    }
    // The first bad one is named; a log asked for after it is still kept.
    const RunOptions options = ParseRunOptions("setup.exe /VERYSILENT /A /B /LOG=C:\\x.log");
    EXPECT_NE(options.error.find("/A"), std::string::npos) << options.error;
    EXPECT_EQ(options.logFile, "C:\\x.log");
    EXPECT_EQ(options.mode, RunMode::VerySilent);
}

}  // namespace
}  // namespace qv
