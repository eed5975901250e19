#include "core/charset/font_sheet.hpp"

#include <algorithm>
#include <cmath>

#include "core/charset/font_face.hpp"

namespace quillmere {
namespace {

// Where the baseline lies in a cell: the font's ascent and descent scaled to
// the cell height, so that every glyph of the font shares it.
int baseline_of(const FontFace& face, int height) {
    const double ascent = face.ascent(), descent = face.descent();
    if (ascent + descent <= 0) return height;
    return static_cast<int>(std::lround(height * ascent / (ascent + descent)));
}

// The glyph on the baseline, centred by its advance; what reaches beyond
// the cell is cut off.
void draw_glyph(const Glyph& glyph, int cell_x, int cell_y, GlyphSize size, int baseline, MonoImage& image) {
    const int origin_x = cell_x + (size.width - glyph.advance) / 2 + glyph.left;
    const int origin_y = cell_y + baseline - glyph.top;
    for (int y = 0; y < glyph.height; ++y) {
        const int py = origin_y + y;
        if (py < cell_y || py >= cell_y + size.height) continue;
        for (int x = 0; x < glyph.width; ++x) {
            const int px = origin_x + x;
            if (px < cell_x || px >= cell_x + size.width) continue;
            if (glyph.ink[static_cast<std::size_t>(y) * static_cast<std::size_t>(glyph.width) + static_cast<std::size_t>(x)])
                image.set_black(px, py);
        }
    }
}

}  // namespace

Expected<MonoImage, SheetFailure> draw_font_sheet(const std::filesystem::path& font, GlyphSize size, int columns,
                                                  std::span<const std::optional<char32_t>> cells) {
    const std::size_t rows = (cells.size() + static_cast<std::size_t>(columns) - 1) / static_cast<std::size_t>(columns);
    const std::size_t width = static_cast<std::size_t>(columns) * static_cast<std::size_t>(size.width);
    const std::size_t height = std::max<std::size_t>(rows, 1) * static_cast<std::size_t>(size.height);
    if (height > kMaxSheetPixels / width) return unexpected(SheetFailure{SheetFault::too_large});

    auto face = FontFace::open(font, size);
    if (!face) return unexpected(face.error());
    const int baseline = baseline_of(*face, size.height);

    MonoImage image(static_cast<int>(width), static_cast<int>(height));
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (!cells[i]) continue;
        auto glyph = face->glyph(*cells[i]);
        if (!glyph) return unexpected(glyph.error());
        const int cell_x = static_cast<int>(i % static_cast<std::size_t>(columns)) * size.width;
        const int cell_y = static_cast<int>(i / static_cast<std::size_t>(columns)) * size.height;
        draw_glyph(*glyph, cell_x, cell_y, size, baseline, image);
    }
    return image;
}

}  // namespace quillmere
