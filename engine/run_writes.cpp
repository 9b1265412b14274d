#include "engine/run_writes.h"

#include "engine/install_system.h"
#include "engine/text.h"

namespace qv {
namespace {

void AddOnce(std::vector<std::string>& paths, const std::string& path) {
    if (!ContainsNoCase(paths, path)) paths.push_back(path);
}

}  // namespace

void RunWrites::AddFile(const std::string& path) { AddOnce(files_, path); }

void RunWrites::AddFolder(const std::string& path) { AddOnce(folders_, path); }

std::vector<std::string> RunWrites::TakeBack(InstallSystem& system) const {
    std::vector<std::string> left;
    for (auto file = files_.rbegin(); file != files_.rend(); ++file) {
        if (system.Exists(*file) && !system.RemoveFile(*file)) left.push_back(*file);
    }
    // A level that holds something else (the user's file, say) stays.
    for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder) {
        if (system.Exists(*folder) && !system.RemoveFolder(*folder)) left.push_back(*folder);
    }
    return left;
}

}  // namespace qv
