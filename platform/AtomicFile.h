#pragma once
// Saving a file so that a failure at any point (disk full, folder read-only, the process
// killed) leaves the old file as it was: the new bytes go to a temporary file in the same
// folder, which is renamed over the target only once it is complete; the folder is synced
// after the rename, so that the new name survives a crash as well.
//
// Only a regular file or a new name is replaced that way. A symbolic link is followed to the
// name it points to (a dangling link creates its target). A device or FIFO would be
// destroyed by a rename, so it is opened and written in place, as shell redirection does:
// "/dev/stdout" and pipes work, and a FIFO waits for its reader. A folder, a socket, a file
// the user may not open for writing and a name that cannot be created fail as the platform's
// create would, and the target stays untouched.

#include <string>
#include <string_view>

namespace plotalon {

class TAtomicFileWriter {
public:
    // Opens the target's writer; Ok() tells whether that worked.
    explicit TAtomicFileWriter(std::string path);
    ~TAtomicFileWriter(); // discards the temporary file unless committed
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

    bool Ok() const { return fd_ >= 0 && !failed_; }
    // Why the writer failed: the platform's error number (errno) of its first failure, 0
    // while it has not failed.
    int ErrorCode() const { return error_; }
    // Appends bytes; a failed write makes Ok() false and Commit() a no-op returning false.
    void Write(std::string_view bytes);
    // Flushes, syncs and renames over the target (closes it, when written in place). False
    // leaves the target untouched.
    bool Commit();
    // Drops the temporary file; the target stays untouched.
    void Discard();

    // True when the bytes go straight into a device or FIFO: they reach it as they are
    // written, and neither a failure nor Discard() takes them back.
    bool WritesInPlace() const { return inPlace_; }
    // The path as it was given.
    const std::string& Path() const { return given_; }

private:
    void Open();
    void OpenInPlace();
    // Keeps code (errno) of the first failure.
    void Fail(int code);

    std::string given_;
    std::string target_; // the name renamed over: Given with its links followed
    std::string tempPath_;
    int fd_ = -1;
    bool failed_ = false;
    int error_ = 0;
    bool inPlace_ = false;
};

// Writes bytes as the whole new content of path. False when the file could not be
// created or written (errno then tells why); the previous file, if any, is then unchanged.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

// What a reader accepts. The program's own files (settings, blocks, help, loaded texts) are
// plain files only: a FIFO would block the window until some writer appeared, and a device
// such as /dev/zero never ends. A command-line tool may read from a pipe as well.
enum class TReadSource { PlainFile, FileOrStream };

// Opens path for reading; -1 when it cannot be opened, is a folder (errno EISDIR), or is not
// accepted (ENODEV). Never blocks on a FIFO that is not accepted.
int OpenForReading(const std::string& path, TReadSource accept);

// Reads a whole file. False when it cannot be opened or read; errno then tells why.
bool ReadWholeFile(const std::string& path, std::string& bytes,
                   TReadSource accept = TReadSource::PlainFile);

bool FileExists(const std::string& path);

} // namespace plotalon
