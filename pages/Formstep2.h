#pragma once
// Licence agreement page: Next is enabled only while the agreement is accepted.
#include <string>

#include "pages/wizard_page.h"

class TForm3 : public qv::WizardPage {
public:
    TForm3();
    void Build(HWND owner);

    qv::Memo* Memo1 = nullptr;
    qv::RadioButton* RadioButton1 = nullptr;
    qv::RadioButton* RadioButton2 = nullptr;

    void RadioButton2Click();

    // The agreement exactly as the box holds it: its lines, each ended by CR LF.
    std::string AgreementText() const { return Memo1->Text(); }

protected:
    void FormShow() override;
    void FormCloseQuery(bool& canClose) override;

private:
    void LoadAgreement();
};
