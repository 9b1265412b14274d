#include "engine/command_line.h"

namespace qv {

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (char c : commandLine) {
        if (c == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inArgument) arguments.push_back(std::move(current));
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument) arguments.push_back(std::move(current));
    return arguments;
}

std::optional<Switch> ParseSwitch(std::string_view argument) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return std::nullopt;
    argument.remove_prefix(1);
    Switch parsed;
    const std::size_t equals = argument.find('=');
    const std::string_view name = argument.substr(0, equals);
    if (name.empty()) return std::nullopt;
    for (char c : name) parsed.name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    if (equals != std::string_view::npos) parsed.value = std::string(argument.substr(equals + 1));
    return parsed;
}

}  // namespace qv
