#include "core/pointers/relocation.hpp"

#include <gtest/gtest.h>

#include "core/pointers/pointer_value.hpp"

namespace quillmere {
namespace {

// A ROM of 0x100 bytes with a table of 2-byte little-endian pointers at 0
// (base 0x8000) to the entries at 0x20, 0x30 and 0x40 (each 8 bytes long);
// the pointers at 0 and 6 both point at 0x20.
struct Layout {
    std::vector<std::uint8_t> rom = std::vector<std::uint8_t>(0x100, 0xEE);
    std::vector<Pointer> pointers;
    std::vector<EntrySpan> entries = {{0x20, 8}, {0x30, 8}, {0x40, 8}};

    Layout() {
        const std::uint32_t targets[] = {0x20, 0x30, 0x40, 0x20};
        for (std::uint32_t i = 0; i < 4; ++i) {
            Pointer p{2 * i, 2, ByteOrder::little, 0x8000};
            write_value(static_cast<std::uint32_t>(targets[i] + p.base), p.size, p.order, rom.data() + p.address);
            pointers.push_back(p);
        }
    }
    Expected<Relocator, RelocationFailure> make(std::vector<FreeBlock> blocks, std::uint32_t align = 1) const {
        return Relocator::make(rom, pointers, blocks, align, entries);
    }
};

TEST(relocation_test, first_fit_in_entry_order_aligned) {
    Layout layout;
    // Given out of order and touching: 80-8F and 90-9F are one stretch,
    // C3-CF a second one.
    auto relocator = layout.make({{0xC3, 0xCF}, {0x90, 0x9F}, {0x80, 0x8F}}, 4);
    ASSERT_TRUE(relocator.has_value());
    auto first = relocator->move(0x20, 0x1E);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->new_offset, 0x80u);
    EXPECT_EQ(first->pointers, (std::vector<std::size_t>{0, 3}));
    auto second = relocator->move(0x30, 3);  // 9E is not aligned: A0 is past the stretch
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->new_offset, 0xC4u);
    EXPECT_EQ(second->pointers, (std::vector<std::size_t>{1}));
    auto third = relocator->move(0x40, 8);
    ASSERT_TRUE(third.has_value());
    EXPECT_EQ(third->new_offset, 0xC8u);
    // C8-CF is taken now.
    EXPECT_EQ(relocator->move(0x40, 1).error().fault, RelocationFault::no_space);

    // The pointers, rewritten, read the new offsets.
    set_pointers(layout.rom, layout.pointers, first->pointers, first->new_offset);
    EXPECT_EQ(target_of(read_pointer(layout.rom, layout.pointers[3]), 0x8000), std::optional<std::uint32_t>(0x80));
    EXPECT_EQ(target_of(read_pointer(layout.rom, layout.pointers[1]), 0x8000), std::optional<std::uint32_t>(0x30));
}

TEST(relocation_test, refusals_name_their_cause) {
    struct Case {
        const char* what;
        std::vector<Pointer> extra_pointers;
        std::vector<FreeBlock> blocks;
        std::uint32_t move_from, bytes;
        RelocationFailure expected;
    };
    auto fault = [](RelocationFault f, std::size_t pointer = 0, std::size_t other = 0, std::size_t block = 0,
                    std::size_t entry = 0, std::uint64_t bytes = 0) {
        return RelocationFailure{f, pointer, other, block, entry, bytes};
    };
    const Case cases[] = {
        {"a pointer past the ROM", {{0xFF, 2, ByteOrder::little, 0}}, {}, 0, 0,
         fault(RelocationFault::pointer_outside_rom, 4)},
        {"two pointers sharing a byte", {{0x3, 2, ByteOrder::little, 0x8000}}, {}, 0, 0,
         fault(RelocationFault::pointers_overlap, 1, 4)},
        {"a block past the ROM", {}, {{0x80, 0x8F}, {0xF0, 0x100}}, 0, 0,
         fault(RelocationFault::block_outside_rom, 0, 0, 1)},
        {"a block over an entry", {}, {{0x80, 0x8F}, {0x47, 0x50}}, 0, 0,
         fault(RelocationFault::block_overlaps_entry, 0, 0, 1, 2)},
        {"a block over a pointer", {}, {{0x7, 0x10}}, 0, 0,
         fault(RelocationFault::block_overlaps_pointer, 3, 0, 0)},
        {"no pointer to the entry", {}, {{0x80, 0x8F}}, 0x28, 9, fault(RelocationFault::no_pointer)},
        {"no room", {}, {{0x80, 0x8F}}, 0x20, 0x11, fault(RelocationFault::no_space, 0, 0, 0, 0, 0x11)},
        {"a pointer too small for the new offset", {{0x10, 2, ByteOrder::big, 0xFF90}}, {{0x80, 0x8F}}, 0x40, 9,
         fault(RelocationFault::pointer_too_small, 4)},
    };
    for (const Case& c : cases) {
        Layout layout;
        for (const Pointer& p : c.extra_pointers) {
            if (pointer_in_rom(p, layout.rom.size())) write_value(static_cast<std::uint32_t>(0x40 + p.base), p.size, p.order, layout.rom.data() + p.address);
            layout.pointers.push_back(p);
        }
        auto relocator = layout.make(c.blocks);
        if (relocator) {
            auto move = relocator->move(c.move_from, c.bytes);
            ASSERT_FALSE(move.has_value()) << c.what;
            EXPECT_EQ(move.error(), c.expected) << c.what;
        } else {
            EXPECT_EQ(relocator.error(), c.expected) << c.what;
        }
    }
}

