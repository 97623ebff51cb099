#include "platform/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plotalon {

namespace {

constexpr int kMostLinkHops = 40; // the kernel's own limit

// The folder part of path with its trailing "/"; empty for a name in the current folder.
std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

const char* FolderOrCurrent(const std::string& folder) {
    return folder.empty() ? "." : folder.c_str();
}

// The name the bytes end up under: path with its symbolic links followed, to a name that
// need not exist yet (the target of a dangling link). Empty when the links form a loop.
std::string FollowLinks(std::string path) {
    for (int hop = 0; hop < kMostLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string link(PATH_MAX, '\0');
        ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) return {};
        link.resize(static_cast<std::size_t>(n));
        path = link.front() == '/' ? link : FolderOf(path) + link;
    }
    return {};
}

// Whether the platform's create would open path: permission bits, ACLs, a read-only mount
// and an immutable file all count, as they do for the user. Opening without truncating
// changes nothing.
bool MayOpenForWriting(const std::string& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

mode_t ModeForNewFile() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The temporary name beside target: the target's own name, shortened where the suffix would
// take it past the file system's name limit, so that it fits whenever the target's name
// fits. The cut falls between UTF-8 characters, so a leftover still reads as the name.
std::string TemporaryPattern(const std::string& target) {
    constexpr std::string_view kSuffix = ".tmpXXXXXX";
    const std::string folder = FolderOf(target);
    long limit = ::pathconf(FolderOrCurrent(folder), _PC_NAME_MAX);
    std::size_t most = limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
    std::size_t keep = target.size() - folder.size();
    keep = std::min(keep, most > kSuffix.size() ? most - kSuffix.size() : 0);
    while (keep > 0 && (static_cast<unsigned char>(target[folder.size() + keep]) & 0xC0) == 0x80)
        --keep;
    return target.substr(0, folder.size() + keep) + std::string(kSuffix);
}

// After a rename the new name lives in the folder: without syncing it a crash can bring
// back the old file on some file systems. Best effort: the file is in place either way,
// and some file systems cannot sync a folder at all.
void SyncFolder(const std::string& target) {
    int fd = ::open(FolderOrCurrent(FolderOf(target)), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

// Writes all of bytes; false on the first failure.
bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// A pipe whose reader went away must fail the write, not end the program (and lose what
// the other pane holds): SIGPIPE is held back while writing, and one the write raised is
// taken back before it is let through again.
bool WriteAllHoldingSigPipe(int fd, std::string_view bytes) {
    sigset_t pipeOnly, previous, pending;
    sigemptyset(&pipeOnly);
    sigaddset(&pipeOnly, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeOnly, &previous);
    sigpending(&pending);
    const bool wasPending = sigismember(&pending, SIGPIPE) == 1;
    bool good = WriteAll(fd, bytes);
    if (!good && errno == EPIPE && !wasPending) {
        const timespec now{};
        while (sigtimedwait(&pipeOnly, nullptr, &now) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return good;
}

} // namespace

TAtomicFileWriter::TAtomicFileWriter(std::string path) : given_(std::move(path)) {
    Open();
}

void TAtomicFileWriter::Open() {
    struct stat st {};
    mode_t mode = 0;
    if (::stat(given_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return Fail(EISDIR); // a folder is never replaced
        if (!S_ISREG(st.st_mode)) {
            OpenInPlace();
            return;
        }
        if (!MayOpenForWriting(given_)) return Fail(errno);
        mode = st.st_mode & 07777;
    } else if (errno == ENOENT) {
        mode = ModeForNewFile();
    } else {
        // a loop of links, a part of the path that is no folder, no permission
        return Fail(errno);
    }
    target_ = FollowLinks(given_);
    if (target_.empty()) return Fail(errno);
    std::string pattern = TemporaryPattern(target_);
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) return Fail(errno);
    tempPath_ = pattern;
    if (::fchmod(fd_, mode) != 0) Fail(errno);
}

// The given path, not its resolved target: "/dev/stdout" must reach the process's own
// output, which only the link itself knows.
void TAtomicFileWriter::OpenInPlace() {
    inPlace_ = true;
    fd_ = ::open(given_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) Fail(errno);
}

void TAtomicFileWriter::Fail(int code) {
    failed_ = true;
    if (error_ == 0) error_ = code != 0 ? code : EIO;
}

TAtomicFileWriter::~TAtomicFileWriter() {
    Discard();
}

void TAtomicFileWriter::Write(std::string_view bytes) {
    if (!Ok()) return;
    if (!(inPlace_ ? WriteAllHoldingSigPipe(fd_, bytes) : WriteAll(fd_, bytes))) Fail(errno);
}

bool TAtomicFileWriter::Commit() {
    if (!Ok()) {
        Discard();
        return false;
    }
    if (inPlace_) {
        const bool good = ::close(fd_) == 0;
        if (!good) Fail(errno);
        fd_ = -1;
        return good;
    }
    if (::fsync(fd_) != 0) Fail(errno);
    if (::close(fd_) != 0) Fail(errno);
    fd_ = -1;
    if (!failed_ && std::rename(tempPath_.c_str(), target_.c_str()) == 0) {
        tempPath_.clear();
        SyncFolder(target_);
        return true;
    }
    Fail(errno);
    Discard();
    return false;
}

void TAtomicFileWriter::Discard() {
    const int kept = errno; // the cause of a failure outlives the clean-up
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
    errno = kept;
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
    TAtomicFileWriter writer(path);
    writer.Write(bytes);
    if (writer.Commit()) return true;
    errno = writer.ErrorCode();
    return false;
}

int OpenForReading(const std::string& path, TReadSource accept) {
    const bool plainOnly = accept == TReadSource::PlainFile;
    // Without O_NONBLOCK, opening a FIFO waits for a writer before fstat could refuse it.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | (plainOnly ? O_NONBLOCK : 0));
    if (fd < 0) return -1;
    struct stat st {};
    const bool refused =
        fstat(fd, &st) != 0 || S_ISDIR(st.st_mode) || (plainOnly && !S_ISREG(st.st_mode));
    if (refused || (plainOnly && fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)) {
        ::close(fd);
        errno = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
        return -1;
    }
    return fd;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, TReadSource accept) {
    int fd = OpenForReading(path, accept);
    if (fd < 0) return false;
    struct stat st {};
    fstat(fd, &st);
    bytes.clear();
    if (st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int cause = errno;
            ::close(fd);
            errno = cause;
            return false;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

} // namespace plotalon
