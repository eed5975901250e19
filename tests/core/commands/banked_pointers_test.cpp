// Export by pointers, import and moves over generated ROM images whose
// strings the console sees through banks and mirrors: NES and Game Boy
// banks, SNES LoROM and HiROM, a negative base, split tables; in both byte
// orders, with strings in every bank.

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "core/commands/export_command.hpp"
#include "core/commands/pointer_commands.hpp"
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

// Strings seen through one form of pointer: its pointers at `at` (4 bytes
// apart, or split over three tables 10 apart), its strings from `text_at`.
struct Window {
    std::uint32_t at, text_at;
    Pointer form;
    std::uint32_t near;  // an address of the region the pointers use
};

struct Layout {
    const char* name;
    std::uint32_t rom_size;
    std::uint8_t ines_banks;  // 0: no iNES header
    std::vector<Window> windows;
    std::vector<std::u16string> free;
};

Pointer form(std::uint8_t size, std::int64_t base, const char16_t* map, bool split = false) {
    Pointer pointer{0, size, ByteOrder::little, base, *parse_address_map(map)};
    pointer.split = split;
    return pointer;
}

std::vector<Layout> layouts() {
    std::vector<Layout> all;
    // NES: four 16 KiB banks after the header; the last one also through C000.
    Layout nes{"nes", 0x10010, 4, {}, {}};
    for (std::uint32_t b = 0; b < 4; ++b) {
        const std::uint32_t bank = 0x10 + b * 0x4000;
        nes.windows.push_back({bank + 0x10, bank + 0x100, form(2, 0, (u"nes:" + to_hex(b)).c_str()), 0x8000});
        nes.free.push_back(to_hex(bank + 0x3F00) + u"-" + to_hex(bank + 0x3FFF));
    }
    nes.windows.push_back({0x10 + 0x40, 0xC010 + 0x800, form(2, 0, u"nes:0"), 0xC000});
    nes.windows.push_back({0x10 + 0x80, 0x10 + 0x400, form(2, 0, u"nes:0", true), 0x8000});
    all.push_back(nes);
    // The same file read linearly: file = address - 8000 + 10 + bank * 4000,
    // a base that is negative from bank 2 on.
    Layout linear{"linear", 0x10010, 4, {}, {}};
    for (std::uint32_t b = 0; b < 4; ++b) {
        const std::uint32_t bank = 0x10 + b * 0x4000;
        linear.windows.push_back({bank + 0x10, bank + 0x100, form(2, 0x8000 - 0x10 - std::int64_t{b} * 0x4000, u"linear"), 0});
        linear.free.push_back(to_hex(bank + 0x3F00) + u"-" + to_hex(bank + 0x3FFF));
    }
    all.push_back(linear);
    // Game Boy: bank 0 at 0000, banks 1-3 at 4000.
    Layout gb{"gb", 0x10000, 0, {}, {}};
    for (std::uint32_t b = 0; b < 4; ++b) {
        gb.windows.push_back({b * 0x4000 + 0x200, b * 0x4000 + 0x400, form(2, 0, (u"gb:" + to_hex(b == 0 ? 1 : b)).c_str()),
                              b == 0 ? 0u : 0x4000u});
        gb.free.push_back(to_hex(b * 0x4000 + 0x3F00) + u"-" + to_hex(b * 0x4000 + 0x3FFF));
    }
    all.push_back(gb);
    // LoROM: four 32 KiB banks, through both mirrors; 2-byte pointers with
    // the bank in a negative base; a split table with a bank byte table.
    Layout lorom{"lorom", 0x20000, 0, {}, {}};
    for (std::uint32_t b = 0; b < 4; ++b) {
        const std::uint32_t near = (b % 2 == 0 ? 0x80 | b : b) << 16 | 0x8000;
        lorom.windows.push_back({b * 0x8000 + 0x10, b * 0x8000 + 0x100, form(3, 0, u"lorom"), near});
        lorom.free.push_back(to_hex(b * 0x8000 + 0x7F00) + u"-" + to_hex(b * 0x8000 + 0x7FFF));
    }
    lorom.windows.push_back({0x10000 + 0x40, 0x10000 + 0x800, form(2, -0x820000, u"lorom"), 0x828000});
    lorom.windows.push_back({0x80, 0x1000, form(3, 0, u"lorom", true), 0x808000});
    all.push_back(lorom);
    // HiROM: two 64 KiB banks, at C0-FF, at 40-7D, and the upper halves at 80-BF.
    Layout hirom{"hirom", 0x20000, 0, {}, {}};
    hirom.windows.push_back({0x10, 0x100, form(3, 0, u"hirom"), 0xC00000});
    hirom.windows.push_back({0x10000 + 0x10, 0x10000 + 0x100, form(3, 0, u"hirom"), 0x410000});
    hirom.windows.push_back({0x40, 0x18000 + 0x100, form(3, 0, u"hirom"), 0x818000});
    hirom.free = {u"FF00-FFFF", u"1FE00-1FFFF"};
    all.push_back(hirom);
    return all;
}

