#pragma once
// A font sheet: characters drawn with a font file into cells of W × H
// pixels, one bit per pixel, black on white, left to right and top to
// bottom.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "core/expected.hpp"

namespace quillmere {

struct GlyphSize {
    int width = 0;
    int height = 0;
};

inline constexpr int kMaxGlyphSide = 256;
inline constexpr int kMaxColumns = 256;
inline constexpr std::size_t kMaxSheetPixels = std::size_t{1} << 28;

// One bit per pixel, rows top to bottom, the leftmost pixel in the highest
// bit; a set bit is black.
class MonoImage {
public:
    MonoImage(int width, int height)
        : width_(width), height_(height), stride_((static_cast<std::size_t>(width) + 7) / 8),
          bits_(stride_ * static_cast<std::size_t>(height), 0) {}

    int width() const { return width_; }
    int height() const { return height_; }
    std::size_t stride() const { return stride_; }
    const std::uint8_t* row(int y) const { return bits_.data() + stride_ * static_cast<std::size_t>(y); }

    bool black(int x, int y) const { return (row(y)[x / 8] >> (7 - x % 8)) & 1; }
    void set_black(int x, int y) {
        bits_[stride_ * static_cast<std::size_t>(y) + static_cast<std::size_t>(x / 8)] |=
            static_cast<std::uint8_t>(0x80 >> (x % 8));
    }

private:
    int width_, height_;
    std::size_t stride_;
    std::vector<std::uint8_t> bits_;
};

enum class SheetFault {
    cannot_open_font,  // not a font file FreeType can read
    size_unavailable,  // the font cannot be drawn at this size (a bitmap font without it)
    missing_glyph,     // the font has no glyph for `character`
    too_large,         // more than kMaxSheetPixels
};

struct SheetFailure {
    SheetFault fault = SheetFault::cannot_open_font;
    char32_t character = 0;
    friend bool operator==(const SheetFailure&, const SheetFailure&) = default;
};

// Each glyph sits on a common baseline and is centred in its cell; what
// reaches beyond the cell is cut off. An empty cell stays white. `size`
// and `columns` must be 1 to their limits above.
Expected<MonoImage, SheetFailure> draw_font_sheet(const std::filesystem::path& font, GlyphSize size, int columns,
                                                  std::span<const std::optional<char32_t>> cells);

}  // namespace quillmere
