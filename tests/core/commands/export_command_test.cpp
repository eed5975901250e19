#include "core/commands/export_command.hpp"

#include <gtest/gtest.h>

#include <functional>

#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

using testing::bytes_of;
using testing::gbk_bytes;
using testing::read_file;
using testing::TempDir;
using testing::write_file;
using testing::write_gbk;

constexpr std::u16string_view kExported = u"41,3,AB{结束符00}\r\n\r\n44,4,啊{结束符8000}\r\n\r\n";
constexpr std::u16string_view kBadFileName = u" 文件名不能包括以下字符：\\/:*?<>\"|";

// What the user sees: the title, then the message.
std::string shown(const Message& message) {
    if (!message.shown()) return "<none>";
    return text::to_utf8(message.title() + u"：" + message.text);
}

// The file form of an export text, as a payload to save.
ExportPayload file_of(std::u16string_view export_text) {
    ExportPayload payload;
    payload.file_form = gbk_bytes(std::u16string(export_text) + u"\r\n");
    return payload;
}

class export_command_test : public ::testing::Test {
protected:
    export_command_test() {
        std::filesystem::create_directory(data_);
        Bytes rom(0x41, 0xFF);
        const Bytes text{0x41, 0x42, 0x00, 0xB0, 0xA1, 0x80, 0x00, 0x41};
        rom.insert(rom.end(), text.begin(), text.end());
        write_file(dir_ / "rom.gba", rom);
        write_gbk(dir_ / "single.tbl", u"41=A\r\n42=B\r\n");
        write_gbk(dir_ / "double.tbl", u"B0A1=啊\r\n");
    }

    // A request that exports the two records of kExported.
    ExportRequest valid() const {
        ExportRequest request;
        request.rom = dir_ / "rom.gba";
        request.start = u"40";
        request.end = u"48";
        request.tables.mode = RomMode::both;
        request.tables.double_table = dir_ / "double.tbl";
        request.tables.single_table = dir_ / "single.tbl";
        request.tables.double_filter = {u"8000=over", true};
        request.tables.single_filter = {u"00=over", true};
        request.preview = true;
        request.tables.data_dir = data_;
        return request;
    }

    using Bytes = testing::Bytes;
    TempDir dir_;
    std::filesystem::path data_ = dir_ / "data";
};

TEST_F(export_command_test, checks_in_order) {
    // Everything is wrong at first; each step mends one input, and the next check speaks.
    ExportRequest request;
    request.tables.mode = RomMode::both;
    request.start = u"";
    request.end = u"G0";
    request.tables.double_filter = {u"name", true};
    request.tables.single_filter = {u"41=", true};
    request.minimum = u"abc";
    request.tables.data_dir = data_;
    const ExportRequest good = valid();
    struct Step {
        std::function<void(ExportRequest&)> mend;
        std::string want;
    };
    const Step steps[] = {
        {[](ExportRequest&) {}, "错误：请先选择一个ROM"},
        {[&](ExportRequest& r) { r.rom = good.rom; }, "错误：文本开始地址或结束地址输入错误"},
        {[](ExportRequest& r) { r.start = u"10"; r.end = u""; }, "错误：文本开始地址或结束地址输入错误"},
        {[](ExportRequest& r) { r.end = u"G0"; }, "错误：文本开始地址或结束地址输入错误"},
        {[](ExportRequest& r) { r.end = u"10"; }, "错误：文本开始地址或结束地址输入错误"},
        {[](ExportRequest& r) { r.end = u"F"; }, "错误：文本开始地址或结束地址输入错误"},
        {[](ExportRequest& r) { r.start = u"0x40"; r.end = u"48"; }, "错误：文本开始地址或结束地址输入错误"},
        {[](ExportRequest& r) { r.start = u"40"; }, "错误：请先输入名称"},
        {[](ExportRequest& r) { r.preview = true; }, "错误：请先选择一个双字节码表"},
        {[&](ExportRequest& r) { r.tables.double_table = good.tables.double_table; }, "错误：请先选择一个单字节码表"},
        {[&](ExportRequest& r) { r.tables.single_table = good.tables.single_table.parent_path() / "missing.tbl"; }, "错误：码表读取错误"},
        {[&](ExportRequest& r) { r.tables.single_table = good.tables.single_table; }, "错误：双字节过滤填写错误"},
        {[](ExportRequest& r) { r.tables.double_filter.text = u"8000=over"; }, "错误：单字节过滤区禁止使用空字符"},
        {[](ExportRequest& r) { r.tables.single_filter.text = u"00=over"; }, "提示：导出文本失败"},
        {[](ExportRequest& r) { r.minimum = u"0"; }, "提示：文本已顺利导出"},
    };
    for (const Step& step : steps) {
        step.mend(request);
        EXPECT_EQ(shown(run_export(request).message), step.want);
    }
}

