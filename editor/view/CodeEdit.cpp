#include "editor/view/CodeEdit.h"

#include "editor/view/CodeEditDragData.h"
#include "editor/view/CodeEditKeys.h"
#include "editor/view/CodeLineRuns.h"
#include "platform/qt/Colors.h"
#include "platform/qt/DroppedFiles.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Text.h"

#include <QApplication>
#include <QDrag>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace plotalon {

namespace {

constexpr int kAutoScrollInterval = 100; // ms

// Floor division, so that pixels left of or above the text map to the cell before.
int FloorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// A key press that types: printable text without Ctrl or Alt (which make commands and
// menu accelerators).
bool IsTyping(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    const QString text = event.text();
    return std::any_of(text.begin(), text.end(),
                       [](QChar ch) { return ch.unicode() >= 32 && ch.unicode() != 127; });
}

TFontStyles StylesOf(const QFont& font) {
    TFontStyles style = 0;
    if (font.bold()) style |= fsBold;
    if (font.italic()) style |= fsItalic;
    if (font.underline()) style |= fsUnderline;
    if (font.strikeOut()) style |= fsStrikeOut;
    return style;
}

} // namespace

TCodeEdit::TCodeEdit(QWidget* parent)
    : QAbstractScrollArea(parent), core_(std::make_unique<TCodeEditCore>()), link_(core_->Lines()),
      font_(MakeFont(QStringLiteral("Courier New"), 10)) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    core_->SetClipboard(&systemClipboard_);
    SetBorderStyle(borderStyle_);
    SetScrollBars(scrollBars_);
    HookCore();
    link_.OnHighlighterChanged = [this] { HighlighterChanged(); };
    gutter_.OnChange = [this] { GutterChanged(); };
    scrollTimer_.setInterval(kAutoScrollInterval);
    connect(&scrollTimer_, &QTimer::timeout, this,
            [this] { RunGuarded([this] { ScrollTimerTick(); }); });
    connect(&blinkTimer_, &QTimer::timeout, this, [this] { BlinkCaret(); });
    RecalcCharExtent();
    GutterChanged();
}

TCodeEdit::~TCodeEdit() {
    // The pane is going: nothing it hears from now on is painted.
    link_.OnHighlighterChanged = nullptr;
    gutter_.OnChange = nullptr;
    core_->OnChange = nullptr;
    core_->OnStatusChange = nullptr;
    UnhookLineEvents(*core_);
    core_->OnLinesChanged = nullptr;
}

void TCodeEdit::HookCore() {
    TCodeEditCore& core = *core_;
    core.OnLineAdded = [this](int index) {
        RepaintLines(link_.LineAdded(index));
        NoteLinesAdded(index);
        ReportLineChange(TLineChange::Added, index);
    };
    core.OnLineInserted = [this](int index) {
        RepaintLines(link_.LineInserted(index));
        knownLines_ = Lines().Count();
        NoteLineWidth(index);
        ReportLineChange(TLineChange::Inserted, index);
    };
    core.OnLineReplaced = [this](int index) {
        RepaintLines(link_.LineReplaced(index));
        NoteLineWidth(index);
        ReportLineChange(TLineChange::Replaced, index);
    };
    core.OnLineDeleted = [this](int index) {
        RepaintLines(link_.LineDeleted(index));
        knownLines_ = Lines().Count();
        ReportLineChange(TLineChange::Deleted, index);
    };
    core.OnLinesCleared = [this] {
        widestLine_ = 0;
        knownLines_ = 0;
        viewport()->update();
        ReportLineChange(TLineChange::Cleared, 0);
    };
    core.OnLinesChanged = [this] { LinesChanged(); };
    core.OnChange = [this] {
        if (OnChange) OnChange(this);
    };
    core.OnStatusChange = [this] {
        viewport()->update();
        if (OnStatusChange) OnStatusChange(this);
    };
}

// ---- Following the line list ----

void TCodeEdit::ReportLineChange(TLineChange::TKind kind, int index) {
    if (OnLineChange) OnLineChange(this, TLineChange{kind, index, Lines().Count()});
}

void TCodeEdit::RepaintLines(TRepaintLines lines) {
    const int top = TopLine();
    const int bottom = top + LinesInWindow(); // the partly visible row included
    const int first = std::max(lines.First, top);
    const int last = std::min(lines.Last, bottom);
    if (first > last) return;
    viewport()->update(QRect(0, (first - top) * lineHeight_, viewport()->width(),
                             (last - first + 1) * lineHeight_));
}

