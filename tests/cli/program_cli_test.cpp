// quillmere-cli as a whole: its version, its help, and the one boundary
// where whatever escapes a command becomes a message.
#include <gtest/gtest.h>

#include <new>
#include <sstream>
#include <stdexcept>

#include "cli/app.hpp"
#include "cli_driver.hpp"
#include "core/version.hpp"

namespace quillmere::cli {
namespace {

TEST(program_cli_test, version_and_help_exit_zero) {
    const testing::CliRun version = testing::run_cli({"--version"});
    EXPECT_EQ(version.status, kExitSuccess);
    EXPECT_EQ(version.out, std::string(kVersion) + "\n");

    // Each subcommand is one short sentence in the overview; the details are
    // in its own help.
    const testing::CliRun help = testing::run_cli({"--help"});
    EXPECT_EQ(help.status, kExitSuccess);
    for (const char* name : {"export", "check", "import", "charset", "pointers", "convert-table"}) {
        const std::size_t at = help.out.find(std::string("\n  ") + name + " ");
        ASSERT_NE(at, std::string::npos) << name;
        const std::string line = help.out.substr(at + 1, help.out.find('\n', at + 1) - at - 1);
        EXPECT_LE(line.size(), 110u) << line;
        EXPECT_EQ(line.back(), '.') << line;
    }
    const testing::CliRun details = testing::run_cli({"convert-table", "--help"});
    EXPECT_EQ(details.status, kExitSuccess);
    EXPECT_NE(details.out.find("refused with their line number"), std::string::npos);
}

TEST(program_cli_test, a_failure_escaping_a_command_is_one_error_line) {
    struct Case {
        Runner run;
        std::string err;
    };
    const Case cases[] = {
        {[](const Streams&) -> int { throw std::bad_alloc(); }, "错误：内存不足，命令没有完成，没有写入任何文件\n"},
        {[](const Streams&) -> int { throw std::runtime_error("x"); }, "错误：命令意外中止，没有写入任何文件\n"},
        {[](const Streams&) { return kExitSuccess; }, ""},
    };
    for (const Case& c : cases) {
        std::ostringstream out, err;
        const int status = run_guarded(c.run, Streams{out, err});
        EXPECT_EQ(err.str(), c.err);
        EXPECT_EQ(status, c.err.empty() ? kExitSuccess : kExitFailure);
    }
}

}  // namespace
}  // namespace quillmere::cli
