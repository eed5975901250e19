#include "core/charset/font_sheet.hpp"

#include <gtest/gtest.h>

#include "core/charset/png_file.hpp"
#include "core/support/temp_dir.hpp"
#include "png_reader.hpp"

namespace quillmere {
namespace {

// From fonts-wqy-zenhei, which the build's packages include; under Wine the
// same path names it on the drive that maps the build machine's files.
const std::filesystem::path kFont = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc";

testing::Grey decode(const std::vector<std::uint8_t>& file) {
    auto grey = testing::read_png(file);
    EXPECT_TRUE(grey.has_value()) << "not a well-formed one-bit PNG";
    return grey ? std::move(*grey) : testing::Grey{};
}

TEST(font_sheet_test, draws_each_character_in_its_cell_and_leaves_spaces_and_gaps_white) {
    ASSERT_TRUE(std::filesystem::exists(kFont)) << "make deps installs fonts-wqy-zenhei";
    // Two columns of 12×16 cells: 国, the ideographic space / an empty cell, an
    // ASCII space / 国 again, in a third row.
    const std::vector<std::optional<char32_t>> cells{U'国', U'\u3000', std::nullopt, U' ', U'国'};
    auto sheet = draw_font_sheet(kFont, {12, 16}, 2, cells);
    ASSERT_TRUE(sheet);
    auto file = png_bytes(*sheet);
    ASSERT_TRUE(file);
    const testing::Grey grey = decode(*file);
    ASSERT_EQ(grey.width, 24);
    ASSERT_EQ(grey.height, 48);
    EXPECT_FALSE(grey.blank(0, 0, 12, 16));
    EXPECT_TRUE(grey.blank(12, 0, 12, 16));
    EXPECT_TRUE(grey.blank(0, 16, 24, 16));
    EXPECT_FALSE(grey.blank(0, 32, 12, 16));
    EXPECT_TRUE(grey.blank(12, 32, 12, 16));  // beyond the last cell
    // Only black and white, and the same glyph twice gives the same pixels.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 12; ++x) {
            const std::uint8_t pixel = grey.pixels[static_cast<std::size_t>(y * 24 + x)];
            EXPECT_TRUE(pixel == 0 || pixel == 255);
            EXPECT_EQ(pixel, grey.pixels[static_cast<std::size_t>((y + 32) * 24 + x)]);
        }
}

TEST(font_sheet_test, refuses_what_it_cannot_draw) {
    testing::TempDir dir;
    testing::write_file(dir / "not-a-font.ttf", std::string_view("not a font"));
    const std::vector<std::optional<char32_t>> one{U'国'};
    EXPECT_EQ(draw_font_sheet(dir / "not-a-font.ttf", {16, 16}, 16, one).error(),
              SheetFailure{SheetFault::cannot_open_font});
    EXPECT_EQ(draw_font_sheet(dir / "missing.ttf", {16, 16}, 16, one).error(),
              SheetFailure{SheetFault::cannot_open_font});
    const std::vector<std::optional<char32_t>> unassigned{U'国', U'\U000E0FFF'};
    EXPECT_EQ(draw_font_sheet(kFont, {16, 16}, 16, unassigned).error(),
              (SheetFailure{SheetFault::missing_glyph, U'\U000E0FFF'}));
    const std::vector<std::optional<char32_t>> many(65536, std::nullopt);
    EXPECT_EQ(draw_font_sheet(kFont, {256, 256}, 16, many).error(), SheetFailure{SheetFault::too_large});
}

}  // namespace
}  // namespace quillmere
