#include "core/import/script_source.hpp"

#include <gtest/gtest.h>

#include "core/import/rom_file.hpp"
#include "core/support/temp_dir.hpp"

namespace quillmere {
namespace {

using testing::TempDir;

std::vector<std::u16string> lines_of(std::u16string_view text) {
    std::vector<std::u16string> lines;
    ScriptLines cursor(text);
    while (auto line = cursor.next()) lines.emplace_back(*line);
    return lines;
}

TEST(script_source_test, lines_end_at_cr_lf_or_a_lone_cr) {
    EXPECT_EQ(lines_of(u"a\r\n\r\nb\rc\nd\r\n"), (std::vector<std::u16string>{u"a", u"", u"b", u"c\nd"}));
    EXPECT_TRUE(lines_of(u"").empty());
}

TEST(script_source_test, preview_passes_through_temp_txt) {
    TempDir dir;
    auto script = open_script(true, dir / "other.txt", u"0,2,啊", dir.path());
    ASSERT_TRUE(script.has_value());
    EXPECT_EQ(*script, u"0,2,啊\r\n");
    EXPECT_EQ(testing::read_file(dir / "temp.txt"), testing::gbk_bytes(u"0,2,啊\r\n"));
    EXPECT_EQ(open_script(true, {}, u"0,2,x", std::nullopt).value(), u"0,2,x");
}

TEST(script_source_test, script_file_or_failure) {
    TempDir dir;
    testing::write_gbk(dir / "s.txt", u"0,2,啊\r\n");
    EXPECT_EQ(open_script(false, dir / "s.txt", u"ignored", dir.path()).value(), u"0,2,啊\r\n");
    const Message failed = error_message(u"译文读取失败");
    EXPECT_EQ(open_script(false, dir / "missing.txt", u"", dir.path()).error(), failed);
    EXPECT_EQ(open_script(false, dir.path(), u"", dir.path()).error(), failed);
    EXPECT_EQ(open_script(true, {}, u"x", dir / "missing").error(), failed);
    EXPECT_EQ(open_script(true, {}, u"\U0001F600", dir.path()).error(), failed);  // not code page 936
}

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
