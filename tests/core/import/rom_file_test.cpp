#include "core/import/rom_file.hpp"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quillmere
