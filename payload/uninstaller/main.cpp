// UnInstall.exe: removes what the installer recorded in "UnInstall.dat"
// beside this program, after asking the user.
#include <windows.h>

#include "engine/install_contract.h"
#include "engine/uninstall_plan.h"
#include "payload/uninstaller/finisher.h"
#include "payload/uninstaller/messages.h"
#include "payload/uninstaller/win_system.h"

namespace qv {
namespace {

enum ExitCode : int { kDone = 0, kNoLog = 1, kSomethingLeft = 2 };

int Say(const std::string& text, UINT style) {
    return MessageBoxA(nullptr, text.c_str(), kUninstallCaption, style | MB_SETFOREGROUND);
}

// The log's lines, or nothing after telling the user why it cannot be used.
std::optional<std::vector<LogLine>> ReadLogOrExplain(const std::string& logPath) {
    std::string bytes;
    switch (ReadWholeFile(logPath, kMaxLogBytes, &bytes)) {
        case ReadStatus::Missing:
            Say(MissingLogText(logPath), MB_OK | MB_ICONERROR);
            return std::nullopt;
        case ReadStatus::Failed:
            Say(UnreadableLogText(logPath), MB_OK | MB_ICONERROR);
            return std::nullopt;
        case ReadStatus::Ok:
            break;
    }
    LogReading reading = ReadUninstallLog(bytes);
    if (!reading.ok()) {
        Say(DamagedLogText(logPath, reading), MB_OK | MB_ICONERROR);
        return std::nullopt;
    }
    return std::move(reading.lines);
}

// Hands the program and its folders to the copy that removes them once this
// process has ended; failing that, to the next restart. Gives back what is
// left for the restart; what cannot even be scheduled joins `notRemoved`.
std::vector<std::string> RemoveSelfLater(const RemovalOutcome& outcome,
                                         std::vector<std::string>& notRemoved) {
    // The copy is given the long forms, which name the same things exactly.
    const std::string self = LongPath(outcome.self);
    std::vector<std::string> folders;
    for (const std::string& f : outcome.selfFolders) folders.push_back(LongPath(f));
    if (StartFinisher(self, folders)) return {};

    std::vector<std::string> later{self};
    later.insert(later.end(), folders.begin(), folders.end());
    const std::vector<std::string> failed = ScheduleRemovalAtRestart(later);
    if (!failed.empty()) {
        notRemoved.insert(notRemoved.end(), failed.begin(), failed.end());
        return {};
    }
    return later;
}

int Uninstall() {
    PlanContext context;
    context.selfPath = ModulePath();
    context.logPath = FolderOf(context.selfPath) + "\\" + contract::kLogFileName;

    const std::optional<std::vector<LogLine>> lines = ReadLogOrExplain(context.logPath);
    if (!lines) return kNoLog;
    if (Say(QuestionText(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) return kDone;

    // No folder to be removed may stay this process's current one.
    SetCurrentDirectoryA(TempFolder().c_str());
    context.protectedFolders = SystemFolders();
    context.canonical = LongPath;

    WinRemovalSystem system;
    RemovalOutcome outcome = CarryOutRemoval(PlanRemoval(*lines, context), context, system);
    std::vector<std::string> atRestart;
    if (!outcome.self.empty()) atRestart = RemoveSelfLater(outcome, outcome.notRemoved);

    const FinalReport report = FinalReportText(outcome.notRemoved, outcome.keyKept, atRestart);
    Say(report.text, MB_OK | report.icon);
    return outcome.notRemoved.empty() && !outcome.keyKept ? kDone : kSomethingLeft;
}

}  // namespace
}  // namespace qv

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (const std::optional<qv::FinishRequest> finish = qv::ParseFinishCommandLine(GetCommandLineA())) {
        return qv::RunFinisher(*finish);
    }
    return qv::Uninstall();
}
