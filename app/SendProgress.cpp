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
      Job_(std::move(job)) {
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

    Clock = new QTimer(this);
    Clock->setInterval(250);
    connect(Clock, &QTimer::timeout, this, &TSendProgress::ShowTimes);
    connect(Job_.get(), &TSendJob::Progressed, this, &TSendProgress::ShowProgress);
    connect(Job_.get(), &TSendJob::Finished, this, &TSendProgress::JobFinished);
    ShowProgress();
    LState->setText(QStringLiteral("Verbindung wird hergestellt ..."));
    TDialogCharRouter::Install(this);
}

TSendProgress::~TSendProgress() = default;

void TSendProgress::Start() {
    Running.start();
    Clock->start();
    Job_->Start();
    LState->setText(QStringLiteral("Sendet ..."));
}

void TSendProgress::ShowProgress() {
    const TSendStatus status = Job_->Status();
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
    qint64 paused = PausedMs + (PausedSince.isValid() ? PausedSince.elapsed() : 0);
    const double seconds = Running.isValid() ? double(Running.elapsed() - paused) / 1000 : 0;
    LElapsed->setText(QStringLiteral("Vergangen: ") +
                      QString::fromStdString(FormatDuration(seconds)));
    const TSendStatus status = Job_->Status();
    QString remaining = QStringLiteral("–");
    if (Ended_) {
        if (status.Finished) remaining = QStringLiteral("0:00");
    } else if (status.Sent > 0 && seconds > 0)
        remaining = QString::fromStdString(
            FormatDuration(seconds / double(status.Sent) * double(status.Total - status.Sent)));
    LRemaining->setText(QStringLiteral("Verbleibend: ") + remaining);
}

void TSendProgress::BPauseClick() {
    if (Ended_) return;
    if (Job_->Paused()) {
        Job_->Resume();
        PausedMs += PausedSince.elapsed();
        PausedSince.invalidate();
        BPause->SetCaption(QStringLiteral("&Pause"));
        LState->setText(QStringLiteral("Sendet ..."));
    } else {
        Job_->Pause();
        PausedSince.start();
        BPause->SetCaption(QStringLiteral("&Weiter"));
        LState->setText(QStringLiteral("Angehalten"));
    }
}

void TSendProgress::BAbortClick() {
    if (Ended_) {
        accept();
        return;
    }
    Job_->Cancel();
    BAbort->setEnabled(false);
    BPause->setEnabled(false);
    LState->setText(QStringLiteral("Wird abgebrochen ..."));
}

void TSendProgress::closeEvent(QCloseEvent* event) {
    if (Ended_) {
        QDialog::closeEvent(event);
        return;
    }
    CloseWhenEnded = true;
    BAbortClick();
    event->ignore();
}

// Escape is the close box's key.
void TSendProgress::reject() {
    if (Ended_) {
        QDialog::reject();
        return;
    }
    CloseWhenEnded = true;
    BAbortClick();
}

void TSendProgress::JobFinished(int result, const QString& message) {
    Ended_ = true;
    Clock->stop();
    if (PausedSince.isValid()) {
        PausedMs += PausedSince.elapsed();
        PausedSince.invalidate();
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
    if (CloseWhenEnded) QDialog::reject();
}

void TSendProgress::ShowFailure(const QString& message) {
    QPalette palette = LState->palette();
    palette.setColor(QPalette::WindowText, ToQColor(clMaroon));
    LState->setPalette(palette);
    LState->setText(QStringLiteral("Fehler: ") + message);
}

} // namespace plotalon
