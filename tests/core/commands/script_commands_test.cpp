#include "core/commands/script_commands.hpp"

#include <gtest/gtest.h>

#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {

inline void PrintTo(const Message& message, std::ostream* out) {
    *out << text::to_utf8(message.title()) << ": " << text::to_utf8(message.text);
}

namespace {

using testing::Bytes;
using testing::TempDir;

// Tables and filter lists every case shares: single-byte A-D, double-byte
// 啊 你, single-byte filter 00 over, F0 turn2, F1 {名}, double-byte 9000 {人}.
class ScriptCommandsTest : public ::testing::Test {
protected:
    ScriptCommandsTest() {
        testing::write_gbk(dir / "single.tbl", u"41=A\r\n42=B\r\n43=C\r\n44=D\r\n");
        testing::write_gbk(dir / "double.tbl", u"8140=啊\r\n8141=你\r\n");
    }

    ImportRequest request(std::u16string script, RomMode mode = RomMode::both) {
        testing::write_gbk(dir / "script.txt", script);
        ImportRequest r;
        r.script_file = dir / "script.txt";
        r.tables.mode = mode;
        r.tables.double_table = dir / "double.tbl";
        r.tables.single_table = dir / "single.tbl";
        r.tables.single_filter = {u"00=over\r\nF0=turn2\r\nF1=名", true};
        r.tables.double_filter = {u"9000=人", true};
        r.rom = dir / "rom.bin";
        return r;
    }

    void write_rom(const Bytes& bytes) { testing::write_file(dir / "rom.bin", bytes); }
    Bytes rom() const { return testing::read_file(dir / "rom.bin"); }

