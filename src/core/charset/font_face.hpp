#pragma once
// A font opened at the size of a sheet's cells, giving one glyph at a time
// as the sheet places it. Each system draws with its own: FreeType on
// Linux (font_face_freetype.cpp), GDI on Windows (font_face_windows.cpp);
// the sheet's layout is the same on both (font_sheet.cpp).

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/charset/font_sheet.hpp"
#include "core/expected.hpp"

namespace quillmere {

struct Glyph {
    int width = 0, height = 0;      // of the ink's box, in pixels
    int left = 0;                   // from the pen to the box's left edge
    int top = 0;                    // from the baseline up to the box's top edge
    int advance = 0;                // how far the pen moves, whole pixels
    std::vector<std::uint8_t> ink;  // width × height, rows top to bottom; 1 is ink
};

class FontFace {
public:
    // The font at `font`; on Windows also an installed font's name.
    static Expected<FontFace, SheetFailure> open(const std::filesystem::path& font, GlyphSize size);

    FontFace(FontFace&&) noexcept;
    FontFace& operator=(FontFace&&) noexcept;
    ~FontFace();

    // The font's ascent and descent, in pixels: the baseline of a cell of
    // height H lies H × ascent / (ascent + descent) from its top.
    double ascent() const;
    double descent() const;
    // missing_glyph when the font has none for the character.
    Expected<Glyph, SheetFailure> glyph(char32_t character);

    struct State;

private:
    explicit FontFace(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace quillmere
