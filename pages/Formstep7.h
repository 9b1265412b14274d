#pragma once
// Finish page: may start the installed application.
#include "pages/wizard_page.h"

class TForm8 : public qv::WizardPage {
public:
    TForm8();

    qv::Button* Ready = nullptr;
    qv::CheckBox* CheckBox = nullptr;

protected:
    void FormCreate() override;
    // After an installation with errors, says so, and offers to start the
    // application only when it is there.
    void FormShow() override;
    // Ready may start the application; nothing is asked on the way out.
    void FormCloseQuery(bool& canClose) override;
};
