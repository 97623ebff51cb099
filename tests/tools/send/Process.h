#pragma once
// A child process for the tests of the command-line tools: its standard output read through a
// pipe, its standard error kept in a file.

#include <chrono>
#include <csignal>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace plotalon::test {

class TProcess {
public:
    TProcess(const std::vector<std::string>& argv, const std::string& errFile) {
        int fds[2];
        if (::pipe(fds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        if (::posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        out_ = fds[0];
    }
    ~TProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            Wait();
        }
        if (out_ >= 0) ::close(out_);
    }
    TProcess(const TProcess&) = delete;
    TProcess& operator=(const TProcess&) = delete;

    // The first line of its output, within a few seconds; empty when none came.
    std::string ReadLine() {
        std::string line;
        char c;
        for (;;) {
            pollfd entry{out_, POLLIN, 0};
            if (::poll(&entry, 1, 5000) <= 0 || ::read(out_, &c, 1) != 1 || c == '\n') return line;
            line += c;
        }
    }
    void Signal(int signal) const { ::kill(pid_, signal); }
    // Waits until the process has written more than bytes (to any file, the port included),
    // as the kernel counts them; false when that does not happen within a few seconds.
    bool WaitUntilWritten(long long bytes) const {
        for (int i = 0; i < 1000; ++i) {
            std::ifstream io("/proc/" + std::to_string(pid_) + "/io");
            std::string key;
            long long value = 0;
            while (io >> key >> value)
                if (key == "wchar:" && value > bytes) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    // The exit code; -1 when it died of a signal or never started.
    int Wait() {
        int status = 0;
        if (pid_ <= 0 || ::waitpid(pid_, &status, 0) != pid_) return -1;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
};

} // namespace plotalon::test
