// Block text of a pane: reading, deleting and inserting it in normal, line and column mode.

#include "editor/core/CodeEditCore.h"
#include "editor/core/CodeEditText.h"

#include <algorithm>

namespace plotalon {

namespace {

void Order(TCodePoint& begin, TCodePoint& end) {
    if (PointBefore(end, begin)) std::swap(begin, end);
}

// The columns and lines a column block spans, from its two corners in either order.
struct TColumnBlock {
    int Left, Right, Top, Bottom;
};
TColumnBlock ColumnBlockOf(TCodePoint begin, TCodePoint end) {
    return {std::min(begin.X, end.X), std::max(begin.X, end.X), std::min(begin.Y, end.Y),
            std::max(begin.Y, end.Y)};
}

std::string Slice(std::string_view line, int fromColumn, int toColumn) {
    int from = std::clamp(fromColumn - 1, 0, static_cast<int>(line.size()));
    int to = std::clamp(toColumn - 1, from, static_cast<int>(line.size()));
    return std::string(line.substr(from, to - from));
}

} // namespace

std::string TCodeEditCore::SelectedText(TCodeSelectionMode mode, TCodePoint begin,
                                        TCodePoint end) const {
    if (LineCount() == 0) return {};
    begin = Clamp(begin);
    end = Clamp(end);
    std::string out;
    switch (mode) {
    case TCodeSelectionMode::smNormal:
        Order(begin, end);
        if (begin.Y == end.Y) return Slice(Line(begin.Y), begin.X, end.X);
        out = Slice(Line(begin.Y), begin.X, static_cast<int>(Line(begin.Y).size()) + 1);
        for (int y = begin.Y + 1; y < end.Y; ++y)
            out += "\r\n" + Line(y);
        out += "\r\n" + Slice(Line(end.Y), 1, end.X);
        return out;
    case TCodeSelectionMode::smLine:
        Order(begin, end);
        for (int y = begin.Y; y <= end.Y; ++y) {
            out += Line(y);
            if (y < end.Y || end.Y < LineCount()) out += "\r\n";
        }
        return out;
    case TCodeSelectionMode::smColumn: {
        const auto [left, right, top, bottom] = ColumnBlockOf(begin, end);
        for (int y = top; y <= bottom; ++y) {
            if (y > top) out += "\r\n";
            out += Slice(Line(y), left, right);
        }
        return out;
    }
    }
    return out;
}

void TCodeEditCore::DeleteSelection(TCodeSelectionMode mode, TCodePoint begin, TCodePoint end) {
    if (LineCount() == 0) return;
    begin = Clamp(begin);
    end = Clamp(end);
    LinesUpdate update(Lines());
    TCodePoint caret;
    switch (mode) {
    case TCodeSelectionMode::smNormal: {
        Order(begin, end);
        std::string left = Slice(Line(begin.Y), 1, begin.X);
        std::string endLine = Line(end.Y);
        std::string right = endLine.substr(std::min<std::size_t>(end.X - 1, endLine.size()));
        int removed = end.Y - begin.Y;
        if (removed > 0) Lines().DeleteLines(begin.Y, removed);
        std::string joined = left + right;
        if (HasOption(eoTrimTrailingSpaces) && HasOption(eoScrollPastEol))
            joined = TrimTrailing(joined);
        SetLine(begin.Y, joined);
        document_.LinesRemoved(begin.Y + 1, removed);
        caret = begin;
        break;
    }
    case TCodeSelectionMode::smLine: {
        Order(begin, end);
        if (end.Y >= LineCount()) {
            // The last line stays as one empty line.
            int removed = end.Y - begin.Y;
            if (removed > 0) Lines().DeleteLines(begin.Y - 1, removed);
            SetLine(begin.Y, "");
            document_.LinesRemoved(begin.Y + 1, removed);
        } else {
            int removed = end.Y - begin.Y + 1;
            Lines().DeleteLines(begin.Y - 1, removed);
            document_.LinesRemoved(begin.Y, removed);
        }
        caret = {1, begin.Y};
        break;
    }
    case TCodeSelectionMode::smColumn: {
        const auto [left, right, top, bottom] = ColumnBlockOf(begin, end);
        for (int y = top; y <= bottom; ++y) {
            std::string line = Line(y);
            if (static_cast<int>(line.size()) < left) continue;
            line.erase(left - 1, std::min<std::size_t>(right - left, line.size() - (left - 1)));
            SetLine(y, line);
        }
        caret = {left, bottom};
        break;
    }
    }
    caret_ = Clamp(caret);
    blockBegin_ = blockEnd_ = caret_;
    StatusChanged();
}

TCodePoint TCodeEditCore::InsertText(TCodeSelectionMode mode, TCodePoint point,
                                     std::string_view text) {
    LinesUpdate update(Lines());
    document_.EnsureOneLine();
    point = Clamp(point);
    std::vector<std::string> segments = SplitLines(text);
    int breaks = static_cast<int>(segments.size()) - 1;
    TCodePoint caret = point;
    switch (mode) {
    case TCodeSelectionMode::smNormal: {
        std::string line = Line(point.Y);
        std::string left =
            PadTo(line.substr(0, std::min<std::size_t>(point.X - 1, line.size())), point.X - 1);
        std::string right = line.substr(std::min<std::size_t>(point.X - 1, line.size()));
        if (breaks == 0) {
            SetLineTrimmed(point.Y, left + segments[0] + right);
            caret = {point.X + static_cast<int>(segments[0].size()), point.Y};
            break;
        }
        SetLineTrimmed(point.Y, left + segments[0]);
        Lines().InsertLines(point.Y, breaks);
        for (int i = 1; i < breaks; ++i)
            SetLineTrimmed(point.Y + i, segments[i]);
        SetLineTrimmed(point.Y + breaks, segments.back() + right);
        caret = {static_cast<int>(segments.back().size()) + 1, point.Y + breaks};
        document_.LinesInserted(point.Y, breaks);
        break;
    }
    case TCodeSelectionMode::smColumn: {
        for (int i = 0; i <= breaks; ++i) {
            int y = point.Y + i;
            if (y > LineCount()) {
                Lines().AddLine("");
            }
            std::string line = PadTo(Line(y), point.X - 1);
            line.insert(point.X - 1, segments[i]);
            SetLineTrimmed(y, line);
        }
        caret = {point.X + static_cast<int>(segments.back().size()), point.Y + breaks};
        break;
    }
    case TCodeSelectionMode::smLine: {
        // Whole lines go in front of the caret line; the part after the last break is put in
        // front of the caret line's text.
        if (breaks > 0) {
            Lines().InsertLines(point.Y - 1, breaks);
            for (int i = 0; i < breaks; ++i)
                SetLineTrimmed(point.Y + i, segments[i]);
        }
        int y = point.Y + breaks;
        SetLineTrimmed(y, segments.back() + Line(y));
        caret = {static_cast<int>(segments.back().size()) + 1, y};
        document_.LinesInserted(point.Y - 1, breaks);
        break;
    }
    }
    caret_ = Clamp(caret);
    blockBegin_ = blockEnd_ = caret_;
    StatusChanged();
    return caret_;
}

std::string TCodeEditCore::SelText() const {
    if (!SelAvail()) return {};
    return SelectedText(selectionMode_, blockBegin_, blockEnd_);
}

} // namespace plotalon
