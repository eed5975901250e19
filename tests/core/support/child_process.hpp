#pragma once
// Runs a function in a forked child, for what only a separate process can
// show: a kill at a chosen moment, a lock held by another process.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace quillmere::testing {

struct ChildEnd {
    bool killed = false;  // ended by a signal
    int status = 0;       // exit status, or the signal
};

// The child runs `body` and exits with its result.
ChildEnd run_in_child(const std::function<int()>& body);

// Another program, for a reader or checker that is not ours: `argv[0]` is
// looked up on PATH; its standard output goes to `output`, its standard
// error to `errors` (both files).
ChildEnd run_program(const std::vector<std::string>& argv, const std::filesystem::path& output,
                     const std::filesystem::path& errors);

}  // namespace quillmere::testing
