// Strings that share their tail: a pointer into the end of another string.
// The export by pointers marks such a record as the other's tail; the check
// and the import keep the two together through translation and moves, and
// refuse entries that overlap in any other way, writing nothing.

#include <gtest/gtest.h>

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

constexpr std::uint32_t kRomSize = 0x400;

// A ROM of FF with "HELLOWORLD" at 200 and "BYE" at 210, each ended by 00,
// and a table of 2-byte little-endian pointers (base 0) at 0: to 200, to
// "WORLD" at 205, to the bare end code at 20A, to 210, and one more to 205.
// 300-3FF is free.
class SharedTailsTest : public ::testing::Test {
protected:
    SharedTailsTest() {
        put(0x200, "HELLOWORLD");
        put(0x210, "BYE");
        const std::uint32_t targets[] = {0x200, 0x205, 0x20A, 0x210, 0x205};
        for (std::uint32_t i = 0; i < 5; ++i) {
            const Pointer pointer{2 * i, 2, ByteOrder::little, 0};
            write_value(targets[i], 2, ByteOrder::little, rom.data() + pointer.address);
            list += pointer_line(pointer) + u"\r\n";
        }
        std::u16string single = u"00=over\r\n";
        testing::write_gbk(dir / "filter1.txt", single);
        std::u16string table;
        for (char16_t c = u'A'; c <= u'Z'; ++c) table += to_hex(c) + u"=" + std::u16string(1, c) + u"\r\n";
        testing::write_gbk(dir / "single.tbl", table);
        testing::write_gbk(dir / "double.tbl", u"C4E3=你\r\nBAC3=好\r\n");
        testing::write_file(dir / "rom.bin", rom);
        testing::write_gbk(dir / "pointers.txt", list);
    }

    void put(std::uint32_t at, std::string_view letters) {
        for (char c : letters) rom[at++] = static_cast<std::uint8_t>(c);
        rom[at] = 0x00;
    }

    template <class Request>
    void tables(Request& request) const {
        request.tables.mode = RomMode::both;
        request.tables.single_table = dir / "single.tbl";
        request.tables.double_table = dir / "double.tbl";
        request.tables.single_filter = {u"00=over", true};
    }

    std::u16string exported(const std::filesystem::path& rom_path) {
        ExportRequest request;
        tables(request);
        request.rom = rom_path;
        request.pointer_list = dir / "pointers.txt";
        request.preview = true;
        CommandResult<ExportPayload> result = run_export(request);
        EXPECT_TRUE(result.payload.text.has_value()) << text::to_utf8(result.message.text);
        return result.payload.text.value_or(u"");
    }

    ImportRequest import_request(std::u16string_view script, bool with_pointers) {
        testing::write_gbk(dir / "script.txt", script);
        ImportRequest request;
        tables(request);
        request.script_file = dir / "script.txt";
        request.rom = dir / "rom.bin";
        request.fill = u"FF";
        if (with_pointers) request.relocation = RelocationInput{dir / "pointers.txt", {u"300-3FF"}, u"1"};
        return request;
    }

    // Where pointer `i` of the table points in `image`.
    static std::uint32_t aim(const Bytes& image, std::uint32_t i) { return read_value(image.data() + 2 * i, 2, ByteOrder::little); }

    // The text from `at` up to its 00, as letters ("?" for any other byte).
    static std::string string_at(const Bytes& image, std::uint32_t at) {
        std::string text;
        for (; at < image.size() && image[at] != 0x00; ++at) text += image[at] >= 'A' && image[at] <= 'Z' ? char(image[at]) : '?';
        return text;
    }

    Bytes rom = Bytes(kRomSize, 0xFF);
    std::u16string list;
    TempDir dir;
};

const std::u16string kExported =
    u"200,11,HELLOWORLD{结束符00}\r\n\r\n205,6@200,WORLD{结束符00}\r\n\r\n20A,1@200,{结束符00}\r\n\r\n"
    u"210,4,BYE{结束符00}\r\n\r\n";

