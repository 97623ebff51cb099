#include "settings/BlockFile.h"

#include "platform/AtomicFile.h"
#include "platform/Errors.h"

namespace plotalon {

namespace {

std::string WithCrLfBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += "\r\n";
            ++i;
        } else if (c == '\r' || c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::string BlockBytesToMemoText(std::string_view bytes) {
    return WithCrLfBreaks(bytes.substr(0, bytes.find('\0')));
}

std::string ReadBlockFile(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) throw EFOpenError(path);
    return BlockBytesToMemoText(bytes);
}

std::optional<std::string> ReadBlockFileIfExists(const std::string& path) {
    if (!FileExists(path)) return std::nullopt;
    return ReadBlockFile(path);
}

std::vector<std::string> MemoTextToLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) break;
        lines.emplace_back(text.substr(start, end - start));
        start = end + 2;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

void WriteBlockFile(const std::string& path, std::string_view memoText) {
    if (!ReplaceFileContents(path, WithCrLfBreaks(memoText))) throw EFCreateError(path);
}

} // namespace plotalon
