#include "sender/SendControl.h"

namespace plotalon {

void TSendControl::Pause() {
    std::lock_guard lock(Mutex);
    Paused_ = true;
    Changed.notify_all();
}

void TSendControl::Resume() {
    std::lock_guard lock(Mutex);
    Paused_ = false;
    Changed.notify_all();
}

void TSendControl::Cancel() {
    std::lock_guard lock(Mutex);
    Cancelled_ = true;
    Changed.notify_all();
}

bool TSendControl::Paused() const {
    std::lock_guard lock(Mutex);
    return Paused_;
}

bool TSendControl::Cancelled() const {
    std::lock_guard lock(Mutex);
    return Cancelled_;
}

void TSendControl::WaitWhilePaused() {
    std::unique_lock lock(Mutex);
    Changed.wait(lock, [this] { return !Paused_ || Cancelled_; });
}

void TSendControl::Sleep(std::chrono::steady_clock::duration duration) {
    std::unique_lock lock(Mutex);
    const bool paused = Paused_;
    Changed.wait_for(lock, duration, [&] { return Cancelled_ || Paused_ != paused; });
}

} // namespace plotalon
