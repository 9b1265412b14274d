#pragma once
// What one run of the install sequence achieved, for the finish page, the
// program's exit code and the administrators' log.
#include <string>
#include <vector>

namespace qv {

struct InstallReport {
    std::string destination;   // the folder the files went to, in full
    int entryCount = 0;        // payload entries the counting pass found
    int entriesInPlace = 0;    // installed, or kept as the user had them
    std::vector<std::string> leftOut;  // entry names that are not in place, as far as known

    bool passStopped = false;      // the installing pass ended before the last entry
    bool abortAnswered = false;    // ... because the user answered Abort
    bool tempFileFailed = false;   // ... because the temporary file could not be made
    bool licenceSaved = false;
    bool logSaved = false;         // UnInstall.dat
    bool registered = false;       // the uninstall key with the values the list of programs needs
    std::vector<std::string> unwrittenValues;  // further values of the key that could not be written
    int shortcutsLeftOut = 0;      // shortcuts that could not be made (the folder or the file)
    bool applicationInPlace = false;  // QuorVel.exe is in the destination
    bool finished = false;         // the sequence ran to its end (not abandoned)
    bool takenBack = false;        // left or aborted: what the run wrote was removed again
    std::vector<std::string> notTakenBack;  // ... but for these, which could not be removed

    // Files of the payload that are not in the destination: left out, or
    // never reached because the pass stopped.
    int MissingFiles() const { return entryCount > entriesInPlace ? entryCount - entriesInPlace : 0; }
    // Everything the installation should have written is there.
    bool Complete() const {
        return finished && MissingFiles() == 0 && !passStopped && licenceSaved && logSaved && registered &&
               unwrittenValues.empty() && shortcutsLeftOut == 0;
    }
};

}  // namespace qv
