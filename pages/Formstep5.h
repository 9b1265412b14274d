#pragma once
// Additional tasks page: whether a desktop shortcut is wanted.
#include "pages/wizard_page.h"

class TForm6 : public qv::WizardPage {
public:
    TForm6();

    qv::CheckBox* CheckBox = nullptr;

    // Whether a desktop shortcut is wanted.
    bool DesktopShortcutWanted() const { return CheckBox->Checked(); }

protected:
    void FormCreate() override;
};
