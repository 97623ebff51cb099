#include "platform/IniProfile.h"

#include "platform/AtomicFile.h"

#include <optional>
#include <vector>

namespace plotalon {

namespace {

constexpr std::string_view kNewLine = "\r\n";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

// One line of the file: its text and the line break that ended it (empty for a last line
// without one). Text plus Break is exactly the bytes of the file.
struct TLine {
    std::string_view Text;
    std::string_view Break;
};

// A line ends at CR LF, at a lone LF or at a lone CR.
std::vector<TLine> SplitLines(std::string_view bytes) {
    std::vector<TLine> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back({bytes.substr(start), {}});
            break;
        }
        std::size_t breakLength =
            (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1;
        lines.push_back({bytes.substr(start, end - start), bytes.substr(end, breakLength)});
        start = end + breakLength;
    }
    return lines;
}

// The name of a section header line, or nothing when the line is none.
std::optional<std::string_view> SectionName(std::string_view text) {
    text = Trim(text);
    if (text.empty() || text.front() != '[') return std::nullopt;
    std::size_t close = text.rfind(']');
    if (close == std::string_view::npos || close == 0) return std::nullopt;
    return Trim(text.substr(1, close - 1));
}

struct TEntry {
    std::string_view Key;   // trimmed
    std::string_view Value; // trimmed
};

// The key and value of a "key=value" line; nothing for a line without "=".
std::optional<TEntry> Entry(std::string_view text) {
    std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return TEntry{Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))};
}

// Where a section and a key sit among the lines of a file.
struct TLocation {
    std::optional<std::size_t> Header;  // the section's header line
    std::optional<std::size_t> KeyLine; // the key's line within the section
    std::size_t LastContent = 0;        // last header or non-blank line of the section
};

TLocation Locate(const std::vector<TLine>& lines, std::string_view section, std::string_view key) {
    TLocation at;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::optional<std::string_view> name = SectionName(lines[i].Text);
        if (!at.Header) {
            if (name && SameName(*name, section)) {
                at.Header = i;
                at.LastContent = i;
            }
            continue;
        }
        if (name) break; // the next section begins
        if (!Trim(lines[i].Text).empty()) at.LastContent = i;
        if (!at.KeyLine) {
            std::optional<TEntry> entry = Entry(lines[i].Text);
            if (entry && SameName(entry->Key, key)) at.KeyLine = i;
        }
    }
    return at;
}

// A value enclosed in a pair of the same quote marks is read without them, as Windows does.
std::string_view WithoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string_view CutToLimit(std::string_view value) {
    std::size_t nul = value.find('\0');
    if (nul != std::string_view::npos) value = value.substr(0, nul);
    return value.substr(0, std::min(value.size(), kProfileValueLimit));
}

bool HoldsLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool FitsOnOneLine(std::string_view section, std::string_view key, std::string_view value) {
    if (HoldsLineBreakOrNul(section) || HoldsLineBreakOrNul(key) || HoldsLineBreakOrNul(value))
        return false;
    if (section.find(']') != std::string_view::npos || Trim(section) != section) return false;
    // A key starting with "[" could read back as a section header.
    return !key.empty() && key.front() != '[' && key.find('=') == std::string_view::npos &&
           Trim(key) == key;
}

std::string Joined(const std::vector<TLine>& lines, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t i = from; i < to; ++i) {
        out += lines[i].Text;
        out += lines[i].Break;
    }
    return out;
}

// The new content of the file: lines before the edit, the edited or added lines, the rest.
std::string Edited(const std::vector<TLine>& lines, std::string_view section, std::string_view key,
                   std::string_view value) {
    TLocation at = Locate(lines, section, key);
    std::string entryLine = std::string(key) + "=" + std::string(value);
    if (at.KeyLine) {
        std::size_t i = *at.KeyLine;
        std::string storedKey(Entry(lines[i].Text)->Key);
        return Joined(lines, 0, i) + storedKey + "=" + std::string(value) +
               std::string(lines[i].Break) + Joined(lines, i + 1, lines.size());
    }
    if (at.Header) {
        std::size_t i = at.LastContent;
        std::string_view lineBreak = lines[i].Break.empty() ? kNewLine : lines[i].Break;
        return Joined(lines, 0, i) + std::string(lines[i].Text) + std::string(lineBreak) +
               entryLine + std::string(kNewLine) + Joined(lines, i + 1, lines.size());
    }
    std::string out = Joined(lines, 0, lines.size());
    if (!lines.empty() && lines.back().Break.empty()) out += kNewLine;
    out += "[" + std::string(section) + "]" + std::string(kNewLine);
    out += entryLine + std::string(kNewLine);
    return out;
}

} // namespace

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return std::string(CutToLimit(defaultValue));
    std::vector<TLine> lines = SplitLines(bytes);
    TLocation at = Locate(lines, section, key);
    if (!at.KeyLine) return std::string(CutToLimit(defaultValue));
    return std::string(CutToLimit(WithoutQuotes(Entry(lines[*at.KeyLine].Text)->Value)));
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path) {
    if (!FitsOnOneLine(section, key, value)) return false;
    std::string bytes;
    // A file we cannot read we must not replace: its other entries would be lost. One the
    // user may not write the writer refuses by itself.
    if (FileExists(path) && !ReadWholeFile(path, bytes)) return false;
    return ReplaceFileContents(path, Edited(SplitLines(bytes), section, key, value));
}

} // namespace plotalon