void TCodeEdit::NoteLineWidth(int index) {
    // With eoScrollPastEol the horizontal range is the scroll width anyway. Otherwise the
    // longest line is followed as lines come, never by visiting every line.
    if (core_->HasOption(eoScrollPastEol)) return;
    const int width = Lines().ExpandedLength(index);
    if (width > widestLine_) {
        widestLine_ = width;
        ScheduleScrollBars();
    }
}

// One added event may stand for many lines (a list appended or adopted whole).
void TCodeEdit::NoteLinesAdded(int index) {
    const int count = Lines().Count();
    const int added = count - std::exchange(knownLines_, count);
    if (core_->HasOption(eoScrollPastEol)) return;
    if (added == count && count > 1) {
        // A whole new text: its longest line may have been measured where it was built.
        const int width = Lines().LongestLineLength();
        if (width > widestLine_) {
            widestLine_ = width;
            ScheduleScrollBars();
        }
        return;
    }
    for (int i = index; i < index + std::max(added, 1); ++i)
        NoteLineWidth(i);
}

void TCodeEdit::LinesChanged() {
    gutter_.AutoSizeDigitCount(Lines().Count());
    ScheduleScrollBars();
}

void TCodeEdit::ScheduleScrollBars() {
    if (scrollBarsPending_) return;
    scrollBarsPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (scrollBarsPending_) UpdateScrollBars();
        },
        Qt::QueuedConnection);
}

void TCodeEdit::UpdateScrollBars() {
    scrollBarsPending_ = false;
    // Lines may have gone behind the core's back: the top line follows the text.
    core_->SetTopLine(core_->TopLine());
    const int lines = Lines().Count();
    int lastTop = std::max(0, lines - LinesInWindow());
    if (core_->HasOption(eoScrollPastEof)) lastTop = std::max(0, lines - 1);
    const int width = core_->HasOption(eoScrollPastEol) ? kMaxScrollWidth : widestLine_ + 1;
    const int lastLeft = std::max(0, std::min(width, kMaxScrollWidth) - CharsInWindow());
    syncingScrollBars_ = true;
    verticalScrollBar()->setRange(0, lastTop);
    verticalScrollBar()->setPageStep(LinesInWindow());
    horizontalScrollBar()->setRange(0, lastLeft);
    horizontalScrollBar()->setPageStep(CharsInWindow());
    syncingScrollBars_ = false;
    SyncScrollPosition();
}

void TCodeEdit::SyncScrollPosition() {
    if (scrollBarsPending_) {
        UpdateScrollBars(); // comes back here with the ranges in place
        return;
    }
    syncingScrollBars_ = true;
    verticalScrollBar()->setValue(TopLine() - 1);
    horizontalScrollBar()->setValue(LeftChar() - 1);
    syncingScrollBars_ = false;
    if (TopLine() != shownTop_ || LeftChar() != shownLeft_) {
        shownTop_ = TopLine();
        shownLeft_ = LeftChar();
        viewport()->update();
    }
}

void TCodeEdit::scrollContentsBy(int, int) {
    if (syncingScrollBars_) return;
    core_->SetTopLine(verticalScrollBar()->value() + 1);
    core_->SetLeftChar(horizontalScrollBar()->value() + 1);
    SyncScrollPosition();
}

// ---- Layout ----

void TCodeEdit::RecalcCharExtent() {
    const TCharCellFonts cell = CharCellFonts(Highlighter(), StylesOf(font_));
    drawer_.SetBaseFont(font_);
    const QFont widthFont = drawer_.StyledFont(cell.WidthBold ? fsBold : 0);
    const QFont heightFont = drawer_.StyledFont(cell.HeightItalic ? fsItalic : 0);
    charWidth_ = std::max(1, QFontMetrics(widthFont).horizontalAdvance(QLatin1Char('M')));
    const int textHeight = plotalon::LineHeight(heightFont);
    lineHeight_ = std::max(1, textHeight + extraLineSpacing_);
    drawer_.SetCell(charWidth_, lineHeight_,
                    extraLineSpacing_ / 2 + QFontMetrics(heightFont).ascent());
}

