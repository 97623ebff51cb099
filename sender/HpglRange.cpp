#include "sender/HpglRange.h"

#include <cctype>
#include <charconv>
#include <vector>

namespace plotalon {

namespace {

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Upper(char c) {
    return char(std::toupper(static_cast<unsigned char>(c)));
}

// Carries what spans lines: the label terminator DT sets, and a label or encoded polyline that
// has not ended on its line.
class TRangeScanner {
public:
    TRangeScanner(std::int32_t min, std::int32_t max) : min_(min), max_(max) {}

    // The first number of line outside the range, as written; empty when there is none.
    std::string Scan(std::string_view line) {
        std::size_t at = 0;
        while (at < line.size()) {
            if (inLabel_) {
                const std::size_t end = line.find(labelEnd_, at);
                if (end == std::string_view::npos) return {};
                inLabel_ = false;
                at = end + 1;
            } else if (inEncoded_) {
                const std::size_t end = line.find(';', at);
                if (end == std::string_view::npos) return {};
                inEncoded_ = false;
                at = end + 1;
            } else if (line[at] == '\x1b') {
                at = SkipEscape(line, at);
            } else if (IsLetter(line[at]) && at + 1 < line.size() && IsLetter(line[at + 1])) {
                std::string outside = Instruction(line, at);
                if (!outside.empty()) return outside;
            } else if (IsDigit(line[at]) || line[at] == '-' || line[at] == '+' || line[at] == '.') {
                std::string outside = Number(line, at);
                if (!outside.empty()) return outside;
            } else {
                ++at;
            }
        }
        return {};
    }

private:
    // ESC, ".", a letter, and up to ":" for the instructions that take parameters.
    static std::size_t SkipEscape(std::string_view line, std::size_t at) {
        at += 3;
        if (at <= line.size() &&
            std::string_view("@HIMNPST").find(line[at - 1]) != std::string_view::npos) {
            const std::size_t end = line.find(':', at);
            return end == std::string_view::npos ? line.size() : end + 1;
        }
        return std::min(at, line.size());
    }

    std::string Instruction(std::string_view line, std::size_t& at) {
        const char first = Upper(line[at]), second = Upper(line[at + 1]);
        at += 2;
        if (first == 'L' && second == 'B') {
            inLabel_ = true;
        } else if (first == 'P' && second == 'E') {
            inEncoded_ = true;
        } else if (first == 'D' && second == 'T') {
            // The next character is the new terminator; ";" or the line's end keep ETX.
            labelEnd_ = at < line.size() && line[at] != ';' ? line[at++] : '\x03';
        }
        return {};
    }

    std::string Number(std::string_view line, std::size_t& at) {
        const std::size_t start = at;
        if (line[at] == '-' || line[at] == '+') ++at;
        bool digits = false;
        for (bool point = false; at < line.size(); ++at) {
            if (IsDigit(line[at]))
                digits = true;
            else if (line[at] == '.' && !point)
                point = true;
            else
                break;
        }
        const std::string_view text = line.substr(start, at - start);
        if (!digits) return {};
        std::string_view plain = text;
        if (plain.starts_with('+')) plain.remove_prefix(1);
        double value = 0;
        const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
        // A run such as "12." reads as far as it can; only a number too large for a double
        // fails, and that one lies outside any range.
        (void)end;
        const bool outside = error == std::errc::result_out_of_range ||
                             (error == std::errc() && (value < min_ || value > max_));
        return outside ? std::string(text) : std::string();
    }

    std::int32_t min_, max_;
    char labelEnd_ = '\x03';
    bool inLabel_ = false;
    bool inEncoded_ = false;
};

} // namespace

std::optional<TRangeViolation> FindOutOfRange(const ILineSource& lines, std::int32_t min,
                                              std::int32_t max) {
    TRangeScanner scanner(min, max);
    for (std::size_t i = 0; i < lines.LineCount(); ++i) {
        std::string outside = scanner.Scan(lines.LineAt(i));
        if (!outside.empty()) return TRangeViolation{i, std::move(outside)};
    }
    return std::nullopt;
}

namespace {

// The lines of a text as views into it: LF ends a line, a CR before it is left off.
class TTextLines : public ILineSource {
public:
    explicit TTextLines(std::string_view text) {
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
            if (end == std::string_view::npos) end = text.size();
            if (end > start && text[end - 1] == '\r') --end;
            lines_.push_back(text.substr(start, end - start));
            start = next;
        }
    }
    std::size_t LineCount() const override { return lines_.size(); }
    std::string_view LineAt(std::size_t index) const override { return lines_[index]; }

private:
    std::vector<std::string_view> lines_;
};

} // namespace

std::optional<TRangeViolation> FindOutOfRangeInText(std::string_view text, std::int32_t min,
                                                    std::int32_t max) {
    return FindOutOfRange(TTextLines(text), min, max);
}

std::string_view LineOfText(std::string_view text, std::size_t line) {
    const TTextLines lines(text);
    return line < lines.LineCount() ? lines.LineAt(line) : std::string_view();
}

std::string DescribeViolation(const TRangeViolation& violation, std::string_view lineText,
                              std::int32_t min, std::int32_t max) {
    constexpr std::size_t kShown = 60;
    std::string shown(lineText.substr(0, kShown));
    if (lineText.size() > kShown) shown += "...";
    return "Zeile " + std::to_string(violation.Line + 1) + " liegt außerhalb des Plotterbereichs " +
           std::to_string(min) + " bis " + std::to_string(max) + ": " + shown;
}

} // namespace plotalon
