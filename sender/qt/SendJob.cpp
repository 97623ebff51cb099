#include "sender/qt/SendJob.h"

#include <QThread>

namespace plotalon {

class TSendJob::TRelay : public ISendProgress {
public:
    explicit TRelay(TSendJob& job) : job_(job) {}
    void Progress(const TSendStatus& status) override {
        std::lock_guard lock(job_.mutex_);
        job_.latest_ = status;
        if (job_.progressPending_) return;
        job_.progressPending_ = true;
        QMetaObject::invokeMethod(
            &job_,
            [job = &job_] {
                {
                    std::lock_guard lock(job->mutex_);
                    job->progressPending_ = false;
                }
                emit job->Progressed();
            },
            Qt::QueuedConnection);
    }

private:
    TSendJob& job_;
};

TSendJob::TSendJob(TPortOpener openPort, TSendOptions options, std::string text, QObject* parent)
    : QObject(parent), openPort_(std::move(openPort)), options_(std::move(options)),
      text_(std::move(text)) {
    latest_.Total = text_.size();
}

TSendJob::~TSendJob() {
    if (!thread_) return;
    control_.Cancel();
    thread_->wait();
    delete thread_;
}

void TSendJob::Start() {
    if (thread_) return;
    thread_ = QThread::create([this] { Run(); });
    thread_->start();
}

bool TSendJob::Running() const {
    return thread_ && !thread_->isFinished();
}

TSendStatus TSendJob::Status() const {
    std::lock_guard lock(mutex_);
    return latest_;
}

void TSendJob::Run() {
    int result = jrFailed;
    QString message;
    try {
        const std::unique_ptr<IBytePort> port = openPort_();
        TRelay relay(*this);
        const TSendOutcome outcome = TPlotSender(*port, options_, control_, &relay).Send(text_);
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
