#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli_driver.hpp"
#include "core/records/records.hpp"
#include "core/records/session.hpp"
#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

using testing::Bytes;
using testing::CliRun;
using testing::run_cli;

const std::string kDone = "提示：文本已顺利导出\n";

// The bytes of the export file holding these records.
std::string file_form(std::initializer_list<std::u16string_view> records) {
    std::u16string text;
    for (std::u16string_view record : records) (text += record) += u"\r\n\r\n";
    text += u"\r\n";
    const Bytes bytes = testing::gbk_bytes(text);
    return std::string(bytes.begin(), bytes.end());
}

class export_cli_test : public ::testing::Test {
protected:
    export_cli_test() {
        testing::write_gbk(dir_ / "single.tbl", u"41=A\r\n42=B\r\n2A=,\r\n");
        testing::write_gbk(dir_ / "double.tbl", u"8140=\u3000\r\nB0A1=啊\r\n");
        testing::write_gbk(dir_ / "filter1.txt", u"00=over\r\nF0=turn2\r\n");
        testing::write_gbk(dir_ / "filter2.txt", u"8000=over\r\n");
        testing::write_gbk(dir_ / "bad_filter.txt", u"8000=over\r\nname\r\n");
        // What the window could not pass through its temporary files: bytes
        // that are not code page 936, a character it cannot hold.
        testing::write_file(dir_ / "bad_bytes.txt", std::string_view("8000=over\r\n8001=\x81\x7F\r\n"));
        testing::write_file(dir_ / "not_gbk.txt", std::string_view("\xEF\xBB\xBF" "41=\xF0\x9F\x98\x80\r\n"));
    }

    std::string path(const char* name) const { return (dir_ / name).string(); }

    // Writes the ROM, placing `bytes` at `offset` after FF filler.
    std::string rom(std::size_t offset, const Bytes& bytes) const {
        Bytes image(offset, 0xFF);
        image.insert(image.end(), bytes.begin(), bytes.end());
        testing::write_file(dir_ / "rom.gba", image);
        return path("rom.gba");
    }

    // export with the tables and filters of the fixture; `more` may override them.
    CliRun export_rom(const std::string& rom_path, const std::string& start, const std::string& end,
                      std::vector<std::string> more = {}) const {
        std::vector<std::string> args{"export",   "--rom",          rom_path, "--start",   start,
                                      "--end",    end,              "--mode", "both",      "--table1",
                                      path("single.tbl"), "--table2", path("double.tbl")};
        args.insert(args.end(), more.begin(), more.end());
        return run_cli(args);
    }

    testing::TempDir dir_;
};

TEST_F(export_cli_test, records_of_the_format_examples_on_standard_output) {
    struct Case {
        std::size_t offset;
        Bytes bytes;
        std::vector<std::string> more;
        std::u16string_view record;
    };
    const Case cases[] = {
        {0x1000, {0x41, 0x42, 0x00}, {"--filter1", path("filter1.txt")}, u"1000,3,AB{结束符00}"},
        {0x1000, {0x41, 0x42, 0xFF}, {}, u"1000,2,AB"},
        {0, {0x81, 0x40, 0xFF}, {}, u"0,2,\u3000"},
        {0x2A0, {0x2A, 0xFF}, {}, u"2A0,1,,"},
        {0, {0x41, 0xF0, 0x01, 0x2C, 0x41, 0xFF}, {"--filter1", path("filter1.txt")}, u"0,5,A{跳跃符F0：012C}A"},
        {0, {0x41, 0x90, 0x42, 0xFF}, {"--hex-bytes"}, u"0,3,A{$90}B"},
        {0, {0x41, 0x90, 0x91, 0x42, 0xFF}, {"--hex-bytes", "--hex-max", "2"}, u"0,4,A{$90}{$91}B"},
    };
    for (const Case& c : cases) {
        CliRun got = export_rom(rom(c.offset, c.bytes), "0", "7FFFFFFF", c.more);
        EXPECT_EQ(got.status, 0);
        EXPECT_EQ(got.out, file_form({c.record})) << text::to_utf8(c.record);
        EXPECT_EQ(got.err, kDone);
    }
}

TEST_F(export_cli_test, out_writes_the_file) {
    const std::string rom_path = rom(0, {0x41, 0x00, 0xB0, 0xA1, 0x80, 0x00});
    CliRun got = export_rom(rom_path, "0", "5",
                            {"--filter1", path("filter1.txt"), "--filter2", path("filter2.txt"), "--out", path("out.txt")});
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.out, "");
    EXPECT_EQ(got.err, kDone);
    const Bytes written = testing::read_file(dir_ / "out.txt");
    EXPECT_EQ(std::string(written.begin(), written.end()), file_form({u"0,2,A{结束符00}", u"2,4,啊{结束符8000}"}));
}

