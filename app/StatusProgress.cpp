#include "app/StatusProgress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>

namespace plotalon {

TStatusProgress::TStatusProgress(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    Caption = new QLabel(this);
    Bar = new QProgressBar(this);
    Bar->setRange(0, 100);
    Bar->setFixedWidth(200);
    Bar->setFormat(QStringLiteral("%p %"));
    Hint = new QLabel(QStringLiteral("Esc oder Klick bricht ab"), this);
    layout->addStretch(); // whatever width the status line gives, the parts stay together
    layout->addWidget(Caption);
    layout->addWidget(Bar);
    layout->addWidget(Hint);
    setCursor(Qt::PointingHandCursor);
    hide();
}

void TStatusProgress::Begin(const QString& caption) {
    Caption->setText(caption);
    Bar->setValue(0);
    show();
}

void TStatusProgress::SetPercent(int percent) {
    Bar->setValue(percent);
}

void TStatusProgress::End() {
    hide();
}

void TStatusProgress::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && OnCancel) OnCancel();
    event->accept();
}

} // namespace plotalon