void TCodeEdit::GutterChanged() {
    gutter_.AutoSizeDigitCount(Lines().Count());
    const int width = gutter_.RealGutterWidth(charWidth_);
    if (width != gutterWidth_) {
        gutterWidth_ = width;
        UpdateWindowSize();
        viewport()->update();
    } else {
        viewport()->update(QRect(0, 0, gutterWidth_, viewport()->height()));
    }
}

void TCodeEdit::HighlighterChanged() {
    RecalcCharExtent();
    gutter_.AutoSizeDigitCount(Lines().Count());
    gutterWidth_ = gutter_.RealGutterWidth(charWidth_);
    UpdateWindowSize();
    viewport()->update();
}

void TCodeEdit::UpdateWindowSize() {
    const int lines = viewport()->height() / lineHeight_;
    const int columns = (viewport()->width() - TextStart()) / charWidth_;
    core_->SetWindowSize(lines, columns);
    UpdateScrollBars();
}

void TCodeEdit::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateWindowSize();
}

QSize TCodeEdit::sizeHint() const {
    return {TextStart() + 40 * charWidth_, 20 * lineHeight_};
}

// ---- Properties ----

void TCodeEdit::Clear() {
    Lines().ClearLines();
    EnsureCursorPosVisible();
}

void TCodeEdit::LoadFile(const std::string& path) {
    Lines().LoadFile(path);
    UpdateScrollBars();
    EnsureCursorPosVisible();
}

void TCodeEdit::AdoptLines(TCodeEditStringList& built) {
    Lines().AdoptLines(built);
    UpdateScrollBars();
    EnsureCursorPosVisible();
}

void TCodeEdit::AdoptLines(TCodeEditStringList& built, TCodeCustomHighlighter* highlighter) {
    // Detached first, so that the former highlighter does not rescan the adopted lines.
    SetHighlighter(nullptr);
    Lines().AdoptLines(built);
    core_->SetHighlighter(highlighter);
    link_.SetHighlighterOverStoredRanges(highlighter);
    UpdateScrollBars();
    EnsureCursorPosVisible();
}

void TCodeEdit::SaveFile(const std::string& path) const {
    Lines().SaveFile(path);
}

void TCodeEdit::PasteFromClipboard() {
    core_->PasteFromClipboard();
    AfterCommand();
}

void TCodeEdit::SetClipboard(Clipboard* clipboard) {
    core_->SetClipboard(clipboard ? clipboard : &systemClipboard_);
}

void TCodeEdit::SetHighlighter(TCodeCustomHighlighter* highlighter) {
    if (highlighter == Highlighter()) return;
    core_->SetHighlighter(highlighter);
    link_.SetHighlighter(highlighter);
}

void TCodeEdit::SetFont(const QFont& font) {
    font_ = font;
    HighlighterChanged();
}

void TCodeEdit::SetFontColor(TColor color) {
    fontColor_ = color;
    viewport()->update();
}

void TCodeEdit::SetColor(TColor color) {
    color_ = color;
    viewport()->update();
}

void TCodeEdit::SetBorderStyle(TBorderStyle style) {
    borderStyle_ = style;
    setFrameStyle(style == TBorderStyle::bsSingle ? QFrame::StyledPanel | QFrame::Sunken
                                                  : QFrame::NoFrame);
}