constexpr char16_t kLonger[] = u"你好旅行者商店再见";

struct Generated {
    Bytes rom;
    std::vector<Pointer> pointers;
    std::map<std::size_t, std::u16string> text_of;  // pointer index -> its string
};

Generated generate(const Layout& layout, ByteOrder order, unsigned seed) {
    std::mt19937 random(seed);
    Generated g;
    g.rom.assign(layout.rom_size, 0xFF);
    if (layout.ines_banks != 0) {
        const std::uint8_t header[] = {'N', 'E', 'S', 0x1A, layout.ines_banks, 0};
        std::copy(std::begin(header), std::end(header), g.rom.begin());
    }
    const RomShape shape = RomShape::of(g.rom);
    for (const Window& window : layout.windows) {
        std::uint32_t text = window.text_at;
        for (std::uint32_t k = 0; k < 3; ++k) {
            std::u16string letters;
            for (std::uint32_t n = 3 + random() % 8; n > 0; --n) letters += static_cast<char16_t>(u'A' + random() % 26);
            for (std::size_t i = 0; i < letters.size(); ++i) g.rom[text + i] = static_cast<std::uint8_t>(letters[i]);
            g.rom[text + letters.size()] = 0x00;
            Pointer pointer = window.form;
            pointer.order = window.form.split ? ByteOrder::little : order;
            pointer.address = window.at + (window.form.split ? k : 4 * k);
            if (pointer.split)
                for (std::size_t i = 0; i < pointer.size; ++i) pointer.places[i] = pointer.address + 0x10 * static_cast<std::uint32_t>(i);
            const auto near = static_cast<std::uint32_t>(std::max<std::int64_t>(window.near + pointer.base, 0));
            const auto value = value_for(pointer, text, near, shape);
            EXPECT_TRUE(value.has_value()) << layout.name << " " << text;
            write_pointer(pointer, value.value_or(0), [&](std::uint32_t place, std::uint8_t byte) { g.rom[place] = byte; });
            g.text_of[g.pointers.size()] = letters;
            g.pointers.push_back(pointer);
            text += static_cast<std::uint32_t>(letters.size()) + 5;
        }
    }
    return g;
}

// The letters and characters from `at` up to the 00 that ends them.
std::u16string string_at(const Bytes& rom, std::uint64_t at) {
    std::u16string text;
    for (; at < rom.size() && rom[at] != 0x00; ++at) {
        if (rom[at] >= 'A' && rom[at] <= 'Z') {
            text += static_cast<char16_t>(rom[at]);
            continue;
        }
        const std::uint8_t pair[2] = {rom[at], at + 1 < rom.size() ? rom[at + 1] : std::uint8_t{0}};
        text += text::decode_gbk(pair).text;
        ++at;
    }
    return text;
}

