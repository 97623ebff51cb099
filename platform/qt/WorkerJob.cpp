#include "platform/qt/WorkerJob.h"

#include "platform/qt/ErrorReport.h"

#include <utility>

namespace plotalon {

TWorkerJob::TWorkerJob(QObject* parent) : QObject(parent) {
    Timer.setInterval(kPollInterval);
    connect(&Timer, &QTimer::timeout, this, [this] { Poll(); });
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
    if (Busy) return false;
    Shared.Reset();
    WorkEnded.store(false);
    Outcome = {};
    Finish = std::move(finish);
    Busy = true;
    Worker = std::thread([this, work = std::move(work)] {
        Outcome = Perform(work, Shared);
        {
            std::lock_guard<std::mutex> lock(EndMutex);
            WorkEnded.store(true, std::memory_order_release);
        }
        EndSignal.notify_all();
        // Wakes the GUI thread at once rather than at the next poll; dropped when this
        // object is gone by then.
        QMetaObject::invokeMethod(
            this, [this] { Collect(); }, Qt::QueuedConnection);
    });
    Timer.start();
    return true;
}

void TWorkerJob::Cancel() {
    if (Busy) Shared.Cancel();
}

bool TWorkerJob::EndWithin(std::chrono::milliseconds timeout) {
    if (!Busy) return true;
    {
        std::unique_lock<std::mutex> lock(EndMutex);
        if (!EndSignal.wait_for(lock, timeout,
                                [this] { return WorkEnded.load(std::memory_order_acquire); }))
            return false;
    }
    Collect();
    return !Busy;
}

void TWorkerJob::Abandon() {
    Shared.Cancel();
    if (Worker.joinable()) Worker.join();
    Timer.stop();
    Finish = nullptr;
    Outcome = {};
    Busy = false; // a wake-up still on its way finds nothing to collect
}

void TWorkerJob::Poll() {
    if (WorkEnded.load(std::memory_order_acquire)) {
        Collect();
        return;
    }
    if (OnProgress) RunGuarded([this] { OnProgress(Shared); });
}

void TWorkerJob::Collect() {
    if (!Busy || !WorkEnded.load(std::memory_order_acquire)) return;
    Worker.join(); // the work has ended: only the thread's last steps remain
    Timer.stop();
    TFinish finish = std::exchange(Finish, nullptr);
    const TOutcome outcome = std::exchange(Outcome, {});
    Busy = false; // the finish may start the next job
    if (finish) RunGuarded([&] { finish(outcome); });
}

} // namespace plotalon
