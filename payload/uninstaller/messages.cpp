#include "payload/uninstaller/messages.h"

#include <windows.h>

namespace qv {

const char kUninstallCaption[] = "Удаление Кворвель";

namespace {

// A message box cannot show a list of any length: the rest is counted.
constexpr size_t kListedPaths = 15;

const char kNothingRemoved[] =
    "Удаление приложения \"Кворвель 2.0\" невозможно. Ни один файл не был удалён.";

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

std::string FaultText(const LogReading& reading) {
    const std::string line = "Строка " + std::to_string(reading.faultLine);
    switch (reading.fault) {
        case LogFault::None:
            break;
        case LogFault::Empty:
            return "Файл пуст.";
        case LogFault::TooLarge:
            return "Файл слишком велик.";
        case LogFault::Unterminated:
            return line + " не завершена: файл обрезан.";
        case LogFault::StrayBreak:
            return line + ": неверный конец строки.";
        case LogFault::BadCharacter:
            return line + " содержит недопустимый символ.";
        case LogFault::NoKind:
            return line + ": ожидается путь, знак \"=\" и буква F или D.";
        case LogFault::BadPath:
            return line + ": путь не является полным путём к файлу или папке.";
    }
    return std::string();
}

}  // namespace

std::string QuestionText() {
    return "Вы действительно хотите удалить приложение \"Кворвель 2.0\" с Вашего компьютера?\n\n"
           "Будут удалены файлы приложения, его ярлыки и запись в списке установленных программ.";
}

std::string MissingLogText(const std::string& logPath) {
    return "Не найден файл журнала установки:\n\n" + logPath + "\n\n" + kNothingRemoved;
}

std::string UnreadableLogText(const std::string& logPath) {
    return "Не удалось прочитать файл журнала установки:\n\n" + logPath + "\n\n" + kNothingRemoved;
}

std::string DamagedLogText(const std::string& logPath, const LogReading& reading) {
    return "Файл журнала установки повреждён:\n\n" + logPath + "\n\n" + FaultText(reading) +
           "\n\n" + kNothingRemoved;
}

FinalReport FinalReportText(const std::vector<std::string>& notRemoved, bool keyKept,
                            const std::vector<std::string>& atRestart) {
    if (notRemoved.empty() && !keyKept && atRestart.empty()) {
        return {"Приложение \"Кворвель 2.0\" удалено с Вашего компьютера.",
                static_cast<unsigned>(MB_ICONINFORMATION)};
    }
    std::string text = "Удаление приложения \"Кворвель 2.0\" завершено.";
    if (!notRemoved.empty()) {
        text += "\n\nНе удалось удалить следующие файлы и папки:\n\n" + PathList(notRemoved) +
                "\n\nВы можете удалить их вручную.";
    }
    if (keyKept) {
        text += "\n\nНе удалось удалить запись приложения из списка установленных программ.";
    }
    if (!atRestart.empty()) {
        text += "\n\nПосле перезагрузки компьютера будут удалены:\n\n" + PathList(atRestart);
    }
    const unsigned icon = notRemoved.empty() && !keyKept ? MB_ICONINFORMATION : MB_ICONWARNING;
    return {text, icon};
}

}  // namespace qv