class BankedPointersTest : public ::testing::Test {
protected:
    BankedPointersTest() {
        std::u16string single;
        for (char16_t c = u'A'; c <= u'Z'; ++c) single += to_hex(c) + u"=" + std::u16string(1, c) + u"\r\n";
        testing::write_gbk(dir / "single.tbl", single);
        std::u16string double_table;
        for (char16_t c : std::u16string_view(kLonger)) {
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

    std::u16string export_by(const std::filesystem::path& rom) {
        ExportRequest request;
        tables(request);
        request.rom = rom;
        request.pointer_list = dir / "pointers.txt";
        request.preview = true;
        const CommandResult<ExportPayload> result = run_export(request);
        EXPECT_TRUE(result.payload.text.has_value()) << text::to_utf8(result.message.text);
        return result.payload.text.value_or(u"");
    }

    TempDir dir;
};

TEST_F(BankedPointersTest, every_mapping_round_trips_and_moves_stay_where_their_pointers_reach) {
    unsigned seed = 1;
    for (const Layout& layout : layouts()) {
        for (ByteOrder order : {ByteOrder::little, ByteOrder::big}) {
            const Generated g = generate(layout, order, seed++);
            const RomShape shape = RomShape::of(g.rom);
            testing::write_file(dir / "rom.bin", g.rom);
            testing::write_gbk(dir / "pointers.txt", format_pointer_list(g.pointers));

            // One record per string, each text as planted.
            const std::u16string script = export_by(dir / "rom.bin");
            for (const auto& [index, letters] : g.text_of) {
                const Pointer& pointer = g.pointers[index];
                const std::uint64_t target = *target_of(pointer, read_pointer(g.rom, pointer), shape);
                EXPECT_NE(script.find(to_hex(static_cast<std::uint32_t>(target)) + u"," +
                                      text::from_utf8(std::to_string(letters.size() + 1)) + u"," + letters + u"{结束符00}"),
                          std::u16string::npos)
                    << layout.name << " " << index;
            }
            // Unchanged, it imports byte for byte.
            testing::write_gbk(dir / "script.txt", script);
            ImportRequest request;
            tables(request);
            request.script_file = dir / "script.txt";
            request.rom = dir / "rom.bin";
            request.fill = u"FF";
            ASSERT_EQ(run_import(request).message, notice_message(u"文本导入成功")) << layout.name;
            EXPECT_EQ(testing::read_file(dir / "rom.bin"), g.rom) << layout.name;

            // Every string made longer: each moves into free space its
            // pointers' maps reach, in one piece.
            std::u16string translated;
            std::map<std::uint64_t, std::u16string> wanted;
            std::size_t n = 0;
            for (const auto& [index, letters] : g.text_of) {
                const Pointer& pointer = g.pointers[index];
                const std::uint64_t target = *target_of(pointer, read_pointer(g.rom, pointer), shape);
                const std::u16string longer = std::u16string(kLonger).substr(n++ % 5, 2) + letters;
                wanted[target] = longer;
                translated += to_hex(static_cast<std::uint32_t>(target)) + u"," +
                              text::from_utf8(std::to_string(letters.size() + 1)) + u"," + longer + u"{结束符00}\r\n";
            }
            testing::write_gbk(dir / "script.txt", translated);
            request.relocation = RelocationInput{dir / "pointers.txt", layout.free, u"1"};
            request.out = dir / "out.bin";
            const CommandResult<ScriptPayload> imported = run_import(request);
            ASSERT_EQ(imported.message, notice_message(u"文本导入成功")) << layout.name << " " << text::to_utf8(imported.message.text);
            const Bytes patched = testing::read_file(dir / "out.bin");
            for (std::size_t index = 0; index < g.pointers.size(); ++index) {
                const Pointer& pointer = g.pointers[index];
                const std::uint64_t old_target = *target_of(pointer, read_pointer(g.rom, pointer), shape);
                const auto new_target = target_of(pointer, read_pointer(patched, pointer), shape);
                ASSERT_TRUE(new_target.has_value()) << layout.name << " " << index;
                EXPECT_NE(*new_target, old_target);
                EXPECT_EQ(string_at(patched, *new_target), wanted[old_target]) << layout.name << " " << index;
                EXPECT_TRUE(in_one_window(pointer, *new_target, 2 * wanted[old_target].size() + 1, shape));
            }
            // Read back through the same list, the translation comes out.
            const std::u16string again = export_by(dir / "out.bin");
            for (const auto& [target, text] : wanted)
                EXPECT_NE(again.find(u"," + text + u"{结束符00}"), std::u16string::npos) << layout.name;
        }
    }
}

// A free block that no pointer of an entry reaches is passed over; with no
// other, the move is refused by the pointer that cannot reach it.
TEST_F(BankedPointersTest, free_space_out_of_a_pointers_reach_is_refused) {
    const Layout nes = layouts().front();
    const Generated g = generate(nes, ByteOrder::little, 7);
    testing::write_file(dir / "rom.bin", g.rom);
    testing::write_gbk(dir / "pointers.txt", format_pointer_list(g.pointers));
    // The first string of bank 1, lengthened; its pointer is nes:1.
    const std::u16string& letters = g.text_of.at(3);
    const std::uint32_t target = 0x10 + 0x4000 + 0x100;
    ImportRequest request;
    tables(request);
    testing::write_gbk(dir / "script.txt", to_hex(target) + u"," + text::from_utf8(std::to_string(letters.size() + 1)) +
                                               u",你好" + letters + u"{结束符00}\r\n");
    request.script_file = dir / "script.txt";
    request.rom = dir / "rom.bin";
    request.fill = u"FF";
    const std::u16string pointer = to_hex(g.pointers[3].address);
    const std::u16string refused = u"指针" + pointer + u"放不下" + to_hex(target) + u"行的新地址";
    struct Case {
        std::vector<std::u16string> free;
        std::u16string outcome;  // the move's new offset, or the refusal
    };
    const Case cases[] = {
        {{nes.free[0]}, refused},               // bank 0: out of reach
        {{u"800C-801F"}, refused},              // the end of bank 1, too short, then bank 2
        {{nes.free[0], nes.free[1]}, u"7F10"},  // bank 0 passed over
        {{u"800C-801F", nes.free[3]}, u"FF10"}, // the last bank, through C000
    };
    for (const Case& c : cases) {
        request.relocation = RelocationInput{dir / "pointers.txt", c.free, u"1"};
        const CommandResult<ScriptPayload> imported = run_import(request);
        if (c.outcome == refused) {
            EXPECT_EQ(imported.message, error_message(refused));
            EXPECT_EQ(testing::read_file(dir / "rom.bin"), g.rom);
            continue;
        }
        ASSERT_EQ(imported.message, notice_message(u"文本导入成功")) << text::to_utf8(imported.message.text);
        ASSERT_EQ(imported.payload.moves.size(), 1u);
        EXPECT_EQ(imported.payload.moves[0].substr(0, to_hex(target).size() + 2 + 4), to_hex(target) + u"移到" + c.outcome);
        testing::write_file(dir / "rom.bin", g.rom);
    }
}

// pointers table lists a split table by its places, reads the values
// through them and marks null entries; the export skips those.
TEST_F(BankedPointersTest, split_tables_and_null_entries_through_the_table_command) {
    Bytes rom(0x8010, 0xFF);
    const std::uint8_t header[] = {'N', 'E', 'S', 0x1A, 2, 0};
    std::copy(std::begin(header), std::end(header), rom.begin());
    // Low bytes at 20, high bytes at 30: 8100 (file 110), 0000 (null),
    // C200 (file 4210).
    const std::uint8_t low[] = {0x00, 0x00, 0x00}, high[] = {0x81, 0x00, 0xC2};
    for (int k = 0; k < 3; ++k) {
        rom[0x20 + k] = low[k];
        rom[0x30 + k] = high[k];
    }
    for (std::uint32_t at : {0x110u, 0x4210u}) {
        rom[at] = 'A';
        rom[at + 1] = 0x00;
    }
    testing::write_file(dir / "rom.bin", rom);
    PointerTableRequest table;
    table.rom = dir / "rom.bin";
    table.at = u"20";
    table.count = u"3";
    table.base = u"0";
    table.map = u"nes:0";
    table.split_high = u"30";
    const CommandResult<PointerList> listed = run_pointer_table(table);
    EXPECT_EQ(listed.message, notice_message(u"共列出3个指针，其中1个空指针"));
    ASSERT_TRUE(listed.payload.list.has_value());
    EXPECT_EQ(*listed.payload.list, u"20/30,2,LE,0,nes:0\r\n21/31,2,LE,0,nes:0,-\r\n22/32,2,LE,0,nes:0\r\n");

    testing::write_gbk(dir / "pointers.txt", *listed.payload.list);
    ExportRequest request;
    tables(request);
    request.rom = dir / "rom.bin";
    request.pointer_list = dir / "pointers.txt";
    request.preview = true;
    const CommandResult<ExportPayload> exported = run_export(request);
    ASSERT_TRUE(exported.payload.text.has_value()) << text::to_utf8(exported.message.text);
    EXPECT_EQ(*exported.payload.text, u"110,2,A{结束符00}\r\n\r\n4210,2,A{结束符00}\r\n\r\n");
    EXPECT_EQ(exported.payload.null_pointers, 1u);
    // Without its mark the null entry points at no ROM, and is refused.
    testing::write_gbk(dir / "pointers.txt", u"20/30,2,LE,0,nes:0\r\n21/31,2,LE,0,nes:0\r\n");
    EXPECT_EQ(run_export(request).message, error_message(u"指针21指向ROM之外"));

    // Refusals of the table itself.
    table.split_bank = u"31";
    table.size = u"3";
    EXPECT_EQ(run_pointer_table(table).message, error_message(u"拆分指针表的各部分重叠"));
    table.split_bank = u"";
    EXPECT_EQ(run_pointer_table(table).message, error_message(u"拆分指针表的指针长度须为2（带存储体表时为3）"));
    table.size = u"";
    table.map = u"nes";
    EXPECT_EQ(run_pointer_table(table).message, error_message(u"地址映射只能是linear、lorom、hirom、gb:N或nes:N"));
}

}  // namespace
}  // namespace quillmere
