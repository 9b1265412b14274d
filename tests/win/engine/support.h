#pragma once
// Helpers for the engine's Windows tests: a scratch folder and whole files.
#include <windows.h>

#include <string>

namespace qv::wintest {

// A new folder under the system's temporary folder, removed with everything
// in it when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void RemoveTree(const std::string& path);
bool Exists(const std::string& path);
std::string ReadWhole(const std::string& path);  // empty if missing
bool WriteWhole(const std::string& path, const std::string& bytes);

}  // namespace qv::wintest
