#pragma once
// What one run of the installation made where nothing was before: files,
// shortcuts and folder levels. A run that is left before the program is
// registered takes them back, so that nothing of it stays that nobody could
// remove; what was there before the run is never touched.
#include <string>
#include <vector>

namespace qv {

class InstallSystem;

class RunWrites {
public:
    void AddFile(const std::string& path);
    void AddFolder(const std::string& path);
    // The folder levels made, outermost first.
    const std::vector<std::string>& Folders() const { return folders_; }

    // Removes the files, the last made first, then the folders, the
    // innermost first, each only while it is empty. Gives what is still
    // there afterwards.
    std::vector<std::string> TakeBack(InstallSystem& system) const;

private:
    std::vector<std::string> files_;
    std::vector<std::string> folders_;
};

}  // namespace qv
