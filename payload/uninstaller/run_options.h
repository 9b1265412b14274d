#pragma once
// The uninstaller's switches: /SILENT, /VERYSILENT and /SUPPRESSMSGBOXES
// (no question, no box), /LOG or /LOG="file" (a removal log). Case is
// ignored and "-" may stand for "/". Portable.
#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct UninstallOptions {
    bool silent = false;
    bool log = false;
    std::string logFile;               // "" for the default file
    std::vector<std::string> unknown;  // arguments that are none of the above: logged, then ignored
};

// Reads a whole command line, the program's own name first.
UninstallOptions ReadUninstallOptions(std::string_view commandLine);

}  // namespace qv
