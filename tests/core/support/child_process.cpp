#include "core/support/child_process.hpp"

#include <sys/wait.h>
#include <unistd.h>

namespace quillmere::testing {

ChildEnd run_in_child(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(body());
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) return {false, -1};
    if (WIFSIGNALED(status)) return {true, WTERMSIG(status)};
    return {false, WEXITSTATUS(status)};
}

}  // namespace quillmere::testing
