#pragma once
// The install worker: one Win32 thread that runs the install sequence once.
//
// Created suspended, with the page. Start hands it the install choices and
// lets it run. Pause, Continue and Abandon act at the next boundary between
// steps or entries; the thread is never suspended or killed from outside.
// Destruction ends a worker that has not finished, without one more step,
// and waits until its thread is gone.
//
// Every ProgressSink call comes from the worker thread, but for the failure
// of a worker whose thread could not be made, which Start reports on the
// calling thread. The sink and the uninstall log must outlive this object.
#include <windows.h>

#include <memory>

#include "engine/install_choices.h"
#include "engine/install_gate.h"
#include "engine/install_system.h"
#include "engine/uninstall_log.h"
#include "engine/win_boxes.h"
#include "toolkit/win_handles.h"

class TThreadSetup {
public:
    // A worker on the real system, whose boxes and failures go through
    // `boxes`; `pauses`: whether it pauses after each entry.
    TThreadSetup(qv::ProgressSink& progress, qv::UninstallLog& log, const qv::Boxes& boxes = qv::RunBoxes(),
                 bool pauses = true);
    // A worker on the given system, which must outlive it.
    TThreadSetup(qv::ProgressSink& progress, qv::UninstallLog& log, qv::InstallSystem& system);
    ~TThreadSetup();

    TThreadSetup(const TThreadSetup&) = delete;
    TThreadSetup& operator=(const TThreadSetup&) = delete;

    // Runs the installation with these choices. Only the first call counts.
    void Start(qv::InstallChoices choices);
    bool Started() const { return started_; }

    void Pause() { gate_.Pause(); }
    void Continue() { gate_.Continue(); }
    void Abandon() { gate_.Abandon(); }

    // Waits until the thread has ended; false if it did not within the time.
    bool WaitFor(DWORD milliseconds) const;

private:
    static DWORD WINAPI ThreadProc(LPVOID self);
    void Body();
    void Fail(const char* what) noexcept;

    std::unique_ptr<qv::InstallSystem> ownSystem_;
    qv::InstallSystem& system_;
    qv::RunLog& runLog_;
    qv::ProgressSink& progress_;
    qv::UninstallLog& log_;
    qv::InstallGate gate_;
    qv::InstallChoices choices_;
    bool started_ = false;
    qv::UniqueHandle thread_;
};
