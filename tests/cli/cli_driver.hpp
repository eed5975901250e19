#pragma once
// Runs quillmere-cli in-process, the way its main does, with the output
// streams captured; or runs the built program itself.

#include <filesystem>
#include <string>
#include <vector>

namespace quillmere::testing {

struct CliRun {
    int status = -1;
    std::string out;  // bytes written to standard output
    std::string err;  // lines written to standard error
};

// `args` are the arguments after the program name.
CliRun run_cli(const std::vector<std::string>& args);

// The built quillmere-cli, with standard output and error caught in files of `dir`.
CliRun run_cli_program(const std::vector<std::string>& args, const std::filesystem::path& dir);

}  // namespace quillmere::testing
