#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/support/process.hpp"

extern char** environ;

namespace quillmere::testing {

RunningProgram::RunningProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                               const std::filesystem::path& out, const std::filesystem::path& err) {
    std::vector<std::string> all{program.string()};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!out.empty())
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!err.empty())
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    started_ = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (started_) process_ = pid;
}

RunningProgram::~RunningProgram() {
    if (started_ && !ended_) {
        kill();
        static_cast<void>(wait());
    }
}

void RunningProgram::kill() {
    if (started_ && !ended_) ::kill(static_cast<pid_t>(process_), SIGKILL);
}

ProgramEnd RunningProgram::wait() {
    if (!started_ || ended_) return end_;
    int status = 0;
    while (::waitpid(static_cast<pid_t>(process_), &status, 0) < 0) {
    }
    ended_ = true;
    if (WIFSIGNALED(status)) end_ = {WTERMSIG(status) == SIGKILL, WTERMSIG(status)};
    else end_ = {false, WEXITSTATUS(status)};
    return end_;
}

void kill_this_process() {
    ::raise(SIGKILL);
    ::_exit(kKilledStatus);
}

}  // namespace quillmere::testing
