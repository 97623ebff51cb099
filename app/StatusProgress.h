#pragma once
// The status line's sign of long work: what runs, a bar with the percentage, and how to stop
// it. Hidden while nothing runs; a click anywhere on it asks for the stop, as Esc does in
// the main window.

#include <QWidget>
#include <functional>

class QLabel;
class QProgressBar;

namespace plotalon {

class TStatusProgress : public QWidget {
public:
    explicit TStatusProgress(QWidget* parent = nullptr);

    // Shows the sign with caption (what runs) at 0 %.
    void Begin(const QString& caption);
    void SetPercent(int percent);
    void End();

    // A click on the sign.
    std::function<void()> OnCancel;

    QLabel* Caption;
    QProgressBar* Bar;
    QLabel* Hint;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace plotalon
