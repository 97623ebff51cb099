#pragma once
// The system clipboard as the editor needs it: plain text plus privately registered
// formats, written in one open/empty/put/close transaction. The Qt side implements it on
// QClipboard; InMemoryClipboard serves tests and tools without a display.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace plotalon {

class Clipboard {
public:
    virtual ~Clipboard() = default;

    // Name of the plain-text format.
    static constexpr std::string_view kText = "text/plain";

    // Opens the clipboard for a transaction; false when it cannot be opened.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    // Removes every format; false on failure. Only while open.
    virtual bool Clear() = 0;
    // Stores the bytes under a format name; false on failure. Only while open.
    virtual bool SetData(std::string_view format, std::string_view bytes) = 0;
    virtual bool HasFormat(std::string_view format) const = 0;
    // The bytes under a format name, or nothing when it is absent or cannot be read.
    virtual std::optional<std::string> Data(std::string_view format) const = 0;
};

// A clipboard held in memory. Failures can be injected to exercise the callers' error paths.
class InMemoryClipboard : public Clipboard {
public:
    bool Open() override;
    void Close() override { open_ = false; }
    bool Clear() override;
    bool SetData(std::string_view format, std::string_view bytes) override;
    bool HasFormat(std::string_view format) const override;
    std::optional<std::string> Data(std::string_view format) const override;

    bool IsOpen() const { return open_; }
    void SetFailOpen(bool fail) { failOpen_ = fail; }
    void SetFailWrite(bool fail) { failWrite_ = fail; }
    void SetFailRead(bool fail) { failRead_ = fail; }

private:
    std::map<std::string, std::string, std::less<>> formats_;
    bool open_ = false;
    bool failOpen_ = false;
    bool failWrite_ = false;
    bool failRead_ = false;
};

} // namespace plotalon
