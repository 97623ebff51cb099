#pragma once
// The editor's side of the highlighter contract, without pixels: attaching a highlighter to
// a pane's line list, keeping every line's stored range (the highlighter's state at the
// start of that line) in step with edits, and the rules that decide fonts, colours and word
// characters from the highlighter's attributes. The editor view owns one link per pane,
// forwards the line list's events to it and repaints what it returns.

#include "editor/CodeEditHighlighter.h"
#include "editor/CodeEditStringList.h"

#include <climits>
#include <functional>

namespace plotalon {

// 1-based line numbers to repaint; Last == kRepaintToEnd means through the last visible line.
struct TRepaintLines {
    static constexpr int kRepaintToEnd = INT_MAX;
    int First = 0;
    int Last = -1;
    bool operator==(const TRepaintLines&) const = default;
};

class TCodeEditHighlighterLink {
public:
    explicit TCodeEditHighlighterLink(TCodeEditStringList& lines);
    ~TCodeEditHighlighterLink(); // unhooks without reporting
    TCodeEditHighlighterLink(const TCodeEditHighlighterLink&) = delete;
    TCodeEditHighlighterLink& operator=(const TCodeEditHighlighterLink&) = delete;

    // Fired when the view must recompute its character cell and layout and repaint the whole
    // pane: after attaching or detaching, when an attribute changes, and when the attached
    // highlighter is destroyed.
    std::function<void()> OnHighlighterChanged;

    TCodeCustomHighlighter* Highlighter() const { return attached_; }
    // Attaching the one already attached does nothing (no rescan); nullptr detaches.
    void SetHighlighter(TCodeCustomHighlighter* highlighter);
    // The same for lines whose ranges a highlighter of its kind has stored already (a list
    // built apart and adopted whole): attaches without scanning a line.
    void SetHighlighterOverStoredRanges(TCodeCustomHighlighter* highlighter);

    // Stores the range of every line, scanning the whole text from a reset state.
    void ScanAllRanges();
    // Rescans from line index while the stored ranges disagree; returns the last line scanned.
    int RescanFrom(int index);

    // Range upkeep after the line list's events; each returns the lines to repaint.
    TRepaintLines LineReplaced(int index);
    TRepaintLines LineAdded(int index);
    TRepaintLines LineInserted(int index);
    TRepaintLines LineDeleted(int index);

private:
    void AttributesChanged(TCodeCustomHighlighter* sender);
    void HighlighterDestroyed(TCodeCustomHighlighter* sender);
    enum class TScan { AllLines, None };
    void Attach(TCodeCustomHighlighter* highlighter, TScan scan);
    void Detach();
    void RescanAround(int index);
    void ScanLine(int index);
    bool AppendsToTheLastScan(int index) const;
    void Report();

    TCodeEditStringList& lines_;
    TCodeCustomHighlighter* attached_ = nullptr;
    // The line scanned last and the range its scan ended in.
    int scannedLast_ = -1;
    TCodeRange scannedLastEnd_ = 0;
};

// Which font variant measures the character cell: width with the bold font when any
// attribute is bold, height with the italic font when any is italic. Without a highlighter
// the editor font's own flags decide.
struct TCharCellFonts {
    bool WidthBold = false;
    bool HeightItalic = false;
    bool operator==(const TCharCellFonts&) const = default;
};
TCharCellFonts CharCellFonts(const TCodeCustomHighlighter* highlighter, TFontStyles editorFont);

// The bytes that make up words (caret movement, word selection); bytes 33 to 255 without a
// highlighter.
TCharSet WordChars(const TCodeCustomHighlighter* highlighter);

// The text area's background: the whitespace attribute's background when it has one.
TColor TextAreaBackground(const TCodeCustomHighlighter* highlighter, TColor editorColor);

// How one token is drawn: the attribute's colours and style, the editor's where the
// attribute has none (or the token has no attribute).
struct TTokenLook {
    TColor Foreground = clNone;
    TColor Background = clNone;
    TFontStyles Style = 0;
    bool operator==(const TTokenLook&) const = default;
};
TTokenLook TokenLook(const TCodeHighlighterAttributes* attribute, TColor fontColor,
                     TColor lineBackground, TFontStyles fontStyle);

// Whether a token joins the pending run of text drawn in one go: same background and either
// the same colour and style, or blanks only with neither underlined; in a line drawn wholly
// in selection colours every token joins.
bool JoinsRun(const TTokenLook& run, const TTokenLook& token, std::string_view tokenText,
              bool wholeLineSelected);

} // namespace plotalon
