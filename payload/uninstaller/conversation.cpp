#include "payload/uninstaller/conversation.h"

#include <windows.h>

#include "payload/uninstaller/messages.h"

namespace qv {
namespace {

const char* AnswerName(int answer) {
    switch (answer) {
        case IDYES:
            return "Да";
        case IDNO:
            return "Нет";
        case IDRETRY:
            return "Повторить";
        case IDCANCEL:
            return "Отмена";
        case IDOK:
            return "OK";
        default:
            return "нет ответа";
    }
}

}  // namespace

int Conversation::Ask(const std::string& text, unsigned style, int silentAnswer) {
    if (silent_) {
        log_.Write("Сообщение (без показа): " + text + " — ответ по умолчанию: " + AnswerName(silentAnswer));
        return silentAnswer;
    }
    const int answer = MessageBoxA(nullptr, text.c_str(), kUninstallCaption, style | MB_SETFOREGROUND);
    log_.Write("Сообщение: " + text + " — ответ: " + AnswerName(answer));
    return answer;
}

bool Conversation::ConfirmRemoval() {
    return Ask(QuestionText(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, IDYES) == IDYES;
}

bool Conversation::RemoveUserData(const std::vector<std::string>& files) {
    return Ask(UserDataQuestionText(files), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, IDNO) == IDYES;
}

bool Conversation::RetryInUse(const std::vector<std::string>& files) {
    return Ask(InUseText(files), MB_RETRYCANCEL | MB_ICONWARNING, IDCANCEL) == IDRETRY;
}

void Conversation::Tell(const std::string& text, unsigned icon) { Ask(text, MB_OK | icon, IDOK); }

}  // namespace qv
