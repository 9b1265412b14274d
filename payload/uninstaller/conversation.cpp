#include "payload/uninstaller/conversation.h"

#include <windows.h>

#include "payload/uninstaller/messages.h"

namespace qv {

int Conversation::Ask(const std::string& text, unsigned style, int silentAnswer) {
    return boxes_.Show(nullptr, text, kUninstallCaption, style | MB_SETFOREGROUND, silentAnswer);
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