void TCodeEdit::SetScrollBars(TScrollStyle bars) {
    scrollBars_ = bars;
    const bool vertical = bars == TScrollStyle::ssVertical || bars == TScrollStyle::ssBoth;
    const bool horizontal = bars == TScrollStyle::ssHorizontal || bars == TScrollStyle::ssBoth;
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TCodeEdit::SetExtraLineSpacing(int pixels) {
    extraLineSpacing_ = std::max(0, pixels);
    HighlighterChanged();
}

void TCodeEdit::SetRightEdge(int column) {
    rightEdge_ = column;
    viewport()->update();
}

void TCodeEdit::SetRightEdgeColor(TColor color) {
    rightEdgeColor_ = color;
    viewport()->update();
}

void TCodeEdit::SetSelectedColor(const TCodeSelectedColor& colors) {
    selectedColor_ = colors;
    viewport()->update();
}

void TCodeEdit::SetBookMarkOptions(const TCodeBookMarkOpt& options) {
    bookMarkOptions_ = options;
    core_->SetBookmarkKeys(options.EnableKeys);
    viewport()->update();
}

void TCodeEdit::SetOptions(TCodeEditOptions options) {
    core_->SetOptions(options);
    UpdateScrollBars();
    viewport()->update();
}

void TCodeEdit::SetTopLine(int line) {
    core_->SetTopLine(line);
    SyncScrollPosition();
}

void TCodeEdit::SetLeftChar(int column) {
    core_->SetLeftChar(column);
    SyncScrollPosition();
}

// ---- Positions ----

TCodePoint TCodeEdit::PixelsToRowColumn(QPoint point) const {
    const int row = FloorDiv(point.y(), lineHeight_);
    const int line = std::max(1, TopLine() + row);
    const int column = LeftChar() + FloorDiv(point.x() - TextStart(), charWidth_);
    const std::string_view raw = Lines().LineAt(std::size_t(line - 1));
    return {ByteColumn(raw, std::max(0, column - 1), core_->TabWidth()) + 1, line};
}

QPoint TCodeEdit::RowColumnToPixels(TCodePoint point) const {
    const std::string_view raw = Lines().LineAt(std::size_t(point.Y - 1));
    const int column = DisplayColumn(raw, point.X - 1, core_->TabWidth());
    return {TextStart() + (column - (LeftChar() - 1)) * charWidth_,
            (point.Y - TopLine()) * lineHeight_};
}

bool TCodeEdit::HasRealSize() const {
    const QWidget* top = window();
    return isVisible() && top->windowHandle() && top->windowHandle()->isExposed();
}

void TCodeEdit::EnsureCursorPosVisible() {
    // Until the pane is on screen its size is a passing one (a window being set up, panes
    // not yet split): scrolling for it would hide the start of the lines for good.
    if (!HasRealSize()) {
        scrollPending_ = true;
        return;
    }
    scrollPending_ = false;
    const TCodePoint caret = core_->CaretXY();
    const int line = std::clamp(caret.Y, 1, std::max(1, Lines().Count()));
    if (line < TopLine())
        core_->SetTopLine(line);
    else if (line > TopLine() + LinesInWindow() - 1)
        core_->SetTopLine(line - LinesInWindow() + 1);
    const std::string_view raw = Lines().LineAt(std::size_t(line - 1));
    const int column = DisplayColumn(raw, caret.X - 1, core_->TabWidth()) + 1;
    if (column < LeftChar())
        core_->SetLeftChar(column);
    else if (column > LeftChar() + CharsInWindow() - 1)
        core_->SetLeftChar(column - CharsInWindow() + 1);
    SyncScrollPosition();
}

void TCodeEdit::AfterCommand() {
    EnsureCursorPosVisible();
    RestartBlink();
    viewport()->update();
}

// ---- Painting ----

TGutterPaintContext TCodeEdit::GutterContext() {
    TGutterPaintContext context;
    context.TopLine = TopLine();
    context.LineCount = Lines().Count();
    context.LineHeight = lineHeight_;
    context.CharWidth = charWidth_;
    context.FontColor = fontColor_;
    context.Drawer = &drawer_;
    context.BookmarkLeftMargin = bookMarkOptions_.LeftMargin;
    context.BookmarkOffset = bookMarkOptions_.XOffset;
    if (bookMarkOptions_.GlyphsVisible) {
        const int last = TopLine() + LinesInWindow();
        for (int n = 0; n < TCodeEditCore::kBookmarkCount; ++n)
            if (auto mark = core_->Bookmark(n); mark && mark->Y >= TopLine() && mark->Y <= last)
                context.Bookmarks.push_back({mark->Y, n});
    }
    return context;
}

void TCodeEdit::paintEvent(QPaintEvent* event) {
    // The first painting is the first moment the pane's size is the one the user sees.
    if (scrollPending_) EnsureCursorPosVisible();
    QPainter painter(viewport());
    const QRect clip = event->rect();
    if (clip.left() < gutterWidth_)
        gutter_.Paint(painter, clip.intersected(QRect(0, 0, gutterWidth_, viewport()->height())),
                      GutterContext());
    PaintTextArea(painter, clip);
    PaintCaret(painter);
}

void TCodeEdit::PaintTextArea(QPainter& painter, const QRect& clip) {
    const TColor background = TextAreaBackground(Highlighter(), color_);
    const QColor fill = ToQColor(background);
    const QRect strip(gutterWidth_, clip.top(), TextStart() - gutterWidth_, clip.height());
    painter.fillRect(strip.intersected(clip), fill);
    const QRect area = clip.intersected(QRect(
        TextStart(), 0, std::max(0, viewport()->width() - TextStart()), viewport()->height()));
    if (area.isEmpty()) return;
    painter.save();
    painter.setClipRect(area);
    const int firstRow = area.top() / lineHeight_;
    const int lastRow = area.bottom() / lineHeight_;
    const int count = Lines().Count();
    for (int row = firstRow; row <= lastRow; ++row) {
        const int line = TopLine() + row;
        const int top = row * lineHeight_;
        if (line <= count)
            PaintLine(painter, line, top, area, background);
        else
            painter.fillRect(QRect(area.left(), top, area.width(), lineHeight_), fill);
    }
    const int edge = TextStart() + (rightEdge_ - (LeftChar() - 1)) * charWidth_;
    if (rightEdge_ > 0 && edge >= area.left() && edge <= area.right())
        painter.fillRect(QRect(edge, area.top(), 1, area.height()), ToQColor(rightEdgeColor_));
    painter.restore();
}

void TCodeEdit::PaintLine(QPainter& painter, int line, int top, const QRect& area,
                          TColor background) {
    const std::string_view raw = Lines().LineAt(std::size_t(line - 1));
    const int tabWidth = core_->TabWidth();
    const int leftColumn = LeftChar() - 1;
    // The columns the area covers; one more on the left for what a slanted glyph there
    // puts into the first of them.
    const int firstColumn =
        std::max(leftColumn, leftColumn + (area.left() - TextStart()) / charWidth_ - 1);
    const int endColumn = leftColumn + (area.right() - TextStart()) / charWidth_ + 1;
    // Only what can reach the visible columns is expanded and scanned, so that a row of a
    // line of any length costs the same.
    std::string expanded;
    const std::string_view text = ShownText(raw, tabWidth, endColumn, expanded);
    const std::string_view reach = raw.substr(0, std::size_t(std::max(0, endColumn)));

    TLineRunsInput input;
    input.Text = text;
    input.Highlighter = Highlighter();
    input.Range = Lines().LineRange(line - 1);
    input.LineIndex = line - 1;
    input.FontColor = fontColor_;
    input.Background = background;
    input.FontStyle = StylesOf(font_);
    input.SelectedForeground = selectedColor_.Foreground;
    input.SelectedBackground = selectedColor_.Background;
    if (core_->SelAvail() && !core_->HasOption(eoNoSelection))
        input.Selection = SelectionOnLine(core_->SelectionMode(), core_->BlockBegin(),
                                          core_->BlockEnd(), line, reach, tabWidth);
    input.FirstColumn = firstColumn;
    input.EndColumn = endColumn;

    // Columns past the area all lie beyond its right edge (and a line's length can be
    // more columns than pixels can count).
    auto x = [&](int column) {
        return TextStart() + (std::min(column, endColumn + 1) - leftColumn) * charWidth_;
    };
    for (const TCodeRun& run : LineRuns(input)) {
        drawer_.SetStyle(run.Look.Style);
        drawer_.TextOut(painter, x(run.Column), top,
                        FromAnsi(text.substr(std::size_t(run.Column), std::size_t(run.Length))),
                        ToQColor(run.Look.Foreground), ToQColor(run.Look.Background));
    }
    // After the text: the background, and the selection where it goes on past the end.
    const int textEnd = std::max(int(text.size()), firstColumn);
    const int rowEnd = area.right() + 1;
    if (x(textEnd) < rowEnd)
        painter.fillRect(QRect(x(textEnd), top, rowEnd - x(textEnd), lineHeight_),
                         ToQColor(background));
    const TLineSelection& sel = input.Selection;
    if (!sel.Empty() && sel.To > textEnd) {
        const int from = x(std::max(sel.From, textEnd));
        const int to = sel.To == TLineSelection::kToRowEnd ? rowEnd : std::min(rowEnd, x(sel.To));
        if (to > from)
            painter.fillRect(QRect(from, top, to - from, lineHeight_),
                             ToQColor(selectedColor_.Background));
    }
}

QRect TCodeEdit::CaretRect(TCodePoint at, bool block) const {
    // The caret never stands on a line that is gone: it keeps to the last line.
    at.Y = std::clamp(at.Y, 1, std::max(1, Lines().Count()));
    // A byte's display column is never below its index: a caret that far right is beyond
    // the pane's right edge, however many tabs come before it, and its line is not read.
    const int pastRightEdge = LeftChar() + CharsInWindow() + 1;
    if (at.X > pastRightEdge)
        return {viewport()->width(), RowColumnToPixels({1, at.Y}).y(), block ? charWidth_ : 2,
                lineHeight_};
    const QPoint pixel = RowColumnToPixels(at);
    return {pixel.x(), pixel.y(), block ? charWidth_ : 2, lineHeight_};
}

void TCodeEdit::PaintCaret(QPainter& painter) {
    const QRect textArea(TextStart(), 0, viewport()->width() - TextStart(), viewport()->height());
    painter.save();
    painter.setClipRect(textArea);
    if (dropCaret_) painter.fillRect(CaretRect(*dropCaret_, false), ToQColor(fontColor_));
    const bool caretVisible = hasFocus() && caretShown_ && !core_->HasOption(eoNoCaret);
    if (caretVisible) {
        // Inverted, so that the character under a block caret stays readable.
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(CaretRect(core_->CaretXY(), !core_->InsertMode()), Qt::white);
    }
    painter.restore();
}

// ---- Caret blinking ----

void TCodeEdit::BlinkCaret() {
    caretShown_ = !caretShown_;
    viewport()->update(CaretRect(core_->CaretXY(), !core_->InsertMode()));
}

void TCodeEdit::RestartBlink() {
    caretShown_ = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0)
        blinkTimer_.start(flash / 2);
    else
        blinkTimer_.stop();
}

