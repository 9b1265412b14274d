#include "payload/app/data_files.h"

#include <windows.h>

#include "toolkit/growing_text.h"

namespace qv {

const char* const kDataFiles[] = {
    "Descript.txt", "DateVar.dat", "TimeVar.dat", "Dates.dat",    "Dates2.dat",
    "Dates3.dat",   "Dates4.dat",  "Cityes.dat",  "Regions.dat", "Republics.dat",
    "Group.txt",    "People.dat",  "QuorVel.chm", "QuorVel.TTF",
};
const size_t kDataFileCount = sizeof kDataFiles / sizeof kDataFiles[0];

std::wstring WorkingFolder() {
    return GrowingWideText([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
}

std::vector<DataFile> SurveyDataFiles(const std::wstring& folder) {
    std::wstring prefix = folder;
    if (!prefix.empty() && prefix.back() != L'\\') prefix += L'\\';
    std::vector<DataFile> files;
    for (size_t i = 0; i < kDataFileCount; ++i) {
        DataFile file{kDataFiles[i], std::nullopt};
        WIN32_FILE_ATTRIBUTE_DATA data;
        const std::wstring name(file.name.begin(), file.name.end());  // ASCII
        if (GetFileAttributesExW((prefix + name).c_str(), GetFileExInfoStandard, &data) &&
            !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            file.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        }
        files.push_back(file);
    }
    return files;
}

std::string GroupedNumber(uint64_t value) {
    std::string digits = std::to_string(value);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ' ';
        out += digits[i];
    }
    return out;
}

}  // namespace qv
