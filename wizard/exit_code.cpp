#include "wizard/exit_code.h"

namespace qv {

SetupExit ExitCodeOf(WizardEnd end, const InstallReport& report) {
    switch (end) {
        case WizardEnd::Refused: return SetupExit::NoRights;
        case WizardEnd::BadChoice: return SetupExit::CouldNotStart;
        case WizardEnd::CancelledBeforeInstalling: return SetupExit::CancelledBefore;
        case WizardEnd::CancelledWhileInstalling: return SetupExit::Cancelled;
        case WizardEnd::InstallationFailed: return SetupExit::Failed;
        case WizardEnd::InstallationFinished: break;
    }
    if (report.abortAnswered) return SetupExit::Cancelled;
    return report.Complete() ? SetupExit::Installed : SetupExit::Failed;
}

}  // namespace qv
