// Export by pointers, import, and moving lengthened entries, over generated
// ROM images whose strings are found through tables of 2-, 3- and 4-byte
// pointers of both byte orders.

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "core/commands/export_command.hpp"
#include "core/commands/script_commands.hpp"
#include "core/encoding/hex.hpp"
#include "core/pointers/pointer_list.hpp"
#include "core/pointers/pointer_value.hpp"
#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

using testing::Bytes;
using testing::TempDir;

constexpr std::uint32_t kRomSize = 0x2000;
constexpr std::uint32_t kFreeStart = 0x1800;  // 1800-1FFF holds no string
constexpr char16_t kLongChars[] = u"你好旅行者商店再见";

// A ROM of FF (a byte no table reads) with strings of capital letters, each
// ended by 00, a table of pointers to them at 0, and a second pointer to
// every third string at 100.
struct PointerRom {
    Bytes rom = Bytes(kRomSize, 0xFF);
    std::map<std::uint32_t, std::u16string> strings;  // offset -> letters
    std::vector<Pointer> pointers;
    std::u16string list;

    PointerRom(std::uint8_t size, ByteOrder order, unsigned seed) {
        std::mt19937 engine(seed);
        auto random = [&] { return static_cast<std::uint32_t>(engine()); };
        const std::uint32_t base = size == 2 ? 0x4000 : size == 3 ? 0xC00000 : 0x8000000;
        std::uint32_t at = 0x200;
        for (int n = 0; n < 24; ++n) {
            at += random() % 40;
            std::u16string letters;
            for (std::uint32_t k = 3 + random() % 10; k > 0; --k) letters += static_cast<char16_t>(u'A' + random() % 26);
            for (std::size_t k = 0; k < letters.size(); ++k) rom[at + k] = static_cast<std::uint8_t>(letters[k]);
            rom[at + letters.size()] = 0x00;
            strings[at] = letters;
            at += static_cast<std::uint32_t>(letters.size()) + 1;
        }
        std::uint32_t table = 0, extra = 0x100;
        int n = 0;
        for (const auto& [offset, letters] : strings) {
            add_pointer({table, size, order, base}, offset);
            table += size;
            if (n++ % 3 == 0) {
                add_pointer({extra, size, order, base}, offset);
                extra += 4;
            }
        }
        list = u"; generated\r\n" + format_pointer_list(pointers);
    }

    void add_pointer(const Pointer& pointer, std::uint32_t target) {
        write_value(*value_for(pointer, target), pointer.size, pointer.order, rom.data() + pointer.address);
        pointers.push_back(pointer);
    }
};

class PointerRoundTripTest : public ::testing::Test {
protected:
    PointerRoundTripTest() {
        std::u16string single;
        for (char16_t c = u'A'; c <= u'Z'; ++c) single += to_hex(c) + u"=" + std::u16string(1, c) + u"\r\n";
        testing::write_gbk(dir / "single.tbl", single);
        std::u16string double_table;
        for (char16_t c : std::u16string_view(kLongChars)) {
            const Bytes code = testing::gbk_bytes(std::u16string(1, c));
            double_table += to_hex(code[0]) + to_hex(code[1]) + u"=" + std::u16string(1, c) + u"\r\n";
        }
        testing::write_gbk(dir / "double.tbl", double_table);
    }

    template <class Request>
    void tables(Request& request) const {
        request.mode = RomMode::both;
        request.single_table = dir / "single.tbl";
        request.double_table = dir / "double.tbl";
        request.single_filter = {u"00=over", true};
    }

    ExportRequest export_request(const PointerRom& generated) {
        testing::write_file(dir / "rom.bin", generated.rom);
        testing::write_gbk(dir / "pointers.txt", generated.list);
        ExportRequest request;
        tables(request);
        request.rom = dir / "rom.bin";
        request.pointer_list = dir / "pointers.txt";
        request.preview = true;
        return request;
    }

    ImportRequest import_request(std::u16string_view script) {
        testing::write_gbk(dir / "script.txt", script);
        ImportRequest request;
        tables(request);
        request.script_file = dir / "script.txt";
        request.rom = dir / "rom.bin";
        return request;
    }

    TempDir dir;
};

struct Form {
    std::uint8_t size;
    ByteOrder order;
};
const Form kForms[] = {{2, ByteOrder::little}, {2, ByteOrder::big}, {3, ByteOrder::little},
                       {3, ByteOrder::big},    {4, ByteOrder::little}, {4, ByteOrder::big}};

TEST_F(PointerRoundTripTest, export_by_pointers_then_import_gives_back_the_same_rom) {
    for (const Form& form : kForms) {
        const PointerRom generated(form.size, form.order, form.size * 2u + (form.order == ByteOrder::big));
        ExportOutcome exported = run_export(export_request(generated));
        ASSERT_TRUE(exported.export_text.has_value()) << int(form.size);
        // One record per string, in address order, each up to its end code.
        std::u16string expected;
        for (const auto& [offset, letters] : generated.strings)
            expected += to_hex(offset) + u"," + text::from_utf8(std::to_string(letters.size() + 1)) + u"," + letters +
                        u"{结束符00}\r\n\r\n";
        EXPECT_EQ(*exported.export_text, expected);

        Outcome imported = run_import(import_request(*exported.export_text));
        EXPECT_EQ(imported.message, notice_message(u"文本导入成功"));
        EXPECT_EQ(testing::read_file(dir / "rom.bin"), generated.rom);
    }
}

TEST_F(PointerRoundTripTest, export_refuses_pointers_outside_the_rom_and_bad_lists) {
    const PointerRom generated(4, ByteOrder::little, 7);
    struct Case {
        std::u16string list;
        std::u16string message;
    };
    const Case cases[] = {
        {u"0,4,LE,8000000\r\n1FFE,4,LE,0", u"指针1FFE超出ROM"},
        {u"0,4,LE,8000000\r\n4,4,LE,9000000", u"指针4指向ROM之外"},  // below the base
        {u"0,4,LE,7FFE000", u"指针0指向ROM之外"},                    // past the end
        {u"0,4,LE,8000000\r\n\r\n4,4,LF,8000000", u"指针表第3行填写错误"},
    };
    for (const Case& c : cases) {
        ExportRequest request = export_request(generated);
        testing::write_gbk(dir / "pointers.txt", c.list);
        EXPECT_EQ(run_export(request).message, error_message(c.message));
    }
    ExportRequest request = export_request(generated);
    request.pointer_list = dir / "missing.txt";
    EXPECT_EQ(run_export(request).message, error_message(u"指针表读取失败"));
    // A run no longer than the minimum gives no record; none at all fails
    // as the export of a stretch does.
    request = export_request(generated);
    request.minimum = u"20";
    EXPECT_EQ(run_export(request).message, notice_message(u"导出文本失败"));
}

}  // namespace
}  // namespace quillmere
