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
        Timer.setTimerType(Qt::PreciseTimer);
        Timer.setInterval(int(kIntervalNs / 1'000'000));
        QObject::connect(&Timer, &QTimer::timeout, [this] { Tick(); });
    }
    void Start() {
        Worst = 0;
        WorstCpu = 0;
        Clock.start();
        Last = 0;
        LastCpu = ThreadCpuNs();
        Timer.start();
    }
    void Stop() {
        Tick();
        Timer.stop();
    }
    double WorstMs() const { return double(Worst) / 1e6; }
    // Of the thread that started the meter.
    double WorstCpuMs() const { return double(WorstCpu) / 1e6; }

private:
    void Tick() {
        const qint64 now = Clock.nsecsElapsed();
        Worst = std::max(Worst, now - Last - kIntervalNs);
        Last = now;
        const qint64 cpu = ThreadCpuNs();
        WorstCpu = std::max(WorstCpu, cpu - LastCpu);
        LastCpu = cpu;
    }
    QTimer Timer;
    QElapsedTimer Clock;
    qint64 Last = 0;
    qint64 Worst = 0;
    qint64 LastCpu = 0;
    qint64 WorstCpu = 0;
};

} // namespace plotalon::bench
