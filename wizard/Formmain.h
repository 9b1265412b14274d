#pragma once
// The background window: a full-screen picture with the product name, and
// the timer whose first useful tick runs the wizard.
#include "toolkit/form.h"
#include "wizard/exit_code.h"
#include "wizard/is_administrator.h"
#include "wizard/transitions.h"

class TForm1 : public qv::Form {
public:
    TForm1();
    void Build();

    qv::Picture* Image1 = nullptr;
    qv::Label* Label1 = nullptr;

    // The privilege check the driver uses; a test build may replace it.
    const qv::PrivilegeApi* privileges = &qv::SystemPrivilegeApi();

    void Timer1Timer();

    // The program's exit code, from how the wizard ended.
    qv::SetupExit ExitCode() const;

protected:
    void FormCreate() override;

private:
    void RunWizard();
    // How the wizard ends when `page` closed with a result that ends it.
    static qv::WizardEnd EndAfter(qv::Page page);

    // Until the wizard has run, the program did not get to install.
    qv::WizardEnd end_ = qv::WizardEnd::CancelledBeforeInstalling;
};
