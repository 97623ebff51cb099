#pragma once
// TSendProgress: the window "An Plotter senden" that shows a send to the plotter while it
// runs: the port and its line, the bytes sent of the total, the HPGL line being sent, the time
// so far and the time still to go, with "&Pause" (then "&Weiter") and "&Abbrechen" (once the
// send has ended, "&Schließen"). The send runs on a thread of its own; the window only hears
// of it, so it stays responsive throughout. Closing the window while the send runs cancels
// the send; the window goes once the abort has gone out. A failed send shows its reason in
// the window, below the bytes sent by then, and the window stays until it is closed.

#include "sender/qt/SendJob.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QTimer;

namespace plotalon {

class TXPSpeedButton;
class TShape;

class TSendProgress : public QDialog {
    Q_OBJECT
public:
    // job: the send, not yet started; the window owns it and starts it. portText describes
    // the port ("/dev/ttyUSB0 – 9600 Baud, 8N1, XON/XOFF").
    TSendProgress(std::unique_ptr<TSendJob> job, const QString& portText,
                  QWidget* parent = nullptr);
    ~TSendProgress() override;

    void Start();
    // True once the send has ended (done, cancelled or failed).
    bool Ended() const { return ended_; }
    TSendJob& Job() { return *job_; }

    QLabel* LPort;
    QLabel* LBytes;
    QProgressBar* Bar;
    QLabel* LLine;
    QLabel* LElapsed;
    QLabel* LRemaining;
    QLabel* LState;
    TShape* Line;
    TXPSpeedButton* BPause;
    TXPSpeedButton* BAbort;

    void BPauseClick();
    void BAbortClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void ShowProgress();
    void ShowTimes();
    void JobFinished(int result, const QString& message);
    void ShowFailure(const QString& message);

    std::unique_ptr<TSendJob> job_;
    QTimer* clock_;
    QElapsedTimer running_;
    qint64 pausedMs_ = 0;
    QElapsedTimer pausedSince_;
    bool ended_ = false;
    bool closeWhenEnded_ = false;
};

} // namespace plotalon
