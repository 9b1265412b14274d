#include "engine/user_start.h"

namespace qv {

std::vector<StartRoute> StartRoutes(bool elevated) {
    if (elevated) return {StartRoute::DesktopShell, StartRoute::OwnProcess};
    return {StartRoute::OwnProcess};
}

std::optional<StartRoute> StartForUser(const UserStart& start, bool elevated, RouteStarter& starter) {
    for (const StartRoute route : StartRoutes(elevated)) {
        if (starter.Start(route, start)) return route;
    }
    return std::nullopt;
}

int InheritedShowCommand(unsigned long startupFlags, int showWindow) {
    constexpr unsigned long kUseShowWindow = 0x1;
    return (startupFlags & kUseShowWindow) ? showWindow : kShowNormal;
}

}  // namespace qv
