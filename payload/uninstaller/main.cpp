// UnInstall.exe: removes what the installer recorded in "UnInstall.dat"
// beside this program, after asking the user, or without a question when
// started with /SILENT (see run_options.h).
#include <windows.h>
#include <shlobj.h>

#include <memory>

#include "engine/finish_request.h"
#include "engine/install_contract.h"
#include "engine/removal.h"
#include "engine/win_ansi_text.h"
#include "engine/win_boxes.h"
#include "engine/win_file_digest.h"
#include "engine/win_run_log.h"
#include "engine/win_shortcut.h"
#include "payload/uninstaller/conversation.h"
#include "payload/uninstaller/finisher.h"
#include "payload/uninstaller/messages.h"
#include "payload/uninstaller/run_options.h"
#include "payload/uninstaller/win_system.h"
#include "toolkit/program_text.h"
#include "toolkit/safe_dll.h"

namespace qv {
namespace {

const char kRunLogPrefix[] = "QuorVel-Uninstall-";
const char kVersionLine[] = "Удаление приложения \"Кворвель 2.0\", программа удаления версии 2.0";

// The log as read: its lines and its SHA-256, or why it cannot be used.
struct ReadLog {
    LogReading reading;
    std::optional<std::string> digest;
    std::optional<LogTrouble> trouble;
};

ReadLog ReadLogFile(const std::string& logPath, RunLog& log) {
    ReadLog read;
    std::string bytes;
    switch (ReadWholeFile(logPath, kMaxLogBytes, &bytes)) {
        case ReadStatus::Missing:
            read.trouble = LogTrouble::Missing;
            return read;
        case ReadStatus::Failed:
            read.trouble = LogTrouble::Unreadable;
            return read;
        case ReadStatus::Ok:
            break;
    }
    read.reading = ReadUninstallLog(bytes, FromAnsiCodePage);
    WinRemovalSystem system;
    UseOddNamesThatExist(read.reading, system);
    for (const SetAsideLine& line : read.reading.rejected) {
        log.Write("Строка журнала не использована. " + SetAsideText(line));
    }
    for (const SetAsideLine& line : read.reading.namingNothing) {
        log.Write("Строка журнала не называет ничего на диске, пропущена. " + SetAsideText(line));
    }
    if (!read.reading.ok()) {
        read.trouble = LogTrouble::Damaged;
        return read;
    }
    read.digest = FileHasher().Sha256Of(bytes);
    if (!read.digest) log.Write("Не удалось вычислить контрольную сумму журнала удаления: он не считается журналом установки.");
    return read;
}

// Whether the list of programs holds this installation: then the removal
// can go by what the registration recorded even without the log.
bool RegisteredHere(const PlanContext& context) {
    WinRemovalSystem system;
    const std::optional<Registration> found = system.ReadRegistration();
    return found && UninstallKeyIsOurs(found->uninstallString, context.selfPath, context.canonical);
}

// Hands the program and its folders to the copy that removes them once this
// process has ended; failing that, to the next restart. Gives back what is
// left for the restart; what cannot even be scheduled joins `notRemoved`.
std::vector<std::string> RemoveSelfLater(const RemovalOutcome& outcome,
                                         std::vector<std::string>& notRemoved, RunLog& log) {
    // The copy is given the long forms, which name the same things exactly.
    const std::string self = LongPath(outcome.self);
    std::vector<std::string> folders;
    for (const std::string& f : outcome.selfFolders) folders.push_back(LongPath(f));
    if (StartFinisher(self, folders)) {
        log.Write("Программа удаления будет удалена после её завершения: " + self);
        for (const std::string& f : folders) log.Write("Вместе с ней будет удалена папка: " + f);
        return {};
    }

    std::vector<std::string> later{self};
    later.insert(later.end(), folders.begin(), folders.end());
    const std::vector<std::string> failed = ScheduleRemovalAtRestart(later);
    if (!failed.empty()) {
        for (const std::string& f : failed) log.Write("Не удалось назначить удаление при перезагрузке: " + f);
        notRemoved.insert(notRemoved.end(), failed.begin(), failed.end());
        return {};
    }
    for (const std::string& f : later) log.Write("Будет удалено при перезагрузке: " + f);
    return later;
}

int Uninstall(Conversation& conversation, RunLog& log) {
    PlanContext context;
    context.selfPath = ModulePath();
    context.logPath = FolderOf(context.selfPath) + "\\" + contract::kLogFileName;

    context.canonical = CanonicalPath;

    const ReadLog read = ReadLogFile(context.logPath, log);
    const LogReading& reading = read.reading;
    if (read.trouble) {
        // Without its log an installation that is registered here is still
        // removed as far as the registration and the contract tell.
        const bool byContract = RegisteredHere(context);
        conversation.Tell(LogTroubleText(*read.trouble, context.logPath, reading, byContract),
                          byContract ? MB_ICONWARNING : MB_ICONERROR);
        if (!byContract) return contract::kUninstallNoLog;
    }
    if (!conversation.ConfirmRemoval()) return contract::kUninstallSomethingLeft;

    // No folder to be removed may stay this process's current one, and none
    // that others can write to may become it.
    SetCurrentDirectoryW(SystemFolderWide().c_str());
    context.protectedFolders = SystemFolders();
    context.logDigest = read.digest;
    context.programsFolders = {ShellFolder(CSIDL_PROGRAMS), ShellFolder(CSIDL_COMMON_PROGRAMS)};
    context.desktopFolders = {ShellFolder(CSIDL_DESKTOPDIRECTORY), ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY)};