TEST(relocation_test, an_exact_repeat_of_a_pointer_counts_once) {
    Layout layout;
    layout.pointers.push_back(layout.pointers[1]);
    auto relocator = layout.make({{0x80, 0x8F}});
    ASSERT_TRUE(relocator.has_value());
    EXPECT_EQ(relocator->move(0x30, 9).value().pointers, (std::vector<std::size_t>{1}));
    EXPECT_TRUE(relocator->has_pointer_to(0x40));
    EXPECT_FALSE(relocator->has_pointer_to(0x41));
}

// A split pointer is read and rewritten at its places; an entry to skip is
// never followed, but its bytes are kept from the free space; a tail's
// pointers follow it without taking space.
TEST(relocation_test, split_pointers_entries_to_skip_and_tails) {
    Layout layout;
    Pointer split{0x60, 2, ByteOrder::little, 0x8000};
    split.split = true;
    split.places = {0x60, 0x70, 0, 0};
    layout.rom[0x60] = 0x30;  // 8030: the entry at 30
    layout.rom[0x70] = 0x80;
    layout.pointers.push_back(split);
    Pointer null{0x68, 2, ByteOrder::little, 0x8000};
    null.skip = true;
    layout.rom[0x68] = layout.rom[0x69] = 0x00;  // 0000 points below the base
    layout.pointers.push_back(null);

    EXPECT_EQ(layout.make({{0x69, 0x6F}}).error(), (RelocationFailure{RelocationFault::block_overlaps_pointer, 5}));
    EXPECT_EQ(layout.make({{0x70, 0x7F}}).error(), (RelocationFailure{RelocationFault::block_overlaps_pointer, 4}));
    auto relocator = layout.make({{0x80, 0x8F}});
    ASSERT_TRUE(relocator.has_value());
    auto moved = relocator->move(0x30, 9);
    ASSERT_TRUE(moved.has_value());
    EXPECT_EQ(moved->new_offset, 0x80u);
    EXPECT_EQ(moved->pointers, (std::vector<std::size_t>{1, 4}));
    set_pointers(layout.rom, layout.pointers, moved->pointers, moved->new_offset);
    EXPECT_EQ(layout.rom[0x60], 0x80);
    EXPECT_EQ(layout.rom[0x70], 0x80);
    EXPECT_EQ(layout.rom[0x61], 0xEE);  // between the places nothing changes

    // The pointers to 40 follow a tail to 45; nothing points at 41.
    auto followed = relocator->follow(0x40, 0x45, 3);
    ASSERT_TRUE(followed.has_value());
    EXPECT_EQ(followed->pointers, (std::vector<std::size_t>{2}));
    EXPECT_EQ(relocator->follow(0x41, 0x45, 3).error().fault, RelocationFault::no_pointer);
    EXPECT_EQ(relocator->value_for_target(2, 0x45), 0x8045u);
    // Two different pointers sharing a place are refused, a split one too.
    Pointer clash = split;
    clash.places = {0x61, 0x70, 0, 0};
    clash.address = 0x61;
    layout.pointers.push_back(clash);
    EXPECT_EQ(layout.make({}).error().fault, RelocationFault::pointers_overlap);
}

}  // namespace
}  // namespace quillmere
