#pragma once
// Runs a function in a forked child, for what only a separate process can
// show: a kill at a chosen moment, a lock held by another process.

#include <functional>

namespace quillmere::testing {

struct ChildEnd {
    bool killed = false;  // ended by a signal
    int status = 0;       // exit status, or the signal
};

// The child runs `body` and exits with its result.
ChildEnd run_in_child(const std::function<int()>& body);

}  // namespace quillmere::testing