TEST_F(export_command_test, preview_and_file_delivery) {
    ExportRequest request = valid();
    CommandResult<ExportPayload> preview = run_export(request);
    EXPECT_EQ(shown(preview.message), "提示：文本已顺利导出");
    EXPECT_EQ(preview.payload.text, std::u16string(kExported));
    EXPECT_FALSE(preview.payload.clear_preview);

    // Without the preview the front end asks for the file; there is nothing to show yet.
    request.preview = false;
    request.name = u"sample";
    CommandResult<ExportPayload> file = run_export(request);
    EXPECT_FALSE(file.message.shown());
    EXPECT_EQ(file.payload.file_form, gbk_bytes(std::u16string(kExported) + u"\r\n"));

    const auto path = dir_ / "out.txt";
    write_file(path, "old contents that are longer than the export");
    EXPECT_EQ(shown(write_export_file(path, file.payload, {}).message), "提示：文本已顺利导出");
    EXPECT_EQ(read_file(path), gbk_bytes(std::u16string(kExported) + u"\r\n"));
}

TEST_F(export_command_test, file_that_cannot_be_written) {
    const std::string want = "错误：" + text::to_utf8(kBadFileName);
    EXPECT_EQ(shown(write_export_file(dir_ / "missing" / "out.txt", file_of(kExported), {}).message), want);
    EXPECT_EQ(shown(write_export_file(dir_.path(), file_of(kExported), {}).message), want);
    // A character code page 936 cannot hold: nothing is written.
    ExportPayload emoji;
    emoji.unencodable = true;
    EXPECT_EQ(shown(write_export_file(dir_ / "emoji.txt", emoji, {}).message), want);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "emoji.txt"));
}

TEST_F(export_command_test, failed_scan_and_empty_result) {
    ExportRequest request = valid();
    request.rom = dir_ / "missing.gba";
    CommandResult<ExportPayload> missing = run_export(request);
    EXPECT_EQ(shown(missing.message), "提示：导出文本失败");
    EXPECT_FALSE(missing.payload.text.has_value());
    EXPECT_FALSE(missing.payload.clear_preview);  // the preview keeps what it showed

    request = valid();
    request.minimum = u"abc";
    CommandResult<ExportPayload> failed = run_export(request);
    EXPECT_EQ(shown(failed.message), "提示：导出文本失败");
    EXPECT_FALSE(failed.payload.clear_preview);

    request = valid();
    request.end = u"41";  // the run at 41 is still open at the end
    CommandResult<ExportPayload> empty = run_export(request);
    EXPECT_EQ(shown(empty.message), "提示：导出文本失败");
    EXPECT_FALSE(empty.payload.text.has_value());
    EXPECT_TRUE(empty.payload.clear_preview);
}

TEST_F(export_command_test, filter_lists_pass_through_temporary_files) {
    ExportRequest request = valid();
    ASSERT_EQ(run_export(request).payload.text, std::u16string(kExported));
    EXPECT_EQ(read_file(data_ / "temp2.txt"), bytes_of("8000=over\r\n"));
    EXPECT_EQ(read_file(data_ / "temp3.txt"), bytes_of("00=over\r\n"));

    // Without the data directory the ticked list cannot pass through it.
    request.tables.data_dir = dir_ / "missing";
    EXPECT_EQ(shown(run_export(request).message), "错误：双字节过滤填写错误");
    request.tables.double_filter.ticked = false;
    EXPECT_EQ(shown(run_export(request).message), "错误：单字节过滤填写错误");
}

TEST_F(export_command_test, empty_lists_are_unticked_and_unticked_lists_take_no_part) {
    std::filesystem::remove(data_ / "temp3.txt");
    ExportRequest request = valid();
    request.tables.double_filter = {u"", true};
    request.tables.single_filter = {u"00=over", false};
    CommandResult<ExportPayload> outcome = run_export(request);
    EXPECT_TRUE(outcome.payload.untick.double_filter);
    EXPECT_FALSE(outcome.payload.untick.single_filter);
    // 00 and 80 00 end nothing now: the bytes after them close the runs.
    EXPECT_EQ(outcome.payload.text, std::u16string(u"41,2,AB\r\n\r\n44,2,啊\r\n\r\n"));
    EXPECT_FALSE(std::filesystem::exists(data_ / "temp3.txt"));

    // A failing single-byte list still reports the empty double-byte list.
    request.tables.single_filter = {u"=x", true};
    outcome = run_export(request);
    EXPECT_EQ(shown(outcome.message), "错误：单字节过滤区禁止使用空字符");
    EXPECT_TRUE(outcome.payload.untick.double_filter);

    // A failing double-byte list ends the command before the single-byte list is looked at.
    request.tables.double_filter = {u"=over", true};
    request.tables.single_filter = {u"", true};
    outcome = run_export(request);
    EXPECT_EQ(shown(outcome.message), "错误：双字节过滤填写错误");
    EXPECT_FALSE(outcome.payload.untick.single_filter);

    request.tables.double_filter = {u"8000=over", true};
    EXPECT_TRUE(run_export(request).payload.untick.single_filter);
}

}  // namespace
}  // namespace quillmere
