#pragma once
// Termination requests from outside (SIGTERM, SIGHUP on POSIX; the console
// closing, the user logging off or the system shutting down on Windows)
// turned into something an event loop can wait for.

#include <cstdint>

namespace quillmere::platform {

// Installs the handlers once per process and returns what to watch, or -1
// when they cannot be installed: on POSIX a descriptor that turns readable,
// on Windows an event object (a HANDLE) that is set. After it fires,
// drain_termination_requests() empties it; the process then ends on its own
// terms. On Windows the system ends the process a few seconds after such an
// event in any case; until then it is left to save and end.
std::intptr_t watch_termination_requests();
void drain_termination_requests();

}  // namespace quillmere::platform
