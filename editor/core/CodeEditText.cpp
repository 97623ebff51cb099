#include "editor/core/CodeEditText.h"

namespace plotalon {

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(current));
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current.push_back(c);
        }
    }
    lines.push_back(std::move(current));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += "\r\n";
        out += lines[i];
    }
    return out;
}

std::string TrimTrailing(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1]))
        --end;
    return std::string(text.substr(0, end));
}

int LeadingBlanks(std::string_view text) {
    int n = 0;
    while (n < static_cast<int>(text.size()) && IsBlank(text[n]))
        ++n;
    return n;
}

std::string PadTo(std::string text, std::size_t length) {
    if (text.size() < length) text.append(length - text.size(), ' ');
    return text;
}

} // namespace plotalon
