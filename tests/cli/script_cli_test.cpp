#include <gtest/gtest.h>

#include "cli/cli_support.hpp"
#include "cli_driver.hpp"
#include "core/support/temp_dir.hpp"

namespace quillmere::cli {
namespace {

using testing::Bytes;
using testing::CliRun;
using testing::TempDir;

// Check and import write nothing to standard output; every outcome is on
// standard error.
CliRun run_script_cli(const std::vector<std::string>& args) {
    CliRun result = testing::run_cli(args);
    EXPECT_EQ(result.out, "");
    return result;
}

class ScriptCliTest : public ::testing::Test {
protected:
    ScriptCliTest() {
        testing::write_gbk(dir / "single.tbl", u"41=A\r\n42=B\r\n");
        testing::write_gbk(dir / "double.tbl", u"8140=啊\r\n");
        testing::write_gbk(dir / "filter1.txt", u"00=over\r\n");
        testing::write_gbk(dir / "filter2.txt", u"9000=人\r\n");
        testing::write_file(dir / "rom.bin", Bytes(8, 0xEE));
    }

    std::string path(const char* name) const { return (dir / name).string(); }
    std::string script(std::u16string_view text) const {
        testing::write_gbk(dir / "script.txt", text);
        return path("script.txt");
    }
    std::vector<std::string> tables() const {
        return {"--mode", "both", "--table1", path("single.tbl"), "--table2", path("double.tbl"),
                "--filter1", path("filter1.txt"), "--filter2", path("filter2.txt")};
    }
    std::vector<std::string> with_tables(std::vector<std::string> args) const {
        for (auto& option : tables()) args.push_back(option);
        return args;
    }

    TempDir dir;
};

TEST_F(ScriptCliTest, check_prints_its_message_under_its_title) {
    struct Case {
        std::u16string script;
        std::vector<std::string> extra;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {u"0,4,A啊{结束符00}\r\n\r\n", {}, 0, "提示：此文本为合法文本\n"},
        {u"1F40,2,哦", {}, 1, "错误：1F40行出错，码表中缺少[哦]字\n"},
        {u"1F40,2,{人}", {"--range-low", "36865"}, 1, "错误：1F40行出错，过滤区中缺少[{人}]\n"},
        {u"1F40,2,{人}", {"--range-high", "36864"}, 0, "提示：此文本为合法文本\n"},
    };
    for (const Case& c : cases) {
        auto args = with_tables({"check", "--script", script(c.script)});
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        CliRun result = run_script_cli(args);
        EXPECT_EQ(result.status, c.status) << c.err;
        EXPECT_EQ(result.err, c.err);
    }
    EXPECT_EQ(testing::run_cli({"check", "--script", path("missing.txt"), "--table2", path("double.tbl")}).err,
              "错误：译文读取失败\n");
    EXPECT_EQ(testing::run_cli({"check", "--script", script(u""), "--mode", "single"}).err, "错误：请先选择一个单字节码表\n");
    CliRun no_filter = run_script_cli({"check", "--script", script(u""), "--table2", path("double.tbl"), "--filter1",
                                path("missing.txt")});
    EXPECT_EQ(no_filter.status, 1);
    EXPECT_EQ(no_filter.err, "错误：无法读取过滤区文件：" + path("missing.txt") + "\n");
    testing::write_file(dir / "bad_bytes.txt", std::string_view("00=over\r\n01=\x81\x7F\r\n"));
    CliRun bad_bytes = run_script_cli({"check", "--script", script(u""), "--table2", path("double.tbl"), "--filter1",
                                       path("bad_bytes.txt")});
    EXPECT_EQ(bad_bytes.err, "错误：单字节过滤填写错误\n");
    testing::write_file(dir / "bad_utf8.txt", std::string_view("00=over\r\n01=\xC3\r\n"));
    testing::write_file(dir / "ascii.tbl", std::string_view("8140=A\r\n"));
    CliRun bad_utf8 = run_script_cli({"check", "--script", script(u""), "--table2", path("ascii.tbl"), "--filter1",
                                      path("bad_utf8.txt"), "--encoding", "utf-8"});
    EXPECT_EQ(bad_utf8.err, "错误：单字节过滤填写错误\n");
}

TEST_F(ScriptCliTest, check_all_prints_every_failing_entry_then_the_count) {
    CliRun failing = run_script_cli(with_tables({"check", "--all", "--script",
                                                 script(u"10,1,哦\r\n\r\n20,1,A\r\n\r\n30,1,AB\r\n")}));
    EXPECT_EQ(failing.status, 1);
    EXPECT_EQ(failing.err, "错误：10行出错，码表中缺少[哦]字\n错误：30行的文本超出原长 1个字节\n错误：共3条，2条出错\n");
    CliRun passing = run_script_cli(with_tables({"check", "--all", "--script", script(u"10,1,A\r\n")}));
    EXPECT_EQ(passing.status, 0);
    EXPECT_EQ(passing.err, "提示：此文本为合法文本\n");
}

TEST_F(ScriptCliTest, import_writes_the_rom_in_place) {
    CliRun result = run_script_cli(with_tables({"import", "--rom", path("rom.bin"), "--script",
                                         script(u"1,4,A{人}\r\n\r\n5,3,B\r\n"), "--fill", "00"}));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "提示：文本导入成功\n");
    EXPECT_EQ(testing::read_file(dir / "rom.bin"), (Bytes{0xEE, 0x41, 0x90, 0x00, 0x00, 0x42, 0x00, 0x00}));

    CliRun refused = run_script_cli(with_tables({"import", "--rom", "", "--script", script(u"")}));
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "错误：请先选择一个ROM\n");
    CliRun failing = run_script_cli(with_tables({"import", "--rom", path("rom.bin"), "--script", script(u"1,1,AB")}));
    EXPECT_EQ(failing.status, 1);
    EXPECT_EQ(failing.err, "错误：1行的文本超出原长 1个字节\n");
    CliRun missing = run_script_cli(with_tables({"import", "--rom", path("none.bin"), "--script", script(u"1,1,A")}));
    EXPECT_EQ(missing.err, "错误：1行文本处理错误\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "none.bin"));
}

TEST_F(ScriptCliTest, wrong_usage_exits_with_two) {
    EXPECT_EQ(testing::run_cli({"check"}).status, kExitUsage);
    EXPECT_EQ(testing::run_cli({"check", "--script", path("s.txt"), "--mode", "triple"}).status, kExitUsage);
    EXPECT_EQ(testing::run_cli({"import", "--script", path("s.txt")}).status, kExitUsage);
    EXPECT_EQ(testing::run_cli({"import", "--rom", path("rom.bin")}).status, kExitUsage);
    EXPECT_EQ(testing::run_cli({"check", "--script", path("s.txt"), "--bogus"}).status, kExitUsage);
}

}  // namespace
}  // namespace quillmere::cli
