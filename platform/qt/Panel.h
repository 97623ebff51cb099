#pragma once
// TPanel: a panel that aligns its children to its edges in the manner of the toolkit's Align
// property. Top and bottom controls span the whole width at their own height, left and right
// controls span the height that remains at their own width, and a client control fills what
// is left. Controls are placed pass by pass (top, bottom, left, right, client), each pass in
// the order the controls were aligned, at every resize of the panel and on Realign(). A
// control never shrinks below its minimum size, even where the panel is too small for it.

#include <QPointer>
#include <QWidget>
#include <utility>
#include <vector>

namespace plotalon {

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TPanel : public QWidget {
public:
    explicit TPanel(QWidget* parent = nullptr);

    // Aligns control, a child of this panel, and realigns; alNone leaves it where it is.
    void SetAlign(QWidget* control, TAlign align);
    TAlign AlignOf(const QWidget* control) const;
    // Places every aligned control that is not hidden.
    void Realign();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::vector<std::pair<QPointer<QWidget>, TAlign>> aligned_;
};

} // namespace plotalon
