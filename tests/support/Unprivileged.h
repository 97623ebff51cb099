#pragma once
// Runs a piece of a test as an ordinary user. File and folder modes do not stop root, so a
// test of a read-only target would prove nothing when the suite runs as root (as CI does):
// the body then runs in a child process that has dropped to the user "nobody" (65534).
// Run as an ordinary user already, the child keeps that user.
//
//   EXPECT_EQ(RunUnprivileged([&] { ...; return failure text, or "" when all held; }), "");
//
// The body runs after fork: it sees the parent's memory as it was, its changes stay in the
// child, and only the returned text comes back. Whatever the child changes on disk stays.
// Only the forking thread lives on in the child, so a body in a widget test must not paint
// or wait for events (the toolkit's helper threads are gone): call the handlers directly.

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <string>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace plotalon::test {

inline constexpr uid_t kUnprivilegedUser = 65534;
inline constexpr gid_t kUnprivilegedGroup = 65534;

inline std::string RunUnprivileged(const std::function<std::string()>& body) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return "pipe failed";
    pid_t child = fork();
    if (child < 0) return "fork failed";
    if (child == 0) {
        close(pipeFds[0]);
        std::string result;
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kUnprivilegedGroup) != 0 ||
                               setuid(kUnprivilegedUser) != 0))
            result = "could not drop to an unprivileged user";
        else if (geteuid() == 0)
            result = "still root after dropping privileges";
        else {
            try {
                result = body();
            } catch (const std::exception& e) {
                result = std::string("exception: ") + e.what();
            } catch (...) {
                result = "unknown exception";
            }
        }
        const char* p = result.data();
        std::size_t left = result.size();
        while (left > 0) {
            ssize_t n = write(pipeFds[1], p, left);
            if (n <= 0) break;
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        std::_Exit(0);
    }
    close(pipeFds[1]);
    std::string result;
    char buffer[512];
    for (;;) {
        ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        result.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status))
        return "the unprivileged part died of signal " + std::to_string(WTERMSIG(status));
    return result;
}

// A folder an unprivileged user may write into: handed to that user when we are root.
inline bool GiveToUnprivilegedUser(const std::string& path) {
    return geteuid() != 0 || chown(path.c_str(), kUnprivilegedUser, kUnprivilegedGroup) == 0;
}

} // namespace plotalon::test
