#pragma once
// The background window: a full-screen picture with the product name, and
// the timer whose first useful tick runs the wizard. An unattended run shows
// no background and goes straight to the installation.
#include "toolkit/form.h"
#include "wizard/exit_code.h"
#include "wizard/is_administrator.h"
#include "wizard/run_options.h"
#include "wizard/transitions.h"

class TForm1 : public qv::Form {
public:
    TForm1();
    void Build(const qv::RunOptions& options);

    qv::Picture* Image1 = nullptr;
    qv::Label* Label1 = nullptr;

    // The privilege check the driver uses; a test build may replace it.
    const qv::PrivilegeApi* privileges = &qv::SystemPrivilegeApi();

    void Timer1Timer();
    // Every page exists: the wizard (or the unattended run) may start.
    // Until then nothing starts it, whatever boxes run their message loops
    // while the pages are made.
    void PagesCreated();

    // The program's exit code, from how the wizard ended.
    qv::SetupExit ExitCode() const;

protected:
    void FormCreate() override;

private:
    bool pagesCreated_ = false;
    void RunWizard();
    // The unattended run: the switches' values go into the pages' controls,
    // where a person would have put them, then the installation runs.
    void RunUnattended();
    void LogChoices() const;
    // Ends the program with the exit code of how the run ended.
    void End(qv::WizardEnd end);
    // How the wizard ends when `page` closed with a result that ends it.
    static qv::WizardEnd EndAfter(qv::Page page);

    qv::RunOptions options_;
    // Until the wizard has run, the program did not get to install.
    qv::WizardEnd end_ = qv::WizardEnd::CancelledBeforeInstalling;
};
