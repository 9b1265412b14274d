#pragma once
// A wizard page: a form with the buttons every page may have, made from its
// layout and control table, with the close rules most pages share.
#include <span>

#include "toolkit/form.h"

namespace qv {

class WizardPage : public Form {
public:
    // The table must outlive the page (the pages' tables are static).
    WizardPage(const FormLayout& layout, std::span<const ControlLayout> controls);

    // Makes the window and its controls, owned by `owner`, finds the
    // buttons, then runs FormCreate.
    void Build(HWND owner);

    Button* Next = nullptr;
    Button* Back = nullptr;
    Button* Cancel = nullptr;

protected:
    // Focuses Next.
    void FormShow() override;
    // Cancel (or the close box) asks the exit confirmation, and No keeps the
    // page; Next leaves it only when CanGoNext agrees.
    void FormCloseQuery(bool& canClose) override;
    // Asked when the page closes with Next; false keeps the page.
    virtual bool CanGoNext() { return true; }
    // The exit confirmation, owned by the page; true when the user answers
    // Yes (as an unattended run does: its Cancel was pressed on purpose).
    bool ConfirmExit() const;

private:
    void FindControls() override;

    std::span<const ControlLayout> controls_;
};

}  // namespace qv
