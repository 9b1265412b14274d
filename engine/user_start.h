#pragma once
// Starting a program for the user who is signed in. The installer runs
// elevated: a program it started itself would get its rights, and after an
// administrator's password was typed in, the administrator's account. The
// desktop shell runs as the signed-in user, so an elevated installer asks
// the shell to start the program; its own start is what is left when there
// is no shell to ask.
#include <optional>
#include <string>
#include <vector>

namespace qv {

// How the program's first window shows (the SW_* values).
inline constexpr int kShowNormal = 1;

// A program to start, the folder it works in, and how its window shows.
struct UserStart {
    std::string program;
    std::string folder;
    int showCommand = kShowNormal;
};

enum class StartRoute {
    DesktopShell,  // the shell's own ShellExecute: the signed-in user's rights
    OwnProcess,    // CreateProcess from this process: its rights
};

// The routes to try, in order. Elevated, the shell comes first; not
// elevated, this process already has the user's rights, and its own start
// (which also hands on its console and start-up settings) is the only one.
std::vector<StartRoute> StartRoutes(bool elevated);

// Starting by one route; the system's calls or a test's.
class RouteStarter {
public:
    virtual ~RouteStarter() = default;
    // True when the program was started. A route that is not there (no
    // shell running) is a failure like any other.
    virtual bool Start(StartRoute route, const UserStart& start) = 0;
};

// Tries the routes in order until one starts the program: the route that
// did, or none when every one failed.
std::optional<StartRoute> StartForUser(const UserStart& start, bool elevated, RouteStarter& starter);

// The show command this program was started with, to hand on: its start-up
// record's window setting when the flags say there is one
// (STARTF_USESHOWWINDOW, 1), otherwise a normal window.
int InheritedShowCommand(unsigned long startupFlags, int showWindow);

}  // namespace qv