TEST_F(SharedTailsTest, the_export_marks_tails_and_an_unchanged_script_imports_byte_for_byte) {
    EXPECT_EQ(exported(dir / "rom.bin"), kExported);
    // In either order, with or without the pointer list: the ROM stays as it was.
    const std::u16string inner_first = u"20A,1@200,{结束符00}\r\n205,6@200,WORLD{结束符00}\r\n200,11,HELLOWORLD{结束符00}\r\n";
    for (const std::u16string& script : {kExported, inner_first})
        for (bool with_pointers : {false, true}) {
            ImportRequest request = import_request(script, with_pointers);
            CheckRequest check = request;
            EXPECT_EQ(run_check(check).message, notice_message(u"此文本为合法文本"));
            const CommandResult<ScriptPayload> imported = run_import(request);
            EXPECT_EQ(imported.message, notice_message(u"文本导入成功"));
            EXPECT_TRUE(imported.payload.moves.empty());
            EXPECT_EQ(testing::read_file(dir / "rom.bin"), rom);
        }
}

// The outer string translated shorter, longer (it moves), or with another
// middle, while its tail stays: the tails' pointers follow the tail to its
// new place, and a second export reads the same texts back.
TEST_F(SharedTailsTest, tails_follow_their_outer_string_through_translation_and_moves) {
    struct Case {
        const char16_t* outer;
        std::uint32_t outer_at;  // where the outer text ends up
        std::vector<std::u16string> moves;
    };
    const Case cases[] = {
        {u"HIWORLD", 0x200, {u"205随200移到202，改写指针2、8", u"20A随200移到207，改写指针4"}},
        {u"HELLO你好WORLD", 0x300,
         {u"200移到300，15个字节，改写指针0", u"205随200移到309，改写指针2、8", u"20A随200移到30E，改写指针4"}},
        {u"BIGWORLD", 0x200, {u"205随200移到203，改写指针2、8", u"20A随200移到208，改写指针4"}},
        {u"HELLOWORLD", 0x200, {}},
    };
    for (const Case& c : cases) {
        for (bool inner_first : {false, true}) {
            testing::write_file(dir / "rom.bin", rom);
            const std::u16string outer = u"200,11," + std::u16string(c.outer) + u"{结束符00}\r\n";
            const std::u16string tails = u"205,6@200,WORLD{结束符00}\r\n20A,1@200,{结束符00}\r\n";
            const std::u16string script = (inner_first ? tails + outer : outer + tails) + u"210,4,BYE{结束符00}\r\n";
            ImportRequest request = import_request(script, true);
            CheckRequest check = request;
            const CommandResult<ScriptPayload> checked = run_check(check);
            EXPECT_EQ(checked.message, notice_message(u"此文本为合法文本")) << text::to_utf8(c.outer);
            const CommandResult<ScriptPayload> imported = run_import(request);
            ASSERT_EQ(imported.message, notice_message(u"文本导入成功")) << text::to_utf8(imported.message.text);
            EXPECT_EQ(imported.payload.moves, c.moves) << text::to_utf8(c.outer);
            EXPECT_EQ(checked.payload.moves, c.moves);

            const Bytes patched = testing::read_file(dir / "rom.bin");
            EXPECT_EQ(aim(patched, 0), c.outer_at);
            EXPECT_EQ(string_at(patched, aim(patched, 1)), "WORLD");
            EXPECT_EQ(aim(patched, 4), aim(patched, 1));
            EXPECT_EQ(patched[aim(patched, 2)], 0x00);
            EXPECT_EQ(aim(patched, 2), aim(patched, 1) + 5);
            EXPECT_EQ(string_at(patched, aim(patched, 3)), "BYE");
            // Read back by the same pointers: the same texts, tails marked.
            const std::u16string again = exported(dir / "rom.bin");
            EXPECT_NE(again.find(std::u16string(c.outer) + u"{结束符00}"), std::u16string::npos) << text::to_utf8(again);
            EXPECT_NE(again.find(u"@" + to_hex(c.outer_at) + u",WORLD{结束符00}"), std::u16string::npos) << text::to_utf8(again);
        }
    }
}

