#include "platform/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plotalon {

namespace {

// Writing through a symbolic link replaces the file it points to, not the link.
std::string ResolveTarget(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) != nullptr) return resolved;
    }
    return path;
}

mode_t ModeForNewFile(const std::string& target) {
    struct stat st {};
    if (stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

TAtomicFileWriter::TAtomicFileWriter(std::string path) : Target(ResolveTarget(path)) {
    struct stat st {};
    if (stat(Target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return; // never replace a folder
    std::string pattern = Target + ".tmpXXXXXX";
    Fd = mkstemp(pattern.data());
    if (Fd < 0) return;
    TempPath = pattern;
    if (fchmod(Fd, ModeForNewFile(Target)) != 0) Failed = true;
}

TAtomicFileWriter::~TAtomicFileWriter() { Discard(); }

void TAtomicFileWriter::Write(std::string_view bytes) {
    if (!Ok()) return;
    while (!bytes.empty()) {
        ssize_t n = ::write(Fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            Failed = true;
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

bool TAtomicFileWriter::Commit() {
    if (!Ok()) {
        Discard();
        return false;
    }
    bool good = fsync(Fd) == 0;
    good = (::close(Fd) == 0) && good;
    Fd = -1;
    if (good && std::rename(TempPath.c_str(), Target.c_str()) == 0) {
        TempPath.clear();
        return true;
    }
    Discard();
    return false;
}

void TAtomicFileWriter::Discard() {
    if (Fd >= 0) {
        ::close(Fd);
        Fd = -1;
    }
    if (!TempPath.empty()) {
        ::unlink(TempPath.c_str());
        TempPath.clear();
    }
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
    TAtomicFileWriter writer(path);
    writer.Write(bytes);
    return writer.Commit();
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return false;
    }
    bytes.clear();
    if (st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
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
