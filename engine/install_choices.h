#pragma once
// The install choices, read on the user-interface thread from the pages that
// collected them before the worker starts, and handed to it as one value.
// Every text is in the system's 8-bit code page (Windows-1251).
#include <string>

namespace qv {

struct InstallChoices {
    std::string destination;      // destination folder, exactly as typed
    std::string groupName;        // program group, below ProgramsPath
    std::string programsPath;     // Start-menu Programs folder
    std::string desktopPath;      // desktop folder
    bool desktopShortcut = true;  // make a shortcut on the desktop too
    std::string licenceText;      // the agreement, saved as lic.txt as is
};

}  // namespace qv
