#pragma once
// The log of one run of the installer or the uninstaller, for administrators:
// one line per event, each with its local time, in UTF-8. The program's texts
// and paths are converted from its own encoding (engine/text.h) as they are
// written.
#include <string>
#include <string_view>

namespace qv {

struct LogTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// "2026-12-09 10:11:12.345 text" ended by CR LF, in UTF-8; line breaks
// inside the text (a message box's paragraphs) become " / ".
std::string FormatRunLogLine(const LogTime& time, std::string_view text);

class RunLog {
public:
    virtual ~RunLog() = default;
    // One event; the text is in the program's encoding. Callable from any thread.
    virtual void Write(std::string_view text) = 0;
};

// A log that keeps nothing: the run was not asked for one.
class NoRunLog : public RunLog {
public:
    void Write(std::string_view) override {}
};

}  // namespace qv
