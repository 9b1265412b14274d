#pragma once
// Reading a program's command line: its arguments and its switches
// ("/NAME" or "-NAME", case ignored, with an optional "=value").
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The arguments of a whole command line, the program's own name first.
// Arguments are separated by spaces or tabs; a double quote starts or ends
// a quoted run, in which spaces belong to the argument, and is itself
// dropped, so /DIR="C:\Program Files\X" is one argument. A backslash is an
// ordinary character.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

struct Switch {
    std::string name;                  // upper case, without the leading "/" or "-"
    std::optional<std::string> value;  // what follows the first "=", if there is one
};

// The switch an argument gives, or nothing when it does not begin with "/"
// or "-" or has no name.
std::optional<Switch> ParseSwitch(std::string_view argument);

}  // namespace qv