void TCodeEdit::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    RestartBlink();
    viewport()->update();
}

void TCodeEdit::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    blinkTimer_.stop();
    scrollTimer_.stop();
    viewport()->update();
}

// ---- Keyboard ----

bool TCodeEdit::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const std::uint16_t vk = VirtualKeyOf(*key);
        const bool bound =
            vk != 0 && core_->KeyStrokes().FindKeycode(vk, ShiftStateOf(key->modifiers())) >= 0;
        if (event->type() == QEvent::ShortcutOverride) {
            // The pane's own keys and typing win over the window's shortcuts while it has
            // the focus.
            if (bound || IsTyping(*key)) {
                event->accept();
                return true;
            }
        } else if (bound && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
            // Tab and Shift+Tab edit the text instead of moving the focus.
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TCodeEdit::keyPressEvent(QKeyEvent* event) {
    const std::uint16_t vk = VirtualKeyOf(*event);
    const TShiftState shift = ShiftStateOf(event->modifiers());
    bool handled = false;
    RunGuarded([&] {
        if (vk != 0 && core_->KeyDown(vk, shift)) {
            handled = true;
        } else if (IsTyping(*event)) {
            TypeText(event->text());
            handled = true;
        }
    });
    if (!handled) {
        event->ignore();
        return;
    }
    event->accept();
    AfterCommand();
}

void TCodeEdit::TypeText(const QString& text) {
    for (QChar ch : text) {
        // A character that the text cannot hold as one Windows-1252 byte is refused.
        const std::optional<std::string> byte = ToAnsiExact(QString(ch));
        if (!byte) {
            QApplication::beep();
            continue;
        }
        core_->ExecuteCommand(ecChar, (*byte)[0]);
    }
}

void TCodeEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString text = event->commitString();
    if (!text.isEmpty()) {
        RunGuarded([&] {
            if (const std::optional<std::string> bytes = ToAnsiExact(text))
                core_->ExecuteCommand(ecImeStr, std::string_view(*bytes));
            else
                QApplication::beep();
        });
        AfterCommand();
    }
    event->accept();
}