TEST_F(export_cli_test, every_outcome_is_one_line_with_its_title) {
    const std::string good = rom(0, {0x41, 0xFF});
    const std::string bad_file = "错误：" + text::to_utf8(u" 文件名不能包括以下字符：\\/:*?<>\"|") + "\n";
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{"export", "--rom", "", "--start", "0", "--end", "1"}, "错误：请先选择一个ROM\n"},
        {{"export", "--rom", good, "--start", "", "--end", "1"}, "错误：文本开始地址或结束地址输入错误\n"},
        {{"export", "--rom", good, "--start", "100", "--end", "100"}, "错误：文本开始地址或结束地址输入错误\n"},
        {{"export", "--rom", good, "--start", "10", "--end", "G0"}, "错误：文本开始地址或结束地址输入错误\n"},
        {{"export", "--rom", good, "--start", "0", "--end", "1"}, "错误：请先选择一个双字节码表\n"},
        {{"export", "--rom", good, "--start", "0", "--end", "1", "--mode", "single"}, "错误：请先选择一个单字节码表\n"},
        {{"export", "--rom", good, "--start", "0", "--end", "1", "--mode", "single", "--table1", path("missing.tbl")},
         "错误：码表读取错误\n"},
    };
    for (const Case& c : cases) {
        CliRun got = run_cli(c.args);
        EXPECT_EQ(got.status, 1);
        EXPECT_EQ(got.out, "");
        EXPECT_EQ(got.err, c.err);
    }
    const Case with_tables[] = {
        {{"--filter2", path("bad_filter.txt")}, "错误：双字节过滤填写错误\n"},
        {{"--filter2", path("bad_bytes.txt")}, "错误：双字节过滤填写错误\n"},
        {{"--filter1", path("not_gbk.txt")}, "错误：单字节过滤填写错误\n"},
        {{"--filter1", path("missing.txt")}, "错误：无法读取过滤区文件：" + path("missing.txt") + "\n"},
        {{"--min", "abc"}, "提示：导出文本失败\n"},
        {{"--min", "1"}, "提示：导出文本失败\n"},  // the only run has one byte
        {{"--out", path("missing/out.txt")}, bad_file},
    };
    for (const Case& c : with_tables) {
        CliRun got = export_rom(good, "0", "1", c.args);
        EXPECT_EQ(got.status, 1);
        EXPECT_EQ(got.out, "");
        EXPECT_EQ(got.err, c.err);
    }
    CliRun unreadable = export_rom(path("missing.gba"), "0", "1");
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_EQ(unreadable.err, "提示：导出文本失败\n");
    CliRun negative = export_rom(good, "0", "1", {"--min", "-1"});
    EXPECT_EQ(negative.out, file_form({u"0,1,A"}));
}

// Text at 10 (ended by 00) and at 30 (ended by a byte no rule reads).
class export_ranges_cli_test : public export_cli_test {
protected:
    export_ranges_cli_test() {
        Bytes image(0x40, 0xFF);
        const Bytes first{0x41, 0x42, 0x00}, second{0xB0, 0xA1, 0x41};
        std::copy(first.begin(), first.end(), image.begin() + 0x10);
        std::copy(second.begin(), second.end(), image.begin() + 0x30);
        testing::write_file(dir_ / "rom.gba", image);
    }
    CliRun export_with(std::vector<std::string> more) const {
        std::vector<std::string> args{"export", "--rom", path("rom.gba"), "--mode", "both", "--table1",
                                      path("single.tbl"), "--table2", path("double.tbl")};
        args.insert(args.end(), more.begin(), more.end());
        return run_cli(args);
    }
};

TEST_F(export_ranges_cli_test, ranges_in_any_order_give_their_records_in_address_order) {
    const std::string both = file_form({u"10,3,AB{结束符00}", u"30,3,啊A"});
    const std::string filter1 = path("filter1.txt");
    for (const auto& ranges : std::vector<std::vector<std::string>>{
             {"--range", "10-1F", "--range", "30-3F"}, {"--range", "30-3F", "--range", "10-1F"},
             {"--range", "0-2F", "--range", "30-3F"}}) {
        auto args = ranges;
        args.insert(args.end(), {"--filter1", filter1});
        CliRun got = export_with(args);
        EXPECT_EQ(got.status, 0);
        EXPECT_EQ(got.out, both) << ranges[1];
    }
    const std::vector<std::string> refused[] = {
        {"--range", "10-20", "--range", "20-3F"},  // one shared byte
        {"--range", "30-3F", "--range", "0-35"},
        {"--range", "10"},
        {"--range", "1F-10"},
        {"--range", "10-1F", "--range", "G-3F"},
    };
    for (const auto& args : refused) {
        CliRun got = export_with(args);
        EXPECT_EQ(got.status, 1);
        EXPECT_EQ(got.err, "错误：文本开始地址或结束地址输入错误\n") << args[1];
    }

    // An end code across the border of two ranges: the next range starts
    // after it, so no byte is in two records.
    rom(0x1E, {0x41, 0x80, 0x41, 0x42, 0xFF});
    testing::write_gbk(dir_ / "border.txt", u"8041=over\r\n");
    CliRun border = export_with({"--range", "20-3F", "--range", "10-1F", "--filter2", path("border.txt")});
    EXPECT_EQ(border.out, file_form({u"1E,3,A{结束符8041}", u"21,1,B"}));
}

