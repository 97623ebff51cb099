#include "sender/SendControl.h"

namespace plotalon {

void TSendControl::Pause() {
    std::lock_guard lock(mutex_);
    paused_ = true;
    changed_.notify_all();
}

void TSendControl::Resume() {
    std::lock_guard lock(mutex_);
    paused_ = false;
    changed_.notify_all();
}

void TSendControl::Cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    changed_.notify_all();
}

bool TSendControl::Paused() const {
    std::lock_guard lock(mutex_);
    return paused_;
}

bool TSendControl::Cancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

void TSendControl::WaitWhilePaused() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !paused_ || cancelled_; });
}

void TSendControl::Sleep(std::chrono::steady_clock::duration duration) {
    std::unique_lock lock(mutex_);
    const bool paused = paused_;
    changed_.wait_for(lock, duration, [&] { return cancelled_ || paused_ != paused; });
}

} // namespace plotalon
