#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "tests/support/TempDir.h"

#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace plotalon {
namespace {

namespace fs = std::filesystem;

std::string Stored(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

mode_t TypeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

// Everything a reader holding fd gets until the writers have gone.
std::string Drain(int fd) {
    std::string bytes;
    char buffer[256];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, static_cast<std::size_t>(n));
    return bytes;
}

class AtomicFileTest : public ::testing::Test {
protected:
    std::string In(const std::string& name) const { return (folder_ / name).string(); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TTempDir temp_;
    fs::path folder_{temp_.Folder()};
};

TEST_F(AtomicFileTest, ReplacedFileKeepsItsModeAndNoTemporaryStays) {
    const std::string old = In("old.plt");
    ASSERT_TRUE(ReplaceFileContents(old, "old"));
    ::chmod(old.c_str(), 0640);
    EXPECT_TRUE(ReplaceFileContents(old, "new"));
    EXPECT_EQ(Stored(old), "new");
    EXPECT_EQ(fs::status(old).permissions(), fs::perms(0640));

    const mode_t mask = ::umask(022);
    EXPECT_TRUE(ReplaceFileContents(In("fresh.plt"), "x"));
    ::umask(mask);
    EXPECT_EQ(fs::status(In("fresh.plt")).permissions(), fs::perms(0644));
    EXPECT_EQ(Names(), (std::vector<std::string>{"fresh.plt", "old.plt"}));
}

TEST_F(AtomicFileTest, LinksLeadToTheNameTheyPointTo) {
    fs::create_directories(folder_ / "sub");
    ASSERT_TRUE(ReplaceFileContents(In("existing.plt"), "old"));
    const struct {
        const char* link;
        const char* pointsTo;
        const char* file; // where the bytes must end up
    } cases[] = {
        {"to-existing", "existing.plt", "existing.plt"}, {"dangling", "missing.plt", "missing.plt"},
        {"sub/up", "../from-sub.plt", "from-sub.plt"},   {"chain", "sub/up2", "chained.plt"},
        {"sub/up2", "../chained.plt", "chained.plt"},
    };
    for (const auto& c : cases)
        fs::create_symlink(c.pointsTo, folder_ / c.link);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        EXPECT_TRUE(ReplaceFileContents(In(c.link), c.link));
        EXPECT_EQ(TypeOf(In(c.link)), S_IFLNK);
        EXPECT_EQ(Stored(In(c.file)), c.link);
    }
    // A link into a folder that does not exist creates nothing.
    fs::create_symlink("nofolder/x.plt", folder_ / "nowhere");
    EXPECT_FALSE(ReplaceFileContents(In("nowhere"), "x"));
    EXPECT_EQ(TypeOf(In("nowhere")), S_IFLNK);
}

TEST_F(AtomicFileTest, WhatCannotBeCreatedFailsAndStaysAsItWas) {
    fs::create_symlink("loop-b", folder_ / "loop-a");
    fs::create_symlink("loop-a", folder_ / "loop-b");
    fs::create_directories(folder_ / "folder");
    ASSERT_TRUE(ReplaceFileContents(In("file"), "kept"));
    const std::string socketPath = In("socket");
    int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    // Each with the cause the platform gives, which a file error carries along.
    const struct {
        std::string path;
        int cause;
    } cases[] = {{In("loop-a"), ELOOP},
                 {In("folder"), EISDIR},
                 {In("file/under-a-file"), ENOTDIR},
                 {In("no-folder/x.plt"), ENOENT},
                 {socketPath, ENXIO}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        TAtomicFileWriter writer(c.path);
        EXPECT_FALSE(writer.Ok());
        EXPECT_FALSE(writer.Commit());
        EXPECT_EQ(writer.ErrorCode(), c.cause) << std::strerror(writer.ErrorCode());
        EXPECT_FALSE(ReplaceFileContents(c.path, "x"));
        EXPECT_EQ(errno, c.cause);
    }
    ::close(server);
    EXPECT_EQ(TypeOf(In("loop-a")), S_IFLNK);
    EXPECT_EQ(TypeOf(In("folder")), S_IFDIR);
    EXPECT_EQ(TypeOf(socketPath), S_IFSOCK);
    EXPECT_EQ(Stored(In("file")), "kept");
    EXPECT_EQ(Names(), (std::vector<std::string>{"file", "folder", "loop-a", "loop-b", "socket"}));
}

// A FIFO, a link to it and a pipe reached through /proc (as "/dev/stdout" is): each gets
// the bytes through the opened path and is still what it was afterwards.
TEST_F(AtomicFileTest, FifosAndPipesAreWrittenInPlace) {
    const std::string fifo = In("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("fifo", folder_ / "to-fifo");
    for (const std::string& path : {fifo, In("to-fifo")}) {
        SCOPED_TRACE(path);
        // The reader is there first, so that opening the writer does not wait for one.
        int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        TAtomicFileWriter writer(path);
        EXPECT_TRUE(writer.WritesInPlace());
        writer.Write("PU0,0;\r\n");
        EXPECT_TRUE(writer.Commit());
        EXPECT_EQ(Drain(reader), "PU0,0;\r\n");
        ::close(reader);
        EXPECT_EQ(TypeOf(fifo), S_IFIFO);
    }
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    EXPECT_TRUE(ReplaceFileContents("/proc/self/fd/" + std::to_string(ends[1]), "SP0;"));
    ::close(ends[1]);
    EXPECT_EQ(Drain(ends[0]), "SP0;");
    ::close(ends[0]);
    EXPECT_EQ(Names(), (std::vector<std::string>{"fifo", "to-fifo"}));
}

TEST_F(AtomicFileTest, ReaderThatWentAwayFailsTheWriteWithoutEndingTheProgram) {
    const std::string fifo = In("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    TAtomicFileWriter writer(fifo);
    ::close(reader);
    writer.Write("PU0,0;");
    EXPECT_FALSE(writer.Ok());
    EXPECT_FALSE(writer.Commit());
    sigset_t pending;
    sigpending(&pending);
    EXPECT_EQ(sigismember(&pending, SIGPIPE), 0);
}

// Run as an unprivileged user: should the device ever be replaced again, the rename in /dev
// fails for that user instead of deleting the machine's /dev/null.
TEST_F(AtomicFileTest, DeviceIsWrittenInPlaceAndStaysADevice) {
    fs::create_symlink("/dev/null", folder_ / "to-null");
    ASSERT_TRUE(test::GiveToUnprivilegedUser(folder_.string()));
    EXPECT_EQ(test::RunUnprivileged([&]() -> std::string {
                  for (const std::string& path : {std::string("/dev/null"), In("to-null")})
                      if (!ReplaceFileContents(path, "PU0,0;")) return path + " was not written";
                  return "";
              }),
              "");
    EXPECT_EQ(TypeOf("/dev/null"), S_IFCHR);
    EXPECT_EQ(TypeOf(In("to-null")), S_IFLNK);
    EXPECT_EQ(Names(), (std::vector<std::string>{"to-null"}));
}

// Renaming needs only the folder's permission; the file's own must count as it does for the
// platform's create. Root ignores both, so the save runs as an unprivileged user.
TEST_F(AtomicFileTest, FileTheUserMayNotWriteStaysUntouched) {
    const std::string readOnly = In("read-only.plt");
    const std::string othersFile = In("root.plt");
    ASSERT_TRUE(ReplaceFileContents(readOnly, "mine"));
    ASSERT_TRUE(ReplaceFileContents(othersFile, "root's"));
    fs::create_symlink("read-only.plt", folder_ / "to-read-only");
    ASSERT_TRUE(test::GiveToUnprivilegedUser(folder_.string()));
    ASSERT_TRUE(test::GiveToUnprivilegedUser(readOnly));
    ::chmod(readOnly.c_str(), 0444);
    if (::geteuid() != 0) ::chmod(othersFile.c_str(), 0444); // another user's file, then
    EXPECT_EQ(test::RunUnprivileged([&]() -> std::string {
                  for (const std::string& path : {readOnly, In("to-read-only"), othersFile}) {
                      if (ReplaceFileContents(path, "new")) return path + " was replaced";
                      if (errno != EACCES) return path + ": " + std::strerror(errno);
                  }
                  return "";
              }),
              "");
    EXPECT_EQ(Stored(readOnly), "mine");
    EXPECT_EQ(Stored(othersFile), "root's");
    EXPECT_EQ(Names(), (std::vector<std::string>{"read-only.plt", "root.plt", "to-read-only"}));
}

// A full disk: the message stays the one the windows show, the cause comes along for the
// command-line tools and the log.
TEST_F(AtomicFileTest, AFullDiskIsNamedAsTheCause) {
    TAtomicFileWriter writer("/dev/full");
    ASSERT_TRUE(writer.Ok());
    writer.Write("x");
    EXPECT_FALSE(writer.Commit());
    ASSERT_EQ(writer.ErrorCode(), ENOSPC);
    const EFCreateError error("/dev/full", writer.ErrorCode());
    EXPECT_EQ(error.Message(), "Datei /dev/full kann nicht erstellt werden");
    EXPECT_EQ(error.Detailed(), "Datei /dev/full kann nicht erstellt werden (Datenträger voll)");
    EXPECT_EQ(EInOutError("Stream-Lesefehler").Detailed(), "Stream-Lesefehler");
    EXPECT_EQ(FileErrorReason(EACCES), "Zugriff verweigert");
}

TEST_F(AtomicFileTest, TemporaryNameFitsWheneverTheNameFits) {
    const std::string umlauts = [] {
        std::string s;
        for (int i = 0; i < 127; ++i)
            s += "\xC3\xA4"; // ä, two bytes each
        return s + "a";
    }();
    for (const std::string& name : {std::string(254, 'n'), std::string(NAME_MAX, 'n'), umlauts}) {
        SCOPED_TRACE(name.size());
        EXPECT_TRUE(ReplaceFileContents(In(name), "old"));
        EXPECT_TRUE(ReplaceFileContents(In(name), "new"));
        EXPECT_EQ(Stored(In(name)), "new");
        EXPECT_EQ(Names(), (std::vector<std::string>{name}));
        fs::remove(In(name));
    }
    EXPECT_FALSE(ReplaceFileContents(In(std::string(NAME_MAX + 1, 'n')), "x"));
    EXPECT_TRUE(Names().empty());
}

TEST_F(AtomicFileTest, ProgramFilesAreReadOnlyFromPlainFiles) {
    // A FIFO without a writer would block forever, a device like /dev/zero never ends: the
    // program's own files refuse both at once, while a tool may read from a pipe.
    const std::string fifo = In("vorspann.plt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ::alarm(10); // a blocking open ends the test instead of hanging it
    std::string bytes = "kept";
    EXPECT_FALSE(ReadWholeFile(fifo, bytes));
    EXPECT_FALSE(ReadWholeFile("/dev/zero", bytes));
    EXPECT_FALSE(ReadWholeFile(folder_.string(), bytes, TReadSource::FileOrStream));
    EXPECT_EQ(bytes, "kept");

    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ASSERT_EQ(::write(ends[1], "G1 X5\n", 6), 6);
    ::close(ends[1]);
    const std::string pipePath = "/proc/self/fd/" + std::to_string(ends[0]);
    EXPECT_TRUE(ReadWholeFile(pipePath, bytes, TReadSource::FileOrStream));
    EXPECT_EQ(bytes, "G1 X5\n");
    ::close(ends[0]);
    ::alarm(0);
}

} // namespace
} // namespace plotalon
