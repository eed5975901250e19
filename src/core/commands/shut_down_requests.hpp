#pragma once
// Requests from outside to end the window (a termination signal, the end of
// the session) as something its event loop can wait for.

namespace quillmere {

// A descriptor that turns readable when a request came, or -1 when none can
// be watched here; drain_shut_down_requests() empties it again.
int watch_shut_down_requests();
void drain_shut_down_requests();

}  // namespace quillmere
