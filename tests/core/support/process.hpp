#pragma once
// Other programs run by a test, alike on POSIX and Windows: the built
// quillmere-cli, or the test helper (test_child_main.cpp) for what only a
// separate process can show, a kill at a chosen moment or a lock held by
// another process.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace quillmere::testing {

struct ProgramEnd {
    bool killed = false;  // ended by a kill (SIGKILL, TerminateProcess with kKilledStatus)
    int status = -1;      // its exit status; -1 when it could not be run
};

// The status a helper gives itself when it kills itself on Windows.
inline constexpr int kKilledStatus = 137;

// A program started with `args` (UTF-8), its standard output and error sent
// to the files named (or left as the test's own when empty).
class RunningProgram {
public:
    RunningProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                   const std::filesystem::path& out = {}, const std::filesystem::path& err = {});
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram();  // kills it if it still runs

    bool started() const { return started_; }
    void kill();
    ProgramEnd wait();

private:
    bool started_ = false;
    bool ended_ = false;
    ProgramEnd end_;
    std::intptr_t process_ = -1;  // a pid on POSIX, a process HANDLE on Windows
};

// Runs the program to its end.
ProgramEnd run_program(const std::filesystem::path& program, const std::vector<std::string>& args,
                       const std::filesystem::path& out = {}, const std::filesystem::path& err = {});

// The test helper, built beside the tests.
std::filesystem::path test_child_program();

// Kills the calling process at once, as SIGKILL would.
[[noreturn]] void kill_this_process();

}  // namespace quillmere::testing
