#include <gtest/gtest.h>

#include <map>

#include "cli_driver.hpp"
#include "core/support/temp_dir.hpp"

namespace quillmere::cli {
namespace {

using testing::Bytes;
using testing::TempDir;

// A ROM of 0x40 bytes: a table of three 2-byte big-endian pointers at 0
// (base 8000) to 10, 20 and 10, another pointer to 20 at the odd offset 31,
// and a script with records at 10, 20 and 28.
class PointersCliTest : public ::testing::Test {
protected:
    PointersCliTest() {
        Bytes rom(0x40, 0xEE);
        const Bytes table = {0x80, 0x10, 0x80, 0x20, 0x80, 0x10};
        std::copy(table.begin(), table.end(), rom.begin());
        rom[0x31] = 0x80;
        rom[0x32] = 0x20;
        for (std::size_t at : {0x10, 0x20}) {
            rom[at] = 'A';
            rom[at + 1] = 'B';
        }
        testing::write_file(dir / "rom.bin", rom);
        testing::write_gbk(dir / "script.txt", u"10,2,AB\r\n\r\n20,2,AB\r\n\r\n28,1,A\r\n\r\n");
    }
    std::string path(const char* name) const { return (dir / name).string(); }

    TempDir dir;
};

TEST_F(PointersCliTest, table_lists_the_pointers_to_standard_output_or_a_file) {
    auto run = testing::run_cli({"pointers", "table", "--rom", path("rom.bin"), "--at", "0", "--count", "3", "--size",
                                 "2", "--order", "BE", "--base", "8000"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "0,2,BE,8000\r\n2,2,BE,8000\r\n4,2,BE,8000\r\n");
    EXPECT_EQ(run.err, "提示：共列出3个指针\n");

    run = testing::run_cli({"pointers", "table", "--rom", path("rom.bin"), "--at", "10", "--count", "2", "--size", "4",
                            "--order", "le", "--base", "0", "--stride", "8", "--out", path("list.txt")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(testing::read_file(dir / "list.txt"), testing::bytes_of("10,4,LE,0\r\n18,4,LE,0\r\n"));
}

TEST_F(PointersCliTest, table_refuses_what_it_cannot_list) {
    struct Case {
        std::string option, value;  // replaces or adds one option
        std::string err;
    };
    const Case cases[] = {
        {"--at", "3G", "错误：指针表地址填写错误\n"},
        {"--count", "0", "错误：指针个数填写错误\n"},
        {"--count", "-1", "错误：指针个数填写错误\n"},
        {"--size", "8", "错误：指针长度只能是2、3或4\n"},
        {"--order", "ME", "错误：字节序只能是LE或BE\n"},
        {"--base", "0x8000", "错误：基址填写错误\n"},
        {"--stride", "1", "错误：指针间距不能小于指针长度\n"},
        {"--stride", "two", "错误：指针间距填写错误\n"},
        {"--count", "33", "错误：指针表超出ROM\n"},
        {"--rom", path("missing.bin"), "错误：ROM读取失败\n"},
    };
    for (const Case& c : cases) {
        std::map<std::string, std::string> options = {{"--rom", path("rom.bin")}, {"--at", "0"}, {"--count", "3"},
                                                      {"--size", "2"}, {"--order", "BE"}, {"--base", "8000"}};
        options[c.option] = c.value;
        std::vector<std::string> args = {"pointers", "table"};
        for (const auto& [option, value] : options) args.insert(args.end(), {option, value});
        auto run = testing::run_cli(args);
        EXPECT_EQ(run.status, 1) << c.err;
        EXPECT_EQ(run.out, "") << c.err;
        EXPECT_EQ(run.err, c.err);
    }
}

TEST_F(PointersCliTest, scan_finds_the_pointers_and_warns_about_unreached_records) {
    auto run = testing::run_cli({"pointers", "scan", "--rom", path("rom.bin"), "--script", path("script.txt"),
                                 "--size", "2", "--order", "BE", "--base", "8000"});
    // The three at 0 are a table (two different records), 31 stands alone;
    // the list is code page 936 on standard output as in the file.
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(testing::bytes_of(run.out), (testing::gbk_bytes(u"; 表：0起，间距2，3个指针\r\n0,2,BE,8000\r\n2,2,BE,8000\r\n"
                                                            u"4,2,BE,8000\r\n; 单独的指针\r\n31,2,BE,8000\r\n")));
    EXPECT_EQ(run.err, "警告：没有指针指向28行\n提示：共找到4个指针，3个在1个表中\n");

    run = testing::run_cli({"pointers", "scan", "--rom", path("rom.bin"), "--script", path("script.txt"), "--size",
                            "2", "--order", "BE", "--base", "8000", "--align", "2", "--out", path("found.txt")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(testing::read_file(dir / "found.txt"),
              testing::gbk_bytes(u"; 表：0起，间距2，3个指针\r\n0,2,BE,8000\r\n2,2,BE,8000\r\n4,2,BE,8000\r\n"));

    testing::write_gbk(dir / "bad.txt", u"10,2,AB\r\n20\r\n");
    run = testing::run_cli({"pointers", "scan", "--rom", path("rom.bin"), "--script", path("bad.txt"), "--size", "2",
                            "--order", "BE", "--base", "8000"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "错误：10行文本处理错误\n");
    run = testing::run_cli({"pointers", "scan", "--rom", path("rom.bin"), "--script", path("script.txt"), "--size",
                            "2", "--order", "BE", "--base", "8000", "--align", "0"});
    EXPECT_EQ(run.err, "错误：对齐填写错误\n");
}

TEST_F(PointersCliTest, export_takes_a_pointer_list_or_a_stretch_never_both) {
    testing::write_gbk(dir / "single.tbl", u"41=A\r\n42=B\r\n");
    testing::write_gbk(dir / "list.txt", u"0,2,BE,8000\r\n2,2,BE,8000\r\n4,2,BE,8000\r\n");
    const std::vector<std::string> common = {"export", "--rom", path("rom.bin"), "--mode", "single", "--table1",
                                             path("single.tbl")};
    auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> args = common;
        args.insert(args.end(), more.begin(), more.end());
        return testing::run_cli(args);
    };
    auto run = with({"--pointers", path("list.txt")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "10,2,AB\r\n\r\n20,2,AB\r\n\r\n\r\n");  // the byte EE closes each run
    EXPECT_EQ(with({"--pointers", path("list.txt"), "--start", "0"}).status, 2);
    EXPECT_EQ(with({"--start", "0"}).status, 2);
    EXPECT_EQ(with({"--end", "3F"}).status, 2);
}

// The entry at 10 grows by one byte and moves to 34 (the first multiple of 4
// in 33-3F); the pointers at 0 and 4 follow it, the one to 20 stays.
TEST_F(PointersCliTest, check_and_import_move_what_outgrows_its_place) {
    testing::write_gbk(dir / "single.tbl", u"41=A\r\n42=B\r\n");
    testing::write_gbk(dir / "list.txt", u"0,2,BE,8000\r\n2,2,BE,8000\r\n4,2,BE,8000\r\n");
    testing::write_gbk(dir / "tr.txt", u"10,2,ABA\r\n\r\n20,2,B\r\n");
    const Bytes rom = testing::read_file(dir / "rom.bin");
    const std::vector<std::string> moving = {"--script", path("tr.txt"), "--mode", "single", "--table1",
                                             path("single.tbl"), "--pointers", path("list.txt"), "--free", "33-3F",
                                             "--align", "4"};
    auto args = [&](std::vector<std::string> head) {
        head.insert(head.end(), moving.begin(), moving.end());
        return head;
    };
    auto run = testing::run_cli(args({"check", "--rom", path("rom.bin")}));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "10移到34，3个字节，改写指针0、4\n");
    EXPECT_EQ(run.err, "提示：此文本为合法文本\n");
    EXPECT_EQ(testing::run_cli(args({"check"})).status, 2);  // the pointers are read from the ROM

    run = testing::run_cli(args({"import", "--rom", path("rom.bin"), "--fill", "EE", "--out", path("out.bin")}));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "10移到34，3个字节，改写指针0、4\n");
    EXPECT_EQ(run.err, "提示：文本导入成功\n");
    EXPECT_EQ(testing::read_file(dir / "rom.bin"), rom);
    Bytes expected = rom;
    for (std::size_t at : {0x1, 0x5}) expected[at] = 0x34;
    expected[0x20] = 'B';
    expected[0x21] = 0xEE;
    for (std::size_t k = 0; k < 3; ++k) expected[0x34 + k] = "ABA"[k];
    EXPECT_EQ(testing::read_file(dir / "out.bin"), expected);

    // Without a pointer list the options that need one are wrong usage.
    EXPECT_EQ(testing::run_cli({"check", "--script", path("tr.txt"), "--free", "33-3F"}).status, 2);
}

// The options of real tables: a split table with a null entry, a negative
// base and a map, the scan's tables only; the export and the check say how
// many entries they skipped, and the check refuses overlapping entries.
TEST_F(PointersCliTest, split_tables_null_entries_maps_and_tables_only) {
    auto run = testing::run_cli({"pointers", "table", "--rom", path("rom.bin"), "--at", "0", "--count", "3",
                                 "--split-high", "10", "--base=-10", "--map", "gb:1", "--null", "4180"});
    EXPECT_EQ(run.status, 0) << run.err;
    // Low bytes 80 10 80 at 0, high bytes 41 42 EE at 10: 4180 is null.
    EXPECT_EQ(run.out, "0/10,2,LE,-10,gb:1,-\r\n1/11,2,LE,-10,gb:1\r\n2/12,2,LE,-10,gb:1\r\n");
    EXPECT_EQ(run.err, "提示：共列出3个指针，其中1个空指针\n");
    EXPECT_EQ(testing::run_cli({"pointers", "table", "--rom", path("rom.bin"), "--at", "0", "--count", "3",
                                "--base", "0"}).status, 2);  // no size, no split table
    run = testing::run_cli({"pointers", "table", "--rom", path("rom.bin"), "--at", "0", "--count", "3", "--size", "2",
                            "--order", "BE", "--base", "8000", "--map", "nes"});
    EXPECT_EQ(run.err, "错误：地址映射只能是linear、lorom、hirom、gb:N或nes:N\n");

    run = testing::run_cli({"pointers", "scan", "--rom", path("rom.bin"), "--script", path("script.txt"), "--size",
                            "2", "--order", "BE", "--base", "8000", "--tables-only"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(testing::bytes_of(run.out),
              testing::gbk_bytes(u"; 表：0起，间距2，3个指针\r\n0,2,BE,8000\r\n2,2,BE,8000\r\n4,2,BE,8000\r\n"));
    EXPECT_EQ(run.err, "警告：没有指针指向28行\n提示：共找到4个指针，3个在1个表中，只列出表中的指针\n");
    EXPECT_EQ(testing::run_cli({"pointers", "scan", "--rom", path("rom.bin"), "--script", path("script.txt"), "--size",
                                "2", "--order", "BE", "--base", "8000", "--min-run", "1"}).err,
              "错误：表的最少指针数填写错误\n");

    testing::write_gbk(dir / "single.tbl", u"41=A\r\n42=B\r\n");
    testing::write_gbk(dir / "list.txt", u"0,2,BE,8000\r\n2,2,BE,8000,-\r\n6,2,BE,0,-\r\n");
    run = testing::run_cli({"export", "--rom", path("rom.bin"), "--mode", "single", "--table1", path("single.tbl"),
                            "--pointers", path("list.txt")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "10,2,AB\r\n\r\n\r\n");
    EXPECT_EQ(run.err, "提示：跳过2个空指针\n提示：文本已顺利导出\n");

    testing::write_gbk(dir / "tr.txt", u"10,2,AB\r\n11,2,B\r\n");
    run = testing::run_cli({"check", "--script", path("tr.txt"), "--mode", "single", "--table1", path("single.tbl"),
                            "--rom", path("rom.bin"), "--pointers", path("list.txt")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "提示：跳过2个空指针\n错误：10行与11行重叠\n");
}

}  // namespace
}  // namespace quillmere::cli