    TempDir dir;
};

struct MessageCase {
    std::u16string script;
    std::u16string message;  // an error unless it is a success message
};

Message expected_message(const std::u16string& text) {
    return text == u"此文本为合法文本" || text == u"文本导入成功" ? notice_message(text) : error_message(text);
}

TEST_F(ScriptCommandsTest, check_reports_the_first_failing_entry_with_its_address) {
    const MessageCase cases[] = {
        {u"1F40,3,A啊\r\n\r\n20,5,{结束符00}{跳跃符F0：0102}{名}\r\n\r\n\r\n", u"此文本为合法文本"},
        {u"", u"此文本为合法文本"},
        {u"\r\n\r\n", u"此文本为合法文本"},
        {u"10,abc,", u"此文本为合法文本"},
        {u"1F40,2,啊A", u"1F40行的文本超出原长 1个字节"},
        {u"1F40,0,啊A", u"1F40行的文本超出原长 3个字节"},
        {u"0,-99999999999999999999999,啊", u"0行的文本超出原长 100000000000000000000001个字节"},
        {u"1F40,2,哦", u"1F40行出错，码表中缺少[哦]字"},
        {u"1F40,2,{无}", u"1F40行出错，过滤区中缺少[{无}]"},
        {u"1F40,2", u"1F40行文本处理错误"},
        {u"10,1,A\r\nno comma\r\n20,1,A", u"10行文本处理错误"},
        {u"no comma\r\n10,1,A", u"行文本处理错误"},
        {u"1G,1,A", u"1G行文本处理错误"},
        {u"10,4,{结束符0000", u"10行文本处理错误"},
        {u"10,0,哦\r\n20,0,{无}", u"10行出错，码表中缺少[哦]字"},
        {u"10,1,A\r\n20,0,A\r\n30,0,哦", u"20行的文本超出原长 1个字节"},
    };
    for (const MessageCase& c : cases) {
        CommandResult<ScriptPayload> outcome = run_check(request(c.script));
        EXPECT_EQ(outcome.message, expected_message(c.message)) << text::to_utf8(c.script);
    }
}

TEST_F(ScriptCommandsTest, check_searches_double_byte_tags_in_the_range_and_ignores_unused_tables) {
    ImportRequest r = request(u"10,2,{人}");
    r.range_low = u"36865";  // 9001
    EXPECT_EQ(run_check(r).message, error_message(u"10行出错，过滤区中缺少[{人}]"));
    r.range_low = u"36864";
    EXPECT_EQ(run_check(r).message, notice_message(u"此文本为合法文本"));

    ImportRequest single = request(u"10,4,AB{人}");
    single.tables.mode = RomMode::single_byte;
    single.tables.double_table.clear();
    EXPECT_EQ(run_check(single).message, notice_message(u"此文本为合法文本"));
    ImportRequest no_double_chars = request(u"10,4,A啊", RomMode::single_byte);
    EXPECT_EQ(run_check(no_double_chars).message, error_message(u"10行出错，码表中缺少[啊]字"));
    ImportRequest double_only = request(u"10,2,啊", RomMode::double_byte);
    double_only.tables.single_table.clear();
    EXPECT_EQ(run_check(double_only).message, notice_message(u"此文本为合法文本"));
}

TEST_F(ScriptCommandsTest, steps_run_in_order_and_stop_at_the_first_refusal) {
    ImportRequest base = request(u"10,1,A");
    struct Case {
        std::function<void(ImportRequest&)> change;
        std::u16string check, import;
    };
    const Case cases[] = {
        {[](ImportRequest& r) { r.rom.clear(); r.script_file.clear(); r.tables.double_table.clear(); },
         u"请选择一个文本", u"请先选择一个ROM"},
        {[](ImportRequest& r) { r.script_file.clear(); r.tables.double_table.clear(); }, u"请选择一个文本", u"请选择一个文本"},
        {[](ImportRequest& r) { r.tables.double_table.clear(); r.tables.single_table.clear(); r.tables.double_filter.text = u"x"; },
         u"请先选择一个双字节码表", u"请先选择一个双字节码表"},
        {[](ImportRequest& r) { r.tables.double_filter.text = u"x"; r.tables.single_filter.text = u"41="; },
         u"双字节过滤填写错误", u"双字节过滤填写错误"},
        {[](ImportRequest& r) { r.tables.single_filter.text = u"41="; }, u"单字节过滤区禁止使用空字符",
         u"单字节过滤区禁止使用空字符"},
        {[](ImportRequest& r) { r.script_file = r.script_file.parent_path() / "missing.txt"; }, u"译文读取失败",
         u"译文读取失败"},
        {[](ImportRequest& r) { r.tables.data_dir = r.rom.parent_path() / "missing"; }, u"双字节过滤填写错误",
         u"双字节过滤填写错误"},
        {[](ImportRequest& r) { r.preview = true; r.script_file.clear(); r.script_text = u""; },
         u"此文本为合法文本", u"文本导入成功"},
    };
    write_rom(Bytes(4, 0xEE));
    for (const Case& c : cases) {
        ImportRequest r = base;
        c.change(r);
        EXPECT_EQ(run_check(r).message, expected_message(c.check));
        EXPECT_EQ(run_import(r).message, expected_message(c.import));
        EXPECT_EQ(rom(), Bytes(4, 0xEE));
    }
}

TEST_F(ScriptCommandsTest, empty_filter_lists_are_unticked_and_lists_pass_through_the_data_directory) {
    ImportRequest r = request(u"");
    r.preview = true;
    r.script_text = u"0,1,A";
    r.tables.data_dir = dir.path();
    r.tables.double_filter.text.clear();
    write_rom(Bytes(2, 0xEE));
    CommandResult<ScriptPayload> outcome = run_import(r);
    EXPECT_EQ(outcome.message, notice_message(u"文本导入成功"));
    EXPECT_TRUE(outcome.payload.untick.double_filter);
    EXPECT_FALSE(outcome.payload.untick.single_filter);
    EXPECT_EQ(rom(), (Bytes{0x41, 0xEE}));
    EXPECT_EQ(testing::read_file(dir / "temp.txt"), testing::bytes_of("0,1,A\r\n"));
    EXPECT_EQ(testing::read_file(dir / "temp3.txt"), testing::gbk_bytes(u"00=over\r\nF0=turn2\r\nF1=名\r\n"));
    EXPECT_FALSE(std::filesystem::exists(dir / "temp2.txt"));
}

TEST_F(ScriptCommandsTest, import_fills_a_shorter_entry_as_the_fill_value_says) {
    struct Case {
        std::u16string script, fill;
        Bytes rom;
    };
    const Bytes E(8, 0xEE);
    auto with = [&](std::size_t at, Bytes bytes) {
        Bytes out = E;
        std::copy(bytes.begin(), bytes.end(), out.begin() + at);
        return out;
    };
    const Case cases[] = {
        {u"2,3,A啊", u"00", with(2, {0x41, 0x81, 0x40})},                  // n = m
        {u"2,3,A啊", u"", with(2, {0x41, 0x81, 0x40})},
        {u"2,4,AB", u"00", with(2, {0x41, 0x42, 0x00, 0x00})},             // 2-character fill
        {u"2,6,AB", u"8140", with(2, {0x41, 0x42, 0x81, 0x40, 0x81, 0x40})},  // d even
        {u"2,5,AB", u"8140", with(2, {0x41, 0x42, 0x81, 0x40})},           // d odd: last old byte stays
        {u"2,3,AB", u"8140", with(2, {0x41, 0x42})},                       // d = 1, no pair fits
        {u"2,4,AB", u"", with(2, {0x41, 0x42})},                           // no usable fill value
        {u"2,4,AB", u"0", with(2, {0x41, 0x42})},
        {u"2,4,AB", u"000", with(2, {0x41, 0x42})},
        {u"2,4,AB", u"00000", with(2, {0x41, 0x42})},
        {u"2,4,AB", u"ff", with(2, {0x41, 0x42, 0xFF, 0xFF})},
        {u"2,999999999999999999999999,AB", u"", with(2, {0x41, 0x42})},  // too large a length, no fill
        {u"0,5,{跳跃符F0：0102}{人}", u"", with(0, {0xF0, 0x01, 0x02, 0x90, 0x00})},
    };
    for (const Case& c : cases) {
        write_rom(E);
        ImportRequest r = request(c.script);
        r.fill = c.fill;
        EXPECT_EQ(run_import(r).message, notice_message(u"文本导入成功"));
        EXPECT_EQ(rom(), c.rom) << text::to_utf8(c.script) << " fill " << text::to_utf8(c.fill);
    }
}

TEST_F(ScriptCommandsTest, an_entry_that_fails_anywhere_leaves_the_rom_untouched) {
    const std::u16string first = u"0,2,AB\r\n\r\n";
    const std::u16string last = u"\r\n\r\n6,1,D";
    struct Case {
        std::u16string entry, fill, message;
    };
    const Case cases[] = {
        {u"3,1,CC", u"", u"3行的文本超出原长 1个字节"},
        {u"3,2,哦", u"", u"3行出错，码表中缺少[哦]字"},
        {u"3,2,C{无}", u"", u"3行出错，过滤区中缺少[{无}]"},
        {u"3,2,{人}", u"", u"过滤区中缺少[{人}]"},  // outside the range: found by the encoding only
        {u"3,1", u"", u"3行文本处理错误"},
        {u"3,2,C{结束符0}", u"", u"3行文本处理错误"},
        {u"3,3,C", u"ZZ", u"3行文本处理错误"},  // a fill value that is not hexadecimal
        {u"6,3,CCC", u"", u"6行文本处理错误"},  // would reach past the end of the ROM
        {u"8,1,", u"00", u"8行文本处理错误"},  // a fill byte past the end
        {u"3,-99999999999999999999999,C", u"", u"3行的文本超出原长 100000000000000000000000个字节"},
        {u"3,99999999999999999999,C", u"00", u"3行文本处理错误"},  // fill far past the end
        {u"-3,1,C", u"", u"-3行文本处理错误"},
    };
    for (const Case& c : cases) {
        write_rom(Bytes(8, 0xEE));
        ImportRequest r = request(first + c.entry + last);
        r.fill = c.fill;
        r.range_high = u"36863";  // 8FFF
        const CommandResult<ScriptPayload> imported = run_import(r);
        EXPECT_EQ(imported.message, error_message(c.message)) << text::to_utf8(c.entry);
        EXPECT_EQ(imported.payload.entries_written, 0u);
        EXPECT_EQ(rom(), Bytes(8, 0xEE)) << text::to_utf8(c.entry);
        // The same entry last of all: the two good ones before it stay out too.
        r = request(first + last + u"\r\n" + c.entry);
        r.fill = c.fill;
        r.range_high = u"36863";
        EXPECT_EQ(run_import(r).message, error_message(c.message)) << text::to_utf8(c.entry);
        EXPECT_EQ(rom(), Bytes(8, 0xEE)) << text::to_utf8(c.entry);
    }
}

TEST_F(ScriptCommandsTest, import_writes_at_the_address_and_never_changes_the_size) {
    write_rom(Bytes(0x2000, 0xEE));
    ImportRequest r = request(u"1F40,3,A啊\r\n\r\n1FFE,2,你\r\n\r\n\r\n");
    EXPECT_EQ(run_import(r).message, notice_message(u"文本导入成功"));
    Bytes expected(0x2000, 0xEE);
    expected[0x1F40] = 0x41;
    expected[0x1F41] = 0x81;
    expected[0x1F42] = 0x40;
    expected[0x1FFE] = 0x81;
    expected[0x1FFF] = 0x41;
    EXPECT_EQ(rom(), expected);
}

TEST_F(ScriptCommandsTest, entries_of_no_bytes_write_nothing_wherever_they_stand) {
    write_rom(Bytes(8, 0xEE));
    ImportRequest r = request(u"0,2,AB\r\n8,0,\r\n7FFFFFFF,0,\r\n9,5,\r\n6,1,D");
    CommandResult<ScriptPayload> outcome = run_import(r);
    EXPECT_EQ(outcome.message, notice_message(u"文本导入成功"));
    EXPECT_EQ(outcome.payload.entries_written, 5u);
    EXPECT_EQ(rom(), (Bytes{0x41, 0x42, 0xEE, 0xEE, 0xEE, 0xEE, 0x44, 0xEE}));
}

TEST_F(ScriptCommandsTest, rom_that_names_no_file_is_not_created) {
    ImportRequest r = request(u"\r\n1F40,1,A\r\n");
    EXPECT_EQ(run_import(r).message, error_message(u"1F40行文本处理错误"));
    ImportRequest empty = request(u"\r\n\r\n");
    EXPECT_EQ(run_import(empty).message, notice_message(u"文本导入成功"));
    ImportRequest directory = request(u"1F40,1,A");
    directory.rom = dir.path();
    EXPECT_EQ(run_import(directory).message, error_message(u"1F40行文本处理错误"));
    EXPECT_FALSE(std::filesystem::exists(dir / "rom.bin"));
}

}  // namespace
}  // namespace quillmere

