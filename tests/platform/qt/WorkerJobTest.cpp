#include "platform/qt/WorkerJob.h"

#include "platform/Errors.h"
#include "platform/qt/ErrorReport.h"

#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <thread>

namespace plotalon {
namespace {

using TEnd = TWorkerJob::TEnd;

// Work that runs until the test lets it go, counting up as it waits, and stops on a cancel.
struct THeldWork {
    std::atomic<bool> Release{false};
    std::atomic<bool> Started{false};
    TWorkerJob::TWork Work() {
        return [this](TProgress& progress) {
            progress.SetTotal(100);
            Started = true;
            while (!Release) {
                progress.ThrowIfCancelled();
                progress.SetDone(40);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        };
    }
};

// Runs the event loop until the job's finish has run; its outcome.
std::optional<TWorkerJob::TOutcome> RunToEnd(TWorkerJob& job, TWorkerJob::TWork work) {
    std::optional<TWorkerJob::TOutcome> outcome;
    if (!job.Start(std::move(work), [&](const TWorkerJob::TOutcome& o) { outcome = o; }))
        return std::nullopt;
    EXPECT_TRUE(QTest::qWaitFor([&] { return outcome.has_value(); }, 5000));
    return outcome;
}

std::string ErrorText(const TWorkerJob::TOutcome& outcome) {
    try {
        std::rethrow_exception(outcome.Error);
    } catch (const std::exception& error) {
        return error.what();
    }
}

TEST(WorkerJob, EndsAsTheWorkEnded) {
    TWorkerJob job;
    auto done = RunToEnd(job, [](TProgress& p) { p.SetDone(1); });
    ASSERT_TRUE(done);
    EXPECT_EQ(done->End, TEnd::Completed);
    EXPECT_FALSE(job.Running());

    auto failed = RunToEnd(job, [](TProgress&) { throw EFOpenError("a.nc"); });
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->End, TEnd::Failed);
    EXPECT_EQ(ErrorText(*failed), "Datei a.nc kann nicht geöffnet werden");

    auto stopped = RunToEnd(job, [](TProgress&) { throw ECancelled(); });
    ASSERT_TRUE(stopped);
    EXPECT_EQ(stopped->End, TEnd::Cancelled);
    EXPECT_FALSE(stopped->Error);
}

// While the work runs, the event loop goes on: timers fire, progress is polled, a second
// start is refused; a cancel ends the work as cancelled.
TEST(WorkerJob, KeepsTheEventLoopRunningAndCancels) {
    TWorkerJob job;
    THeldWork held;
    int polls = 0;
    int lastPercent = -1;
    job.OnProgress = [&](const TProgress& p) {
        ++polls;
        lastPercent = p.Percent();
    };
    std::optional<TWorkerJob::TOutcome> outcome;
    ASSERT_TRUE(job.Start(held.Work(), [&](const TWorkerJob::TOutcome& o) { outcome = o; }));
    EXPECT_TRUE(job.Running());
    EXPECT_FALSE(job.Start([](TProgress&) {}, [](const TWorkerJob::TOutcome&) {}));

    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return polls >= 3 && ticks >= 10; }, 5000));
    EXPECT_EQ(lastPercent, 40);
    EXPECT_FALSE(outcome);

    job.Cancel();
    EXPECT_TRUE(QTest::qWaitFor([&] { return outcome.has_value(); }, 5000));
    EXPECT_EQ(outcome->End, TEnd::Cancelled);
    EXPECT_FALSE(job.Running());
    EXPECT_TRUE(job.Progress().Cancelled());

    // The next job starts afresh.
    auto next = RunToEnd(job, [](TProgress& p) {
        p.ThrowIfCancelled();
        p.SetTotal(2);
        p.SetDone(2);
    });
    ASSERT_TRUE(next);
    EXPECT_EQ(next->End, TEnd::Completed);
    EXPECT_EQ(job.Progress().Percent(), 100);
}

TEST(WorkerJob, FinishMayStartTheNextJobAndItsErrorIsReported) {
    TErrorRecorder errors;
    TWorkerJob job;
    bool secondRan = false;
    ASSERT_TRUE(job.Start([](TProgress&) {},
                          [&](const TWorkerJob::TOutcome&) {
                              EXPECT_TRUE(job.Start([](TProgress&) {},
                                                    [&](const TWorkerJob::TOutcome&) {
                                                        secondRan = true;
                                                        throw std::runtime_error("kaputt");
                                                    }));
                          }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return secondRan && !job.Running(); }, 5000));
    ASSERT_EQ(errors.Entries.size(), 1u);
    EXPECT_EQ(errors.Entries[0].message, u"kaputt."_qs);
}

// A moment's wait: work that ends within it is finished before the wait returns, without
// the event loop; work that takes longer goes on as any job does.
TEST(WorkerJob, EndWithinFinishesQuickWorkAtOnce) {
    TWorkerJob job;
    std::optional<TWorkerJob::TOutcome> outcome;
    auto finish = [&](const TWorkerJob::TOutcome& o) { outcome = o; };
    EXPECT_TRUE(job.EndWithin(std::chrono::milliseconds(0))); // nothing runs
    ASSERT_TRUE(job.Start([](TProgress& p) { p.SetDone(1); }, finish));
    EXPECT_TRUE(job.EndWithin(std::chrono::seconds(10)));
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->End, TEnd::Completed);
    EXPECT_FALSE(job.Running());

    outcome.reset();
    THeldWork held;
    ASSERT_TRUE(job.Start(held.Work(), finish));
    EXPECT_FALSE(job.EndWithin(std::chrono::milliseconds(30)));
    EXPECT_TRUE(job.Running());
    EXPECT_FALSE(outcome);
    held.Release = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return outcome.has_value(); }, 5000));
    EXPECT_EQ(outcome->End, TEnd::Completed);
}

TEST(WorkerJob, GoingAwayStopsTheWorkWithoutFinishing) {
    THeldWork held;
    bool finished = false;
    {
        TWorkerJob job;
        ASSERT_TRUE(job.Start(held.Work(), [&](const TWorkerJob::TOutcome&) { finished = true; }));
        while (!held.Started)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } // waits for the work, which sees the cancel
    QTest::qWait(50);
    EXPECT_FALSE(finished);
}

} // namespace
} // namespace plotalon
