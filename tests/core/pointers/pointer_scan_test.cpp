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

}  // namespace
}  // namespace quillmere
