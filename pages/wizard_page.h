#pragma once
// A wizard page: a form with the buttons every page may have.
#include <span>

#include "toolkit/form.h"

namespace qv {

class WizardPage : public Form {
public:
    using Form::Form;

    Button* Next = nullptr;
    Button* Back = nullptr;
    Button* Cancel = nullptr;

protected:
    // Finds the common buttons once the controls exist.
    void BindButtons() {
        Next = Get<Button>("Next");
        Back = Get<Button>("Back");
        Cancel = Get<Button>("Cancel");
    }
    // On Cancel (or the close box) asks the exit confirmation; No keeps the page.
    void ConfirmExitOnCancel(bool& canClose);
    // The exit confirmation, owned by the page; true when the user answers
    // Yes (as an unattended run does: its Cancel was pressed on purpose).
    bool ConfirmExit() const;
};

}  // namespace qv
