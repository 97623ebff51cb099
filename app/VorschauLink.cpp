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
    : Owner_(owner), Quelle_(quelle), Ziel_(ziel), Origins_(origins),
      Window_(new TVorschau(&owner)) {
    Window_->installEventFilter(this);
    connect(Window_->Plot, &TPlotWidget::LineClicked, this,
            [this](qulonglong line) { StrokeClicked(line); });
    EditPause_.setSingleShot(true);
    EditPause_.setInterval(kEditPauseMs);
    connect(&EditPause_, &QTimer::timeout, this, [this] { RunGuarded([this] { Read(); }); });
    CopyTimer_.setInterval(0);
    connect(&CopyTimer_, &QTimer::timeout, this, [this] { RunGuarded([this] { CopySlice(); }); });
}

TVorschauLink::~TVorschauLink() {
    for (auto& [read, thread] : Reads_)
        thread.request_stop();
    Reads_.clear(); // joins
}

bool TVorschauLink::Visible() const {
    return Window_->isVisible();
}

void TVorschauLink::Open() {
    if (!Visible()) {
        if (Place_)
            Window_->setGeometry(*Place_);
        else
            CentreWindow(*Window_, &Owner_);
        Window_->show();
    }
    Window_->raise();
    Window_->activateWindow();
    // Unless the drawing shows Ziel as it stands, or will once the read under way ends.
    if (!Current() && !(Reading() && ReadGeneration_ == Generation_)) Read();
    Highlight();
}

void TVorschauLink::TextReplaced() {
    ++Generation_;
    if (Visible()) Read();
}

void TVorschauLink::LinesChanged() {
    ++Generation_;
    // A copy of lines that have changed is of no use any more.
    Copy_.reset();
    CopyTimer_.stop();
    if (Visible()) EditPause_.start();
}

// Reads Ziel as it stands: small texts at once, big ones copied first and read on a thread.
void TVorschauLink::Read() {
    EditPause_.stop();
    CopyTimer_.stop();
    Copy_.reset();
    if (!Visible()) return;
    const TCodeEditStringList& lines = Ziel_.Lines();
    ReadGeneration_ = Generation_;
    if (lines.LineCount() < ReadAtOnceLines_) {
        ++LatestRead_; // a read under way is outdated by this one
        for (auto& [read, thread] : Reads_)
            thread.request_stop();
        try {
            Show(ReadPlotModel(lines), Generation_);
        } catch (const std::bad_alloc&) {
            SayNoMemory();
        }
        return;
    }
    Copy_ = std::make_shared<TLineSnapshot>();
    Copy_->Reserve(lines.LineCount());
    Copied_ = 0;
    Window_->StatusBar->showMessage(QStringLiteral("Zeichnung wird gelesen"));
    CopyTimer_.start();
}

void TVorschauLink::CopySlice() {
    const TCodeEditStringList& lines = Ziel_.Lines();
    const std::size_t count = lines.LineCount();
    QElapsedTimer clock;
    clock.start();
    try {
        while (Copied_ < count && clock.nsecsElapsed() < kSliceNs) {
            const std::size_t end = std::min(count, Copied_ + kLinesPerLook);
            Copy_->CopyFrom(lines, Copied_, end);
            Copied_ = end;
        }
    } catch (const std::bad_alloc&) {
        CopyTimer_.stop();
        Copy_.reset();
        SayNoMemory();
        return;
    }
    if (Copied_ < count) return;
    CopyTimer_.stop();
    StartRead(std::move(Copy_));
}

void TVorschauLink::StartRead(std::shared_ptr<const TLineSnapshot> lines) {
    for (auto& [read, thread] : Reads_)
        thread.request_stop();
    const std::uint64_t read = ++LatestRead_;
    const std::uint64_t generation = ReadGeneration_;
    Reads_.emplace(
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
    Reads_.erase(read); // the thread has reported: its end is a moment away
    if (read != LatestRead_) return;
    if (!error.empty())
        Window_->StatusBar->showMessage(FromMessage(error));
    else if (model)
        Show(std::move(model), generation);
}

void TVorschauLink::SayNoMemory() {
    Window_->StatusBar->showMessage(FromMessage(kNoMemory));
}

void TVorschauLink::Show(std::shared_ptr<const TPlotModel> model, std::uint64_t generation) {
    Window_->ShowModel(std::move(model));
    Shown_ = true;
    ShownGeneration_ = generation;
    Highlight();
}

// ---- The links ----

void TVorschauLink::QuelleCaretMoved() {
    HighlightFrom_ = THighlightFrom::Quelle;
    if (Visible()) Highlight();
}

void TVorschauLink::ZielCaretMoved() {
    HighlightFrom_ = THighlightFrom::Ziel;
    if (Visible()) Highlight();
}

void TVorschauLink::Highlight() {
    std::vector<TLineRange> lines;
    if (HighlightFrom_ == THighlightFrom::Ziel) {
        const auto line = std::uint64_t(Ziel_.Core().CaretXY().Y - 1);
        lines.push_back({line, line});
    } else if (HighlightFrom_ == THighlightFrom::Quelle) {
        for (const TLineSpan& span : Origins_.LinesFrom(Quelle_.Core().CaretXY().Y - 1))
            lines.push_back({std::uint64_t(span.First), std::uint64_t(span.Last)});
    }
    Window_->Plot->SetHighlightedLines(lines);
}

void TVorschauLink::StrokeClicked(std::uint64_t line) {
    if (!Current() || line >= std::uint64_t(Ziel_.Lines().Count())) return;
    const int hpgl = int(line);
    if (const std::optional<int> nc = Origins_.OriginOf(hpgl)) ShowLine(Quelle_, *nc);
    ShowLine(Ziel_, hpgl); // last, so that the highlight follows the HPGL line
}

bool TVorschauLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Window_ && event->type() == QEvent::Hide) Place_ = Window_->geometry();
    return QObject::eventFilter(watched, event);
}

} // namespace plotalon
