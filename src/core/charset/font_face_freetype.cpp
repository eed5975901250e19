#include <ft2build.h>
#include FT_FREETYPE_H

#include "core/charset/font_face.hpp"

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

}  // namespace

struct FontFace::State {
    Library library;  // declared first: the face goes before its library
    Face face;
};

FontFace::FontFace(std::unique_ptr<State> state) : state_(std::move(state)) {}
FontFace::FontFace(FontFace&&) noexcept = default;
FontFace& FontFace::operator=(FontFace&&) noexcept = default;
FontFace::~FontFace() = default;

Expected<FontFace, SheetFailure> FontFace::open(const std::filesystem::path& font, GlyphSize size) {
    auto state = std::make_unique<State>();
    FT_Library raw_library = nullptr;
    if (FT_Init_FreeType(&raw_library) != 0) return unexpected(SheetFailure{SheetFault::cannot_open_font});
    state->library.reset(raw_library);
    FT_Face raw_face = nullptr;
    if (FT_New_Face(state->library.get(), font.c_str(), 0, &raw_face) != 0)
        return unexpected(SheetFailure{SheetFault::cannot_open_font});
    state->face.reset(raw_face);
    if (FT_Set_Pixel_Sizes(raw_face, static_cast<FT_UInt>(size.width), static_cast<FT_UInt>(size.height)) != 0)
        return unexpected(SheetFailure{SheetFault::size_unavailable});
    return FontFace(std::move(state));
}

double FontFace::ascent() const { return static_cast<double>(state_->face->size->metrics.ascender) / 64.0; }
double FontFace::descent() const { return static_cast<double>(-state_->face->size->metrics.descender) / 64.0; }

Expected<Glyph, SheetFailure> FontFace::glyph(char32_t character) {
    FT_Face face = state_->face.get();
    const FT_UInt index = FT_Get_Char_Index(face, character);
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0)
        return unexpected(SheetFailure{SheetFault::missing_glyph, character});
    const FT_GlyphSlot slot = face->glyph;
    Glyph glyph;
    glyph.width = static_cast<int>(slot->bitmap.width);
    glyph.height = static_cast<int>(slot->bitmap.rows);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.advance = static_cast<int>(slot->advance.x >> 6);
    glyph.ink.resize(static_cast<std::size_t>(glyph.width) * static_cast<std::size_t>(glyph.height));
    for (unsigned y = 0; y < slot->bitmap.rows; ++y)
        for (unsigned x = 0; x < slot->bitmap.width; ++x)
            glyph.ink[y * slot->bitmap.width + x] = ink(slot->bitmap, x, y) ? 1 : 0;
    return glyph;
}

}  // namespace quillmere
