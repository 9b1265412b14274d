#pragma once
// Finish page: may start the installed application.
#include "pages/wizard_page.h"

class TForm8 : public qv::WizardPage {
public:
    TForm8();
    void Build(HWND owner);

    qv::Button* Ready = nullptr;
    qv::CheckBox* CheckBox = nullptr;

protected:
    // After an installation with errors, says so, and offers to start the
    // application only when it is there.
    void FormShow() override;
    void FormCloseQuery(bool& canClose) override;
};
