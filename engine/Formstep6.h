#pragma once
// Progress page: owns the uninstall log and the install worker, starts the
// worker when shown, shows what it reports, and pauses it while the exit
// confirmation is open.
#include <memory>
#include <string>

#include "engine/install_report.h"
#include "engine/install_system.h"
#include "engine/uninstall_log.h"
#include "engine/win_thread_setup.h"
#include "pages/wizard_page.h"

class TForm7 : public qv::WizardPage {
public:
    // A watched installation pauses after each entry, for the person
    // watching the progress; an unattended one does not.
    explicit TForm7(bool watched);

    qv::StaticText* Action = nullptr;
    qv::StaticText* FileName = nullptr;
    qv::ProgressBar* pb = nullptr;

    // What the installation achieved; complete once the page has closed
    // with Next.
    const qv::InstallReport& Report() const { return report_; }
    // The installation could not run to its end (no worker, or the worker
    // stopped on an error): the page closed without the finish page.
    bool InstallationFailed() const { return failed_; }
    // Whether the installation may be left (Cancel, the close box, a close
    // request from outside); an unattended run may forbid it.
    void SetCancellable(bool cancellable);

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormCloseQuery(bool& canClose) override;
    void FormDestroy() override;

private:
    // Carries the worker's reports to the user-interface thread.
    class PageSink : public qv::ProgressSink {
    public:
        explicit PageSink(TForm7& page) : page_(page) {}
        void SetAction(const std::string& text) override;
        void SetFileName(const std::string& text) override;
        void SetRange(int minimum, int maximum) override;
        void SetPosition(int position) override;
        void Finished(const qv::InstallReport& report) override;
        void Failed(const std::string& what) override;

    private:
        TForm7& page_;
    };

    void Timer1Timer();
    void WorkerFinished(const qv::InstallReport& report);
    // Tells the user the installation cannot go on, then closes the page.
    void InstallationStopped(const std::string& what);

    PageSink sink_{*this};
    std::unique_ptr<qv::UninstallLog> log_;
    std::unique_ptr<TThreadSetup> worker_;
    qv::InstallReport report_;
    bool finished_ = false;  // the worker has reported completion
    bool asking_ = false;    // the exit confirmation is open
    bool failed_ = false;    // the installation stopped on an error
    bool cancellable_ = true;
    const bool watched_;
};
