#include "payload/uninstaller/messages.h"

#include <windows.h>

namespace qv {

const char kUninstallCaption[] = "Удаление Кворвель";
const char kCommandLineNotText[] =
    "Командная строка программы удаления содержит имя, которое не является текстом Юникода. Ничего не удалено.";

namespace {

// A message box cannot show a list of any length: the rest is counted.
constexpr size_t kListedPaths = 15;

std::string PathList(const std::vector<std::string>& paths) {
    std::string out;
    for (size_t i = 0; i < paths.size() && i < kListedPaths; ++i) {
        if (i) out += "\n";
        out += paths[i];
    }
    if (paths.size() > kListedPaths) {
        out += "\n... и ещё " + std::to_string(paths.size() - kListedPaths);
    }
    return out;
}

const char kNothingRemoved[] =
    "Удаление приложения \"Кворвель 2.0\" невозможно. Ни один файл не был удалён.";
const char kContractOnly[] =
    "Будут удалены только файлы приложения \"Кворвель 2.0\", его ярлыки и папки, созданные при установке; "
    "другие файлы в папке приложения останутся.";

std::vector<std::string> RefusedPaths(const RemovalOutcome& outcome, Refusal why) {
    std::vector<std::string> paths;
    for (const RefusedLine& line : outcome.refused) {
        if (line.why == why) paths.push_back(line.path);
    }
    return paths;
}

// What the report says of the log itself and of the lines it did not follow.
std::string LogTrustText(const RemovalOutcome& outcome) {
    std::string text;
    if (outcome.logTrust == LogTrust::Changed) {
        text += "\n\nФайл журнала установки изменён после установки. Удалены только файлы приложения, "
                "его ярлыки и папки, созданные при установке.";
    } else if (outcome.logTrust == LogTrust::Lost) {
        text += "\n\nФайла журнала установки нет или он повреждён. Удалены только файлы приложения, "
                "его ярлыки и папки, созданные при установке.";
    }
    if (const std::vector<std::string> outside = RefusedPaths(outcome, Refusal::Outside); !outside.empty()) {
        text += "\n\nЖурнал установки называет файлы и папки вне установленного приложения. Они не удалены:\n\n" +
                PathList(outside);
    }
    if (const std::vector<std::string> kept = RefusedPaths(outcome, Refusal::NotProven); !kept.empty()) {
        text += "\n\nСледующие файлы в папке приложения не созданы программой установки и сохранены:\n\n" +
                PathList(kept);
    }
    return text;
}

std::string LineNumber(size_t number) { return "Строка " + std::to_string(number); }

// Why one line was not used, after its number.
struct LineFaultWords {
    LogFault fault;
    const char* words;
};

constexpr LineFaultWords kLineFaultWords[] = {
    {LogFault::Unterminated, " не завершена: файл обрезан."},
    {LogFault::StrayBreak, ": неверный конец строки."},
    {LogFault::BadCharacter, " содержит недопустимый символ."},
    {LogFault::NoKind, ": ожидается путь, знак \"=\" и буква F или D."},
    {LogFault::BadPath, ": путь не является полным путём к файлу или папке."},
    {LogFault::NoSuchName, ": файла или папки с таким именем быть не может."},
};

std::string LineFaultText(const SetAsideLine& line) {
    for (const LineFaultWords& known : kLineFaultWords) {
        if (known.fault == line.fault) return LineNumber(line.number) + known.words;
    }
    return LineNumber(line.number) + ".";
}

std::string FaultText(const LogReading& reading) {
    switch (reading.fault) {
        case LogFault::Empty:
            return "Файл пуст.";
        case LogFault::TooLarge:
            return "Файл слишком велик.";
        case LogFault::NotText:
            return "Содержимое файла не является текстом.";
        case LogFault::NothingUsable:
            return "В файле нет ни одной пригодной строки." +
                   (reading.rejected.empty() ? std::string() : " " + LineFaultText(reading.rejected.front()));
        default:
            return std::string();
    }
}

std::string ReasonsText(unsigned reasons) {
    // The one with a participial phrase goes last, where the sentence closes it.
    std::vector<const char*> parts;
    if (reasons & kKeptUserData) parts.push_back("файлы с Вашими данными");
    if (reasons & kKeptOtherShortcuts) parts.push_back("ярлыки другой установки приложения");
    if (reasons & kKeptUserFiles) parts.push_back("файлы, не созданные при установке");
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) out += i + 1 == parts.size() ? " и " : ", ";
        out += parts[i];
    }
    return out;
}

