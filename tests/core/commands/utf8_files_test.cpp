// Tables, filter lists and scripts in UTF-8: characters code page 936
// cannot hold survive an export and an import unchanged.

#include <gtest/gtest.h>

#include "core/commands/export_command.hpp"
#include "core/commands/script_commands.hpp"
#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

using testing::Bytes;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

TEST(utf8_files_test, export_then_import_leaves_the_rom_unchanged) {
    TempDir dir;
    // 한 and 😀 have no code page 936 code; the single-byte table starts
    // with the byte-order mark, which UTF-8 files may carry.
    write_file(dir / "double.tbl", text::to_utf8(u"8140=한\r\n8141=😀\r\n8142=中\r\n"));
    write_file(dir / "single.tbl", "\xEF\xBB\xBF" + text::to_utf8(u"41=A\r\n42=é\r\n"));
    const Bytes original{0xFF, 0x41, 0x81, 0x40, 0x81, 0x41, 0x42, 0x81, 0x42, 0x01, 0x07, 0x00, 0xFF};
    write_file(dir / "rom.gba", original);

    ExportRequest request;
    request.rom = dir / "rom.gba";
    request.start = u"0";
    request.end = u"C";
    request.tables.mode = RomMode::both;
    request.tables.double_table = dir / "double.tbl";
    request.tables.single_table = dir / "single.tbl";
    request.tables.single_filter = {u"00=over\r\n01=turn1\r\n", true};
    request.name = u"utf8";
    request.tables.encoding = text::Encoding::utf8;
    const CommandResult<ExportPayload> exported = run_export(request);
    ASSERT_FALSE(exported.payload.unencodable);
    const std::u16string record = u"1,11,A한😀é中{跳跃符01：07}{结束符00}\r\n\r\n";
    EXPECT_EQ(exported.payload.file_form, testing::bytes_of(text::to_utf8(record + u"\r\n")));
    ASSERT_EQ(write_export_file(dir / "out.txt", exported.payload, {}).message.severity, Severity::notice);
    EXPECT_EQ(read_file(dir / "out.txt"), testing::bytes_of(text::to_utf8(record + u"\r\n")));  // no mark

    ImportRequest import;
    import.script_file = dir / "out.txt";
    import.tables.mode = RomMode::both;
    import.tables.double_table = request.tables.double_table;
    import.tables.single_table = request.tables.single_table;
    import.tables.single_filter = request.tables.single_filter;
    import.rom = dir / "rom.gba";
    import.tables.encoding = text::Encoding::utf8;
    write_file(dir / "rom.gba", Bytes(original.size(), 0xEE));  // the import must put every byte back
    const CommandResult<ScriptPayload> imported = run_import(import);
    EXPECT_EQ(imported.message, notice_message(u"文本导入成功"));
    Bytes expected(original.size(), 0xEE);
    std::copy(original.begin() + 1, original.end() - 1, expected.begin() + 1);
    EXPECT_EQ(read_file(dir / "rom.gba"), expected);

    // The check reads the same script, and the default (code page 936)
    // cannot hold the characters the export found.
    EXPECT_EQ(run_check(import).message, notice_message(u"此文本为合法文本"));
    EXPECT_FALSE(text::encode_gbk(record).has_value());
}

TEST(utf8_files_test, bytes_that_are_not_utf8_are_a_table_read_error) {
    TempDir dir;
    write_file(dir / "double.tbl", "8140=\xB0\xA1\r\n");  // 啊 in code page 936
    ExportRequest request;
    request.rom = dir / "double.tbl";
    request.start = u"0";
    request.end = u"1";
    request.tables.double_table = dir / "double.tbl";
    request.preview = true;
    request.tables.encoding = text::Encoding::utf8;
    EXPECT_EQ(run_export(request).message, error_message(u"码表读取错误"));
    request.tables.encoding = text::Encoding::gbk;
    EXPECT_NE(run_export(request).message, error_message(u"码表读取错误"));
}

}  // namespace
}  // namespace quillmere
