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
    void FormCloseQuery(bool& canClose) override;
};
