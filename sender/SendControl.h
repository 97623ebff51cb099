#pragma once
// Pause, resume and cancel of a send, set from one thread (the window's, or a signal
// watcher's) and obeyed by the sending thread between two writes.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace plotalon {

class TSendControl {
public:
    void Pause();
    void Resume();
    void Cancel();
    bool Paused() const;
    bool Cancelled() const;

    // Blocks while paused and not cancelled.
    void WaitWhilePaused();
    // Sleeps for duration, or less when cancelled, paused or resumed meanwhile.
    void Sleep(std::chrono::steady_clock::duration duration);

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool paused_ = false;
    bool cancelled_ = false;
};

} // namespace plotalon
