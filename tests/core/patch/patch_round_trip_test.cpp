// apply(create(original, modified)) == modified for IPS and BPS, on seeded
// pairs from empty to 8 MiB, the modified image shorter, as long and longer.
#include <gtest/gtest.h>

#include "core/patch/bps.hpp"
#include "core/patch/ips.hpp"
#include "core/patch/patch_file.hpp"
#include "image_pairs.hpp"

namespace quillmere::patch {
namespace {

using testing::Bytes;

struct Pair {
    std::size_t size;
    long change;
    std::uint32_t seed;
};

const Pair kPairs[] = {
    {0, 0, 1},     {0, 100, 2},   {1, 0, 3},       {1, -1, 4},          {300, 0, 5},
    {300, -120, 6}, {300, 77, 7}, {65536, 0, 8},   {65536, -4000, 9},   {65536, 70000, 10},
    {1u << 20, 0, 11}, {1u << 20, -(1L << 19), 12}, {1u << 20, 300000, 13}, {8u << 20, 0, 14}, {8u << 20, 12345, 15},
};

Bytes as_bytes(const memory::ByteBuffer& buffer) { return Bytes(buffer.begin(), buffer.end()); }

TEST(patch_round_trip_test, bps_and_ips_rebuild_the_modified_image) {
    for (const Pair& pair : kPairs) {
        const Bytes original = testing::make_original(pair.size, pair.seed);
        const Bytes modified = testing::make_modified(original, pair.seed, pair.change);
        SCOPED_TRACE(::testing::Message() << pair.size << " bytes, change " << pair.change);

        const Bytes bps = create_bps(original, modified);
        auto applied = apply_patch(original, bps);
        ASSERT_TRUE(applied) << static_cast<int>(applied.error().fault) << " at " << applied.error().offset;
        EXPECT_TRUE(applied->ignored.empty());
        EXPECT_EQ(as_bytes(applied->bytes), modified);

        auto ips = create_ips(original, modified);
        ASSERT_TRUE(ips);
        auto from_ips = apply_patch(original, *ips);
        ASSERT_TRUE(from_ips) << static_cast<int>(from_ips.error().fault) << " at " << from_ips.error().offset;
        EXPECT_EQ(as_bytes(from_ips->bytes), modified);
    }
}

TEST(patch_round_trip_test, an_unchanged_image_makes_a_patch_of_a_few_bytes) {
    const Bytes image = testing::make_original(1u << 20, 3);
    EXPECT_LE(create_bps(image, image).size(), 4 + 3 * 4 + 1 + 12 + 4u);
    EXPECT_EQ(*create_ips(image, image), Bytes({'P', 'A', 'T', 'C', 'H', 'E', 'O', 'F'}));
}

// Strings moved into free space, each one extended by a new character, and
// a pointer to each rewritten: BPS copies them from the source, IPS carries
// them whole.
TEST(patch_round_trip_test, moved_text_costs_little_in_bps) {
    std::mt19937 random(9);
    Bytes original(1u << 20);
    for (auto& b : original) b = static_cast<std::uint8_t>(random());
    original.resize(original.size() + (256u << 10), 0xFF);
    Bytes modified = original;
    std::size_t free = 1u << 20, moved = 0, changed = 0;
    for (int i = 0; i < 2000; ++i) {
        const std::size_t from = random() % ((1u << 20) - 100), length = 30 + random() % 60;
        modified[free] = static_cast<std::uint8_t>(0x80 + i % 64);
        std::copy_n(original.begin() + static_cast<std::ptrdiff_t>(from), length,
                    modified.begin() + static_cast<std::ptrdiff_t>(free + 1));
        free += length + 1;
        moved += length + 1;
        const std::size_t pointer = random() % ((1u << 20) - 4);
        for (std::size_t k = 0; k < 3; ++k) modified[pointer + k] = static_cast<std::uint8_t>(free >> (8 * k));
    }
    for (std::size_t i = 0; i < original.size(); ++i) changed += original[i] != modified[i];

    const Bytes bps = create_bps(original, modified);
    auto applied = apply_bps(original, bps);
    ASSERT_TRUE(applied);
    EXPECT_EQ(as_bytes(applied->bytes), modified);
    EXPECT_LT(bps.size(), moved / 4) << "changed " << changed;
    EXPECT_GT(create_ips(original, modified)->size(), changed);
}

// New text that the target repeats is copied from its first place.
TEST(patch_round_trip_test, repeated_new_text_is_copied_from_the_target) {
    const Bytes original(1u << 16, 0x20);
    Bytes modified = original;
    std::mt19937 random(4);
    Bytes text(3000);
    for (auto& b : text) b = static_cast<std::uint8_t>(random());
    for (std::size_t at : {100u, 20000u, 40000u}) std::copy(text.begin(), text.end(), modified.begin() + static_cast<std::ptrdiff_t>(at));

    const Bytes bps = create_bps(original, modified);
    EXPECT_LT(bps.size(), text.size() + 100);
    auto applied = apply_bps(original, bps);
    ASSERT_TRUE(applied);
    EXPECT_EQ(as_bytes(applied->bytes), modified);
}

}  // namespace
}  // namespace quillmere::patch
