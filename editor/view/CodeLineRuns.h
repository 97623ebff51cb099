#pragma once
// What one row of the text area shows, without pixels: the line's tokens joined into runs
// of one look each, the selection cut out of them in selection colours, restricted to the
// visible columns. Columns here are display columns (0-based, tabs expanded); the core's
// positions are byte columns (1-based) and are mapped with DisplayColumn and ByteColumn.
//
// A row costs what its visible columns cost, however long the line: a byte's display
// column is never below its index, so nothing from the byte at the visible end on can
// reach a visible column; the scan stops at the first token that starts past the visible
// end, and only the bytes before it are looked at for tabs. Since the panes scroll no
// further right than column 1024, that bounds every row's work.

#include "editor/CodeEditHighlighterLink.h"
#include "editor/core/CodeEditUndo.h"

#include <climits>
#include <string>
#include <string_view>
#include <vector>

namespace plotalon {

// The selected display columns of one row, To exclusive; To == kToRowEnd when the
// selection goes on past the end of the text (a selected line break, a line selection).
struct TLineSelection {
    static constexpr int kToRowEnd = INT_MAX;
    int From = 0;
    int To = 0;
    bool Empty() const { return To <= From; }
    bool operator==(const TLineSelection&) const = default;
};

struct TCodeRun {
    int Column = 0; // first display column
    int Length = 0;
    TTokenLook Look;
    bool operator==(const TCodeRun&) const = default;
};

// The display column of the byte at byteIndex (0-based) of raw; bytes past the end count
// one column each. Reads raw only up to byteIndex.
int DisplayColumn(std::string_view raw, int byteIndex, int tabWidth);
// The byte index (0-based) whose cell covers display column column; past the end of the
// text one byte per column. Reads raw only up to that byte.
int ByteColumn(std::string_view raw, int column, int tabWidth);

// The text a row shows up to display column endColumn (exclusive), tabs expanded: the line
// itself when no tab comes before that column, otherwise the expansion of the bytes that
// can reach it, kept in storage. Before endColumn it agrees with the whole line expanded.
std::string_view ShownText(std::string_view raw, int tabWidth, int endColumn, std::string& storage);

// The part of line (1-based) that a selection from begin to end covers in mode.
TLineSelection SelectionOnLine(TCodeSelectionMode mode, TCodePoint begin, TCodePoint end, int line,
                               std::string_view raw, int tabWidth);

struct TLineRunsInput {
    std::string_view Text; // tabs expanded
    TCodeCustomHighlighter* Highlighter = nullptr;
    TCodeRange Range = 0; // stored range at the start of the line
    int LineIndex = 0;    // 0-based
    TColor FontColor = clNone;
    TColor Background = clNone;
    TFontStyles FontStyle = 0;
    TColor SelectedForeground = clNone;
    TColor SelectedBackground = clNone;
    TLineSelection Selection;
    int FirstColumn = 0;     // first visible display column
    int EndColumn = INT_MAX; // first display column no longer visible
};

// The runs that cover the visible part of the text, left to right without gaps. Empty
// when nothing of the text is visible. The highlighter scans from the line's start to the
// first token that starts at or after EndColumn.
std::vector<TCodeRun> LineRuns(const TLineRunsInput& input);

} // namespace plotalon
