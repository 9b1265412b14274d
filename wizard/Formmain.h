#pragma once
// The background window: a full-screen picture with the product name, and
// the timer whose first useful tick runs the wizard.
#include "toolkit/form.h"
#include "wizard/is_administrator.h"

class TForm1 : public qv::Form {
public:
    TForm1();
    void Build();

    qv::Picture* Image1 = nullptr;
    qv::Label* Label1 = nullptr;

    // The privilege check the driver uses; a test build may replace it.
    const qv::PrivilegeApi* privileges = &qv::SystemPrivilegeApi();

    void Timer1Timer();

protected:
    void FormCreate() override;

private:
    void RunWizard();
};
