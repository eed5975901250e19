#include "cli_driver.hpp"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/app.hpp"

namespace quillmere::testing {
namespace {

std::string quoted(const std::string& arg) {
    std::string out = "'";
    for (char c : arg) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

CliRun run_cli(const std::vector<std::string>& args) {
    std::vector<const char*> argv{"quillmere-cli"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out, err;
    const int status = cli::run_program(argv, cli::Streams{out, err});
    return {status, out.str(), err.str()};
}

CliRun run_cli_program(const std::vector<std::string>& args, const std::filesystem::path& dir) {
    std::string command = quoted(QUILLMERE_CLI_PATH);
    for (const std::string& arg : args) command += " " + quoted(arg);
    const auto out = dir / "stdout", err = dir / "stderr";
    command += " >" + quoted(out.string()) + " 2>" + quoted(err.string());
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, contents(out), contents(err)};
}

}  // namespace quillmere::testing
