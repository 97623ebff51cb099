#include "app/NCIntro.h"

#include "platform/qt/Colors.h"
#include "platform/qt/Fonts.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWindow>
#include <cmath>

namespace plotalon {

namespace {

constexpr TColor kFrameColour = 10485760; // red 0, green 0, blue 160
constexpr int kPictureWidth = 350, kPictureHeight = 200;

// A plotter's trace across the picture: the motif of the program.
void DrawTrace(QPainter& painter) {
    QPainterPath trace;
    trace.moveTo(-10, 132);
    for (int x = -10; x <= kPictureWidth + 10; x += 2)
        trace.lineTo(x, 132 - 14 * std::sin(x / 38.0) - 5 * std::sin(x / 11.0));
    painter.setPen(QPen(QColor(120, 160, 215), 2));
    painter.drawPath(trace);
    painter.setPen(QPen(QColor(120, 160, 215), 1, Qt::DashLine));
    painter.drawLine(0, 156, kPictureWidth, 156);
}

void DrawText(QPainter& painter, const QFont& font, QColor colour, QRect box, int flags,
              const QString& text) {
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(box, flags, text);
}

} // namespace

QImage IntroPicture() {
    QImage picture(kPictureWidth, kPictureHeight, QImage::Format_RGB888);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, kPictureWidth * 0.3, kPictureHeight);
    sky.setColorAt(0, QColor(236, 245, 255));
    sky.setColorAt(1, QColor(150, 195, 240));
    painter.fillRect(picture.rect(), sky);
    DrawTrace(painter);

    const QColor navy = ToQColor(clNavy);
    const QString family = QStringLiteral("Arial");
    DrawText(painter, MakeFont(family, 36, fsBold), navy, {20, 22, 260, 60},
             Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Plotalon"));
    DrawText(painter, MakeFont(family, 12), navy, {22, 82, 300, 20}, Qt::AlignLeft,
             QStringLiteral("DIN/ISO-Code nach HPGL"));
    // The major version in a disc of its own.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(200, 40, 30));
    painter.drawEllipse(QRect(270, 24, 58, 58));
    DrawText(painter, MakeFont(family, 30, fsBold), Qt::white, {270, 24, 58, 58}, Qt::AlignCenter,
             QStringLiteral("1"));

    const QFont small = MakeFont(family, 8);
    DrawText(painter, small, navy, {20, 163, 310, 14}, Qt::AlignLeft,
             QString::fromUtf8("\u00A9 2025\u20132026 Plotalon-Projekt. Alle Rechte vorbehalten."));
    DrawText(painter, small, navy, {20, 178, 310, 14}, Qt::AlignLeft,
             QStringLiteral("www.example.com"));
    return picture;
}

TIntro::TIntro(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("Intro"));
    setWindowTitle(QStringLiteral("Intro"));
    setFixedSize(367, 216);
    setFont(DefaultWindowFont());
    // The main window keeps the keyboard while the splash is up.
    setAttribute(Qt::WA_ShowWithoutActivating);

    Panel = new QWidget(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setGeometry(rect());
    QPalette palette = Panel->palette();
    palette.setColor(QPalette::Window, ToQColor(kFrameColour));
    Panel->setPalette(palette);
    Panel->setAutoFillBackground(true);

    Image = new TImage(Panel);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setGeometry(8, 8, kPictureWidth, kPictureHeight);
    Image->SetPicture(TBitmap(IntroPicture()));

    Introtimer = new QTimer(this);
    Introtimer->setObjectName(QStringLiteral("Introtimer"));
    Introtimer->setInterval(2000);
    connect(Introtimer, &QTimer::timeout, this, [this] { IntrotimerTimer(); });
}

void TIntro::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    QRect area(QPoint(), size());
    area.moveCenter(QGuiApplication::primaryScreen()->geometry().center());
    setGeometry(area);
    // The two seconds count from when the picture is on screen: a window is shown here but
    // mapped and exposed by the window system only later.
    if (QWindow* window = windowHandle()) {
        window->removeEventFilter(this);
        window->installEventFilter(this);
        awaitingExposure_ = true;
    } else {
        FormShow();
    }
}

void TIntro::hideEvent(QHideEvent* event) {
    awaitingExposure_ = false;
    QWidget::hideEvent(event);
}

bool TIntro::eventFilter(QObject* watched, QEvent* event) {
    if (awaitingExposure_ && event->type() == QEvent::Expose && watched == windowHandle() &&
        windowHandle()->isExposed()) {
        awaitingExposure_ = false;
        FormShow();
    }
    return QWidget::eventFilter(watched, event);
}

void TIntro::FormShow() {
    Introtimer->start();
}

void TIntro::IntrotimerTimer() {
    Introtimer->stop();
    close();
}

} // namespace plotalon
