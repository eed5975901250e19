#include "core/import/rom_file.hpp"

#include <gtest/gtest.h>

#include <random>

#include "core/support/temp_dir.hpp"

namespace quillmere {
namespace {

using testing::TempDir;

TEST(rom_file_test, patches_land_in_order_in_place_and_never_create) {
    TempDir dir;
    std::vector<std::uint8_t> original(200000);
    for (std::size_t i = 0; i < original.size(); ++i) original[i] = static_cast<std::uint8_t>(i * 7);
    testing::write_file(dir / "rom.bin", original);
    auto expected = original;
    auto patch = [&](RomPatches& patches, std::uint64_t offset, std::vector<std::uint8_t> bytes) {
        patches.add(offset, bytes);
        std::copy(bytes.begin(), bytes.end(), expected.begin() + static_cast<std::ptrdiff_t>(offset));
    };
    RomPatches patches;
    patch(patches, 65530, std::vector<std::uint8_t>(70000, 0xAB));
    patch(patches, 3, {1, 2});
    patch(patches, 65535, {7, 7, 7});  // inside the first patch: the later one wins
    patch(patches, 5000, {});
    patch(patches, 140000, {4});       // a gap, then close to the big patch
    patch(patches, original.size() - 1, {9});
    auto rom = RomFile::open(dir / "rom.bin");
    ASSERT_TRUE(rom.has_value());
    EXPECT_EQ(rom->size(), original.size());
    ASSERT_TRUE(rom->write(patches));
    EXPECT_EQ(testing::read_file(dir / "rom.bin"), expected);

    EXPECT_FALSE(RomFile::open(dir / "missing.bin").has_value());
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.bin"));
    EXPECT_FALSE(RomFile::open(dir.path()).has_value());
}

// Random sets of patches, in and out of order, overlapping, some repeating
// the bytes already there and some undoing an earlier patch, against the
// same patches laid one after the other over a copy.
TEST(rom_file_test, any_patches_give_the_bytes_of_writing_them_one_by_one) {
    TempDir dir;
    std::mt19937 random(18);
    auto below = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    for (int round = 0; round < 60; ++round) {
        std::vector<std::uint8_t> original(below(3) == 0 ? 64 : 40000);
        for (auto& byte : original) byte = static_cast<std::uint8_t>(below(4));  // few values: many equal bytes
        testing::write_file(dir / "rom.bin", original);
        auto expected = original;
        RomPatches patches;
        const bool in_order = round % 2 == 0;
        const bool disjoint = round % 4 == 0;  // in order, no two sharing a byte: as a script gives them
        std::size_t at = 0;
        for (int n = 1 + static_cast<int>(below(40)); n > 0 && at < original.size(); --n) {
            const std::size_t offset = in_order ? std::min(at + below(3000), original.size() - 1) : below(original.size());
            const std::size_t length = std::min(below(300), original.size() - offset);
            at = disjoint ? offset + length : offset;
            std::vector<std::uint8_t> bytes(length);
            switch (below(3)) {
                case 0:  // the bytes already in the file
                    std::copy_n(original.begin() + static_cast<std::ptrdiff_t>(offset), length, bytes.begin());
                    break;
                case 1:  // the bytes as they are now, one changed
                    std::copy_n(expected.begin() + static_cast<std::ptrdiff_t>(offset), length, bytes.begin());
                    if (length > 0) bytes[below(length)] ^= 0x80;
                    break;
                default:
                    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(below(4));
            }
            patches.add(offset, bytes);
            std::copy(bytes.begin(), bytes.end(), expected.begin() + static_cast<std::ptrdiff_t>(offset));
        }
        auto rom = RomFile::open(dir / "rom.bin");
        ASSERT_TRUE(rom.has_value());
        ASSERT_TRUE(rom->write(patches));
        ASSERT_EQ(testing::read_file(dir / "rom.bin"), expected) << "round " << round;
    }
}

// Thousands of small changes close together make one write of many pieces,
// more than one call of the system takes.
TEST(rom_file_test, a_write_of_many_pieces_lands_whole) {
    TempDir dir;
    std::vector<std::uint8_t> original(20000, 0x11);
    testing::write_file(dir / "rom.bin", original);
    RomPatches patches;
    auto expected = original;
    for (std::size_t offset = 0; offset + 3 <= original.size(); offset += 3) {
        const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(offset), 0x22};
        patches.add(offset, bytes);
        expected[offset] = bytes[0];
        expected[offset + 1] = bytes[1];
    }
    auto rom = RomFile::open(dir / "rom.bin");
    ASSERT_TRUE(rom.has_value());
    ASSERT_TRUE(rom->write(patches));
    EXPECT_EQ(testing::read_file(dir / "rom.bin"), expected);
}

}  // namespace
}  // namespace quillmere
