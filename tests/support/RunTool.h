#pragma once
// Runs a command-line tool as a real child process and collects what it says, so that tests
// see its exit status and both outputs as a user's shell would. An address-space limit
// (RLIMIT_AS, as `ulimit -v` sets it) can be put on the child alone.

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace plotalon::test {

struct TToolRun {
    int Status = -1; // exit status; -1 when the child did not exit normally
    int Signal = 0;  // the signal that ended it, if one did
    std::string Out, Err;
};

// AddressSanitizer reserves terabytes of address space for itself: under an address-space
// limit an instrumented program cannot even start.
inline constexpr bool kAddressSanitizer =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

namespace detail {
inline std::string ReadAll(int fd) {
    std::string text;
    lseek(fd, 0, SEEK_SET);
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return text;
}
} // namespace detail

// addressSpace: the child's limit in bytes; 0 for none.
inline TToolRun RunTool(const std::string& program, const std::vector<std::string>& args,
                        rlim_t addressSpace = 0) {
    TToolRun run;
    const int out = memfd_create("tool-out", 0);
    const int err = memfd_create("tool-err", 0);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const rlimit limit{addressSpace, addressSpace};
        if ((addressSpace == 0 || setrlimit(RLIMIT_AS, &limit) == 0) && dup2(out, 1) >= 0 &&
            dup2(err, 2) >= 0)
            execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    while (child > 0 && waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (child > 0 && WIFEXITED(status)) run.Status = WEXITSTATUS(status);
    if (child > 0 && WIFSIGNALED(status)) run.Signal = WTERMSIG(status);
    run.Out = detail::ReadAll(out);
    run.Err = detail::ReadAll(err);
    return run;
}

} // namespace plotalon::test
