#include "tools/convert/StagedBytes.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "platform/Errors.h"

namespace plotalon {

namespace {

std::string TemporaryFolder() {
    const char* dir = std::getenv("TMPDIR");
    return dir && *dir ? dir : "/tmp";
}

// An unnamed file: it has no name to leave behind, whatever ends the process.
int OpenUnnamed(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    std::string name = folder + "/plotalon-XXXXXX"; // file systems without O_TMPFILE
    fd = ::mkstemp(name.data());
    if (fd >= 0) ::unlink(name.c_str());
    return fd;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

TStagedBytes::~TStagedBytes() {
    if (fd_ >= 0) ::close(fd_);
}

void TStagedBytes::Spill() {
    if (fd_ < 0) {
        folder_ = TemporaryFolder();
        fd_ = OpenUnnamed(folder_);
    }
    if (fd_ < 0 || !WriteAll(fd_, memory_))
        throw EInOutError("Zwischendatei in " + folder_ + " kann nicht geschrieben werden");
    memory_.clear();
}

void TStagedBytes::Write(std::string_view bytes) {
    memory_.append(bytes);
    if (memory_.size() >= kInMemory) Spill();
}

void TStagedBytes::Replay(const std::function<void(std::string_view)>& out) {
    if (fd_ >= 0) {
        if (::lseek(fd_, 0, SEEK_SET) != 0)
            throw EInOutError("Zwischendatei in " + folder_ + " kann nicht gelesen werden");
        std::string piece(kInMemory, '\0');
        for (;;) {
            const ssize_t n = ::read(fd_, piece.data(), piece.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0)
                throw EInOutError("Zwischendatei in " + folder_ + " kann nicht gelesen werden");
            if (n == 0) break;
            out(std::string_view(piece.data(), static_cast<std::size_t>(n)));
        }
    }
    if (!memory_.empty()) out(memory_);
}

} // namespace plotalon
