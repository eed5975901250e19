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

// The value of a linear pointer to `target`.
std::optional<std::uint32_t> target_value(const Pointer& pointer, std::uint32_t target) {
    return value_for(pointer, target, 0, RomShape{kRomSize});
}

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
        write_value(*target_value(pointer, target), pointer.size, pointer.order, rom.data() + pointer.address);
        pointers.push_back(pointer);
    }
};

// The text the ROM holds from `offset` up to the 00 that ends it, read back
// through the tables; "" when a byte no table reads comes first.
std::u16string read_string(const Bytes& rom, std::uint32_t offset) {
    std::u16string text;
    for (std::uint32_t at = offset; at < rom.size(); ++at) {
        if (rom[at] == 0x00) return text;
        if (rom[at] >= 'A' && rom[at] <= 'Z') {
            text += static_cast<char16_t>(rom[at]);
            continue;
        }
        if (at + 1 >= rom.size()) return {};
        const std::uint8_t pair[2] = {rom[at], rom[at + 1]};
        const std::u16string c = text::decode_gbk(pair).text;
        if (c.size() != 1 || std::u16string_view(kLongChars).find(c[0]) == std::u16string_view::npos) return {};
        text += c;
        ++at;
    }
    return {};
}

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
        request.tables.mode = RomMode::both;
        request.tables.single_table = dir / "single.tbl";
        request.tables.double_table = dir / "double.tbl";
        request.tables.single_filter = {u"00=over", true};
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
        CommandResult<ExportPayload> exported = run_export(export_request(generated));
        ASSERT_TRUE(exported.payload.text.has_value()) << int(form.size);
        // One record per string, in address order, each up to its end code.
        std::u16string expected;
        for (const auto& [offset, letters] : generated.strings)
            expected += to_hex(offset) + u"," + text::from_utf8(std::to_string(letters.size() + 1)) + u"," + letters +
                        u"{结束符00}\r\n\r\n";
        EXPECT_EQ(*exported.payload.text, expected);

        CommandResult<ScriptPayload> imported = run_import(import_request(*exported.payload.text));
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

// Every second string becomes longer (Chinese characters, two bytes each),
// every fifth one shorter; the import moves the longer ones into the free
// space and rewrites their pointers.
TEST_F(PointerRoundTripTest, lengthened_entries_move_and_their_pointers_follow) {
    for (const Form& form : kForms) {
        for (std::uint32_t align : {1u, 4u}) {
            const PointerRom generated(form.size, form.order, 100u + form.size + (form.order == ByteOrder::big));
            CommandResult<ExportPayload> exported = run_export(export_request(generated));
            ASSERT_TRUE(exported.payload.text.has_value());
            std::u16string script;
            std::map<std::uint32_t, std::u16string> wanted;  // offset -> text the pointers must lead to
            int n = 0;
            std::size_t longer = 0;
            for (const auto& [offset, letters] : generated.strings) {
                std::u16string translated = letters;
                if (n % 2 == 0) translated = std::u16string(kLongChars).substr(0, 2 + n % 7) + letters;
                if (n % 5 == 1) translated = letters.substr(0, 1);
                longer += translated.size() > letters.size();
                ++n;
                script += to_hex(offset) + u"," + text::from_utf8(std::to_string(letters.size() + 1)) + u"," +
                          translated + u"{结束符00}\r\n\r\n";
                wanted[offset] = translated;
            }
            ImportRequest request = import_request(script);
            request.fill = u"FF";
            request.relocation = RelocationInput{dir / "pointers.txt", {u"1800-1BFF", u"1C00-1FFF"}, to_hex(align)};
            request.out = dir / "patched.bin";
            CommandResult<ScriptPayload> imported = run_import(request);
            ASSERT_EQ(imported.message, notice_message(u"文本导入成功")) << text::to_utf8(imported.message.text);
            EXPECT_EQ(imported.payload.moves.size(), longer);
            // The ROM itself is left as it was.
            EXPECT_EQ(testing::read_file(dir / "rom.bin"), generated.rom);

            // Every pointer leads to its entry's new text; moved text lies in
            // the free space, aligned, and nothing outside the entries, the
            // pointers and the free space changed.
            const Bytes patched = testing::read_file(dir / "patched.bin");
            ASSERT_EQ(patched.size(), generated.rom.size());
            std::vector<bool> may_change(patched.size(), false);
            for (std::uint32_t at = kFreeStart; at < kRomSize; ++at) may_change[at] = true;
            for (const Pointer& pointer : generated.pointers) {
                const std::uint32_t old_target = *target_of(read_pointer(generated.rom, pointer), pointer.base);
                const std::uint32_t new_target = *target_of(read_pointer(patched, pointer), pointer.base);
                EXPECT_EQ(read_string(patched, new_target), wanted[old_target]) << text::to_utf8(to_hex(pointer.address));
                if (new_target != old_target) {
                    EXPECT_GE(new_target, kFreeStart);
                    EXPECT_EQ(new_target % align, 0u);
                    // The old place keeps the old string.
                    EXPECT_EQ(read_string(patched, old_target), generated.strings.at(old_target));
                }
                for (std::uint32_t k = 0; k < pointer.size; ++k) may_change[pointer.address + k] = true;
            }
            for (const auto& [offset, letters] : generated.strings)
                for (std::uint32_t k = 0; k <= letters.size(); ++k) may_change[offset + k] = true;
            for (std::size_t at = 0; at < patched.size(); ++at)
                if (!may_change[at]) {
                    ASSERT_EQ(patched[at], generated.rom[at]) << at;
                }

            // The check, given the ROM, makes the same decisions.
            CheckRequest check = request;
            CommandResult<ScriptPayload> checked = run_check(check);
            EXPECT_EQ(checked.message, notice_message(u"此文本为合法文本"));
            EXPECT_EQ(checked.payload.moves, imported.payload.moves);

            // In place, the ROM becomes what the new file holds.
            request.out.clear();
            EXPECT_EQ(run_import(request).payload.moves, imported.payload.moves);
            EXPECT_EQ(testing::read_file(dir / "rom.bin"), patched);
        }
    }
}

