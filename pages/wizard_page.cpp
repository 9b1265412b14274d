#include "pages/wizard_page.h"

#include "wizard/messages.h"

namespace qv {

void WizardPage::ConfirmExitOnCancel(bool& canClose) {
    if (ModalResult() != qv::ModalResult::Cancel) return;
    if (!ConfirmExit(hwnd())) canClose = false;
}

}  // namespace qv
