#include "core/charset/font_sheet.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <memory>

namespace quillmere {
namespace {

struct LibraryCloser {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceCloser {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using Library = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryCloser>;
using Face = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceCloser>;

// Is the pixel of a rendered glyph ink? Outlines come out one bit per pixel;
// a font's own bitmaps may be greyscale.
bool ink(const FT_Bitmap& bitmap, unsigned x, unsigned y) {
    const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) return (row[x / 8] >> (7 - x % 8)) & 1;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) return row[x] >= 128;
    return false;
}

// Where the baseline lies in a cell: the font's ascent and descent scaled to
// the cell height, so that every glyph of the font shares it.
int baseline_of(FT_Face face, int height) {
    const double ascender = static_cast<double>(face->size->metrics.ascender) / 64.0;
    const double descender = static_cast<double>(-face->size->metrics.descender) / 64.0;
    if (ascender + descender <= 0) return height;
    return static_cast<int>(std::lround(height * ascender / (ascender + descender)));
}

void draw_glyph(FT_GlyphSlot glyph, int cell_x, int cell_y, GlyphSize size, int baseline, MonoImage& image) {
    const FT_Bitmap& bitmap = glyph->bitmap;
    const int advance = static_cast<int>(glyph->advance.x >> 6);
    const int origin_x = cell_x + (size.width - advance) / 2 + glyph->bitmap_left;
    const int origin_y = cell_y + baseline - glyph->bitmap_top;
    for (unsigned y = 0; y < bitmap.rows; ++y) {
        const int py = origin_y + static_cast<int>(y);
        if (py < cell_y || py >= cell_y + size.height) continue;
        for (unsigned x = 0; x < bitmap.width; ++x) {
            const int px = origin_x + static_cast<int>(x);
            if (px < cell_x || px >= cell_x + size.width) continue;
            if (ink(bitmap, x, y)) image.set_black(px, py);
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

    FT_Library raw_library = nullptr;
    if (FT_Init_FreeType(&raw_library) != 0) return unexpected(SheetFailure{SheetFault::cannot_open_font});
    Library library(raw_library);
    FT_Face raw_face = nullptr;
    if (FT_New_Face(library.get(), font.string().c_str(), 0, &raw_face) != 0)
        return unexpected(SheetFailure{SheetFault::cannot_open_font});
    Face face(raw_face);
    if (FT_Set_Pixel_Sizes(face.get(), static_cast<FT_UInt>(size.width), static_cast<FT_UInt>(size.height)) != 0)
        return unexpected(SheetFailure{SheetFault::size_unavailable});
    const int baseline = baseline_of(face.get(), size.height);

    MonoImage image(static_cast<int>(width), static_cast<int>(height));
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (!cells[i]) continue;
        const FT_UInt index = FT_Get_Char_Index(face.get(), *cells[i]);
        if (index == 0 ||
            FT_Load_Glyph(face.get(), index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0)
            return unexpected(SheetFailure{SheetFault::missing_glyph, *cells[i]});
        const int cell_x = static_cast<int>(i % static_cast<std::size_t>(columns)) * size.width;
        const int cell_y = static_cast<int>(i / static_cast<std::size_t>(columns)) * size.height;
        draw_glyph(face->glyph, cell_x, cell_y, size, baseline, image);
    }
    return image;
}

}  // namespace quillmere
