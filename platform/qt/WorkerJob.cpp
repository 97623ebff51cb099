#include "platform/qt/WorkerJob.h"

#include "platform/qt/ErrorReport.h"

#include <utility>

namespace plotalon {

TWorkerJob::TWorkerJob(QObject* parent) : QObject(parent) {
    timer_.setInterval(kPollInterval);
    connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
}

TWorkerJob::~TWorkerJob() {
    Abandon();
}

TWorkerJob::TOutcome TWorkerJob::Perform(const TWork& work, TProgress& progress) {
    try {
        work(progress);
    } catch (const ECancelled&) {
        return {TEnd::Cancelled, nullptr};
    } catch (...) {
        return {TEnd::Failed, std::current_exception()};
    }
    return {};
}

bool TWorkerJob::Start(TWork work, TFinish finish) {
    if (busy_) return false;
    shared_.Reset();
    workEnded_.store(false);
    outcome_ = {};
    finish_ = std::move(finish);
    busy_ = true;
    worker_ = std::thread([this, work = std::move(work)] {
        outcome_ = Perform(work, shared_);
        {
            std::lock_guard<std::mutex> lock(endMutex_);
            workEnded_.store(true, std::memory_order_release);
        }
        endSignal_.notify_all();
        // Wakes the GUI thread at once rather than at the next poll; dropped when this
        // object is gone by then.
        QMetaObject::invokeMethod(
            this, [this] { Collect(); }, Qt::QueuedConnection);
    });
    timer_.start();
    return true;
}

void TWorkerJob::Cancel() {
    if (busy_) shared_.Cancel();
}

bool TWorkerJob::EndWithin(std::chrono::milliseconds timeout) {
    if (!busy_) return true;
    {
        std::unique_lock<std::mutex> lock(endMutex_);
        if (!endSignal_.wait_for(lock, timeout,
                                 [this] { return workEnded_.load(std::memory_order_acquire); }))
            return false;
    }
    Collect();
    return !busy_;
}

void TWorkerJob::Abandon() {
    shared_.Cancel();
    if (worker_.joinable()) worker_.join();
    timer_.stop();
    finish_ = nullptr;
    outcome_ = {};
    busy_ = false; // a wake-up still on its way finds nothing to collect
}

void TWorkerJob::Poll() {
    if (workEnded_.load(std::memory_order_acquire)) {
        Collect();
        return;
    }
    if (OnProgress) RunGuarded([this] { OnProgress(shared_); });
}

void TWorkerJob::Collect() {
    if (!busy_ || !workEnded_.load(std::memory_order_acquire)) return;
    worker_.join(); // the work has ended: only the thread's last steps remain
    timer_.stop();
    TFinish finish = std::exchange(finish_, nullptr);
    const TOutcome outcome = std::exchange(outcome_, {});
    busy_ = false; // the finish may start the next job
    if (finish) RunGuarded([&] { finish(outcome); });
}

} // namespace plotalon