// ---- Mouse ----

bool TCodeEdit::InSelection(TCodePoint point) const {
    if (!core_->SelAvail()) return false;
    TCodePoint begin = core_->BlockBegin(), end = core_->BlockEnd();
    if (PointBefore(end, begin)) std::swap(begin, end);
    return !PointBefore(point, begin) && PointBefore(point, end);
}

void TCodeEdit::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        // The right button leaves caret and selection alone unless told otherwise.
        const TCodePoint cell = PixelsToRowColumn(pos);
        if (core_->HasOption(eoRightMouseMovesCursor) && !InSelection(cell)) {
            RunGuarded([&] { core_->ExecuteCommand(ecGotoXY, cell); });
            AfterCommand();
        }
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    pressPos_ = pos;
    mouseModifiers_ = event->modifiers();
    gutterPress_ = pos.x() < TextStart();
    const TCodePoint cell = PixelsToRowColumn(pos);
    dragPending_ = !gutterPress_ && core_->HasOption(eoDragDropEditing) &&
                   core_->SelectionMode() == TCodeSelectionMode::smNormal && InSelection(cell);
    if (dragPending_) return; // the press may start a drag
    selecting_ = true;
    RunGuarded([&] {
        core_->ExecuteCommand((event->modifiers() & Qt::ShiftModifier) ? ecSelGotoXY : ecGotoXY,
                              cell);
    });
    AfterCommand();
}

