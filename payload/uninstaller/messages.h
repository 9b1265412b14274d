#pragma once
// What the uninstaller says, in Russian (code page 1251 in the program).
#include <string>
#include <vector>

#include "engine/uninstall_plan.h"

namespace qv {

extern const char kUninstallCaption[];

std::string QuestionText();
std::string MissingLogText(const std::string& logPath);
std::string UnreadableLogText(const std::string& logPath);
std::string DamagedLogText(const std::string& logPath, const LogReading& reading);

struct FinalReport {
    std::string text;
    unsigned icon;  // MB_ICONINFORMATION or MB_ICONWARNING
};

// The closing message: done, or what is still there and what goes at the
// next restart.
FinalReport FinalReportText(const std::vector<std::string>& notRemoved, bool keyKept,
                            const std::vector<std::string>& atRestart);

}  // namespace qv
