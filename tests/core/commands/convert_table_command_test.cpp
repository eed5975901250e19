#include "core/commands/convert_table_command.hpp"

#include <gtest/gtest.h>

#include "core/commands/export_command.hpp"
#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

using testing::Bytes;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

const std::filesystem::path kSample = QUILLMERE_SAMPLE_DIR;

class convert_table_command_test : public ::testing::Test {
protected:
    ConvertTableRequest request(const std::filesystem::path& source) const {
        return {source, table_conversion::SourceEncoding::automatic, dir_ / "t1.tbl", dir_ / "t2.tbl", dir_ / "f1.txt",
                dir_ / "f2.txt"};
    }
    std::vector<Bytes> outputs() const {
        return {read_file(dir_ / "t1.tbl"), read_file(dir_ / "t2.tbl"), read_file(dir_ / "f1.txt"),
                read_file(dir_ / "f2.txt")};
    }
    TempDir dir_;
};

TEST_F(convert_table_command_test, writes_the_four_files_and_reports_what_it_dropped) {
    write_file(dir_ / "in.tbl", text::to_utf8(u"@x\n# c\n\n41=A\n8140=啊\n/00=<end>\n*0A\n$F0=<color>,1\n"));
    const CommandResult<ConversionReport> outcome = run_convert_table(request(dir_ / "in.tbl"));
    EXPECT_EQ(outcome.message, notice_message(u"单字节1行，双字节1行，过滤3行"));
    EXPECT_EQ(outcome.payload.lines, (std::vector<std::u16string>{u"略去3行：注释1行，空行1行，表头1行",
                                                            u"# 00=over <end>（第6行）",
                                                            u"# F0=turn1 <color>（第8行）"}));
    EXPECT_EQ(outputs(), (std::vector<Bytes>{testing::bytes_of("41=A\r\n"), testing::bytes_of("8140=\xB0\xA1\r\n"),
                                             testing::bytes_of("00=over\r\n0A=\xBB\xBB\xD0\xD0\r\nF0=turn1\r\n"),
                                             {}}));
}

TEST_F(convert_table_command_test, a_refusal_or_a_name_clash_writes_nothing) {
    const std::vector<Bytes> before(4, testing::bytes_of("old\r\n"));
    for (const char* name : {"t1.tbl", "t2.tbl", "f1.txt", "f2.txt"}) write_file(dir_ / name, before[0]);
    write_file(dir_ / "in.tbl", "41=A\n/FF\n!80=other\n");
    EXPECT_EQ(run_convert_table(request(dir_ / "in.tbl")).message, error_message(u"第3行：不支持切换码表（!）"));
    EXPECT_EQ(outputs(), before);

    write_file(dir_ / "in.tbl", "41=A\n");
    auto clash = request(dir_ / "in.tbl");
    clash.filter2 = dir_ / "." / "t2.tbl";
    EXPECT_EQ(run_convert_table(clash).message.text, u"输出文件与其他文件重名：" + clash.filter2.u16string());
    clash = request(dir_ / "in.tbl");
    clash.table1 = clash.source;
    EXPECT_EQ(run_convert_table(clash).message.severity, Severity::error);
    EXPECT_EQ(outputs(), before);
    EXPECT_EQ(read_file(dir_ / "in.tbl"), testing::bytes_of("41=A\n"));

    EXPECT_EQ(run_convert_table(request(dir_ / "missing.tbl")).message,
              error_message(u"无法读取码表文件：" + (dir_ / "missing.tbl").u16string()));
    EXPECT_EQ(outputs(), before);
}

// The sample's table in the other tools' convention gives the same export
// as the sample's own tables and filter lists.
TEST_F(convert_table_command_test, the_converted_sample_table_exports_the_sample_as_the_own_files_do) {
    const CommandResult<ConversionReport> outcome = run_convert_table(request(kSample / "combined.tbl"));
    ASSERT_EQ(outcome.message.severity, Severity::notice) << text::to_utf8(outcome.message.text);

    auto export_with = [&](const std::filesystem::path& t1, const std::filesystem::path& t2,
                           const std::filesystem::path& f1, const std::filesystem::path& f2) {
        ExportRequest request;
        request.rom = kSample / "sample.gba";
        request.start = u"0";
        request.end = u"1FF";
        request.tables.mode = RomMode::both;
        request.tables.single_table = t1;
        request.tables.double_table = t2;
        request.tables.single_filter = {text::decode_gbk(read_file(f1)).text, true};
        request.tables.double_filter = {text::decode_gbk(read_file(f2)).text, true};
        request.preview = true;
        return run_export(request).payload.text;
    };
    const auto own = export_with(kSample / "single.tbl", kSample / "double.tbl", kSample / "filter1.txt",
                                 kSample / "filter2.txt");
    const auto converted = export_with(dir_ / "t1.tbl", dir_ / "t2.tbl", dir_ / "f1.txt", dir_ / "f2.txt");
    ASSERT_TRUE(own.has_value());
    EXPECT_EQ(converted, own);
    // The characters come over line for line.
    EXPECT_EQ(read_file(dir_ / "t1.tbl"), read_file(kSample / "single.tbl"));
    EXPECT_EQ(read_file(dir_ / "t2.tbl"), read_file(kSample / "double.tbl"));
}

}  // namespace
}  // namespace quillmere
