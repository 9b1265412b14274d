#pragma once
// The run log kept in a file, and the system's own text for an error code.
#include <windows.h>

#include <mutex>
#include <string>

#include "engine/run_log.h"
#include "toolkit/win_handles.h"

namespace qv {

class FileRunLog : public RunLog {
public:
    // Creates or replaces the file. `ok()` says whether it could be made; a
    // log that could not be made keeps nothing.
    explicit FileRunLog(const std::string& path);
    bool ok() const { return static_cast<bool>(file_); }
    // Why the file could not be made: the system's error code.
    DWORD error() const { return error_; }
    const std::string& path() const { return path_; }
    void Write(std::string_view text) override;

private:
    std::mutex mutex_;
    std::string path_;
    UniqueHandle file_;
    DWORD error_ = ERROR_SUCCESS;
};

// A new file name in the temporary folder for a run's log: `prefix`, then
// the date, time and process number, then ".log".
std::string DefaultRunLogPath(const std::string& prefix);

// "(5) <the system's text for the code>", without a trailing line break.
std::string SystemErrorText(DWORD code);

}  // namespace qv
