#include "pages/wizard_page.h"

#include "engine/win_boxes.h"

namespace qv {
namespace {

constexpr const char* kExitCaption = "Выход из программы установки";
constexpr const char* kExitText =
    "Процесс установки не завершен. Если Вы прервете процесс установки, программа не будет установлена."
    "\n\n"
    "Для завершения процесса установки, запустите программу установки еще раз."
    "\n\n"
    "Выйти из программы установки?";

}  // namespace

void WizardPage::ConfirmExitOnCancel(bool& canClose) {
    if (ModalResult() != qv::ModalResult::Cancel) return;
    if (!ConfirmExit()) canClose = false;
}

bool WizardPage::ConfirmExit() const {
    return RunBoxes().Show(hwnd(), kExitText, kExitCaption, MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON1, IDYES) ==
           IDYES;
}

}  // namespace qv
