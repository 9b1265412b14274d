#pragma once
// What the setup program's command line asks for. Read once, before any
// window is made; an interactive run without switches is the default.
#include <optional>
#include <string>
#include <string_view>

namespace qv {

enum class RunMode {
    Interactive,  // the wizard
    Silent,       // only the progress page, centred on the screen
    VerySilent,   // no window at all
};

struct RunOptions {
    RunMode mode = RunMode::Interactive;
    bool suppressBoxes = false;             // /SUPPRESSMSGBOXES (silent modes only)
    bool noCancel = false;                  // /NOCANCEL: the progress page's Cancel is disabled
    std::optional<std::string> directory;   // /DIR="..."
    std::optional<std::string> group;       // /GROUP="..."
    std::optional<bool> desktopIcon;        // /TASKS="desktopicon" or /TASKS=""
    bool log = false;                       // /LOG or /LOG="file"
    std::string logFile;                    // empty: a new file in the temporary folder
    bool help = false;                      // /? or /HELP
    std::string error;                      // a switch or value that cannot be used, said in Russian

    bool Unattended() const { return mode != RunMode::Interactive; }
    // Boxes are not shown: a silent run asked for none.
    bool BoxesSuppressed() const { return Unattended() && suppressBoxes; }
};

// Reads a whole command line (the program's own name first). Switches are
// "/NAME" or "-NAME", case ignored, with values after "=" (in double quotes
// when they hold spaces). On a switch or value that cannot be used, `error`
// names the first one; the others are read all the same (so that a log
// asked for is kept).
RunOptions ParseRunOptions(std::string_view commandLine);

// The text of the help box: every switch and the exit codes.
std::string RunOptionsHelp();

}  // namespace qv
