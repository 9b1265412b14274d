#pragma once
// The gate between the install worker and the page that owns it. The page
// pauses, continues or abandons; the worker asks the gate only at the
// boundaries between steps and between entries, so it is never held while
// it owns something another thread needs.
#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace qv {

class InstallGate {
public:
    // Called by the owner, from any thread.
    void Pause();
    void Continue();  // no effect once abandoned
    void Abandon();   // final: the worker begins nothing more

    // Called by the worker at a boundary: waits while paused, then returns
    // true to go on, or false once abandoned.
    bool Pass();

    bool Abandoned() const;
    // True while the worker is waiting at the gate.
    bool Holding() const;
    // Number of boundaries the worker has passed so far.
    std::size_t Passed() const;

private:
    enum class State { Open, Paused, Abandoned };

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    State state_ = State::Open;
    bool holding_ = false;
    std::size_t passed_ = 0;
};

}  // namespace qv
