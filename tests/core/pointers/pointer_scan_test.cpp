#include "core/pointers/pointer_scan.hpp"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "core/pointers/pointer_value.hpp"

namespace quillmere {
namespace {

// A ROM of bytes that never point at a target (each value read from them,
// minus the base, lands past the ROM), with pointers planted at chosen
// places: the scan must find exactly those.
TEST(pointer_scan_test, finds_exactly_the_planted_pointers) {
    for (std::uint8_t size : {std::uint8_t{2}, std::uint8_t{3}, std::uint8_t{4}})
        for (ByteOrder order : {ByteOrder::little, ByteOrder::big})
            for (std::uint32_t align : {1u, 2u, 4u}) {
                std::mt19937 random(size * 10 + align);
                const std::uint32_t base = size == 2 ? 0x4000 : 0x8000000 >> (8 * (4 - size));
                std::vector<std::uint8_t> rom(0x3000);
                for (auto& byte : rom) byte = static_cast<std::uint8_t>(0xF0 + random() % 16);
                const std::vector<std::uint32_t> targets = {0x0, 0x123, 0x800, 0x801, 0x2FFF, 0x1000};
                std::set<std::uint32_t> planted;
                std::set<std::uint32_t> reached;
                for (int n = 0; n < 40; ++n) {
                    // Only the alignment the scan looks at, and never two
                    // pointers sharing a byte.
                    std::uint32_t at = static_cast<std::uint32_t>(random() % (rom.size() - 4)) / align * align;
                    bool clear = true;
                    for (std::uint32_t p : planted) clear = clear && (at + 4 <= p || p + 4 <= at);
                    if (!clear) continue;
                    const std::uint32_t target = targets[random() % 5];  // never 0x1000
                    write_value(target + base, size, order, rom.data() + at);
                    planted.insert(at);
                    reached.insert(target);
                }
                const ScanResult result = scan_pointers(rom, targets, ScanLayout{size, order, base, align});
                std::set<std::uint32_t> found;
                for (const Pointer& p : result.pointers) {
                    EXPECT_EQ(p.size, size);
                    EXPECT_EQ(p.order, order);
                    EXPECT_EQ(p.base, base);
                    found.insert(p.address);
                }
                EXPECT_EQ(found, planted) << int(size) << " " << align;
                std::vector<std::uint32_t> unreached;
                for (std::uint32_t t : std::set<std::uint32_t>(targets.begin(), targets.end()))
                    if (!reached.contains(t)) unreached.push_back(t);
                EXPECT_EQ(result.unreached, unreached);
            }
}

TEST(pointer_scan_test, alignment_skips_unaligned_places) {
    // 10 00 at offsets 1 and 4: only 4 is a multiple of 2.
    const std::vector<std::uint8_t> rom = {0xFF, 0x10, 0x00, 0xFF, 0x10, 0x00, 0xFF};
    const std::uint32_t targets[] = {0x10};
    auto aligned = scan_pointers(rom, targets, ScanLayout{2, ByteOrder::little, 0, 2});
    ASSERT_EQ(aligned.pointers.size(), 1u);
    EXPECT_EQ(aligned.pointers[0].address, 4u);
    auto any = scan_pointers(rom, targets, ScanLayout{2, ByteOrder::little, 0, 1});
    EXPECT_EQ(any.pointers.size(), 2u);
    // A target past the end of the ROM is still found by its value.
    const std::uint32_t far[] = {0xFF10};
    EXPECT_EQ(scan_pointers(rom, far, ScanLayout{2, ByteOrder::big, 0, 1}).pointers.size(), 2u);
}

// A ROM with tables of pointers to records (strides from the pointer size to
// 12, of 3 to 20 pointers) and, scattered, as many lone values that happen
// to equal a record's address: the tables come out whole, and the decoys
// alone.
TEST(pointer_scan_test, tables_are_told_from_lone_values) {
    std::size_t true_found = 0, found = 0, true_in_tables = 0, in_tables = 0, planted_true = 0;
    for (std::uint8_t size : {std::uint8_t{2}, std::uint8_t{3}, std::uint8_t{4}})
        for (unsigned seed = 1; seed <= 4; ++seed) {
            std::mt19937 engine(seed * 31 + size);
            auto random = [&] { return static_cast<std::uint32_t>(engine()); };
            const std::uint32_t base = size == 2 ? 0 : 0x8000000 >> (8 * (4 - size));
            std::vector<std::uint8_t> rom(0x10000);
            for (auto& byte : rom) byte = static_cast<std::uint8_t>(0xE0 + random() % 16);  // points at no record
            std::vector<std::uint32_t> records;
            for (std::uint32_t at = 0xC000; at < 0xDF00; at += 8 + random() % 24) records.push_back(at);
            std::vector<bool> used(rom.size(), false);
            auto free_at = [&](std::uint32_t at, std::uint32_t bytes) {
                for (std::uint32_t k = 0; k < bytes; ++k)
                    if (at + k >= 0xC000 || used[at + k]) return false;
                return true;
            };
            std::set<std::uint32_t> real;
            auto plant = [&](std::uint32_t at) {
                write_value(records[random() % records.size()] + base, size, ByteOrder::little, rom.data() + at);
                for (std::uint32_t k = 0; k < size; ++k) used[at + k] = true;
            };
            for (int t = 0; t < 12; ++t) {
                const std::uint32_t stride = size + random() % (13 - size), count = 3 + random() % 18;
                const std::uint32_t at = random() % 0xB000;
                if (!free_at(at, stride * count + 16)) continue;
                for (std::uint32_t k = 0; k < count; ++k) {
                    plant(at + k * stride);
                    real.insert(at + k * stride);
                }
                for (std::uint32_t k = stride * count; k < stride * count + 16; ++k) used[at + k] = true;
            }
            for (std::size_t d = 0; d < real.size(); ++d) {
                const std::uint32_t at = random() % 0xB000;
                if (free_at(at >= 16 ? at - 16 : 0, 32 + size)) plant(at);
            }
            planted_true += real.size();
            const ScanResult result = scan_pointers(rom, records, ScanLayout{size, ByteOrder::little, base, 1});
            std::vector<std::uint64_t> aims;
            for (const Pointer& p : result.pointers) aims.push_back(read_value(rom.data() + p.address, size, ByteOrder::little) - base);
            const Ranked ranked = rank_pointers(result.pointers, aims, RankRules{});
            found += result.pointers.size();
            for (const Pointer& p : result.pointers) true_found += real.contains(p.address);
            for (const FoundTable& table : ranked.tables)
                for (std::uint32_t k = 0; k < table.count; ++k) {
                    ++in_tables;
                    true_in_tables += real.contains(table.start + k * table.stride);
                }
        }
    const double precision_all = double(true_found) / double(found);
    const double precision_tables = double(true_in_tables) / double(in_tables);
    const double recall_tables = double(true_in_tables) / double(planted_true);
    ::testing::Test::RecordProperty("precision_all", std::to_string(precision_all));
    ::testing::Test::RecordProperty("precision_tables", std::to_string(precision_tables));
    ::testing::Test::RecordProperty("recall_tables", std::to_string(recall_tables));
    EXPECT_EQ(true_found, planted_true);  // the scan itself misses nothing
    EXPECT_LT(precision_all, 0.6);        // about as many decoys as pointers
    EXPECT_GE(precision_tables, 0.99);
    EXPECT_GE(recall_tables, 0.99);
}

TEST(pointer_scan_test, runs_need_their_length_and_two_different_targets) {
    // Places 0, 4, 8, 12 (stride 4) and 40, 42, 44 (stride 2, one target).
    std::vector<Pointer> places;
    for (std::uint32_t at : {0u, 4u, 8u, 12u, 40u, 42u, 44u, 60u}) places.push_back(Pointer{at, 2, ByteOrder::little, 0});
    const std::vector<std::uint64_t> aims = {1, 2, 3, 1, 9, 9, 9, 5};
    Ranked ranked = rank_pointers(places, aims, RankRules{3, 16});
    EXPECT_EQ(ranked.tables, (std::vector<FoundTable>{{0, 4, 4}}));
    EXPECT_EQ(ranked.alone, (std::vector<std::size_t>{4, 5, 6, 7}));
    // Longer runs are asked for: none is left.
    ranked = rank_pointers(places, aims, RankRules{5, 16});
    EXPECT_TRUE(ranked.tables.empty());
    EXPECT_EQ(ranked.alone.size(), places.size());
    // A step past the longest looked at is no table.
    ranked = rank_pointers(places, aims, RankRules{3, 3});
    EXPECT_TRUE(ranked.tables.empty());
    // A lone place one stride before a table, at a stride that skips every
    // other pointer of it, does not take half the table.
    std::vector<Pointer> table;
    std::vector<std::uint64_t> targets;
    for (std::uint32_t at : {100u, 104u, 106u, 108u, 110u, 112u, 114u, 116u}) {
        table.push_back(Pointer{at, 2, ByteOrder::little, 0});
        targets.push_back(at);
    }
    ranked = rank_pointers(table, targets, RankRules{});
    EXPECT_EQ(ranked.tables, (std::vector<FoundTable>{{104, 2, 7}}));
    EXPECT_EQ(ranked.alone, (std::vector<std::size_t>{0}));
}

}  // namespace
}  // namespace quillmere
