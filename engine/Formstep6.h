#pragma once
// Progress page: owns the install worker and shows what it reports.
#include "pages/wizard_page.h"

class TForm7 : public qv::WizardPage {
public:
    TForm7();
    void Build(HWND owner);

    qv::StaticText* Action = nullptr;
    qv::StaticText* FileName = nullptr;
    qv::ProgressBar* pb = nullptr;

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormCloseQuery(bool& canClose) override;
    void FormDestroy() override;

private:
    void Timer1Timer();
};