// Every way two entries can share bytes other than a kept tail is refused
// by the check and the import (in place, into a new file, with and without
// pointers), and nothing is written.
TEST_F(SharedTailsTest, overlaps_and_broken_tails_are_refused_with_nothing_written) {
    struct Case {
        std::u16string script;
        std::u16string message;
        bool needs_pointers = false;  // refused for this reason only without a pointer list
    };
    const Case cases[] = {
        // The inner string listed first, unmarked, the outer one shortened:
        // its fill would overwrite the inner one's end code.
        {u"20A,1,{结束符00}\r\n200,11,HI{结束符00}\r\n", u"20A行与200行重叠"},
        {u"200,11,HELLOWORLD{结束符00}\r\n205,6,WORLD{结束符00}\r\n", u"200行与205行重叠"},
        {u"210,4,BYE{结束符00}\r\n200,11,HELLOWORLD{结束符00}\r\n200,11,HELLOWORLD{结束符00}\r\n", u"200行与200行重叠"},
        {u"200,11,HELLOWORLD{结束符00}\r\n20E,4,ABC{结束符00}\r\n20A,8,BYEBYE{结束符00}\r\n", u"200行与20A行重叠"},
        {u"205,6@200,WORLD{结束符00}\r\n210,4,BYE{结束符00}\r\n", u"205行是200行的结尾，但文本中没有200行"},
        {u"200,11,HELLOWORLD{结束符00}\r\n205,5@200,WORL{结束符00}\r\n", u"205行不再是200行的结尾"},
        {u"200,11,HELLOTHERE{结束符00}\r\n205,6@200,WORLD{结束符00}\r\n", u"205行不再是200行的结尾"},
        {u"200,11,HELLOWORLD{结束符00}\r\n211,3@210,YE{结束符00}\r\n", u"211行是210行的结尾，但文本中没有210行"},
        {u"200,11,HIWORLD{结束符00}\r\n205,6@200,WORLD{结束符00}\r\n",
         u"205行随200行改变了位置，需要指针表改写它的指针", true},
    };
    for (const Case& c : cases) {
        for (bool with_pointers : {false, true}) {
            if (c.needs_pointers && with_pointers) continue;
            for (bool to_out : {false, true}) {
                testing::write_file(dir / "rom.bin", rom);
                std::filesystem::remove(dir / "out.bin");
                ImportRequest request = import_request(c.script, with_pointers);
                if (to_out) request.out = dir / "out.bin";
                CheckRequest check = request;
                EXPECT_EQ(run_check(check).message, error_message(c.message)) << text::to_utf8(c.message);
                const CommandResult<ScriptPayload> imported = run_import(request);
                EXPECT_EQ(imported.message, error_message(c.message)) << text::to_utf8(c.message);
                EXPECT_EQ(imported.payload.entries_written, 0u);
                EXPECT_TRUE(imported.payload.moves.empty());
                EXPECT_EQ(testing::read_file(dir / "rom.bin"), rom);
                EXPECT_FALSE(std::filesystem::exists(dir / "out.bin"));
            }
        }
    }
    // With every failure wanted, the check names each overlap after the
    // entries' own failures, and counts them.
    ImportRequest request = import_request(
        u"200,11,HELLOWORLD{结束符00}\r\n205,6,WORLD{结束符00}\r\n210,1,BYE{结束符00}\r\n20C,6,ABCDE\r\n", false);
    CheckRequest check = request;
    check.all_entries = true;
    const CommandResult<ScriptPayload> all = run_check(check);
    const std::vector<Message> expected = {error_message(u"210行的文本超出原长 3个字节"),
                                           error_message(u"200行与205行重叠"), error_message(u"210行与20C行重叠")};
    EXPECT_EQ(all.payload.entry_failures, expected);
    EXPECT_EQ(all.message, error_message(u"共4条，3条出错"));
}

// A tail's pointer that cannot hold its new place refuses the import.
TEST_F(SharedTailsTest, a_tail_pointer_that_cannot_follow_refuses_the_import) {
    // The list's second pointer holds 205 + FDF0: its two bytes reach no
    // further than 20F.
    testing::write_gbk(dir / "pointers.txt", u"0,2,LE,0\r\n2,2,LE,FDF0\r\n4,2,LE,0\r\n");
    write_value(0x205 + 0xFDF0, 2, ByteOrder::little, rom.data() + 2);
    testing::write_file(dir / "rom.bin", rom);
    ImportRequest request = import_request(u"200,11,HELLO你好WORLD{结束符00}\r\n205,6@200,WORLD{结束符00}\r\n", false);
    request.relocation = RelocationInput{dir / "pointers.txt", {u"3F8-3FF", u"300-30F"}, u"1"};
    // The outer string moves to 300, its tail to 309, past what pointer 2
    // can hold.
    EXPECT_EQ(run_import(request).message, error_message(u"指针2放不下205行的新地址"));
    EXPECT_EQ(testing::read_file(dir / "rom.bin"), rom);
}

}  // namespace
}  // namespace quillmere
