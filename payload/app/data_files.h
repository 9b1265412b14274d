#pragma once
// The application's data files and what the working folder holds of them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv {

// The data files, in the order the window lists them.
extern const char* const kDataFiles[];
extern const size_t kDataFileCount;

struct DataFile {
    std::string name;
    std::optional<uint64_t> size;  // none when the file is not there
};

// The working folder of the process, as the system names it.
std::wstring WorkingFolder();

// Looks each data file up in `folder`.
std::vector<DataFile> SurveyDataFiles(const std::wstring& folder);

// A size in bytes with its thousands apart: "986 631".
std::string GroupedNumber(uint64_t value);

}  // namespace qv
