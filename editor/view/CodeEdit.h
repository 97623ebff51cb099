#pragma once
// An editor pane: shows one editing core (line list, caret, selection, commands, undo) on a
// fixed character grid with a line-number gutter on the left, and turns the mouse, the
// keyboard and drag and drop into the core's commands.
//
// The view follows the line list through the core's events. Each event costs the view a
// constant amount of work (a range rescan of the changed line, a repaint request for rows
// that are visible, the gutter's digit count); the scroll bars are brought up to date once
// the events have settled, so that appending millions of lines one at a time stays cheap.
// Painting scans only the visible lines.
//
// Coordinates are those of the viewport (the text area without border and scroll bars).

#include "editor/CodeEditHighlighterLink.h"
#include "editor/core/CodeEditCore.h"
#include "editor/view/CodeEditJob.h"
#include "editor/view/CodeGutter.h"
#include "editor/view/CodeTextDrawer.h"
#include "platform/qt/QtClipboard.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class QDrag;

namespace plotalon {

enum class TBorderStyle { bsNone, bsSingle };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

struct TCodeSelectedColor {
    TColor Background = clHighlight;
    TColor Foreground = clHighlightText;
};

struct TCodeBookMarkOpt {
    bool GlyphsVisible = true;
    bool EnableKeys = true;
    bool DrawBookmarksFirst = true;
    int LeftMargin = 2;
    int XOffset = 12;
};

class TCodeEdit : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int kMaxScrollWidth = TCodeEditCore::kMaxScrollWidth;

    explicit TCodeEdit(QWidget* parent = nullptr);
    ~TCodeEdit() override;

    TCodeEditCore& Core() { return *core_; }
    const TCodeEditCore& Core() const { return *core_; }
    TCodeEditStringList& Lines() { return core_->Lines(); }
    const TCodeEditStringList& Lines() const { return core_->Lines(); }

    // Text.
    void Clear();
    // Replaces the text with the file's lines; a failed load raises the file error and
    // keeps the previous text.
    void LoadFile(const std::string& path);
    void SaveFile(const std::string& path) const;
    // Loading, saving and building a new text off the GUI thread, one job at a time.
    TCodeEditJob& Job() { return job_; }
    // Replaces the text with the lines of a list built elsewhere, in one step (see
    // TCodeEditStringList::AdoptLines): undo lists emptied, caret home, the view settled once.
    // built is left with the former lines.
    void AdoptLines(TCodeEditStringList& built);
    // The same, and highlighter becomes the pane's: built's ranges were stored by one of its
    // kind (TCodeEditDetachedLines), so no line is scanned again.
    void AdoptLines(TCodeEditStringList& built, TCodeCustomHighlighter* highlighter);
    // Inserts the clipboard's text at the caret, replacing a selection.
    void PasteFromClipboard();
    // The clipboard of copy, cut and paste: the system's unless one is set (nullptr: the
    // system's again). Not owned.
    void SetClipboard(Clipboard* clipboard);

    // Attaching the one already attached does nothing; nullptr detaches. Not owned: a
    // highlighter destroyed while attached leaves the pane drawing plain text.
    void SetHighlighter(TCodeCustomHighlighter* highlighter);
    TCodeCustomHighlighter* Highlighter() const { return link_.Highlighter(); }