// Each refusal names the entry, the pointer or the block, and the ROM is
// left exactly as it was, in place as well as with --out.
TEST_F(PointerRoundTripTest, refusals_leave_the_rom_untouched) {
    const PointerRom generated(2, ByteOrder::big, 5);
    const std::uint32_t first = generated.strings.begin()->first;
    const std::uint32_t second = std::next(generated.strings.begin())->first;
    const std::u16string a = to_hex(first), b = to_hex(second);
    // The first string, translated four bytes longer than it was, and the
    // second one as it was.
    auto entry = [&](std::uint32_t offset, std::u16string_view extra) {
        const std::u16string& letters = generated.strings.at(offset);
        return to_hex(offset) + u"," + text::from_utf8(std::to_string(letters.size() + 1)) + u"," + letters +
               std::u16string(extra) + u"{结束符00}\r\n";
    };
    const std::u16string longer = entry(first, u"你好") + entry(second, u"");
    const std::u16string needs = text::from_utf8(std::to_string(generated.strings.begin()->second.size() + 5));
    struct Case {
        std::u16string list;
        std::vector<std::u16string> blocks;
        std::u16string message;
    };
    const Case cases[] = {
        {u"", {u"1800-1FFF"}, a + u"行的文本超出原长 4个字节，且没有指针指向它"},
        {generated.list, {u"1800-1801"}, u"空闲区不足：" + a + u"行需要" + needs + u"个字节"},
        {generated.list, {u"1800-1FFF", u"1F00-2000"}, u"空闲区1F00-2000超出ROM"},
        {generated.list, {u"1800-1FFF", to_hex(second - 2) + u"-" + b}, u"空闲区" + to_hex(second - 2) + u"-" + b + u"与" + b + u"行重叠"},
        {generated.list, {u"1800-1FFF", u"0-1"}, u"空闲区0-1与指针0重叠"},
        {generated.list, {u"1FFF-1800"}, u"空闲区1FFF-1800填写错误"},
        {generated.list + u"x", {u"1800-1FFF"}, u"指针表第" + text::from_utf8(std::to_string(generated.strings.size() + 10)) + u"行填写错误"},
    };
    for (const Case& c : cases) {
        for (bool to_out : {false, true}) {
            testing::write_file(dir / "rom.bin", generated.rom);
            std::filesystem::remove(dir / "patched.bin");
            testing::write_gbk(dir / "pointers.txt", c.list);
            ImportRequest request = import_request(longer);
            request.relocation = RelocationInput{dir / "pointers.txt", c.blocks, u"1"};
            if (to_out) request.out = dir / "patched.bin";
            const CommandResult<ScriptPayload> outcome = run_import(request);
            EXPECT_EQ(outcome.message, error_message(c.message)) << text::to_utf8(c.message);
            EXPECT_TRUE(outcome.payload.moves.empty());
            EXPECT_EQ(testing::read_file(dir / "rom.bin"), generated.rom);
            EXPECT_FALSE(std::filesystem::exists(dir / "patched.bin"));
        }
    }
}

TEST_F(PointerRoundTripTest, a_pointer_that_cannot_hold_the_new_offset_refuses_the_move) {
    PointerRom generated(2, ByteOrder::little, 9);
    const std::uint32_t first = generated.strings.begin()->first;
    // A second pointer to the first string whose base leaves no room above it.
    const Pointer tight{0x180, 2, ByteOrder::little, 0xFFFF - first};
    generated.add_pointer(tight, first);
    testing::write_file(dir / "rom.bin", generated.rom);
    testing::write_gbk(dir / "pointers.txt", generated.list + pointer_line(tight));
    const std::u16string& letters = generated.strings.begin()->second;
    ImportRequest request = import_request(to_hex(first) + u"," + text::from_utf8(std::to_string(letters.size() + 1)) +
                                           u"," + letters + u"AB{结束符00}");
    request.relocation = RelocationInput{dir / "pointers.txt", {u"1800-1FFF"}, u"1"};
    EXPECT_EQ(run_import(request).message, error_message(u"指针180放不下" + to_hex(first) + u"行的新地址"));
    EXPECT_EQ(testing::read_file(dir / "rom.bin"), generated.rom);
    CheckRequest check = request;
    EXPECT_EQ(run_check(check).message, error_message(u"指针180放不下" + to_hex(first) + u"行的新地址"));
}

}  // namespace
}  // namespace quillmere