TEST_F(export_ranges_cli_test, records_and_filter_lists_come_from_a_data_folder_the_window_wrote) {
    const auto data = dir_ / "data";
    std::filesystem::create_directory(data);
    const auto settings = records::settings_file_path(data);
    records::RecordList list = records::add_record({}, {u"Menu", u"30", u"3F"}, settings).records;
    list = records::add_record(list, {u"开头", u"10", u"1F"}, settings).records;
    ASSERT_EQ(list.size(), 2u);
    ASSERT_TRUE(records::shut_down(data, u"00=over\r\n", u"").has_value());

    CliRun got = export_with({"--data-dir", data.string(), "--record", "Menu", "--record", "开头", "--data-filters"});
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.out, file_form({u"10,3,AB{结束符00}", u"30,3,啊A"}));
    CliRun no_filters = export_with({"--data-dir", data.string(), "--record", "开头", "--range", "30-3F"});
    EXPECT_EQ(no_filters.out, file_form({u"10,2,AB", u"30,3,啊A"}));

    CliRun unknown = export_with({"--data-dir", data.string(), "--record", "menu"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "错误：找不到记录：menu\n");
    CliRun no_dir = export_with({"--data-dir", path("nowhere"), "--record", "Menu"});
    EXPECT_EQ(no_dir.status, 1);
    EXPECT_EQ(no_dir.err, "错误：数据文件夹不存在：" + path("nowhere") + "\n");
    EXPECT_EQ(export_with({"--record", "Menu"}).status, 2);
    EXPECT_EQ(export_with({"--data-dir", data.string(), "--data-filters", "--filter1", path("filter1.txt"),
                           "--range", "10-1F"}).status, 2);
    EXPECT_EQ(export_with({"--start", "10", "--end", "1F", "--range", "30-3F"}).status, 2);
    EXPECT_EQ(export_with({"--filter1", path("filter1.txt")}).status, 2);
}

TEST_F(export_cli_test, wrong_usage_exits_with_2) {
    const std::string good = rom(0, {0x41, 0xFF});
    const std::vector<std::string> cases[] = {
        {},
        {"export", "--start", "0", "--end", "1"},
        {"export", "--rom", good, "--start", "0"},
        {"export", "--rom", good, "--start", "0", "--end", "1", "--mode", "triple"},
        {"export", "--rom", good, "--start", "0", "--end", "1", "--bogus"},
        {"export", "--rom", good, "--start", "0", "--end", "1", "extra"},
        {"export", "--rom", good, "--start", "0", "--end", "1", "--hex-max", "2"},
        {"export", "--rom", good, "--start", "0", "--end", "1", "--hex-bytes", "--hex-max", "-1"},
    };
    for (const auto& args : cases) EXPECT_EQ(run_cli(args).status, 2);
    EXPECT_EQ(run_cli({"export", "--help"}).status, 0);
}

TEST_F(export_cli_test, the_program_writes_bytes_and_exit_status) {
    const std::string rom_path = rom(0, {0x41, 0x00, 0xB0, 0xA1, 0xFF});
    CliRun got = testing::run_cli_program({"export", "--rom", rom_path, "--start", "0", "--end", "4", "--mode", "both",
                                           "--table1", path("single.tbl"), "--table2", path("double.tbl"),
                                           "--filter1", path("filter1.txt")},
                                          dir_.path());
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.out, file_form({u"0,2,A{结束符00}", u"2,2,啊"}));
    EXPECT_EQ(got.err, kDone);
    EXPECT_EQ(testing::run_cli_program({"export", "--rom", rom_path}, dir_.path()).status, 2);
    EXPECT_EQ(testing::run_cli_program({"export", "--rom", "", "--start", "0", "--end", "1"}, dir_.path()).err,
              "错误：请先选择一个ROM\n");
}

TEST_F(export_cli_test, the_rom_itself_or_a_fifo_is_refused_at_once) {
    const std::string rom_path = rom(0, {0x41, 0x00, 0xB0, 0xA1, 0xFF});
    const Bytes before = testing::read_file(rom_path);
    std::filesystem::create_hard_link(rom_path, dir_ / "other-name.gba");
    std::vector<std::string> outputs{rom_path, path("other-name.gba")};
#if !defined(_WIN32)
    std::filesystem::create_symlink(rom_path, dir_ / "link.gba");
    outputs.push_back(path("link.gba"));
#endif
    for (const std::string& out : outputs) {
        const CliRun got = export_rom(rom_path, "0", "4", {"--filter1", path("filter1.txt"), "--out", out});
        EXPECT_EQ(got.status, 1);
        EXPECT_EQ(got.err, "错误：不能把文本写入正在读取的ROM文件\n");
    }
    EXPECT_EQ(testing::read_file(rom_path), before);

#if !defined(_WIN32)
    // Nothing ever writes to the FIFO; reading it must not wait.
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0666), 0);
    EXPECT_EQ(export_rom(path("fifo"), "0", "4").err, "提示：导出文本失败\n");
    EXPECT_EQ(export_rom(rom_path, "0", "4", {"--filter1", path("fifo")}).err,
              "错误：无法读取过滤区文件：" + path("fifo") + "\n");
#endif
}

}  // namespace
}  // namespace quillmere
