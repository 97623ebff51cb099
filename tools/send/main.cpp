#include "sender/SendControl.h"
#include "tools/send/SendCli.h"

#include <csignal>
#include <iostream>
#include <pthread.h>
#include <thread>
#include <unistd.h>

// Ctrl+C and SIGTERM cancel the send as the progress window's "Abbrechen" does: a thread of
// its own waits for them, since a signal handler may not touch the sender's lock.
int main(int argc, char** argv) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1); // ends the watcher
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    plotalon::TSendControl control;
    std::thread watcher([&] {
        int received = 0;
        while (sigwait(&signals, &received) == 0 && received != SIGUSR1)
            control.Cancel();
    });

    const std::vector<std::string> args(argv + 1, argv + argc);
    const int result =
        plotalon::RunSendCli(args, std::cin, std::cout, std::cerr, control, isatty(STDERR_FILENO));
    pthread_kill(watcher.native_handle(), SIGUSR1);
    watcher.join();
    return result;
}
