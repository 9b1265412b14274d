#include <gtest/gtest.h>

#include <vector>

#include "engine/user_start.h"

namespace qv {
namespace {

// Records what each route was asked to start; the shell starts it when told.
struct ScriptedStarter : RouteStarter {
    bool shellRuns = true;
    std::vector<StartRoute> tried;
    bool Start(StartRoute route, const UserStart& start) override {
        tried.push_back(route);
        EXPECT_EQ(start.program, "C:\\Q\\QuorVel.exe");
        EXPECT_EQ(start.folder, "C:\\Q");
        EXPECT_EQ(start.showCommand, 7);
        return route == StartRoute::OwnProcess || shellRuns;
    }
};

TEST(UserStart, ElevatedTheShellStartsItElseThisProgramItselfWithTheSameRequest) {
    const UserStart app{"C:\\Q\\QuorVel.exe", "C:\\Q", 7};
    ScriptedStarter shell, noShell, notElevated;
    noShell.shellRuns = false;
    EXPECT_EQ(StartForUser(app, true, shell), StartRoute::DesktopShell);
    EXPECT_EQ(shell.tried, std::vector<StartRoute>{StartRoute::DesktopShell});
    EXPECT_EQ(StartForUser(app, true, noShell), StartRoute::OwnProcess);
    EXPECT_EQ(noShell.tried, (std::vector<StartRoute>{StartRoute::DesktopShell, StartRoute::OwnProcess}));
    EXPECT_EQ(StartForUser(app, false, notElevated), StartRoute::OwnProcess);
    EXPECT_EQ(notElevated.tried, std::vector<StartRoute>{StartRoute::OwnProcess});
}

TEST(UserStart, TheWindowShowsAsThisProgramWasAskedOnlyWhenItWasAsked) {
    EXPECT_EQ(InheritedShowCommand(0x1, 7), 7);  // STARTF_USESHOWWINDOW, minimized
    EXPECT_EQ(InheritedShowCommand(0x1 | 0x100, 3), 3);
    EXPECT_EQ(InheritedShowCommand(0x100, 7), kShowNormal);
}

}  // namespace
}  // namespace qv
