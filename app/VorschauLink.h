#pragma once
// The main window's preview: one window "Vorschau" that draws the HPGL pane as it stands and
// links its strokes to both panes. It reads the pane at once when the pane takes a whole new
// text (a conversion, a load), and a moment after the last edit; only while it is open, so
// that a hidden preview costs nothing and reads on its next opening.
//
// Reading never holds up the window: a small text is read at once, a big one is first copied
// a slice per turn of the event loop (the pane stays editable; an edit meanwhile drops the
// copy and starts the pause again) and then read on a thread of its own. A newer read stops
// an older one; the drawing shown is always the newest one read to the end.
//
// The links: the caret of the HPGL pane highlights the strokes of its line, the caret of the
// NC pane those of every HPGL line the conversion made from its line. A click on a stroke puts
// the HPGL pane's caret on its line and the NC pane's on the line it came from (where it has
// one), both scrolled into view. While an edit waits to be read, the drawing's lines may no
// longer be the pane's, so a click then does nothing.

#include "app/LineSnapshot.h"
#include "editor/CodeEditLineOrigins.h"
#include "preview/PlotModel.h"

#include <QObject>
#include <QRect>
#include <QTimer>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <thread>

namespace plotalon {

class TCodeEdit;
class TVorschau;

class TVorschauLink : public QObject {
public:
    // owner: the main window, the preview window's parent; origins: the NC line of every line
    // of ziel, kept by the owner.
    TVorschauLink(QWidget& owner, TCodeEdit& quelle, TCodeEdit& ziel,
                  const TCodeEditLineOrigins& origins);
    // Stops a read under way and waits for its thread.
    ~TVorschauLink() override;

    TVorschau& Window() { return *window_; }

    // Shows the window (where it was last, centred over the owner the first time) and raises
    // it; a drawing out of date is read.
    void Open();
    // Ziel holds a whole new text: read at once.
    void TextReplaced();
    // Ziel's lines changed: read once the edits pause.
    void LinesChanged();
    // A caret moved: highlight what it stands on.
    void QuelleCaretMoved();
    void ZielCaretMoved();

    // How long edits must pause before the drawing follows them.
    static constexpr int kEditPauseMs = 400;
    // Texts of fewer lines are read at once (a thousand lines take about 0.1 ms).
    static constexpr std::size_t kReadAtOnceLines = 50000;
    void SetReadAtOnceLines(std::size_t lines) { readAtOnceLines_ = lines; }

    // The drawing shows Ziel as it stands.
    bool Current() const { return shown_ && shownGeneration_ == generation_; }
    // A copy or a read of Ziel is under way.
    bool Reading() const { return copy_ != nullptr || reads_.count(latestRead_) != 0; }

private:
    enum class THighlightFrom { None, Quelle, Ziel };

    bool Visible() const;
    void Read();
    void CopySlice();
    void StartRead(std::shared_ptr<const TLineSnapshot> lines);
    void ReadEnded(std::uint64_t read, std::uint64_t generation,
                   std::shared_ptr<const TPlotModel> model, const std::string& error);
    void SayNoMemory();
    void Show(std::shared_ptr<const TPlotModel> model, std::uint64_t generation);
    void Highlight();
    void StrokeClicked(std::uint64_t line);
    bool eventFilter(QObject* watched, QEvent* event) override;

    QWidget& owner_;
    TCodeEdit& quelle_;
    TCodeEdit& ziel_;
    const TCodeEditLineOrigins& origins_;
    TVorschau* window_;          // a child of the owner
    std::optional<QRect> place_; // where the window was when it was last hidden
    std::size_t readAtOnceLines_ = kReadAtOnceLines;

    // Every change of Ziel counts up the generation; the drawing shows the one it was read at.
    std::uint64_t generation_ = 0;
    std::uint64_t shownGeneration_ = 0;
    bool shown_ = false;
    QTimer editPause_;

    // The generation the newest copy or read started at.
    std::uint64_t readGeneration_ = 0;

    // The copy under way: the lines copied so far.
    std::shared_ptr<TLineSnapshot> copy_;
    std::size_t copied_ = 0;
    QTimer copyTimer_;

    // The reads on their threads; each one's thread is joined once it has reported.
    std::map<std::uint64_t, std::jthread> reads_;
    std::uint64_t latestRead_ = 0;

    THighlightFrom highlightFrom_ = THighlightFrom::None;
};

} // namespace plotalon
