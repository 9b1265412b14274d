#include "engine/win_boxes.h"

#include "toolkit/program_text.h"

namespace qv {
namespace {

NoRunLog gNowhere;
Boxes gRunBoxes(gNowhere, false);

}  // namespace

const char* AnswerName(int answer) {
    switch (answer) {
        case IDOK: return "OK";
        case IDCANCEL: return "Отмена";
        case IDABORT: return "Прервать";
        case IDRETRY: return "Повтор";
        case IDIGNORE: return "Пропустить";
        case IDYES: return "Да";
        case IDNO: return "Нет";
        default: return "нет ответа";
    }
}

int Boxes::Show(HWND owner, const std::string& text, const char* caption, UINT style, int unattended) const {
    const int answer =
        suppressed_ ? unattended : MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), style);
    log_->Write(std::string(suppressed_ ? "Окно сообщения (не показано) «" : "Окно сообщения «") + caption +
                "»: " + text + " — ответ: " + AnswerName(answer));
    return answer;
}

Boxes& RunBoxes() { return gRunBoxes; }

void SetRunBoxes(const Boxes& boxes) { gRunBoxes = boxes; }

void ResetRunBoxes() { gRunBoxes = Boxes(gNowhere, false); }

}  // namespace qv
