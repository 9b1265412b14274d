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
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

TThreadSetup::TThreadSetup(qv::ProgressSink& progress, qv::UninstallLog& log, const qv::Boxes& boxes, bool pauses)
    : ownSystem_(std::make_unique<qv::WinInstallSystem>(boxes, pauses)),
      system_(*ownSystem_),
      runLog_(boxes.Log()),
      progress_(progress),
      log_(log) {
    thread_.reset(CreateThread(nullptr, 0, &TThreadSetup::ThreadProc, this, CREATE_SUSPENDED, nullptr));
}

TThreadSetup::TThreadSetup(qv::ProgressSink& progress, qv::UninstallLog& log,
                           qv::InstallSystem& system)
    : system_(system), runLog_(qv::RunBoxes().Log()), progress_(progress), log_(log) {
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
    if (started_) return;
    started_ = true;
    if (!thread_) {
        // Without its thread the installation ends as a worker that failed
        // would: the page says so and can be left.
        Fail("не удалось запустить поток установки");
        return;
    }
    choices_ = std::move(choices);
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
    // Nothing may escape a thread; what stops the installation (out of
    // memory, say) is reported to the page, which tells the user.
    try {
        qv::InstallSequence(choices_, system_, progress_, gate_, log_, runLog_).Run();
    } catch (const std::exception& e) {
        Fail(e.what());
    } catch (...) {
        Fail("");
    }
}

void TThreadSetup::Fail(const char* what) noexcept {
    try {
        runLog_.Write(std::string("Установка прервана из-за ошибки: ") + what);
        progress_.Failed(what);
    } catch (...) {
        // Not even the report could be made: the page stays with its Cancel.
    }
}