void TCodeEdit::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const QPoint pos = event->position().toPoint();
    mouseModifiers_ = event->modifiers();
    if (dragPending_) {
        const int distance = QApplication::startDragDistance();
        if (std::abs(pos.x() - pressPos_.x()) >= distance ||
            std::abs(pos.y() - pressPos_.y()) >= distance) {
            dragPending_ = false;
            RunGuarded([this] { StartDrag(); });
        }
        return;
    }
    if (!selecting_) return;
    const int width = viewport()->width(), height = viewport()->height();
    TCodePoint cell = PixelsToRowColumn(pos);
    const TCodePoint caret = core_->CaretXY();
    // Beyond the text area the caret keeps its column or line; the timer scrolls.
    if (pos.x() < TextStart() || pos.x() >= width) cell.X = caret.X;
    if (pos.y() < 0 || pos.y() >= height) cell.Y = caret.Y;
    RunGuarded([&] { core_->ExecuteCommand(ecSelGotoXY, cell); });
    scrollDeltaX_ = pos.x() < TextStart()
                        ? std::min(FloorDiv(pos.x() - TextStart(), charWidth_), -1)
                    : pos.x() >= width ? std::max((pos.x() - width) / charWidth_ + 1, 1)
                                       : 0;
    scrollDeltaY_ = pos.y() < 0         ? std::min(FloorDiv(pos.y(), lineHeight_), -1)
                    : pos.y() >= height ? std::max((pos.y() - height) / lineHeight_ + 1, 1)
                                        : 0;
    // Without horizontal scrolling there is nothing to the left of the first column.
    if (scrollDeltaX_ < 0 && LeftChar() == 1) scrollDeltaX_ = 0;
    if (scrollDeltaX_ != 0 || scrollDeltaY_ != 0) {
        if (!scrollTimer_.isActive()) scrollTimer_.start();
    } else {
        scrollTimer_.stop();
    }
    AfterCommand();
}

void TCodeEdit::ScrollTimerTick() {
    TCodePoint caret = core_->CaretXY();
    if (scrollDeltaX_ != 0) {
        core_->SetLeftChar(LeftChar() + scrollDeltaX_);
        caret.X = scrollDeltaX_ < 0 ? LeftChar() : LeftChar() + CharsInWindow();
    }
    if (scrollDeltaY_ != 0) {
        const bool pages = (mouseModifiers_ & Qt::ShiftModifier) != 0;
        core_->SetTopLine(TopLine() + (pages ? scrollDeltaY_ * LinesInWindow() : scrollDeltaY_));
        caret.Y = scrollDeltaY_ < 0 ? TopLine() : TopLine() + LinesInWindow() - 1;
    }
    core_->ExecuteCommand(ecSelGotoXY, caret);
    SyncScrollPosition();
    viewport()->update();
}

void TCodeEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    scrollTimer_.stop();
    const QPoint pos = event->position().toPoint();
    const bool wasPending = dragPending_;
    selecting_ = dragPending_ = false;
    if (gutterPress_ && pos.x() < TextStart() && OnGutterClick) {
        const int line = TopLine() + FloorDiv(pos.y(), lineHeight_);
        RunGuarded([&] { OnGutterClick(this, pos.x(), pos.y(), line); });
    }
    gutterPress_ = false;
    if (wasPending) {
        // A press inside the selection that did not become a drag.
        RunGuarded([&] { core_->ExecuteCommand(ecGotoXY, PixelsToRowColumn(pos)); });
        AfterCommand();
    }
}

void TCodeEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    if (pos.x() < TextStart()) return;
    RunGuarded([&] { core_->SelectWordAt(PixelsToRowColumn(pos)); });
    AfterCommand();
}

void TCodeEdit::wheelEvent(QWheelEvent* event) {
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRemainder_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0) {
        const int step = (event->modifiers() & Qt::ControlModifier)
                             ? LinesInWindow()
                             : QApplication::styleHints()->wheelScrollLines();
        SetTopLine(TopLine() - notches * step);
    }
    event->accept();
}

// ---- Drag and drop ----

void TCodeEdit::StartDrag() {
    auto* drag = new QDrag(this);
    auto* data = new TCodeEditDragData(this, core_->SelText(), core_->SelectionMode());
    drag->setMimeData(data);
    const Qt::DropActions allowed =
        core_->ReadOnly() ? Qt::CopyAction : Qt::CopyAction | Qt::MoveAction;
    Qt::DropAction action = Qt::IgnoreAction;
    if (DragRunner) {
        action = DragRunner(*drag, allowed);
        drag->deleteLater();
    } else {
        action = drag->exec(allowed, Qt::MoveAction); // deletes the drag later
    }
    // Moved into another pane or program: the text leaves this one.
    if (action == Qt::MoveAction && !data->DroppedOnSource() && core_->SelAvail() &&
        !core_->ReadOnly())
        core_->SetSelText("");
    AfterCommand();
}

bool TCodeEdit::AcceptsDrop(const QDropEvent& event) const {
    if (!event.mimeData()) return false;
    if (!DroppedFiles(*event.mimeData()).isEmpty()) return bool(OnDropFiles);
    if (core_->ReadOnly()) return false;
    return DroppedBlock(*event.mimeData()).has_value();
}

Qt::DropAction TCodeEdit::DropActionFor(const QDropEvent& event) const {
    if (!DroppedFiles(*event.mimeData()).isEmpty()) return Qt::CopyAction;
    const auto* ours = qobject_cast<const TCodeEditDragData*>(event.mimeData());
    const bool copy = (event.modifiers() & Qt::ControlModifier) != 0;
    if (ours && !copy && (event.possibleActions() & Qt::MoveAction)) return Qt::MoveAction;
    return Qt::CopyAction;
}

void TCodeEdit::dragEnterEvent(QDragEnterEvent* event) {
    if (!AcceptsDrop(*event)) {
        event->ignore();
        return;
    }
    event->setDropAction(DropActionFor(*event));
    event->accept();
}

void TCodeEdit::dragMoveEvent(QDragMoveEvent* event) {
    if (!AcceptsDrop(*event)) {
        event->ignore();
        return;
    }
    if (DroppedFiles(*event->mimeData()).isEmpty())
        dropCaret_ = PixelsToRowColumn(event->position().toPoint());
    event->setDropAction(DropActionFor(*event));
    event->accept();
    viewport()->update();
}

void TCodeEdit::dragLeaveEvent(QDragLeaveEvent* event) {
    dropCaret_.reset();
    viewport()->update();
    event->accept();
}

void TCodeEdit::dropEvent(QDropEvent* event) {
    dropCaret_.reset();
    if (const QStringList files =
            event->mimeData() ? DroppedFiles(*event->mimeData()) : QStringList();
        !files.isEmpty()) {
        if (!OnDropFiles) {
            event->ignore();
            return;
        }
        event->setDropAction(Qt::CopyAction);
        event->accept();
        RunGuarded([&] { OnDropFiles(this, files); });
        return;
    }
    const std::optional<TCodeClipboardBlock> block =
        event->mimeData() ? DroppedBlock(*event->mimeData()) : std::nullopt;
    if (core_->ReadOnly() || !block) {
        event->ignore();
        return;
    }
    const Qt::DropAction action = DropActionFor(*event);
    const TCodePoint target = PixelsToRowColumn(event->position().toPoint());
    const auto* ours = qobject_cast<const TCodeEditDragData*>(event->mimeData());
    RunGuarded([&] {
        if (ours && ours->Source() == this) {
            ours->SetDroppedOnSource();
            core_->DropSelection(target, action == Qt::MoveAction);
        } else {
            core_->DropText(target, block->Text, block->Mode);
        }
    });
    event->setDropAction(action);
    event->accept();
    setFocus(Qt::MouseFocusReason);
    AfterCommand();
}

} // namespace plotalon
