#pragma once
// Replacing a file so that a failure at any point (disk full, folder read-only, the process
// killed) leaves the old file as it was: the new bytes go to a temporary file in the same
// folder, which is renamed over the target only once it is complete.

#include <string>
#include <string_view>

namespace plotalon {

class TAtomicFileWriter {
public:
    // Creates the temporary file beside path; Ok() tells whether that worked.
    explicit TAtomicFileWriter(std::string path);
    ~TAtomicFileWriter(); // discards the temporary file unless committed
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

    bool Ok() const { return Fd >= 0 && !Failed; }
    // Appends bytes; a failed write makes Ok() false and Commit() a no-op returning false.
    void Write(std::string_view bytes);
    // Flushes, syncs and renames over the target. False leaves the target untouched.
    bool Commit();
    // Drops the temporary file; the target stays untouched.
    void Discard();

    const std::string& Path() const { return Target; }

private:
    std::string Target;
    std::string TempPath;
    int Fd = -1;
    bool Failed = false;
};

// Writes bytes as the whole new content of path. False when the file could not be
// created or written; the previous file, if any, is then unchanged.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

// Reads a whole file. False when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

bool FileExists(const std::string& path);

} // namespace plotalon
