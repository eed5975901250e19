#include "core/platform/termination_signals.hpp"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace quillmere::platform {
namespace {

// A signal handler can reach nothing but process-wide state: the two ends
// of one pipe (the self-pipe), written by the handler, read by the loop.
int request_pipe[2] = {-1, -1};

extern "C" void on_termination_signal(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a request; losing this byte loses nothing.
    [[maybe_unused]] ssize_t ignored = ::write(request_pipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

std::intptr_t watch_termination_requests() {
    if (request_pipe[0] >= 0) return request_pipe[0];
    if (::pipe2(request_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        request_pipe[0] = request_pipe[1] = -1;
        return -1;
    }
    struct sigaction action {};
    action.sa_handler = on_termination_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGTERM, &action, nullptr) != 0 || ::sigaction(SIGHUP, &action, nullptr) != 0) return -1;
    return request_pipe[0];
}

void drain_termination_requests() {
    char buffer[64];
    while (request_pipe[0] >= 0 && ::read(request_pipe[0], buffer, sizeof buffer) > 0) {
    }
}

}  // namespace quillmere::platform