    // Look.
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& font);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle bars);
    int ExtraLineSpacing() const { return extraLineSpacing_; }
    void SetExtraLineSpacing(int pixels);
    int RightEdge() const { return rightEdge_; }
    void SetRightEdge(int column);
    TColor RightEdgeColor() const { return rightEdgeColor_; }
    void SetRightEdgeColor(TColor color);
    const TCodeSelectedColor& SelectedColor() const { return selectedColor_; }
    void SetSelectedColor(const TCodeSelectedColor& colors);
    const TCodeBookMarkOpt& BookMarkOptions() const { return bookMarkOptions_; }
    void SetBookMarkOptions(const TCodeBookMarkOpt& options);
    TCodeEditOptions Options() const { return core_->Options(); }
    void SetOptions(TCodeEditOptions options);
    TCodeGutter& Gutter() { return gutter_; }
    const TCodeGutter& Gutter() const { return gutter_; }

    // The grid.
    int CharWidth() const { return charWidth_; }
    int LineHeight() const { return lineHeight_; }
    int GutterWidth() const { return gutterWidth_; }
    int TextStart() const { return gutterWidth_ + 2; }
    int TopLine() const { return core_->TopLine(); }
    void SetTopLine(int line);
    int LeftChar() const { return core_->LeftChar(); }
    void SetLeftChar(int column);
    int LinesInWindow() const { return core_->LinesInWindow(); }
    int CharsInWindow() const { return core_->CharsInWindow(); }
    // The character cell under a viewport point, as a (column, line) position.
    TCodePoint PixelsToRowColumn(QPoint point) const;
    // The top-left viewport pixel of a position's cell.
    QPoint RowColumnToPixels(TCodePoint point) const;
    // Scrolls so that the caret is in view; while the pane is not yet on screen, once it is
    // first painted there.
    void EnsureCursorPosVisible();
    // Brings the scroll bars up to date now instead of once the events have settled.
    void UpdateScrollBars();
    // One step of the caret's blinking: hides or shows it, repainting only the cell it
    // covers, at the same cost on any line.
    void BlinkCaret();

    // Events.
    std::function<void(TCodeEdit*)> OnChange;       // a recorded change, undo or redo
    std::function<void(TCodeEdit*)> OnStatusChange; // caret, selection or mode moved
    // Every change of the line list, by whatever means, after the pane has followed it.
    std::function<void(TCodeEdit*, const TLineChange& change)> OnLineChange;
    // A press and release in the gutter: viewport position and 1-based line.
    std::function<void(TCodeEdit*, int x, int y, int line)> OnGutterClick;

    // Local files dropped on the pane (a file manager's URL list): handed over here, never
    // inserted as text. Without a handler the pane refuses them.
    std::function<void(TCodeEdit*, const QStringList& files)> OnDropFiles;

    // How a drag of selected text is carried out, with the actions it allows; QDrag::exec
    // unless set (tests drive the drop side themselves).
    std::function<Qt::DropAction(QDrag& drag, Qt::DropActions allowed)> DragRunner;

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void HookCore();
    void ReportLineChange(TLineChange::TKind kind, int index);
    void RepaintLines(TRepaintLines lines);
    void LinesChanged();
    void NoteLineWidth(int index);
    void NoteLinesAdded(int index);
    void ScheduleScrollBars();
    void HighlighterChanged();
    void GutterChanged();
    void RecalcCharExtent();
    void UpdateWindowSize();
    void SyncScrollPosition();
    void AfterCommand();
    bool HasRealSize() const;
    void TypeText(const QString& text);

    // Painting.
    void PaintTextArea(QPainter& painter, const QRect& clip);
    void PaintLine(QPainter& painter, int line, int top, const QRect& clip, TColor background);
    void PaintCaret(QPainter& painter);
    QRect CaretRect(TCodePoint at, bool block) const;
    TGutterPaintContext GutterContext();

    // Mouse.
    void ScrollTimerTick();
    bool InSelection(TCodePoint point) const;
    void StartDrag();
    Qt::DropAction DropActionFor(const QDropEvent& event) const;
    bool AcceptsDrop(const QDropEvent& event) const;

    // Caret blinking.
    void RestartBlink();

    std::unique_ptr<TCodeEditCore> core_;
    TCodeEditHighlighterLink link_;
    TCodeGutter gutter_;
    TCodeTextDrawer drawer_;
    TQtClipboard systemClipboard_;

    QFont font_;
    TColor fontColor_ = clWindowText;
    TColor color_ = clWindow;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    TScrollStyle scrollBars_ = TScrollStyle::ssBoth;
    int extraLineSpacing_ = 0;
    int rightEdge_ = 80;
    TColor rightEdgeColor_ = clSilver;
    TCodeSelectedColor selectedColor_;
    TCodeBookMarkOpt bookMarkOptions_;

    int charWidth_ = 1;
    int lineHeight_ = 1;
    int gutterWidth_ = 0;
    int widestLine_ = 0; // longest line seen since the text was cleared
    int knownLines_ = 0; // the line count as the last line event left it
    bool scrollBarsPending_ = false;
    bool syncingScrollBars_ = false;
    int shownTop_ = 1;
    int shownLeft_ = 1;
    int wheelRemainder_ = 0;
    bool scrollPending_ = false; // the caret to be brought into view at the first painting

    // Mouse state: a press in the text area selects; a press inside the selection may
    // start a drag.
    bool selecting_ = false;
    bool dragPending_ = false;
    bool gutterPress_ = false;
    QPoint pressPos_;
    int scrollDeltaX_ = 0;
    int scrollDeltaY_ = 0;
    Qt::KeyboardModifiers mouseModifiers_;
    QTimer scrollTimer_;
    std::optional<TCodePoint> dropCaret_;

    QTimer blinkTimer_;
    bool caretShown_ = true;

    // Last, so that a job still reading the lines is stopped before anything goes.
    TCodeEditJob job_{*this};
};

} // namespace plotalon
