#include <gtest/gtest.h>

#include "cli_driver.hpp"
#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::cli {
namespace {

using testing::Bytes;
using testing::TempDir;

// A ROM of FF with "Hero42" at 10 (lower-case letters from 80 on, upper-case
// from 40, digits from 20)
// and, at 30, "你好，" + the hero's tag 8002 + "！" in code page 936.
class FindCliTest : public ::testing::Test {
protected:
    FindCliTest() {
        Bytes rom(0x60, 0xFF);
        const Bytes hero{0x47, 0x84, 0x91, 0x8E, 0x24, 0x22};  // H is upper case: a group of its own
        std::copy(hero.begin(), hero.end(), rom.begin() + 0x10);
        const Bytes hello = testing::gbk_bytes(u"你好，");
        std::copy(hello.begin(), hello.end(), rom.begin() + 0x30);
        const Bytes rest{0x80, 0x02, 0xA3, 0xA1};
        std::copy(rest.begin(), rest.end(), rom.begin() + 0x36);
        testing::write_file(dir / "rom.gba", rom);
        testing::write_gbk(dir / "double.tbl", u"C4E3=你\r\nBAC3=好\r\nA3AC=，\r\nA3A1=！\r\n");
        testing::write_gbk(dir / "filter2.txt", u"8002=主角\r\n");
    }
    std::string path(const char* name) const { return (dir / name).string(); }

    TempDir dir;
};

TEST_F(FindCliTest, relative_prints_one_line_per_place_and_makes_a_table_the_export_reads) {
    auto run = testing::run_cli({"find", "relative", "--rom", path("rom.gba"), "--text", "Hero42"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "10\tH=47 e=84 r=91 o=8E 4=24 2=22\tHero42..........................\n");
    EXPECT_EQ(run.err, "提示：共找到1处\n");

    run = testing::run_cli({"find", "relative", "--rom", path("rom.gba"), "--text", "ero", "--make-table",
                            path("made.tbl"), "--hit", "1"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "提示：共找到1处；第1处的码表已写入：" + path("made.tbl") + "\n");
    run = testing::run_cli({"export", "--rom", path("rom.gba"), "--start", "10", "--end", "16", "--mode", "single",
                            "--table1", path("made.tbl")});
    EXPECT_EQ(run.out, "11,3,ero\r\n\r\n\r\n");
}

TEST_F(FindCliTest, text_finds_a_text_behind_a_tag_through_the_tables) {
    auto run = testing::run_cli({"find", "text", "--rom", path("rom.gba"), "--text", "好，{主角}！", "--table2",
                                 path("double.tbl"), "--filter2", path("filter2.txt")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "32\t好=BAC3 ，=A3AC {主角}=8002 ！=A3A1\t好，..！...........................\n");
    EXPECT_EQ(run.err, "提示：共找到1处\n");
}

TEST_F(FindCliTest, wrong_usage_and_refusals_have_their_exit_status) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;  // the whole of standard error, for a refusal
    };
    const std::string rom = path("rom.gba");
    const Case cases[] = {
        {{"find", "relative", "--rom", rom, "--text", "Hero", "--width", "3"}, 2, ""},
        {{"find", "relative", "--rom", rom, "--text", "Hero", "--make-table", path("t.tbl")}, 2, ""},
        {{"find", "relative", "--rom", rom, "--text", "Hero", "--order", "XE"}, 2, ""},
        {{"find", "text", "--rom", rom, "--text", "你", "--width", "2"}, 2, ""},
        {{"find", "--rom", rom}, 2, ""},
        {{"find", "relative", "--rom", rom, "--text", "He ro"}, 1, "错误：查找文本中的[ ]不在字序中\n"},
        {{"find", "relative", "--rom", rom, "--text", "ero", "--range", "0-60"}, 1, "错误：查找范围超出ROM\n"},
        {{"find", "values", "--rom", rom, "--values", "4,11,E", "--make-table", path("t.tbl"), "--hit", "2"},
         1,
         "错误：没有第2处，共找到1处\n"},
        {{"find", "text", "--rom", rom, "--text", "你们", "--table2", path("double.tbl")},
         1,
         "错误：查找文本中的[们]不在码表中\n"},
    };
    for (const Case& c : cases) {
        const auto run = testing::run_cli(c.args);
        EXPECT_EQ(run.status, c.status) << c.args[1] << " " << c.args.back();
        if (c.status == 1) {
            EXPECT_EQ(run.err, c.err);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "t.tbl"));
}

TEST_F(FindCliTest, help_names_every_search) {
    const auto run = testing::run_cli({"find", "--help"});
    EXPECT_EQ(run.status, 0);
    for (const char* search : {"relative", "values", "pattern", "text", "ADDRESS<TAB>MAP<TAB>PREVIEW"})
        EXPECT_NE(run.out.find(search), std::string::npos) << search;
    const auto top = testing::run_cli({"--help"});
    EXPECT_NE(top.out.find("find"), std::string::npos);
}

}  // namespace
}  // namespace quillmere::cli
