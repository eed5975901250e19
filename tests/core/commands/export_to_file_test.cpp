// The streamed export against the export text: for every kind of request,
// the file export_to_file writes (and the file form run_export gives) must
// be byte for byte the export text encoded, with its CR LF, and every
// message the same as saving the file form after the scan.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "core/commands/export_command.hpp"
#include "core/export/exportrange.hpp"
#include "core/pointers/pointer_list.hpp"
#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

using testing::Bytes;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

std::string to_hex_string(std::size_t value) {
    char digits[20];
    std::snprintf(digits, sizeof digits, "%zX", value);
    return digits;
}

std::string shown(const Message& message) {
    if (!message.shown()) return "<none>";
    return text::to_utf8(message.title() + u"：" + message.text);
}

// The file an export text makes: the text in its encoding and a CR LF;
// nullopt when the encoding cannot hold it.
std::optional<Bytes> file_form_of(std::u16string_view export_text, text::Encoding encoding) {
    auto bytes = text::encode(export_text, encoding);
    if (!bytes) return std::nullopt;
    bytes->push_back(0x0D);
    bytes->push_back(0x0A);
    return std::move(*bytes);
}

// A ROM of text and noise, long enough that its export passes several
// chunks: letters, Chinese pairs, a character whose UTF-8 takes three
// bytes, multi-character values, tags, end and jump codes, unread bytes.
class export_to_file_test : public ::testing::Test {
protected:
    // The ROM, `size` bytes or a little more, and its pointer list.
    void make_rom(std::size_t size) {
        std::mt19937 random(18);
        Bytes rom(0x40, 0x00);
        std::vector<std::uint32_t> targets;
        while (rom.size() < size) {
            if (targets.size() < 16) targets.push_back(static_cast<std::uint32_t>(rom.size()));
            for (auto k = random() % 40; k > 0; --k) {
                switch (random() % 8) {
                case 0: rom.insert(rom.end(), {0xB0, static_cast<std::uint8_t>(0xA1 + random() % 3)}); break;
                case 1: rom.push_back(0x5B); break;                 // "……" (two characters)
                case 2: rom.push_back(0x7E); break;                 // "…", three bytes in UTF-8
                case 3: rom.insert(rom.end(), {0xF0, 0x01, 0x2C}); break;  // jump code, two parameters
                case 4: rom.push_back(0x7F); break;                 // a tag
                case 5: rom.push_back(static_cast<std::uint8_t>(random())); break;  // anything
                default: rom.push_back(static_cast<std::uint8_t>(0x41 + random() % 26)); break;
                }
            }
            rom.push_back(random() % 2 ? 0x00 : 0xFF);  // end code, or a byte no rule reads
            if (random() % 3 == 0) rom.insert(rom.end(), {0x80, 0x00});  // double-byte end code
        }
        for (std::size_t i = 0; i < targets.size(); ++i)
            for (std::size_t k = 0; k < 4; ++k) rom[i * 4 + k] = static_cast<std::uint8_t>(targets[i] >> (8 * k));
        write_file(dir_ / "rom.gba", rom);
        std::vector<Pointer> pointers;
        for (std::size_t i = 0; i < targets.size(); ++i)
            pointers.push_back(Pointer{static_cast<std::uint32_t>(i * 4), 4, ByteOrder::little, 0});
        testing::write_gbk(dir_ / "pointers.txt", format_pointer_list(pointers));
    }

    export_to_file_test() {
        std::u16string single;
        for (char16_t c = u'A'; c <= u'Z'; ++c)
            single += std::u16string{u"0123456789ABCDEF"[c >> 4], u"0123456789ABCDEF"[c & 15], u'=', c, u'\r', u'\n'};
        single += u"5B=……\r\n7E=…\r\nF0=跳\r\n";
        // UTF-8 with its mark: read alike whatever the export's encoding.
        const auto write_utf8 = [&](const char* name, std::u16string_view text) {
            write_file(dir_ / name, "\xEF\xBB\xBF" + text::to_utf8(text));
        };
        write_utf8("single.tbl", single);
        write_utf8("double.tbl", u"B0A1=啊\r\nB0A2=阿\r\nB0A3=埃\r\n4142=双\r\n");
        write_utf8("odd.tbl", u"41=À\r\n");  // no code page 936 code
        std::filesystem::create_directory(dir_ / "data");
    }

