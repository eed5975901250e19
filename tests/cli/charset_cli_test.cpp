#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

#include "cli/cli_support.hpp"
#include "cli_driver.hpp"
#include "core/support/temp_dir.hpp"

namespace quillmere::cli {
namespace {

using testing::Bytes;
using testing::CliRun;
using testing::TempDir;

const std::string kFont = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc";

// A translation in the export file form: ASCII the single-byte table covers,
// a tag, end markers of both kinds, characters the game's table already has
// (国, 人, used twice) and new ones.
constexpr std::u16string_view kScript =
    u"10,26,Hello {主角}，欢迎来到中国！{结束符8000}\r\n\r\n"
    u"40,18,国国人人 中文 ABC{结束符00}\r\n\r\n\r\n";

class CharsetCliTest : public ::testing::Test {
protected:
    CharsetCliTest() {
        std::u16string ascii;
        for (char16_t c = 0x20; c <= 0x7E; ++c) {
            const char16_t digits[] = u"0123456789ABCDEF";
            ascii += {digits[c >> 4], digits[c & 0xF], u'=', c, u'\r', u'\n'};
        }
        testing::write_gbk(dir / "single.tbl", ascii);
        testing::write_gbk(dir / "filter1.txt", u"00=over\r\n");
        testing::write_gbk(dir / "filter2.txt", u"8000=over\r\n8002=主角\r\n");
        testing::write_gbk(dir / "old.tbl", u"8140=国\r\n8141=人\r\n8142=旧\r\n");
        testing::write_gbk(dir / "script.txt", kScript);
    }

    std::string path(const char* name) const { return (dir / name).string(); }

