#pragma once
// The two seams through which the conversion engine meets the text panes: it reads the
// source text line by line and appends single lines to the target text. The editor's line
// list implements both; tools and tests use TLineVector.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace plotalon {

class ILineSource {
public:
    virtual ~ILineSource() = default;
    virtual std::size_t LineCount() const = 0;
    // index < LineCount(); the view stays valid until the source changes.
    virtual std::string_view LineAt(std::size_t index) const = 0;
};

class ILineSink {
public:
    virtual ~ILineSink() = default;
    virtual void AppendLine(std::string_view line) = 0;
};

// A plain vector of byte lines serving as both seams.
class TLineVector : public ILineSource, public ILineSink {
public:
    TLineVector() = default;
    TLineVector(std::initializer_list<std::string> lines) : Lines(lines) {}
    explicit TLineVector(std::vector<std::string> lines) : Lines(std::move(lines)) {}

    std::size_t LineCount() const override { return Lines.size(); }
    std::string_view LineAt(std::size_t index) const override { return Lines[index]; }
    void AppendLine(std::string_view line) override { Lines.emplace_back(line); }

    std::vector<std::string> Lines;
};

} // namespace plotalon
