#pragma once
// Long work off the GUI thread: one job at a time runs on a thread of its own, reports how
// far it has come through a TProgress that this side polls every 30 ms (so the event loop
// never waits for the worker), and ends on the GUI thread with its outcome. A second start
// while a job runs is refused.
//
// The work must not touch widgets. Whatever it builds it keeps in its own objects (captured
// by both the work and the finish), and the finish hands the result over on the GUI thread.

#include "platform/Progress.h"

#include <QObject>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace plotalon {

class TWorkerJob : public QObject {
public:
    static constexpr int kPollInterval = 30; // ms

    enum class TEnd {
        Completed, // the work returned
        Cancelled, // the work stopped with ECancelled
        Failed,    // the work stopped with another error, in Error
    };
    struct TOutcome {
        TEnd End = TEnd::Completed;
        std::exception_ptr Error;
    };
    using TWork = std::function<void(TProgress& progress)>;
    using TFinish = std::function<void(const TOutcome& outcome)>;

    explicit TWorkerJob(QObject* parent = nullptr);
    // A job still running is abandoned.
    ~TWorkerJob() override;
    TWorkerJob(const TWorkerJob&) = delete;
    TWorkerJob& operator=(const TWorkerJob&) = delete;

    // Runs work on the worker thread and then finish on this object's thread (inside the
    // error report: an error of the finish is shown, not thrown). False, and nothing runs,
    // while a job is running.
    bool Start(TWork work, TFinish finish);
    // Asks the running work to stop; it ends as Cancelled once it notices.
    void Cancel();
    // Blocks this thread until the running work has ended, for at most timeout; work that
    // ends in time is finished at once, before this returns. True when no job runs any
    // more. For work that is usually quick: waiting a moment spares the progress display.
    bool EndWithin(std::chrono::milliseconds timeout);
    // Asks the running work to stop and waits until its thread has ended; the finish does
    // not run. For an owner that goes while a job may run, before what the work reads goes.
    void Abandon();
    // Runs work on the calling thread and tells how it ended, as a job's finish is told.
    static TOutcome Perform(const TWork& work, TProgress& progress);
    // From the start until the finish has run.
    bool Running() const { return busy_; }
    const TProgress& Progress() const { return shared_; }

    // Called every poll while the work runs, on this object's thread.
    std::function<void(const TProgress& progress)> OnProgress;

private:
    void Poll();
    void Collect();

    TProgress shared_;
    QTimer timer_;
    std::thread worker_;
    std::atomic<bool> workEnded_{false};
    std::mutex endMutex_; // with EndSignal, for EndWithin
    std::condition_variable endSignal_;
    TOutcome outcome_; // written by the worker before WorkEnded, read after it
    TFinish finish_;
    bool busy_ = false;
};

} // namespace plotalon
