#include "editor/view/CodeLineRuns.h"

#include "editor/CodeEditStringList.h"

#include <algorithm>

namespace plotalon {

namespace {

int NextTabStop(int column, int tabWidth) {
    if (tabWidth <= 1) return column + 1;
    return (column / tabWidth + 1) * tabWidth;
}

struct TToken {
    int Start;
    int End;
    TTokenLook Look;
};

// Feeds the line's tokens with their looks to take, left to right, up to the first that
// starts at or after stop.
template <class F> void ForEachToken(const TLineRunsInput& in, int stop, F&& take) {
    const TTokenLook plain{in.FontColor, in.Background, in.FontStyle};
    const int length = int(in.Text.size());
    TCodeCustomHighlighter* hl = in.Highlighter;
    if (hl == nullptr) {
        if (length > 0) take(TToken{0, length, plain});
        return;
    }
    hl->SetRangeState(in.Range);
    hl->BeginLine(in.Text, in.LineIndex);
    int covered = 0;
    while (!hl->AtLineEnd() && covered < length && covered < stop) {
        const int start = std::max(covered, hl->TokenStart());
        const TTokenLook look =
            TokenLook(hl->TokenAttribute(), in.FontColor, in.Background, in.FontStyle);
        hl->NextToken();
        // The next token starts where this one ends. A token that does not move on ends
        // the scan, so that no highlighter can keep a repaint going for ever.
        const int end = std::min(hl->TokenStart(), length);
        if (end <= start) break;
        take(TToken{start, end, look});
        covered = end;
    }
    // Bytes the highlighter left out (after a 0 byte) are still shown.
    if (covered < length) take(TToken{covered, length, plain});
}

} // namespace

int DisplayColumn(std::string_view raw, int byteIndex, int tabWidth) {
    const int n = std::clamp(byteIndex, 0, int(raw.size()));
    if (raw.substr(0, std::size_t(n)).find('\t') == std::string_view::npos) return byteIndex;
    int column = 0;
    for (int i = 0; i < n; ++i)
        column = raw[std::size_t(i)] == '\t' ? NextTabStop(column, tabWidth) : column + 1;
    return column + (byteIndex - n);
}

int ByteColumn(std::string_view raw, int column, int tabWidth) {
    // The byte that covers a column is never after it.
    const std::size_t reach = std::size_t(std::max(column, 0)) + 1;
    if (raw.substr(0, reach).find('\t') == std::string_view::npos) return column;
    int at = 0;
    for (int i = 0; i < int(raw.size()); ++i) {
        const int next = raw[std::size_t(i)] == '\t' ? NextTabStop(at, tabWidth) : at + 1;
        if (column < next) return i;
        at = next;
    }
    return int(raw.size()) + (column - at);
}

std::string_view ShownText(std::string_view raw, int tabWidth, int endColumn,
                           std::string& storage) {
    const std::string_view reach = raw.substr(0, std::size_t(std::max(0, endColumn)));
    if (reach.find('\t') == std::string_view::npos) return raw;
    // The expansion of a line's first bytes is the start of the line's expansion: a tab
    // stop depends only on what comes before it.
    bool hadTabs = false;
    storage = ExpandTabs(reach, tabWidth, hadTabs);
    return storage;
}

TLineSelection SelectionOnLine(TCodeSelectionMode mode, TCodePoint begin, TCodePoint end, int line,
                               std::string_view raw, int tabWidth) {
    if (begin == end) return {};
    if (PointBefore(end, begin)) std::swap(begin, end);
    if (line < begin.Y || line > end.Y) return {};
    auto column = [&](int x) { return DisplayColumn(raw, x - 1, tabWidth); };
    switch (mode) {
    case TCodeSelectionMode::smLine:
        return {0, TLineSelection::kToRowEnd};
    case TCodeSelectionMode::smColumn: {
        const int a = column(begin.X), b = column(end.X);
        return {std::min(a, b), std::max(a, b)};
    }
    case TCodeSelectionMode::smNormal:
        break;
    }
    const int from = line == begin.Y ? column(begin.X) : 0;
    const int to = line == end.Y ? column(end.X) : TLineSelection::kToRowEnd;
    return {from, to};
}

std::vector<TCodeRun> LineRuns(const TLineRunsInput& in) {
    std::vector<TCodeRun> runs;
    const int length = int(in.Text.size());
    const int first = std::max(0, in.FirstColumn);
    const int last = std::min(length, in.EndColumn);
    if (first >= last) return runs;
    const TLineSelection& sel = in.Selection;
    const bool wholeLine = !sel.Empty() && sel.From <= 0 && sel.To >= length;

    // Appends [from, to) of a run in its look, the selected part in selection colours.
    auto emit = [&](int from, int to, const TTokenLook& look) {
        from = std::max(from, first);
        to = std::min(to, last);
        if (from >= to) return;
        const TTokenLook picked{in.SelectedForeground, in.SelectedBackground, look.Style};
        const int cuts[4] = {from, std::clamp(sel.From, from, to), std::clamp(sel.To, from, to),
                             to};
        for (int i = 0; i < 3; ++i) {
            if (cuts[i + 1] <= cuts[i]) continue;
            const bool selected = i == 1 && !sel.Empty();
            runs.push_back({cuts[i], cuts[i + 1] - cuts[i], selected ? picked : look});
        }
    };

    bool pending = false;
    TToken run{0, 0, {}};
    ForEachToken(in, last, [&](const TToken& token) {
        if (token.End <= first || token.Start >= last) return;
        const std::string_view text =
            in.Text.substr(std::size_t(token.Start), std::size_t(token.End - token.Start));
        if (pending && JoinsRun(run.Look, token.Look, text, wholeLine)) {
            run.End = token.End;
            return;
        }
        if (pending) emit(run.Start, run.End, run.Look);
        run = token;
        pending = true;
    });
    if (pending) emit(run.Start, run.End, run.Look);
    return runs;
}

} // namespace plotalon
