#pragma once
// Licence agreement page: Next is enabled only while the agreement is accepted.
#include <string>

#include "pages/wizard_page.h"

class TForm3 : public qv::WizardPage {
public:
    TForm3();

    qv::Memo* Memo1 = nullptr;
    qv::RadioButton* RadioButton1 = nullptr;
    qv::RadioButton* RadioButton2 = nullptr;

    void RadioButton2Click();

    // The agreement exactly as the box holds it: its lines, each ended by CR LF.
    std::string AgreementText() const { return Memo1->Text(); }

protected:
    void FormCreate() override;
    // Focuses Next only when it is enabled.
    void FormShow() override;

private:
    void LoadAgreement();
};
