#pragma once
// One send for a window: the sender runs on a thread of its own, and the window hears of its
// progress and its end through signals on its own thread, so it stays responsive throughout.
// Progress signals are merged: while the window has not yet taken one, the next only updates
// the status it will read.

#include "sender/BytePort.h"
#include "sender/PlotSender.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>

class QThread;

namespace plotalon {

class TSendJob : public QObject {
    Q_OBJECT
public:
    enum TResult { jrDone, jrCancelled, jrFailed };
    // Makes the port on the sending thread (a Qt serial port belongs to the thread that made
    // it); throws EPortOpenError, which ends the job as failed.
    using TPortOpener = std::function<std::unique_ptr<IBytePort>()>;

    TSendJob(TPortOpener openPort, TSendOptions options, std::string text,
             QObject* parent = nullptr);
    // Cancels a send still running and waits for its end (the abort included).
    ~TSendJob() override;

    void Start();
    void Pause() { control_.Pause(); }
    void Resume() { control_.Resume(); }
    void Cancel() { control_.Cancel(); }
    bool Paused() const { return control_.Paused(); }
    bool Running() const;

    TSendStatus Status() const;

signals:
    void Progressed();
    // message: empty when done or cancelled, the reason when failed.
    void Finished(int result, const QString& message);

private:
    class TRelay;
    void Run();

    TPortOpener openPort_;
    TSendOptions options_;
    std::string text_;
    TSendControl control_;
    mutable std::mutex mutex_;
    TSendStatus latest_;
    bool progressPending_ = false;
    QThread* thread_ = nullptr;
};

} // namespace plotalon
