#include "core/import/rom_file.hpp"

#include <gtest/gtest.h>

#include "core/support/temp_dir.hpp"

namespace quillmere {
namespace {

using testing::TempDir;

TEST(rom_file_test, writes_in_place_across_blocks_and_never_creates) {
    TempDir dir;
    std::vector<std::uint8_t> original(200000);
    for (std::size_t i = 0; i < original.size(); ++i) original[i] = static_cast<std::uint8_t>(i * 7);
    testing::write_file(dir / "rom.bin", original);
    auto expected = original;
    {
        auto rom = RomFile::open(dir / "rom.bin");
        ASSERT_TRUE(rom.has_value());
        EXPECT_EQ(rom->size(), original.size());
        const std::vector<std::uint8_t> run(70000, 0xAB);
        ASSERT_TRUE(rom->write(65530, run));  // spans three blocks
        std::copy(run.begin(), run.end(), expected.begin() + 65530);
        ASSERT_TRUE(rom->write(3, std::vector<std::uint8_t>{1, 2}));  // back to an earlier block
        expected[3] = 1;
        expected[4] = 2;
        ASSERT_TRUE(rom->write(original.size() - 1, std::vector<std::uint8_t>{9}));
        expected.back() = 9;
        ASSERT_TRUE(rom->flush());
        EXPECT_EQ(testing::read_file(dir / "rom.bin"), expected);
        ASSERT_TRUE(rom->write(10, std::vector<std::uint8_t>{5}));
        expected[10] = 5;
    }  // pending bytes reach the file when it closes
    EXPECT_EQ(testing::read_file(dir / "rom.bin"), expected);
    EXPECT_FALSE(RomFile::open(dir / "missing.bin").has_value());
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.bin"));
    EXPECT_FALSE(RomFile::open(dir.path()).has_value());
}

}  // namespace
}  // namespace quillmere
