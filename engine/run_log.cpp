#include "engine/run_log.h"

#include "engine/text.h"

namespace qv {

std::string FormatRunLogLine(const LogTime& t, std::string_view text) {
    const auto two = [](int value) { return ZeroPadded(static_cast<unsigned long>(value % 100), 2); };
    const std::string stamp = ZeroPadded(static_cast<unsigned long>(t.year % 10000), 4) + '-' + two(t.month) + '-' +
                              two(t.day) + ' ' + two(t.hour) + ':' + two(t.minute) + ':' + two(t.second) + '.' +
                              ZeroPadded(static_cast<unsigned long>(t.millisecond % 1000), 3) + ' ';
    std::string flat;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            while (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n')) ++i;
            flat += " / ";
        } else {
            flat += c;
        }
    }
    return stamp + ProgramTextToUtf8(flat) + "\r\n";
}

}  // namespace qv
