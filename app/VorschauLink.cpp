#include "app/VorschauLink.h"

#include "editor/view/CodeEdit.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/Text.h"
#include "platform/qt/WindowPlacement.h"
#include "preview/qt/Vorschau.h"

#include <QElapsedTimer>
#include <QEvent>
#include <exception>
#include <new>

namespace plotalon {

namespace {

// One slice of the copy holds up the event loop for about this long.
constexpr qint64 kSliceNs = 8'000'000;
// Lines copied between two looks at the clock.
constexpr std::size_t kLinesPerLook = 8192;

const char* const kNoMemory = "Zu wenig Arbeitsspeicher für die Vorschau";

// Puts the caret at the start of a line (0-based) and scrolls it into view.
void ShowLine(TCodeEdit& pane, int line) {
    pane.Core().SetCaretXY({1, line + 1});
    pane.EnsureCursorPosVisible();
}

} // namespace

TVorschauLink::TVorschauLink(QWidget& owner, TCodeEdit& quelle, TCodeEdit& ziel,
                             const TCodeEditLineOrigins& origins)
    : owner_(owner), quelle_(quelle), ziel_(ziel), origins_(origins),
      window_(new TVorschau(&owner)) {
    window_->installEventFilter(this);
    connect(window_->Plot, &TPlotWidget::LineClicked, this,
            [this](qulonglong line) { StrokeClicked(line); });
    editPause_.setSingleShot(true);
    editPause_.setInterval(kEditPauseMs);
    connect(&editPause_, &QTimer::timeout, this, [this] { RunGuarded([this] { Read(); }); });
    copyTimer_.setInterval(0);
    connect(&copyTimer_, &QTimer::timeout, this, [this] { RunGuarded([this] { CopySlice(); }); });
}

TVorschauLink::~TVorschauLink() {
    for (auto& [read, thread] : reads_)
        thread.request_stop();
    reads_.clear(); // joins
}

bool TVorschauLink::Visible() const {
    return window_->isVisible();
}

void TVorschauLink::Open() {
    if (!Visible()) {
        if (place_)
            window_->setGeometry(*place_);
        else
            CentreWindow(*window_, &owner_);
        window_->show();
    }
    window_->raise();
    window_->activateWindow();
    // Unless the drawing shows Ziel as it stands, or will once the read under way ends.
    if (!Current() && !(Reading() && readGeneration_ == generation_)) Read();
    Highlight();
}

void TVorschauLink::TextReplaced() {
    ++generation_;
    if (Visible()) Read();
}

void TVorschauLink::LinesChanged() {
    ++generation_;
    // A copy of lines that have changed is of no use any more.
    copy_.reset();
    copyTimer_.stop();
    if (Visible()) editPause_.start();
}

// Reads Ziel as it stands: small texts at once, big ones copied first and read on a thread.
void TVorschauLink::Read() {
    editPause_.stop();
    copyTimer_.stop();
    copy_.reset();
    if (!Visible()) return;
    const TCodeEditStringList& lines = ziel_.Lines();
    readGeneration_ = generation_;
    if (lines.LineCount() < readAtOnceLines_) {
        ++latestRead_; // a read under way is outdated by this one
        for (auto& [read, thread] : reads_)
            thread.request_stop();
        try {
            Show(ReadPlotModel(lines), generation_);
        } catch (const std::bad_alloc&) {
            SayNoMemory();
        }
        return;
    }
    copy_ = std::make_shared<TLineSnapshot>();
    copy_->Reserve(lines.LineCount());
    copied_ = 0;
    window_->StatusBar->showMessage(QStringLiteral("Zeichnung wird gelesen"));
    copyTimer_.start();
}

void TVorschauLink::CopySlice() {
    const TCodeEditStringList& lines = ziel_.Lines();
    const std::size_t count = lines.LineCount();
    QElapsedTimer clock;
    clock.start();
    try {
        while (copied_ < count && clock.nsecsElapsed() < kSliceNs) {
            const std::size_t end = std::min(count, copied_ + kLinesPerLook);
            copy_->CopyFrom(lines, copied_, end);
            copied_ = end;
        }
    } catch (const std::bad_alloc&) {
        copyTimer_.stop();
        copy_.reset();
        SayNoMemory();
        return;
    }
    if (copied_ < count) return;
    copyTimer_.stop();
    StartRead(std::move(copy_));
}

void TVorschauLink::StartRead(std::shared_ptr<const TLineSnapshot> lines) {
    for (auto& [read, thread] : reads_)
        thread.request_stop();
    const std::uint64_t read = ++latestRead_;
    const std::uint64_t generation = readGeneration_;
    reads_.emplace(
        read, std::jthread(
                  [this, read, generation, lines = std::move(lines)](std::stop_token stop) mutable {
                      std::shared_ptr<const TPlotModel> model;
                      std::string error;
                      try {
                          model = ReadPlotModel(*lines, stop);
                          lines.reset(); // freed here, not while the GUI thread joins this one
                      } catch (const std::bad_alloc&) {
                          error = kNoMemory;
                      } catch (const std::exception& e) {
                          error = e.what();
                      }
                      QMetaObject::invokeMethod(
                          this,
                          [this, read, generation, model = std::move(model),
                           error = std::move(error)] { ReadEnded(read, generation, model, error); },
                          Qt::QueuedConnection);
                  }));
}

void TVorschauLink::ReadEnded(std::uint64_t read, std::uint64_t generation,
                              std::shared_ptr<const TPlotModel> model, const std::string& error) {
    reads_.erase(read); // the thread has reported: its end is a moment away
    if (read != latestRead_) return;
    if (!error.empty())
        window_->StatusBar->showMessage(FromMessage(error));
    else if (model)
        Show(std::move(model), generation);
}

void TVorschauLink::SayNoMemory() {
    window_->StatusBar->showMessage(FromMessage(kNoMemory));
}

void TVorschauLink::Show(std::shared_ptr<const TPlotModel> model, std::uint64_t generation) {
    window_->ShowModel(std::move(model));
    shown_ = true;
    shownGeneration_ = generation;
    Highlight();
}

// ---- The links ----

void TVorschauLink::QuelleCaretMoved() {
    highlightFrom_ = THighlightFrom::Quelle;
    if (Visible()) Highlight();
}

void TVorschauLink::ZielCaretMoved() {
    highlightFrom_ = THighlightFrom::Ziel;
    if (Visible()) Highlight();
}

void TVorschauLink::Highlight() {
    std::vector<TLineRange> lines;
    if (highlightFrom_ == THighlightFrom::Ziel) {
        const auto line = std::uint64_t(ziel_.Core().CaretXY().Y - 1);
        lines.push_back({line, line});
    } else if (highlightFrom_ == THighlightFrom::Quelle) {
        for (const TLineSpan& span : origins_.LinesFrom(quelle_.Core().CaretXY().Y - 1))
            lines.push_back({std::uint64_t(span.First), std::uint64_t(span.Last)});
    }
    window_->Plot->SetHighlightedLines(lines);
}

void TVorschauLink::StrokeClicked(std::uint64_t line) {
    if (!Current() || line >= std::uint64_t(ziel_.Lines().Count())) return;
    const int hpgl = int(line);
    if (const std::optional<int> nc = origins_.OriginOf(hpgl)) ShowLine(quelle_, *nc);
    ShowLine(ziel_, hpgl); // last, so that the highlight follows the HPGL line
}

bool TVorschauLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Hide) place_ = window_->geometry();
    return QObject::eventFilter(watched, event);
}

} // namespace plotalon