    // charset with the fixture's script and tables; an option of `more` that
    // the fixture gives too replaces the fixture's value.
    std::vector<std::string> charset(const char* out, const std::vector<std::string>& more = {}) const {
        std::vector<std::pair<std::string, std::string>> base{{"--script", path("script.txt")},
                                                              {"--mode", "both"},
                                                              {"--table1", path("single.tbl")},
                                                              {"--filter2", path("filter2.txt")},
                                                              {"--out", path(out)}};
        std::vector<std::string> args{"charset"};
        for (auto& [option, value] : base) {
            auto given = std::find(more.begin(), more.end(), option);
            if (given != more.end()) continue;
            args.push_back(option);
            args.push_back(value);
        }
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    std::vector<std::string> tables(std::vector<std::string> args) const {
        for (const std::string& option : {std::string("--mode"), std::string("both"), std::string("--table1"),
                                          path("single.tbl"), std::string("--table2"), path("new.tbl"),
                                          std::string("--filter1"), path("filter1.txt"), std::string("--filter2"),
                                          path("filter2.txt")})
            args.push_back(option);
        return args;
    }

    TempDir dir;
};

// PNG: the signature, then the IHDR chunk with width and height.
std::pair<std::uint32_t, std::uint32_t> png_size(const Bytes& file) {
    if (file.size() < 24 || file[1] != 'P' || file[2] != 'N' || file[3] != 'G') return {0, 0};
    auto number = [&](std::size_t at) {
        return std::uint32_t{file[at]} << 24 | std::uint32_t{file[at + 1]} << 16 | std::uint32_t{file[at + 2]} << 8 |
               file[at + 3];
    };
    return {number(16), number(20)};
}

TEST_F(CharsetCliTest, new_table_imports_the_script_and_exports_it_back_unchanged) {
    const std::vector<std::string> options{"--keep", path("old.tbl"), "--start-code", "8000", "--skip", "8003-8005",
                                           "--chars", path("chars.txt"), "--sheet", path("sheet.png"),
                                           "--glyph", "12x12", "--font", kFont};
    CliRun made = testing::run_cli(charset("new.tbl", options));
    EXPECT_EQ(made.status, 0);
    EXPECT_EQ(made.err, "提示：共10字，沿用2字，新增8字，旧码表中1字不再使用\n");
    // The filter's 8000 and 8002 and the skipped codes stay free; 国 and 人
    // keep the game's codes.
    EXPECT_EQ(testing::read_file(dir / "new.tbl"),
              testing::gbk_bytes(u"8001=，\r\n8006=欢\r\n8007=迎\r\n8008=来\r\n8009=到\r\n800A=中\r\n800B=！\r\n"
                                 u"800C=文\r\n8140=国\r\n8141=人\r\n"));
    EXPECT_EQ(testing::read_file(dir / "chars.txt"), testing::gbk_bytes(u"，欢迎来到中！文\r\n"));
    // Cells 8000 to 8141, 16 to a row.
    EXPECT_EQ(png_size(testing::read_file(dir / "sheet.png")), (std::pair<std::uint32_t, std::uint32_t>{192, 21 * 12}));

    // The same input gives the same bytes.
    std::vector<std::string> again = options;
    again[7] = path("chars2.txt");
    again[9] = path("sheet2.png");
    EXPECT_EQ(testing::run_cli(charset("new2.tbl", again)).status, 0);
    EXPECT_EQ(testing::read_file(dir / "new2.tbl"), testing::read_file(dir / "new.tbl"));
    EXPECT_EQ(testing::read_file(dir / "chars2.txt"), testing::read_file(dir / "chars.txt"));
    EXPECT_EQ(testing::read_file(dir / "sheet2.png"), testing::read_file(dir / "sheet.png"));

    testing::write_file(dir / "rom.gba", Bytes(0x80, 0xFF));
    CliRun imported = testing::run_cli(
        tables({"import", "--rom", path("rom.gba"), "--script", path("script.txt"), "--fill", "FF"}));
    EXPECT_EQ(imported.err, "提示：文本导入成功\n");
    CliRun exported =
        testing::run_cli(tables({"export", "--rom", path("rom.gba"), "--start", "0", "--end", "7F", "--out",
                                 path("back.txt")}));
    EXPECT_EQ(exported.err, "提示：文本已顺利导出\n");
    EXPECT_EQ(testing::read_file(dir / "back.txt"), testing::read_file(dir / "script.txt"));
}

TEST_F(CharsetCliTest, takes_the_table_options_of_check) {
    ASSERT_EQ(testing::run_cli(charset("plain.tbl", {"--start-code", "8140"})).status, 0);
    CliRun shared = testing::run_cli(charset("shared.tbl", {"--start-code", "8140", "--table2", path("old.tbl"),
                                                           "--filter1", path("filter1.txt")}));
    EXPECT_EQ(shared.status, 0);
    EXPECT_EQ(testing::read_file(dir / "shared.tbl"), testing::read_file(dir / "plain.tbl"));
    CliRun unreadable = testing::run_cli(charset("refused.tbl", {"--start-code", "8140", "--filter1", path("none.txt")}));
    EXPECT_EQ(unreadable.err, "错误：无法读取过滤区文件：" + path("none.txt") + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "refused.tbl"));
}

// Entries of random pieces, back to back, each closed by an end code:
// ASCII (single-byte), Chinese, punctuation and spaces, the tag, and the
// characters of the game's table.
std::u16string generated_script(unsigned seed) {
    const std::u16string_view chinese = u"的一是了我不人在他有这个上们来到时大地为子中你说生国年着就那和要她出也得里后自以会"
                                        u"，。！？、；：“”《》　国人";
    std::mt19937 random(seed);
    std::u16string script;
    std::size_t address = 0;
    for (int entry = 0; entry < 60; ++entry) {
        std::u16string text;
        std::size_t bytes = 0;
        for (auto pieces = random() % 12; pieces > 0; --pieces) {
            switch (random() % 4) {
                case 0: {
                    // Not "{" or "}": those would open or close a token.
                    const auto c = static_cast<char16_t>(u' ' + random() % 95);
                    text += c == u'{' || c == u'}' ? u'_' : c;
                    ++bytes;
                    break;
                }
                case 1: text += u"{主角}"; bytes += 2; break;
                default: text += chinese[random() % chinese.size()]; bytes += 2; break;
            }
        }
        text += u"{结束符8000}";
        bytes += 2;
        char head[32];
        std::snprintf(head, sizeof head, "%zX,%zu,", address, bytes);
        script += std::u16string(head, head + std::strlen(head)) + text + u"\r\n\r\n";
        address += bytes;
    }
    return script + u"\r\n";
}

TEST_F(CharsetCliTest, generated_scripts_round_trip_in_every_order) {
    for (const char* order : {"appearance", "frequency", "gbk"}) {
        SCOPED_TRACE(order);
        testing::write_gbk(dir / "script.txt", generated_script(static_cast<unsigned>(std::strlen(order))));
        CliRun made = testing::run_cli(charset("new.tbl", {"--keep", path("old.tbl"), "--start-code", "7FFE",
                                                           "--trail", "00-01", "--trail", "40-7E", "--trail",
                                                           "80-FE", "--order", order}));
        ASSERT_EQ(made.status, 0) << made.err;
        testing::write_file(dir / "rom.gba", Bytes(0x2000, 0xFF));
        EXPECT_EQ(testing::run_cli(tables({"import", "--rom", path("rom.gba"), "--script", path("script.txt")})).err,
                  "提示：文本导入成功\n");
        testing::run_cli(tables({"export", "--rom", path("rom.gba"), "--start", "0", "--end", "1FFF", "--out",
                                 path("back.txt")}));
        EXPECT_EQ(testing::read_file(dir / "back.txt"), testing::read_file(dir / "script.txt"));
    }
}

TEST_F(CharsetCliTest, refuses_with_a_message_and_writes_nothing) {
    testing::write_file(dir / "utf8.txt", std::string_view("\xEF\xBB\xBF" "0,4,好\xF0\x9F\x98\x80"));
    testing::write_gbk(dir / "empty_value.tbl", u"8140=国\r\n8141=\r\n");
    const Bytes script_before = testing::read_file(dir / "script.txt");
    const Bytes old_before = testing::read_file(dir / "old.tbl");
    testing::write_gbk(dir / "bad_filter.txt", u"8000=over\r\n80G0=名\r\n");
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{"--start-code", "FFFE"}, "错误：码表编码已用尽：还缺8字\n"},
        {{"--start-code", "FF00", "--trail", "00-01", "--trail", "FF"}, "错误：码表编码已用尽：还缺7字\n"},
        {{"--start-code", "81G0"}, "错误：起始编码填写错误：81G0\n"},
        {{"--start-code", "8140", "--skip", "9000-8000"}, "错误：跳过范围填写错误：9000-8000\n"},
        {{"--start-code", "8140", "--trail", "40-7E0"}, "错误：第二字节范围填写错误：40-7E0\n"},
        {{"--start-code", "8140", "--keep", path("empty_value.tbl")}, "错误：码表里8141行出现空字符\n"},
        {{"--start-code", "8140", "--keep", path("missing.tbl")}, "错误：码表读取错误\n"},
        {{"--start-code", "8140", "--table1", ""}, "错误：请先选择一个单字节码表\n"},
        {{"--start-code", "8140", "--out", path("script.txt")},
         "错误：输出文件不能覆盖输入文件或另一个输出文件：" + path("script.txt") + "\n"},
        {{"--start-code", "8140", "--keep", path("old.tbl"), "--chars", path("old.tbl")},
         "错误：输出文件不能覆盖输入文件或另一个输出文件：" + path("old.tbl") + "\n"},
        {{"--start-code", "8140", "--chars", path("refused.tbl")},
         "错误：输出文件不能覆盖输入文件或另一个输出文件：" + path("refused.tbl") + "\n"},
        {{"--start-code", "8140", "--filter2", path("bad_filter.txt")}, "错误：双字节过滤填写错误\n"},
        {{"--start-code", "8140", "--script", path("utf8.txt")}, "错误：GBK中没有[😀]字，无法写入码表\n"},
        {{"--start-code", "8140", "--sheet", path("s.png"), "--glyph", "0x12", "--font", kFont},
         "错误：字形尺寸填写错误：0x12\n"},
        {{"--start-code", "8140", "--sheet", path("s.png"), "--glyph", "12x12", "--font", path("old.tbl")},
         "错误：无法读取字体文件：" + path("old.tbl") + "\n"},
    };
    for (const Case& c : cases) {
        CliRun refused = testing::run_cli(charset("refused.tbl", c.args));
        EXPECT_EQ(refused.status, kExitFailure) << c.err;
        EXPECT_EQ(refused.err, c.err);
        EXPECT_FALSE(std::filesystem::exists(dir / "refused.tbl")) << c.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "s.png")) << c.err;
    }
    // In UTF-8 the same script makes a table.
    CliRun utf8 = testing::run_cli(charset("utf8.tbl", {"--start-code", "8140", "--script", path("utf8.txt"), "--mode",
                                                        "double", "--filter2", "", "--encoding", "utf-8"}));
    EXPECT_EQ(utf8.err, "提示：共2字，沿用0字，新增2字\n");
    EXPECT_EQ(testing::read_file(dir / "utf8.tbl"), testing::bytes_of("8140=好\r\n8141=\xF0\x9F\x98\x80\r\n"));
    EXPECT_EQ(testing::read_file(dir / "script.txt"), script_before);
    EXPECT_EQ(testing::read_file(dir / "old.tbl"), old_before);
    EXPECT_EQ(testing::run_cli(charset("refused.tbl", {"--start-code", "8140", "--sheet", path("s.png")})).status,
              kExitUsage);
    EXPECT_EQ(testing::run_cli(charset("refused.tbl", {"--start-code", "8140", "--order", "random"})).status,
              kExitUsage);
}

}  // namespace
}  // namespace quillmere::cli
