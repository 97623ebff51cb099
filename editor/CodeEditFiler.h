#pragma once
// Reading a text file into lines and writing lines back, through one growing byte buffer.
// The reader accepts LF, CR LF and lone CR line ends and remembers whether any line ended
// with CR LF, so that a file is written back in the style it was read in.

#include "editor/CodeEditStringList.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plotalon {

class EReadError : public EInOutError {
public:
    explicit EReadError(int code = errno) : EInOutError("Stream-Lesefehler", code) {}
};
class EWriteError : public EInOutError {
public:
    explicit EWriteError(int code) : EInOutError("Stream-Schreibfehler", code) {}
};

class TCodeEditFiler {
public:
    static constexpr std::size_t kInitialBufferSize = 16384;

    virtual ~TCodeEditFiler() = default;
    TLineBreakFormat LineBreakFormat() const { return format_; }
    void SetLineBreakFormat(TLineBreakFormat format) { format_ = format; }
    std::size_t BufferSize() const { return bufSize_; }

protected:
    TCodeEditFiler();
    std::vector<char> buffer_; // BufSize bytes of data, the terminating 0 and a word of slack
    std::size_t bufSize_ = kInitialBufferSize;
    std::size_t pos_ = 0;
    TLineBreakFormat format_ = TLineBreakFormat::LF;
};

class TCodeEditFileReader : public TCodeEditFiler {
public:
    // Raises EFOpenError when the file cannot be opened (a folder cannot be opened either).
    explicit TCodeEditFileReader(const std::string& path);
    ~TCodeEditFileReader() override;
    TCodeEditFileReader(const TCodeEditFileReader&) = delete;
    TCodeEditFileReader& operator=(const TCodeEditFileReader&) = delete;

    // True when every line has been read, or the data reached a 0 byte (the text ends there).
    bool AtEnd();
    // The next line without its line break; valid until the next call. Raises EReadError.
    std::string_view ReadLine();

    std::int64_t FileSize() const { return size_; }
    std::int64_t BytesRead() const { return read_; }

private:
    void Refill();

    int fd_ = -1;
    std::size_t end_ = 0; // bytes of data in the buffer
    std::int64_t size_ = 0;
    std::int64_t read_ = 0;
    bool eof_ = false;
    bool stopped_ = false; // a 0 byte ended the text
};

// Collects lines and writes them through the safe save (platform/AtomicFile.h): a file is
// replaced only on Commit, and a writer that is destroyed uncommitted leaves it as it was; a
// device or FIFO is written as the lines come.
class TCodeEditFileWriter : public TCodeEditFiler {
public:
    // Raises EFCreateError when the file cannot be created.
    explicit TCodeEditFileWriter(const std::string& path);
    ~TCodeEditFileWriter() override = default;

    void WriteLine(std::string_view text);
    // Writes the rest of the buffer and puts the file in place. Raises EWriteError when
    // writing failed, EFCreateError when the file could not be put in place.
    void Commit();

private:
    void Flush();

    std::string path_;
    TAtomicFileWriter file_;
};

} // namespace plotalon
