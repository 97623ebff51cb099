#include "app/SendProgress.h"

#include "controls/GlyphArt.h"
#include "controls/WindowParts.h"
#include "controls/XPSpeedButton.h"
#include "platform/qt/Colors.h"
#include "platform/qt/DialogChars.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Text.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QTimer>

namespace plotalon {

namespace {

constexpr int kWidth = 400, kBodyHeight = 176, kStripHeight = 47;

QLabel* MakeText(QWidget* parent, QRect geometry) {
    auto* label = new QLabel(parent);
    label->setGeometry(geometry);
    return label;
}

QString Count(std::uint64_t n) {
    return QLocale(QLocale::German).toString(qulonglong(n));
}

} // namespace

TSendProgress::TSendProgress(std::unique_ptr<TSendJob> job, const QString& portText,
                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      job_(std::move(job)) {
    setWindowTitle(QStringLiteral("An Plotter senden"));
    setFont(DefaultWindowFont());
    setFixedSize(kWidth, kBodyHeight + kStripHeight);

    LPort = MakeText(this, QRect(16, 12, 368, 16));
    // A long path gives up its middle: the line's settings at the end stay in view.
    const QString port = QStringLiteral("Anschluss: ") + portText;
    LPort->setText(LPort->fontMetrics().elidedText(port, Qt::ElideMiddle, LPort->width()));
    LPort->setToolTip(port);
    LBytes = MakeText(this, QRect(16, 36, 368, 16));
    Bar = new QProgressBar(this);
    Bar->setGeometry(16, 56, 368, 16);
    Bar->setRange(0, 1000);
    Bar->setTextVisible(false);
    LLine = MakeText(this, QRect(16, 80, 368, 16));
    LElapsed = MakeText(this, QRect(16, 104, 176, 16));
    LRemaining = MakeText(this, QRect(200, 104, 184, 16));
    // Room for a failure's reason, which can run to three lines.
    LState = MakeText(this, QRect(16, 126, 368, 42));
    LState->setWordWrap(true);
    LState->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    QWidget* strip = MakePanel(this, QRect(0, kBodyHeight, kWidth, kStripHeight));
    Line = MakeLine(strip, QRect(0, 0, kWidth, 1));
    BPause = MakeHouseButton(strip, QRect(8, 11, 113, 30), "&Pause", glyph_art::Pause);
    BAbort = MakeHouseButton(strip, QRect(279, 11, 113, 30), "&Abbrechen", glyph_art::Cancel);
    BPause->OnClick = [this](TXPSpeedButton*) { BPauseClick(); };
    BAbort->OnClick = [this](TXPSpeedButton*) { BAbortClick(); };
    BPause->Loaded();
    BAbort->Loaded();

    clock_ = new QTimer(this);
    clock_->setInterval(250);
    connect(clock_, &QTimer::timeout, this, &TSendProgress::ShowTimes);
    connect(job_.get(), &TSendJob::Progressed, this, &TSendProgress::ShowProgress);
    connect(job_.get(), &TSendJob::Finished, this, &TSendProgress::JobFinished);
    ShowProgress();
    LState->setText(QStringLiteral("Verbindung wird hergestellt ..."));
    TDialogCharRouter::Install(this);
}

TSendProgress::~TSendProgress() = default;

void TSendProgress::Start() {
    running_.start();
    clock_->start();
    job_->Start();
    LState->setText(QStringLiteral("Sendet ..."));
}

void TSendProgress::ShowProgress() {
    const TSendStatus status = job_->Status();
    const unsigned permille = status.Total ? unsigned(status.Sent * 1000 / status.Total) : 1000;
    LBytes->setText(Count(status.Sent) + QStringLiteral(" von ") + Count(status.Total) +
                    QStringLiteral(" Bytes gesendet (") + QString::number(permille / 10) +
                    QStringLiteral(" %)"));
    Bar->setValue(int(permille));
    // Before the sender has said where it is, and once every byte has gone, no line is being
    // sent.
    const bool none = status.Finished || (status.Sent == 0 && status.LineText.empty());
    const QString line = none ? QString()
                              : QStringLiteral("Zeile ") + QString::number(status.Line + 1) +
                                    QStringLiteral(": ") + FromMessage(status.LineText);
    LLine->setText(LLine->fontMetrics().elidedText(line, Qt::ElideRight, LLine->width()));
    ShowTimes();
}

void TSendProgress::ShowTimes() {
    qint64 paused = pausedMs_ + (pausedSince_.isValid() ? pausedSince_.elapsed() : 0);
    const double seconds = running_.isValid() ? double(running_.elapsed() - paused) / 1000 : 0;
    LElapsed->setText(QStringLiteral("Vergangen: ") +
                      QString::fromStdString(FormatDuration(seconds)));
    const TSendStatus status = job_->Status();
    QString remaining = QStringLiteral("–");
    if (ended_) {
        if (status.Finished) remaining = QStringLiteral("0:00");
    } else if (status.Sent > 0 && seconds > 0)
        remaining = QString::fromStdString(
            FormatDuration(seconds / double(status.Sent) * double(status.Total - status.Sent)));
    LRemaining->setText(QStringLiteral("Verbleibend: ") + remaining);
}

void TSendProgress::BPauseClick() {
    if (ended_) return;
    if (job_->Paused()) {
        job_->Resume();
        pausedMs_ += pausedSince_.elapsed();
        pausedSince_.invalidate();
        BPause->SetCaption(QStringLiteral("&Pause"));
        LState->setText(QStringLiteral("Sendet ..."));
    } else {
        job_->Pause();
        pausedSince_.start();
        BPause->SetCaption(QStringLiteral("&Weiter"));
        LState->setText(QStringLiteral("Angehalten"));
    }
}

void TSendProgress::BAbortClick() {
    if (ended_) {
        accept();
        return;
    }
    job_->Cancel();
    BAbort->setEnabled(false);
    BPause->setEnabled(false);
    LState->setText(QStringLiteral("Wird abgebrochen ..."));
}

void TSendProgress::closeEvent(QCloseEvent* event) {
    if (ended_) {
        QDialog::closeEvent(event);
        return;
    }
    closeWhenEnded_ = true;
    BAbortClick();
    event->ignore();
}

// Escape is the close box's key.
void TSendProgress::reject() {
    if (ended_) {
        QDialog::reject();
        return;
    }
    closeWhenEnded_ = true;
    BAbortClick();
}

void TSendProgress::JobFinished(int result, const QString& message) {
    ended_ = true;
    clock_->stop();
    if (pausedSince_.isValid()) {
        pausedMs_ += pausedSince_.elapsed();
        pausedSince_.invalidate();
    }
    ShowProgress();
    BPause->setEnabled(false);
    BAbort->setEnabled(true);
    BAbort->SetCaption(QStringLiteral("&Schließen"));
    switch (result) {
    case TSendJob::jrDone:
        LState->setText(QStringLiteral("Fertig: alle Daten gesendet"));
        break;
    case TSendJob::jrCancelled:
        LState->setText(QStringLiteral("Abgebrochen, der Stift ist angehoben"));
        break;
    default:
        // Told here rather than in a message box over the window: the report would end a
        // question such as "... in der Gruppe dialout?" with a full stop. The window stays,
        // also when a close was asked for, so that the reason is not lost.
        ShowFailure(message);
        return;
    }
    if (closeWhenEnded_) QDialog::reject();
}

void TSendProgress::ShowFailure(const QString& message) {
    QPalette palette = LState->palette();
    palette.setColor(QPalette::WindowText, ToQColor(clMaroon));
    LState->setPalette(palette);
    LState->setText(QStringLiteral("Fehler: ") + message);
}

} // namespace plotalon
