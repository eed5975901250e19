#include "core/support/process.hpp"

namespace quillmere::testing {

ProgramEnd run_program(const std::filesystem::path& program, const std::vector<std::string>& args,
                       const std::filesystem::path& out, const std::filesystem::path& err) {
    RunningProgram running(program, args, out, err);
    return running.wait();
}

std::filesystem::path test_child_program() { return std::filesystem::path(QUILLMERE_TEST_CHILD_PATH); }

}  // namespace quillmere::testing
