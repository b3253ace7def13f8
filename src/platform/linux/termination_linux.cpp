#include "platform/termination.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

// A signal handler may do next to nothing: it leaves a byte in a pipe that the event loop
// watches (SIGTERM from a session's end or the system's shutdown, SIGHUP when the terminal
// or session the program was started from goes).
int g_pipe[2] = {-1, -1};

void on_signal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

void on_termination_request(std::function<void()> fn) {
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return; // the signals keep their default
    auto* notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [fn = std::move(fn)] {
        char bytes[16];
        while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
        }
        fn();
    });
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

} // namespace platform
