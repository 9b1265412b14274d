#include "engine/install_gate.h"

namespace qv {

void InstallGate::Pause() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ == State::Open) state_ = State::Paused;
}

void InstallGate::Continue() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (state_ != State::Paused) return;
        state_ = State::Open;
    }
    changed_.notify_all();
}

void InstallGate::Abandon() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        state_ = State::Abandoned;
    }
    changed_.notify_all();
}

bool InstallGate::Pass() {
    std::unique_lock<std::mutex> lock(mutex_);
    holding_ = true;
    changed_.wait(lock, [this] { return state_ != State::Paused; });
    holding_ = false;
    if (state_ == State::Abandoned) return false;
    ++passed_;
    return true;
}

bool InstallGate::Abandoned() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return state_ == State::Abandoned;
}

bool InstallGate::Holding() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return holding_;
}

std::size_t InstallGate::Passed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return passed_;
}

}  // namespace qv
