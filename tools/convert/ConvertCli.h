#pragma once
// plotalon-convert: converts an NC file to HPGL without a window, with the settings files the
// program itself uses. Kept apart from main() so that tests drive it in-process.

#include <algorithm>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace plotalon {

enum ConvertExit { ceOk = 0, ceConversionFault = 1, ceUsage = 2 };

// args excludes the program name. exeFolder is the default settings folder.
int RunConvertCli(const std::vector<std::string>& args, const std::string& exeFolder,
                  std::ostream& out, std::ostream& err);

// Splits NC file bytes into lines as the editor loads them: CR LF, LF and a lone CR each end a
// line, a NUL byte ends the text, and a final line break starts no further line.
std::vector<std::string> SplitSourceText(const std::string& bytes);

// The same split, calling visit(start, length) for every line.
template <typename Visit> void ForEachSourceLine(std::string_view bytes, Visit visit) {
    const std::size_t end = std::min(bytes.size(), bytes.find('\0'));
    std::size_t start = 0;
    for (std::size_t i = 0; i < end; ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        visit(start, i - start);
        if (bytes[i] == '\r' && i + 1 < end && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < end) visit(start, end - start);
}

} // namespace plotalon
