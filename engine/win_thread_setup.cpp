#include "engine/win_thread_setup.h"

#include "engine/install_sequence.h"
#include "engine/win_install_system.h"

namespace {

// Waits for the handle while still taking the messages other threads send
// to this one, so that a worker in the middle of a sent update is never
// left waiting for a thread that waits for it.
void WaitTakingSentMessages(HANDLE handle) {
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1) return;  // ended, or the wait failed
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

TThreadSetup::TThreadSetup(qv::ProgressSink& progress, qv::UninstallLog& log)
    : ownSystem_(std::make_unique<qv::WinInstallSystem>()),
      system_(*ownSystem_),
      progress_(progress),
      log_(log) {
    thread_.reset(CreateThread(nullptr, 0, &TThreadSetup::ThreadProc, this, CREATE_SUSPENDED, nullptr));
}

TThreadSetup::TThreadSetup(qv::ProgressSink& progress, qv::UninstallLog& log,
                           qv::InstallSystem& system)
    : system_(system), progress_(progress), log_(log) {
    thread_.reset(CreateThread(nullptr, 0, &TThreadSetup::ThreadProc, this, CREATE_SUSPENDED, nullptr));
}

TThreadSetup::~TThreadSetup() {
    // A worker that has not finished takes no further step; one that never
    // started finds the gate closed as its first act.
    gate_.Abandon();
    if (!thread_) return;
    if (!started_) ResumeThread(thread_.get());
    WaitTakingSentMessages(thread_.get());
}

void TThreadSetup::Start(qv::InstallChoices choices) {
    if (started_ || !thread_) return;
    choices_ = std::move(choices);
    started_ = true;
    ResumeThread(thread_.get());
}

bool TThreadSetup::WaitFor(DWORD milliseconds) const {
    return !thread_ || WaitForSingleObject(thread_.get(), milliseconds) == WAIT_OBJECT_0;
}

DWORD WINAPI TThreadSetup::ThreadProc(LPVOID self) {
    static_cast<TThreadSetup*>(self)->Body();
    return 0;
}

void TThreadSetup::Body() {
    try {
        qv::InstallSequence(choices_, system_, progress_, gate_, log_).Run();
    } catch (...) {
        // Out of memory: the installation stops here; the page can still
        // be left through its Cancel button.
    }
}
