#include <gtest/gtest.h>

#include "cli_driver.hpp"
#include "core/support/temp_dir.hpp"

namespace quillmere {
namespace {

using testing::CliRun;
using testing::run_cli;

TEST(convert_table_cli_test, converts_and_reports_on_standard_error) {
    testing::TempDir dir;
    testing::write_file(dir / "in.tbl", "# made up\n41=A\n/00=<end>\n");
    auto args = [&](const char* source) {
        return std::vector<std::string>{"convert-table",        (dir / source).string(),
                                        "--encoding",           "utf-8",
                                        "--table1",             (dir / "t1.tbl").string(),
                                        "--table2",             (dir / "t2.tbl").string(),
                                        "--filter1",            (dir / "f1.txt").string(),
                                        "--filter2",            (dir / "f2.txt").string()};
    };
    const CliRun done = run_cli(args("in.tbl"));
    EXPECT_EQ(done.status, 0);
    EXPECT_EQ(done.err, "提示：单字节1行，双字节0行，过滤1行\n略去1行：注释1行\n# 00=over <end>（第3行）\n");
    EXPECT_EQ(testing::read_file(dir / "f1.txt"), testing::bytes_of("00=over\r\n"));

    testing::write_file(dir / "bad.tbl", "41=A\n%01=x\n");
    const CliRun refused = run_cli(args("bad.tbl"));
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "错误：第2行：不支持按位定义的编码（%）\n");

    // Written in UTF-8, a character GBK cannot hold comes over.
    testing::write_file(dir / "wide.tbl", "41=\xED\x95\x9C\n");  // 한
    EXPECT_EQ(run_cli(args("wide.tbl")).err, "错误：第1行：字符[한]无法用GBK保存\n");
    auto wide = args("wide.tbl");
    wide.insert(wide.end(), {"--out-encoding", "utf-8"});
    EXPECT_EQ(run_cli(wide).status, 0);
    EXPECT_EQ(testing::read_file(dir / "t1.tbl"), testing::bytes_of("41=\xED\x95\x9C\r\n"));

    auto no_outputs = args("in.tbl");
    no_outputs.resize(4);
    EXPECT_EQ(run_cli(no_outputs).status, 2);
}

}  // namespace
}  // namespace quillmere
