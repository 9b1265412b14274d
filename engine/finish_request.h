#pragma once
// The request the running uninstaller hands to its copy in the temporary
// folder, as the copy's command line: wait for the process behind
// `processHandle` to end, then remove `self` and the folders (each only
// when empty).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct FinishRequest {
    unsigned long processHandle = 0;
    std::string self;
    std::vector<std::string> folders;
};

// Arguments (without the program name) of a finishing run.
std::string FormatFinishArguments(const FinishRequest& request);

// Reads a whole command line (program name first). Gives a request only for
// a well-formed finishing run: a handle, an uninstaller named "UnInstall.exe"
// at a valid path, and folders that all hold it.
std::optional<FinishRequest> ParseFinishCommandLine(std::string_view commandLine);

}  // namespace qv
