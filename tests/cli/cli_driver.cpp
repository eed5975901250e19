#include "cli_driver.hpp"

#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/app.hpp"
#include "core/support/process.hpp"

namespace quillmere::testing {
namespace {

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
    const auto out = dir / "stdout", err = dir / "stderr";
    const ProgramEnd end = run_program(QUILLMERE_CLI_PATH, args, out, err);
    return {end.killed ? -1 : end.status, contents(out), contents(err)};
}

}  // namespace quillmere::testing
