// Bytes that no table or filter reads, kept inside runs as "{$XX}" by the
// export and read back as those bytes by the check and the import.

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "core/commands/export_command.hpp"
#include "core/commands/script_commands.hpp"
#include "core/encoding/hex.hpp"
#include "core/export/exportrange.hpp"
#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

using testing::Bytes;
using testing::TempDir;

TEST(hex_bytes_test, unknown_bytes_inside_a_run_are_shown_up_to_the_limit) {
    CodeTables tables;
    tables.single.emplace();
    tables.single->slots[0x41] = u"A";
    tables.single->slots[0x42] = u"B";
    ExportFilters filters;
    filters.single = *readfilter1(std::vector<std::u16string>{u"00=over"});
    struct Case {
        Bytes rom;
        std::int32_t max;
        std::u16string text;
    };
    const Case cases[] = {
        {{0x41, 0x90, 0x42, 0x00}, 4, u"0,4,A{$90}B{结束符00}\r\n\r\n"},
        {{0x41, 0x90, 0x9a, 0xFF, 0x01, 0x42, 0x00}, 4, u"0,7,A{$90}{$9A}{$FF}{$01}B{结束符00}\r\n\r\n"},
        // One more than the limit closes the run at the first of them.
        {{0x41, 0x90, 0x91, 0x92, 0x93, 0x94, 0x42, 0x00}, 4, u"0,1,A\r\n\r\n6,2,B{结束符00}\r\n\r\n"},
        {{0x41, 0x90, 0x42, 0x00}, 0, u"0,1,A\r\n\r\n2,2,B{结束符00}\r\n\r\n"},
        {{0x41, 0x90, 0x91, 0x42, 0x00}, 1, u"0,1,A\r\n\r\n3,2,B{结束符00}\r\n\r\n"},
        // Not inside a run: before its first code, or after an end code.
        {{0x90, 0x41, 0x00, 0x91, 0x42, 0x00}, 4, u"1,2,A{结束符00}\r\n\r\n4,2,B{结束符00}\r\n\r\n"},
        // Reaching the end of the stretch, the run closes as without the option.
        {{0x41, 0x42, 0x90}, 4, u"0,2,AB\r\n\r\n"},
    };
    for (const Case& c : cases) {
        const std::int32_t end = static_cast<std::int32_t>(c.rom.size()) - 1;
        auto text = exportrange(c.rom, 0, end, tables, filters, u"0", HexBytes{true, c.max});
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(text::to_utf8(*text), text::to_utf8(c.text));
    }
    auto plain = exportrange(cases[0].rom, 0, 3, tables, filters, u"0", HexBytes{});
    EXPECT_EQ(*plain, u"0,1,A\r\n\r\n2,2,B{结束符00}\r\n\r\n");
}

// Random code tables (every value its own character), a filter list with an
// end code, a jump code and a tag, and a ROM where about a third of the bytes
// are ones no rule reads.
struct Game {
    std::u16string single_table, double_table, single_filter;
    Bytes rom;
};

Game make_game(unsigned seed) {
    std::mt19937 random(seed);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    std::set<char16_t> used;
    auto fresh = [&] {
        for (;;) {
            const auto c = static_cast<char16_t>(0x4E00 + pick(0x51A6));
            if (used.insert(c).second) return c;
        }
    };
    Game game;
    game.single_filter = u"00=over\r\nF0=turn2\r\nF1=名\r\n";
    std::vector<std::uint8_t> singles;
    for (int i = 0; i < 24; ++i) {
        const auto code = static_cast<std::uint8_t>(0x20 + pick(0x60));
        if (std::find(singles.begin(), singles.end(), code) != singles.end()) continue;
        singles.push_back(code);
        game.single_table += to_hex(code) + u"=" + std::u16string(1, fresh()) + u"\r\n";
    }
    std::vector<std::uint16_t> pairs;
    for (int i = 0; i < 60; ++i) {
        const auto code = static_cast<std::uint16_t>(0xB000 + pick(0x1000));
        if (std::find(pairs.begin(), pairs.end(), code) != pairs.end()) continue;
        pairs.push_back(code);
        game.double_table += to_hex(code) + u"=" + std::u16string(1, fresh()) + u"\r\n";
    }
    const int size = 2000 + pick(2000);
    while (static_cast<int>(game.rom.size()) < size) {
        const int kind = pick(100);
        if (kind < 30) {
            game.rom.push_back(static_cast<std::uint8_t>(pick(256)));
        } else if (kind < 60) {
            game.rom.push_back(singles[static_cast<std::size_t>(pick(static_cast<int>(singles.size())))]);
        } else if (kind < 90) {
            const std::uint16_t pair = pairs[static_cast<std::size_t>(pick(static_cast<int>(pairs.size())))];
            game.rom.push_back(static_cast<std::uint8_t>(pair >> 8));
            game.rom.push_back(static_cast<std::uint8_t>(pair & 0xFF));
        } else if (kind < 94) {
            game.rom.insert(game.rom.end(), {0xF0, static_cast<std::uint8_t>(pick(256)), static_cast<std::uint8_t>(pick(256))});
        } else if (kind < 97) {
            game.rom.push_back(0xF1);
        } else {
            game.rom.push_back(0x00);
        }
    }
    return game;
}

