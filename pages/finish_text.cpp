#include "pages/finish_text.h"

#include <vector>

namespace qv {

const char kCompleteTitle[] = "Установка Кворвель завершена";
const char kCompleteBody[] =
    "Программа установки завершила установку приложения Кворвель на Ваш компьютер. Приложение может быть "
    "запущено посредством выбора соответствующего ярлыка.";
const char kErrorsTitle[] = "Установка Кворвель завершена с ошибками";
const char kStoppedTitle[] = "Установка Кворвель прервана";
const char kStoppedBody[] =
    "Установка прервана: приложение Кворвель не установлено, и всё, что программа установки успела записать, "
    "удалено. Для завершения процесса установки, запустите программу установки еще раз.";
const char kStoppedLeft[] = " Не удалось удалить: ";

std::string FileCount(int count) {
    const int lastTwo = count % 100;
    const int last = count % 10;
    const char* word = "файлов";
    if (last == 1 && lastTwo != 11) {
        word = "файл";
    } else if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14)) {
        word = "файла";
    }
    return std::to_string(count) + " " + word;
}

namespace {

// After Abort: what the run wrote is gone again, but what could not be removed.
FinishText StoppedText(const InstallReport& report) {
    std::string body = kStoppedBody;
    if (!report.notTakenBack.empty()) {
        body += kStoppedLeft + report.notTakenBack.front();
        if (report.notTakenBack.size() > 1) body += " и ещё " + std::to_string(report.notTakenBack.size() - 1);
        body += ".";
    }
    return {kStoppedTitle, body, false};
}

}  // namespace

FinishText FinishTextFor(const InstallReport& report) {
    if (report.Complete()) return {kCompleteTitle, kCompleteBody, true};
    if (report.takenBack) return StoppedText(report);
    std::vector<std::string> problems;
    if (const int missing = report.MissingFiles()) {
        const bool one = missing % 10 == 1 && missing % 100 != 11;
        problems.push_back(std::string(one ? "не установлен " : "не установлено ") + FileCount(missing) +
                           " из " + std::to_string(report.entryCount));
    }
    if (!report.licenceSaved) problems.push_back("не сохранён текст соглашения");
    if (!report.logSaved) problems.push_back("не сохранён журнал для удаления");
    if (!report.registered) problems.push_back("приложение не внесено в список установленных программ");
    if (report.shortcutsLeftOut) problems.push_back("созданы не все ярлыки");
    if (report.registered && !report.unwrittenValues.empty()) {
        problems.push_back("в список установленных программ внесены не все сведения о приложении");
    }
    std::string body = "При установке приложения Кворвель были ошибки: ";
    for (std::size_t i = 0; i < problems.size(); ++i) {
        if (i) body += "; ";
        body += problems[i];
    }
    body += ". Запустите программу установки ещё раз.";
    return {kErrorsTitle, body, report.applicationInPlace};
}

}  // namespace qv
