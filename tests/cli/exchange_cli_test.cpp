#include <gtest/gtest.h>

#include "cli_driver.hpp"
#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::cli {
namespace {

using testing::CliRun;
using testing::TempDir;

TEST(exchange_cli_test, out_and_back_with_each_problem_on_its_own_line) {
    TempDir dir;
    testing::write_gbk(dir / "script.txt", u"10,4,ab\r\n\r\n20,4,cd\r\n\r\n\r\n");
    const std::string script = (dir / "script.txt").string(), po = (dir / "units.po").string(),
                      out = (dir / "translated.txt").string();
    CliRun run = testing::run_cli({"exchange", "export", "--script", script, "--format", "po", "--out", po,
                                   "--max-chars", "8"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "提示：已导出2条，其中0条有译文\n");
    EXPECT_EQ(run.out, "");

    testing::write_file(dir / "units.po", std::string_view("msgctxt \"10\"\nmsgid \"ab\"\nmsgstr \"\xE4\xBD\xA0\"\n\n"
                                                           "msgctxt \"30\"\nmsgid \"x\"\nmsgstr \"y\"\n"));
    run = testing::run_cli({"exchange", "import", "--from", po, "--format", "po", "--script", script, "--out", out,
                            "--require-all"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "错误：30不在原文中\n错误：20未翻译\n错误：共2处问题\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "translated.txt"));

    run = testing::run_cli({"exchange", "import", "--from", po, "--format", "po", "--script", script, "--out", out});
    EXPECT_EQ(run.status, 1);
    testing::write_file(dir / "units.po", std::string_view("msgctxt \"10\"\nmsgid \"ab\"\nmsgstr \"\xE4\xBD\xA0\"\n"));
    run = testing::run_cli({"exchange", "import", "--from", po, "--format", "po", "--script", script, "--out", out});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "提示：已写出2条：译文1条，保留原文1条\n");
    EXPECT_EQ(testing::read_file(dir / "translated.txt"), testing::gbk_bytes(u"10,4,你\r\n\r\n20,4,cd\r\n\r\n\r\n"));
}

TEST(exchange_cli_test, help_and_wrong_usage) {
    CliRun help = testing::run_cli({"--help"});
    EXPECT_NE(help.out.find("exchange"), std::string::npos);
    for (const char* sub : {"export", "import"}) {
        help = testing::run_cli({"exchange", sub, "--help"});
        EXPECT_EQ(help.status, 0);
        for (const char* option : {"--format", "--script", "--out", "--csv-encoding", "--encoding"})
            EXPECT_NE(help.out.find(option), std::string::npos) << sub << ' ' << option;
    }
    EXPECT_NE(testing::run_cli({"exchange", "export", "--help"}).out.find("--max-chars"), std::string::npos);
    EXPECT_NE(testing::run_cli({"exchange", "import", "--help"}).out.find("--use-fuzzy"), std::string::npos);
    EXPECT_EQ(testing::run_cli({"exchange"}).status, 2);
    EXPECT_EQ(testing::run_cli({"exchange", "export", "--script", "s", "--out", "o"}).status, 2);  // no --format
    EXPECT_EQ(testing::run_cli({"exchange", "import", "--from", "f", "--format", "xml", "--script", "s", "--out", "o"})
                  .status,
              2);
}

}  // namespace
}  // namespace quillmere::cli