    ExportRequest request() const {
        ExportRequest request;
        request.rom = dir_ / "rom.gba";
        request.start = u"40";
        request.end = u"CFFFF";
        request.tables.mode = RomMode::both;
        request.tables.double_table = dir_ / "double.tbl";
        request.tables.single_table = dir_ / "single.tbl";
        request.tables.double_filter = {u"8000=over", true};
        request.tables.single_filter = {u"00=over\r\nF0=turn2\r\n7F=换行", true};
        request.name = u"out";
        return request;
    }

    TempDir dir_;
};

TEST_F(export_to_file_test, the_streamed_file_is_the_file_form_of_the_export_text) {
    make_rom(160u << 10);
    struct Case {
        const char* what;
        std::function<void(ExportRequest&)> change;
    };
    const Case cases[] = {
        {"whole stretch", [](ExportRequest&) {}},
        {"utf-8", [](ExportRequest& r) { r.tables.encoding = text::Encoding::utf8; }},
        {"single-byte mode", [](ExportRequest& r) { r.tables.mode = RomMode::single_byte; }},
        {"double-byte mode, no lists", [](ExportRequest& r) {
             r.tables.mode = RomMode::double_byte;
             r.tables.double_filter.ticked = r.tables.single_filter.ticked = false;
         }},
        {"minimum 20", [](ExportRequest& r) { r.minimum = u"20"; }},
        {"minimum -1", [](ExportRequest& r) { r.minimum = u"-1"; }},
        {"shown bytes", [](ExportRequest& r) { r.tables.hex_bytes = true; r.hex_max = 3; }},
        {"shown bytes, utf-8", [](ExportRequest& r) {
             r.tables.hex_bytes = true;
             r.tables.encoding = text::Encoding::utf8;
         }},
        {"ranges", [](ExportRequest& r) { r.ranges = {{u"10000", u"17FFF"}, {u"40", u"FFFF"}, {u"18000", u"18003"}}; }},
        {"ranges that a run crosses", [](ExportRequest& r) {
             r.ranges = {{u"40", u"1000"}, {u"1001", u"1001"}, {u"1002", u"2000"}};
             r.ranges[1].end = u"1002";
             r.ranges[2].start = u"1003";
         }},
        {"pointers", [](ExportRequest& r) { r.pointer_list = r.rom.parent_path() / "pointers.txt"; }},
        {"pointers, shown bytes, utf-8", [](ExportRequest& r) {
             r.pointer_list = r.rom.parent_path() / "pointers.txt";
             r.tables.hex_bytes = true;
             r.tables.encoding = text::Encoding::utf8;
         }},
        {"a value code page 936 cannot hold", [](ExportRequest& r) { r.tables.single_table = r.rom.parent_path() / "odd.tbl"; }},
        {"such a value in utf-8", [](ExportRequest& r) {
             r.tables.single_table = r.rom.parent_path() / "odd.tbl";
             r.tables.encoding = text::Encoding::utf8;
         }},
        {"a value that is never read", [](ExportRequest& r) {
             r.tables.single_table = r.rom.parent_path() / "odd.tbl";
             r.tables.mode = RomMode::double_byte;
         }},
        {"no record", [](ExportRequest& r) { r.minimum = u"40000"; }},
        {"minimum not a number", [](ExportRequest& r) { r.minimum = u"abc"; }},
        {"jump count not a number", [](ExportRequest& r) { r.tables.single_filter.text = u"F0=turnx"; }},
        {"no name", [](ExportRequest& r) { r.name.clear(); }},
        {"bad range", [](ExportRequest& r) { r.end = u"G"; }},
        {"missing table", [](ExportRequest& r) { r.tables.double_table = r.rom.parent_path() / "missing.tbl"; }},
        {"missing ROM", [](ExportRequest& r) { r.rom = r.rom.parent_path() / "missing.gba"; }},
        {"the ROM itself", [](ExportRequest&) {}},
        {"a folder", [](ExportRequest&) {}},
        {"in the data folder", [](ExportRequest& r) { r.tables.data_dir = r.rom.parent_path() / "data"; }},
    };
    int written = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExportRequest request = this->request();
        c.change(request);
        std::filesystem::path out = dir_ / "out.txt";
        if (std::string_view(c.what) == "the ROM itself") out = request.rom;
        if (std::string_view(c.what) == "a folder") out = dir_ / "data";
        if (out.filename() == "out.txt") write_file(out, std::string_view("old"));
        const Bytes before = std::filesystem::is_directory(out) ? Bytes{} : read_file(out);

        // The file form in memory, which must be the export text's; then
        // saved (beside the target, unless the target is refused before
        // anything is written).
        CommandResult<ExportPayload> expected = run_export(request);
        Message expected_message = expected.message;
        Bytes expected_file = before;
        if (!expected.message.shown()) {
            ExportRequest as_text = request;
            as_text.preview = true;
            const auto export_text = run_export(as_text).payload.text;
            ASSERT_TRUE(export_text.has_value());
            const auto file_form = file_form_of(*export_text, request.tables.encoding);
            EXPECT_EQ(expected.payload.unencodable, !file_form.has_value());
            EXPECT_TRUE(expected.payload.file_form == file_form.value_or(Bytes{}));
            const bool refused = out == request.rom || std::filesystem::is_directory(out);
            const auto beside = refused ? out : dir_ / "expected.txt";
            expected_message = write_export_file(beside, expected.payload, request.rom).message;
            if (expected_message.severity == Severity::notice) expected_file = read_file(beside);
        } else {
            EXPECT_TRUE(expected.payload.file_form.empty());
        }

        const CommandResult<ExportPayload> streamed = export_to_file(request, out);
        EXPECT_EQ(shown(streamed.message), shown(expected_message));
        EXPECT_EQ(streamed.payload.untick.single_filter, expected.payload.untick.single_filter);
        EXPECT_EQ(streamed.payload.clear_preview, expected.payload.clear_preview);
        EXPECT_FALSE(streamed.payload.text.has_value());
        if (!std::filesystem::is_directory(out)) {
            const Bytes got = read_file(out);
            EXPECT_TRUE(got == expected_file) << got.size() << " bytes, not " << expected_file.size();
        }
        EXPECT_EQ(streamed.payload.written, expected_message.text == u"文本已顺利导出");
        written += streamed.payload.written;
        // Nothing is left beside it.
        for (const auto& entry : std::filesystem::directory_iterator(out.parent_path()))
            EXPECT_FALSE(entry.path().filename().string().ends_with(".tmp")) << entry.path();
    }
    EXPECT_EQ(written, 15);  // most cases do write a file
}