TEST(hex_bytes_test, export_and_import_with_hex_bytes_give_back_every_byte_of_each_run) {
    TempDir dir;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        const Game game = make_game(seed);
        testing::write_gbk(dir / "single.tbl", game.single_table);
        testing::write_gbk(dir / "double.tbl", game.double_table);
        testing::write_file(dir / "rom.bin", game.rom);

        ExportRequest out;
        out.rom = dir / "rom.bin";
        out.start = u"0";
        out.end = to_hex(static_cast<std::uint32_t>(game.rom.size() - 1));
        out.tables.mode = RomMode::both;
        out.tables.single_table = dir / "single.tbl";
        out.tables.double_table = dir / "double.tbl";
        out.tables.single_filter = {game.single_filter, true};
        out.preview = true;
        out.tables.hex_bytes = true;
        out.hex_max = 1 + static_cast<std::int32_t>(seed % 5);
        CommandResult<ExportPayload> exported = run_export(out);
        ASSERT_TRUE(exported.payload.text.has_value()) << seed;
        const std::u16string& script = *exported.payload.text;
        EXPECT_NE(script.find(u"{$"), std::u16string::npos) << seed;
        testing::write_gbk(dir / "script.txt", script);

        // Every byte the records cover is wiped; the import must write each back.
        Bytes wiped = game.rom;
        std::size_t covered = 0;
        for (std::size_t at = 0; at < script.size();) {
            const std::size_t first = script.find(u',', at), second = script.find(u',', first + 1);
            const std::size_t address = static_cast<std::size_t>(*hex2num(script.substr(at, first - at)));
            const std::size_t length = std::stoul(text::to_utf8(script.substr(first + 1, second - first - 1)));
            std::fill_n(wiped.begin() + static_cast<std::ptrdiff_t>(address), length, std::uint8_t{0xEE});
            covered += length;
            at = script.find(u"\r\n\r\n", second) + 4;
        }
        testing::write_file(dir / "rom.bin", wiped);

        ImportRequest in;
        in.script_file = dir / "script.txt";
        in.tables.mode = RomMode::both;
        in.tables.single_table = dir / "single.tbl";
        in.tables.double_table = dir / "double.tbl";
        in.tables.single_filter = {game.single_filter, true};
        in.rom = dir / "rom.bin";
        in.tables.hex_bytes = true;
        EXPECT_EQ(run_check(in).message, notice_message(u"此文本为合法文本")) << seed;
        EXPECT_EQ(run_import(in).message, notice_message(u"文本导入成功")) << seed;
        EXPECT_EQ(testing::read_file(dir / "rom.bin"), game.rom) << seed << " covered " << covered;

        // Without the option the shown bytes are tags no list names.
        in.tables.hex_bytes = false;
        EXPECT_NE(run_check(in).message.text.find(u"过滤区中缺少[{$"), std::u16string::npos) << seed;
    }
}

TEST(hex_bytes_test, a_tag_of_the_same_text_wins_over_the_byte) {
    TempDir dir;
    testing::write_gbk(dir / "single.tbl", u"41=A\r\n");
    testing::write_gbk(dir / "script.txt", u"0,3,A{$90}{$7f}\r\n");
    testing::write_file(dir / "rom.bin", Bytes(3, 0xEE));
    ImportRequest in;
    in.script_file = dir / "script.txt";
    in.tables.mode = RomMode::single_byte;
    in.tables.single_table = dir / "single.tbl";
    in.tables.single_filter = {u"05=$90", true};
    in.rom = dir / "rom.bin";
    in.tables.hex_bytes = true;
    EXPECT_EQ(run_import(in).message, notice_message(u"文本导入成功"));
    EXPECT_EQ(testing::read_file(dir / "rom.bin"), (Bytes{0x41, 0x05, 0x7F}));
}

}  // namespace
}  // namespace quillmere
