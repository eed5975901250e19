#pragma once
// Termination requests from outside (SIGTERM, SIGHUP on POSIX) turned into
// something an event loop can wait for: a descriptor that becomes readable.

namespace quillmere::platform {

// Installs the handlers once per process and returns the descriptor to
// watch, or -1 when they cannot be installed. After it turns readable,
// drain_termination_requests() empties it; the process then ends on its
// own terms.
int watch_termination_requests();
void drain_termination_requests();

}  // namespace quillmere::platform
