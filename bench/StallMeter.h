#pragma once
// How long the event loop stands still: a 10 ms timer on the GUI thread records how late it
// fires, and the longest lateness is the longest time the loop could not answer. Beside it,
// the CPU time of all the process's threads, which another busy core does not inflate, and
// the most CPU time the GUI thread spent between two ticks: the stall a machine of its own
// would see, when other work on a shared machine makes the timer late as well.

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <ctime>

namespace plotalon::bench {

inline qint64 ThreadCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

inline double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

class TStallMeter {
public:
    static constexpr qint64 kIntervalNs = 10'000'000;
    TStallMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(int(kIntervalNs / 1'000'000));
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    }
    void Start() {
        worst_ = 0;
        worstCpu_ = 0;
        clock_.start();
        last_ = 0;
        lastCpu_ = ThreadCpuNs();
        timer_.start();
    }
    void Stop() {
        Tick();
        timer_.stop();
    }
    double WorstMs() const { return double(worst_) / 1e6; }
    // Of the thread that started the meter.
    double WorstCpuMs() const { return double(worstCpu_) / 1e6; }

private:
    void Tick() {
        const qint64 now = clock_.nsecsElapsed();
        worst_ = std::max(worst_, now - last_ - kIntervalNs);
        last_ = now;
        const qint64 cpu = ThreadCpuNs();
        worstCpu_ = std::max(worstCpu_, cpu - lastCpu_);
        lastCpu_ = cpu;
    }
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 worst_ = 0;
    qint64 lastCpu_ = 0;
    qint64 worstCpu_ = 0;
};

} // namespace plotalon::bench
