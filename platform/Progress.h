#pragma once
// How far a long piece of work has come, and whether its user wants it stopped. The work
// (on a worker thread, or inline in a command-line tool) sets the total once and then bumps
// the done count as it goes, and asks Cancelled() at points where stopping leaves nothing
// half done; whoever shows the progress (the window's status line on a timer, a tool on
// standard error) reads Done(), Total() and Percent() whenever it likes, and asks for a stop
// with Cancel(). Every call is one relaxed atomic access, cheap enough for once per line,
// and any call may come from any thread.

#include "platform/Errors.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

namespace plotalon {

// Thrown by work that noticed Cancelled(): the work stops there, and what it was building
// is dropped.
class ECancelled : public Exception {
public:
    ECancelled() : Exception("Vorgang abgebrochen") {}
};

class TProgress {
public:
    TProgress() = default;
    TProgress(const TProgress&) = delete;
    TProgress& operator=(const TProgress&) = delete;

    // The work's side. A total of 0 or less means "not known yet": Percent() then gives 0.
    void SetTotal(std::int64_t total) { totalUnits_.store(total, std::memory_order_relaxed); }
    void SetDone(std::int64_t done) { doneUnits_.store(done, std::memory_order_relaxed); }
    void Advance(std::int64_t units) { doneUnits_.fetch_add(units, std::memory_order_relaxed); }
    bool Cancelled() const { return stop_.load(std::memory_order_relaxed); }
    // Throws ECancelled once a stop is asked for.
    void ThrowIfCancelled() const {
        if (Cancelled()) throw ECancelled();
    }

    // The watcher's side.
    void Cancel() { stop_.store(true, std::memory_order_relaxed); }
    std::int64_t Done() const { return doneUnits_.load(std::memory_order_relaxed); }
    std::int64_t Total() const { return totalUnits_.load(std::memory_order_relaxed); }
    // 0 to 100, rounded down; work that overran its total (a file that grew while it was
    // read) stays at 100.
    int Percent() const {
        const std::int64_t total = Total();
        if (total <= 0) return 0;
        const std::int64_t done = std::clamp<std::int64_t>(Done(), 0, total);
        return static_cast<int>(static_cast<long double>(done) * 100 / total);
    }

    // Back to the state of a new progress, for the next piece of work.
    void Reset() {
        doneUnits_.store(0, std::memory_order_relaxed);
        totalUnits_.store(0, std::memory_order_relaxed);
        stop_.store(false, std::memory_order_relaxed);
    }

private:
    std::atomic<std::int64_t> doneUnits_{0};
    std::atomic<std::int64_t> totalUnits_{0};
    std::atomic<bool> stop_{false};
};

} // namespace plotalon
