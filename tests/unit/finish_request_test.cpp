#include <gtest/gtest.h>

#include "engine/finish_request.h"

namespace qv {
namespace {

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
