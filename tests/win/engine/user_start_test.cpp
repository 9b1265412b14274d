// Both ways of starting a program for the user, for real: the desktop
// shell's ShellExecute and this program's own CreateProcessA each start
// QuorVel.exe working in the folder they are given.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "engine/win_user_start.h"
#include "tests/e2e/driver/scenario.h"

namespace qv {
namespace {

TEST(UserStartRoutes, EachStartsTheProgramWorkingInTheFolderGiven) {
    const std::string program = e2e::WinePath(QV_APP_EXE);
    for (const auto route : {StartThroughDesktopShell, StartAsOwnProcess}) {
        e2e::ScratchFolder folder;
        ASSERT_TRUE(route({program, folder.Path(), kShowNormal}));
        HWND window = e2e::WaitForApplicationWindow(std::chrono::seconds(30));
        ASSERT_NE(window, nullptr) << "no application window";
        EXPECT_EQ(e2e::ItemText(window, e2e::kAppFolderItem), folder.Path());
        EXPECT_TRUE(e2e::CloseAndWaitForExit(window, 20000));
    }
}

}  // namespace
}  // namespace qv