    const ComApartment com;  // the shell link object reads the shortcuts' targets
    if (!com.ok()) log.Write("COM недоступен: цели ярлыков не прочитаны, ярлыки из журнала удаляются.");
    WinRemovalSystem system;
    RemovalOutcome outcome = RemoveInstallation(reading.lines, context, system, conversation, log);
    if (outcome.cancelled) return RemovalExitCode(reading, outcome);

    std::vector<std::string> atRestart;
    if (!outcome.self.empty()) atRestart = RemoveSelfLater(outcome, outcome.notRemoved, log);

    const FinalReport report = FinalReportText(reading, outcome, atRestart);
    conversation.Tell(report.text, report.icon);
    return RemovalExitCode(reading, outcome);
}

int UninstallWith(const std::string& commandLine) {
    const UninstallOptions options = ReadUninstallOptions(commandLine);
    std::unique_ptr<RunLog> log = std::make_unique<NoRunLog>();
    if (options.log) {
        auto file = std::make_unique<FileRunLog>(options.logFile.empty() ? DefaultRunLogPath(kRunLogPrefix)
                                                                         : options.logFile);
        if (file->ok()) log = std::move(file);
    }
    log->Write(kVersionLine);
    log->Write("Командная строка: " + commandLine);
    for (const std::string& unknown : options.unknown) {
        log->Write("Неизвестный параметр командной строки пропущен: " + unknown);
    }
    log->Write(options.silent ? "Режим: без вопросов и сообщений." : "Режим: с вопросами.");

    const Boxes boxes(*log, options.silent);
    Conversation conversation(boxes);
    const int code = Uninstall(conversation, *log);
    log->Write("Код завершения: " + std::to_string(code));
    return code;
}

}  // namespace
}  // namespace qv

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    qv::LimitDllSearch();
    // Every part of the command line reaches the program as it was given,
    // or the program does nothing.
    const std::optional<std::string> commandLine = qv::FromWide(GetCommandLineW());
    if (!commandLine) {
        MessageBoxW(nullptr, qv::ToWide(qv::kCommandLineNotText).c_str(), qv::ToWide(qv::kUninstallCaption).c_str(),
                    MB_OK | MB_ICONERROR);
        return qv::contract::kUninstallNoLog;
    }
    if (const std::optional<qv::FinishRequest> finish = qv::ParseFinishCommandLine(*commandLine)) {
        return qv::RunFinisher(*finish);
    }
    return qv::UninstallWith(*commandLine);
}
