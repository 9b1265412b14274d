#include "payload/uninstaller/run_options.h"

#include "engine/command_line.h"
#include "engine/install_contract.h"

namespace qv {
namespace {

// A contract switch's name, as ParseSwitch gives it: without the "/".
bool Is(const Switch& given, const char* contractSwitch) { return given.name == contractSwitch + 1; }

}  // namespace

UninstallOptions ReadUninstallOptions(std::string_view commandLine) {
    UninstallOptions options;
    const std::vector<std::string> arguments = SplitCommandLine(commandLine);
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::optional<Switch> given = ParseSwitch(arguments[i]);
        if (given && !given->value &&
            (Is(*given, contract::kSilentSwitch) || Is(*given, contract::kVerySilentSwitch) ||
             Is(*given, contract::kSuppressBoxesSwitch))) {
            options.silent = true;
        } else if (given && Is(*given, contract::kLogSwitch)) {
            options.log = true;
            options.logFile = given->value.value_or(std::string());
        } else {
            options.unknown.push_back(arguments[i]);
        }
    }
    return options;
}

}  // namespace qv