namespace quillmere {
namespace {

// A script file whose bytes are not well-formed code page 936 is read as
// the decoder reads it, the bad bytes becoming U+FFFD: the check and the
// import say what they say of the decoded text, and the ROM stays as it was.
TEST_F(ScriptCommandsTest, bytes_that_are_not_code_page_936_read_as_the_decoder_reads_them) {
    const std::string scripts[] = {"0,1,A\r\n10,2,A\x81 \r\n", "0,1,A\r\n1\x81,1,A\r\n", "0,1,{\x81 }\r\n",
                                   "0,3,A\x81\r\n", "0,\x81,A\r\n"};
    for (const std::string& script : scripts) {
        write_rom(Bytes(32, 0xEE));
        ImportRequest from_file = request(u"");
        testing::write_file(dir / "script.txt", Bytes(script.begin(), script.end()));
        ImportRequest from_text = from_file;
        from_text.preview = true;
        from_text.script_text = text::decode_gbk(Bytes(script.begin(), script.end())).text;
        EXPECT_EQ(run_check(from_file).message, run_check(from_text).message) << script;
        const CommandResult<ScriptPayload> imported = run_import(from_file);
        EXPECT_EQ(imported.message, run_import(from_text).message) << script;
        EXPECT_EQ(imported.message.severity == Severity::notice, rom() != Bytes(32, 0xEE)) << script;
    }
}

}  // namespace
}  // namespace quillmere