// Records cross the chunks the file is written in; a scan that fails after
// chunks went out leaves the file as it was.
TEST_F(export_to_file_test, the_records_cross_chunks_and_a_failed_scan_leaves_the_file) {
    make_rom(700u << 10);
    ExportRequest as_text = request();
    as_text.preview = true;
    const CommandResult<ExportPayload> expected = run_export(as_text);
    ASSERT_TRUE(expected.payload.text.has_value());
    const auto file_form = file_form_of(*expected.payload.text, text::Encoding::gbk);
    ASSERT_TRUE(file_form.has_value());
    EXPECT_GT(file_form->size(), std::size_t{1} << 20);  // more than one chunk
    const CommandResult<ExportPayload> in_memory = run_export(request());
    EXPECT_EQ(shown(in_memory.message), "<none>");
    EXPECT_TRUE(in_memory.payload.file_form == *file_form);
    EXPECT_TRUE(export_to_file(request(), dir_ / "out.txt").payload.written);
    EXPECT_TRUE(read_file(dir_ / "out.txt") == *file_form);

    // A jump count that is no number, met only near the end of the ROM.
    std::vector<std::uint8_t> rom = read_file(dir_ / "rom.gba");
    rom.insert(rom.end(), {0x41, 0xEE, 0x00});
    write_file(dir_ / "rom.gba", rom);
    ExportRequest failing = request();
    failing.end = text::from_utf8(to_hex_string(rom.size() - 1));
    failing.tables.single_filter.text += u"\r\nEE=turnx";
    EXPECT_EQ(shown(export_to_file(failing, dir_ / "out.txt").message), "提示：导出文本失败");
    EXPECT_TRUE(read_file(dir_ / "out.txt") == *file_form);
}

}  // namespace
}  // namespace quillmere