// Folders kept on purpose; one kept only for the user's data, which the
// report names file by file, is not named again.
std::string KeptFoldersText(const std::vector<KeptFolder>& folders) {
    std::string out;
    for (const KeptFolder& folder : folders) {
        if (folder.reasons == kKeptUserData) continue;
        out += "\n\nПапка " + folder.path + " сохранена, так как в ней остались " + ReasonsText(folder.reasons) + ".";
    }
    return out;
}

}  // namespace

std::string QuestionText() {
    return "Вы действительно хотите удалить приложение \"Кворвель 2.0\" с Вашего компьютера?\n\n"
           "Будут удалены файлы приложения, его ярлыки и запись в списке установленных программ.";
}

std::string UserDataQuestionText(const std::vector<std::string>& files) {
    return "Удалить также файлы с Вашими данными?\n\n" + PathList(files) +
           "\n\nЕсли ответить \"Нет\", эти файлы останутся на диске.";
}

std::string InUseText(const std::vector<std::string>& files) {
    return "Файлы приложения \"Кворвель 2.0\" используются другой программой:\n\n" + PathList(files) +
           "\n\nЗакройте приложение \"Кворвель 2.0\" и другие программы, которые могут использовать "
           "эти файлы, и повторите попытку. Если отменить удаление, ни один файл не будет удалён.";
}

std::string LogTroubleText(LogTrouble trouble, const std::string& logPath, const LogReading& reading,
                           bool byContract) {
    std::string text;
    switch (trouble) {
        case LogTrouble::Missing:
            text = "Не найден файл журнала установки:\n\n" + logPath;
            break;
        case LogTrouble::Unreadable:
            text = "Не удалось прочитать файл журнала установки:\n\n" + logPath;
            break;
        case LogTrouble::Damaged:
            text = "Файл журнала установки повреждён:\n\n" + logPath + "\n\n" + FaultText(reading);
            break;
    }
    return text + "\n\n" + (byContract ? kContractOnly : kNothingRemoved);
}

std::string SetAsideText(const SetAsideLine& line) { return LineFaultText(line) + " " + line.text; }

FinalReport FinalReportText(const LogReading& reading, const RemovalOutcome& outcome,
                            const std::vector<std::string>& atRestart) {
    const bool failed = !outcome.notRemoved.empty() || outcome.keyKept || !reading.rejected.empty() ||
                        !outcome.refused.empty() || outcome.logTrust == LogTrust::Changed ||
                        outcome.logTrust == LogTrust::Lost;
    std::string text = failed ? "Удаление приложения \"Кворвель 2.0\" завершено."
                              : "Приложение \"Кворвель 2.0\" удалено с Вашего компьютера.";
    if (!outcome.notRemoved.empty()) {
        text += "\n\nНе удалось удалить следующие файлы и папки:\n\n" + PathList(outcome.notRemoved) +
                "\n\nВы можете удалить их вручную.";
    }
    if (!reading.rejected.empty()) {
        std::vector<std::string> lines;
        for (const SetAsideLine& line : reading.rejected) lines.push_back(LineNumber(line.number) + ": " + line.text);
        text += "\n\nСледующие строки журнала установки не удалось разобрать, названное в них не удалено:\n\n" +
                PathList(lines);
    }
    text += LogTrustText(outcome);
    if (outcome.keptForRetry) {
        text += "\n\nЗапись приложения в списке установленных программ и программа удаления сохранены: "
                "закройте программы, которые могут использовать эти файлы, и повторите удаление.";
    } else if (outcome.keyKept) {
        text += "\n\nНе удалось удалить запись приложения из списка установленных программ.";
    }
    if (!outcome.keptData.empty()) {
        text += "\n\nФайлы с Вашими данными сохранены:\n\n" + PathList(outcome.keptData);
    }
    text += KeptFoldersText(outcome.keptFolders);
    if (!atRestart.empty()) {
        text += "\n\nПосле перезагрузки компьютера будут удалены:\n\n" + PathList(atRestart);
    }
    return {text, static_cast<unsigned>(failed ? MB_ICONWARNING : MB_ICONINFORMATION)};
}

}  // namespace qv
