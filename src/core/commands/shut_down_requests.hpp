#pragma once
// Requests from outside to end the window (a termination signal, the end of
// the session) as something its event loop can wait for.

#include <cstdint>

namespace quillmere {

// What turns ready when a request came, or -1 when none can be watched
// here: a descriptor that turns readable on POSIX, an event object (a
// HANDLE) that is set on Windows. drain_shut_down_requests() empties it
// again.
std::intptr_t watch_shut_down_requests();
void drain_shut_down_requests();

}  // namespace quillmere
