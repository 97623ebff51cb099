#pragma once
// A pane's editing core filled with lines, driven by key codes as a user would.

#include "editor/core/CodeEditCore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace plotalon::test {

class Editor {
public:
    Editor() = default;
    explicit Editor(const std::vector<std::string>& lines) {
        for (const auto& line : lines)
            core.Lines().AddLine(line);
    }

    std::vector<std::string> Lines() const {
        std::vector<std::string> out;
        for (int i = 0; i < core.Lines().Count(); ++i)
            out.emplace_back(core.Lines().LineAt(i));
        return out;
    }

    // A key press and the character message that follows it, as the window sends them.
    void Key(std::uint16_t key, TShiftState shift = ssNone, char ch = 0) {
        core.KeyDown(key, shift);
        if (ch) core.KeyPress(ch);
    }

    void Type(const std::string& text) {
        for (char c : text)
            Key(static_cast<std::uint16_t>(std::toupper(static_cast<unsigned char>(c))), ssNone, c);
    }

    void Caret(int x, int y) { core.SetCaretXY({x, y}); }
    TCodePoint Caret() const { return core.CaretXY(); }

    TCodeEditCore core;
};

// Whether caret and block ends stand inside the text: on an existing line (line 1 of an
// empty text) and no further right than the core lets a caret go.
inline ::testing::AssertionResult PositionsInText(const TCodeEditCore& core) {
    const int lastLine = std::max(1, core.Lines().Count());
    const TCodePoint points[] = {core.CaretXY(), core.BlockBegin(), core.BlockEnd()};
    for (const TCodePoint& p : points) {
        bool inside = p.Y >= 1 && p.Y <= lastLine && p.X >= 1;
        if (inside) {
            auto length = static_cast<int>(core.Lines().LineAt(std::size_t(p.Y - 1)).size());
            inside = p.X <= std::max(length + 1, TCodeEditCore::kMaxScrollWidth);
        }
        if (!inside)
            return ::testing::AssertionFailure()
                   << "(" << p.X << "," << p.Y << ") outside a text of " << lastLine << " lines";
    }
    return ::testing::AssertionSuccess();
}

} // namespace plotalon::test
