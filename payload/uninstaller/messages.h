#pragma once
// What the uninstaller says, in Russian (code page 1251 in the program).
#include <string>
#include <vector>

#include "engine/removal.h"

namespace qv {

extern const char kUninstallCaption[];
// The command line holds a name that is no Unicode text.
extern const char kCommandLineNotText[];

std::string QuestionText();
// The second question: whether the user's data files go too (default No).
std::string UserDataQuestionText(const std::vector<std::string>& files);
// Files held by a running program: close it and retry, or cancel.
std::string InUseText(const std::vector<std::string>& files);
enum class LogTrouble { Missing, Unreadable, Damaged };
// Why the log cannot be used, and what the removal does without it: nothing,
// or (`byContract`) remove only what the registration and the contract name.
std::string LogTroubleText(LogTrouble trouble, const std::string& logPath, const LogReading& reading,
                           bool byContract);
// Why one line of the log was not used ("Строка 3: ..."), for the run log.
std::string SetAsideText(const SetAsideLine& line);

struct FinalReport {
    std::string text;
    unsigned icon;  // MB_ICONINFORMATION or MB_ICONWARNING
};

// The closing message: done, what was kept on purpose and where, what is
// still there, the log lines that could not be used, and what goes at the
// next restart.
FinalReport FinalReportText(const LogReading& reading, const RemovalOutcome& outcome,
                            const std::vector<std::string>& atRestart);

}  // namespace qv
