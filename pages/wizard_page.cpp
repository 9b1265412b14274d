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

WizardPage::WizardPage(const FormLayout& layout, std::span<const ControlLayout> controls)
    : Form(layout), controls_(controls) {}

void WizardPage::Build(HWND owner) { Create(owner, controls_); }

void WizardPage::FindControls() {
    Next = Get<Button>("Next");
    Back = Get<Button>("Back");
    Cancel = Get<Button>("Cancel");
}

void WizardPage::FormShow() { SetActiveControl(Next); }

void WizardPage::FormCloseQuery(bool& canClose) {
    if (ModalResult() == qv::ModalResult::Cancel) {
        if (!ConfirmExit()) canClose = false;
    } else if (ModalResult() == qv::ModalResult::Next) {
        if (!CanGoNext()) canClose = false;
    }
}

bool WizardPage::ConfirmExit() const {
    return RunBoxes().Show(hwnd(), kExitText, kExitCaption, MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON1, IDYES) ==
           IDYES;
}

}  // namespace qv
