#include "sender/qt/SendJob.h"

#include <QThread>

namespace plotalon {

class TSendJob::TRelay : public ISendProgress {
public:
    explicit TRelay(TSendJob& job) : Job(job) {}
    void Progress(const TSendStatus& status) override {
        std::lock_guard lock(Job.Mutex);
        Job.Latest = status;
        if (Job.ProgressPending) return;
        Job.ProgressPending = true;
        QMetaObject::invokeMethod(
            &Job,
            [job = &Job] {
                {
                    std::lock_guard lock(job->Mutex);
                    job->ProgressPending = false;
                }
                emit job->Progressed();
            },
            Qt::QueuedConnection);
    }

private:
    TSendJob& Job;
};

TSendJob::TSendJob(TPortOpener openPort, TSendOptions options, std::string text, QObject* parent)
    : QObject(parent), OpenPort(std::move(openPort)), Options(std::move(options)),
      Text(std::move(text)) {
    Latest.Total = Text.size();
}

TSendJob::~TSendJob() {
    if (!Thread) return;
    Control.Cancel();
    Thread->wait();
    delete Thread;
}

void TSendJob::Start() {
    if (Thread) return;
    Thread = QThread::create([this] { Run(); });
    Thread->start();
}

bool TSendJob::Running() const {
    return Thread && !Thread->isFinished();
}

TSendStatus TSendJob::Status() const {
    std::lock_guard lock(Mutex);
    return Latest;
}

void TSendJob::Run() {
    int result = jrFailed;
    QString message;
    try {
        const std::unique_ptr<IBytePort> port = OpenPort();
        TRelay relay(*this);
        const TSendOutcome outcome = TPlotSender(*port, Options, Control, &relay).Send(Text);
        result = outcome == TSendOutcome::Done ? jrDone : jrCancelled;
    } catch (const Exception& e) {
        message = QString::fromStdString(e.Message());
    } catch (const std::exception& e) {
        message = QString::fromLocal8Bit(e.what());
    }
    QMetaObject::invokeMethod(
        this, [this, result, message] { emit Finished(result, message); }, Qt::QueuedConnection);
}

} // namespace plotalon
