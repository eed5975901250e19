#include "core/support/child_process.hpp"

#include <fcntl.h>
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

ChildEnd run_program(const std::vector<std::string>& argv, const std::filesystem::path& output,
                     const std::filesystem::path& errors) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    return run_in_child([&] {
        const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) return 126;
        ::execvp(args[0], args.data());
        return 127;  // not found or not runnable
    });
}

}  // namespace quillmere::testing
