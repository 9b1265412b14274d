#pragma once
// The setup program's exit code, from what the run did, never from where
// the code happened to end. Deployment tools read it; the README lists it.
#include "engine/install_report.h"

namespace qv {

enum class SetupExit : int {
    Installed = 0,        // installed completely (or the help was shown)
    CouldNotStart = 1,    // a bad switch or value (a destination or group the pages refuse among them)
    CancelledBefore = 2,  // the wizard was left before the installation began
    AlreadyRunning = 3,   // another setup is running: try again once it has ended
    Failed = 4,           // installed with errors: something was not written
    Cancelled = 5,        // left during the installation, or Abort answered
    NoRights = 6,         // started without administrator's rights
};

// How the wizard ended.
enum class WizardEnd {
    Refused,                   // the privilege check refused
    BadChoice,                 // an unattended run's destination or group was refused
    CancelledBeforeInstalling,
    CancelledWhileInstalling,
    InstallationFailed,        // the installation could not run to its end
    InstallationFinished,      // the installation ran to its end; see the report
};

SetupExit ExitCodeOf(WizardEnd end, const InstallReport& report);

}  // namespace qv
