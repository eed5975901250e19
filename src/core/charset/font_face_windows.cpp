#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <usp10.h>

#include <cmath>
#include <system_error>

#include "core/charset/font_face.hpp"
#include "core/charset/font_names.hpp"
#include "core/files/files.hpp"

namespace quillmere {
namespace {

const SheetFailure kCannotOpen{SheetFault::cannot_open_font, 0};

// The glyph's index in the font, or 0 when the font has none: GDI would
// draw another font's glyph, or the empty box, in its place.
WORD glyph_index(HDC dc, char32_t character) {
    if (character <= 0xFFFF) {
        const wchar_t unit = static_cast<wchar_t>(character);
        WORD index = 0;
        if (::GetGlyphIndicesW(dc, &unit, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR || index == 0xFFFF)
            return 0;
        return index;
    }
    // Beyond the BMP GetGlyphIndicesW cannot look; Uniscribe reads the font's
    // character map for a surrogate pair.
    const wchar_t pair[2] = {static_cast<wchar_t>(0xD800 + ((character - 0x10000) >> 10)),
                             static_cast<wchar_t>(0xDC00 + ((character - 0x10000) & 0x3FF))};
    WORD glyphs[2] = {0, 0};
    SCRIPT_CACHE cache = nullptr;
    const HRESULT result = ::ScriptGetCMap(dc, &cache, pair, 2, 0, glyphs);
    ::ScriptFreeCache(&cache);
    return result == S_OK ? glyphs[0] : 0;
}

}  // namespace

struct FontFace::State {
    std::filesystem::path added;  // the font file loaded for this process alone, unloaded again
    HDC dc = nullptr;
    HFONT font = nullptr;
    HGDIOBJ previous = nullptr;
    TEXTMETRICW metrics{};

    State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() {
        if (dc != nullptr) {
            if (previous != nullptr) ::SelectObject(dc, previous);
            ::DeleteDC(dc);
        }
        if (font != nullptr) ::DeleteObject(font);
        if (!added.empty()) ::RemoveFontResourceExW(added.c_str(), FR_PRIVATE, nullptr);
    }

    // The font by name at the height of the cell, one bit per pixel;
    // `width` 0 keeps the font's own proportions.
    bool select(const std::wstring& face, int height, int width) {
        LOGFONTW wanted{};
        wanted.lfHeight = -height;  // the em, as FreeType's pixel size
        wanted.lfWidth = width;
        wanted.lfWeight = FW_NORMAL;
        wanted.lfCharSet = DEFAULT_CHARSET;
        wanted.lfOutPrecision = OUT_TT_PRECIS;
        wanted.lfQuality = NONANTIALIASED_QUALITY;
        face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
        const HFONT made = ::CreateFontIndirectW(&wanted);
        if (made == nullptr) return false;
        const HGDIOBJ old = ::SelectObject(dc, made);
        if (previous == nullptr) previous = old;
        if (font != nullptr) ::DeleteObject(font);
        font = made;
        // GDI takes another font when it has none of the name: that is no
        // font of the user's choice.
        wchar_t chosen[LF_FACESIZE] = {};
        if (::GetTextFaceW(dc, LF_FACESIZE, chosen) == 0 || ::lstrcmpiW(chosen, wanted.lfFaceName) != 0) return false;
        return ::GetTextMetricsW(dc, &metrics) != 0;
    }
};

FontFace::FontFace(std::unique_ptr<State> state) : state_(std::move(state)) {}
FontFace::FontFace(FontFace&&) noexcept = default;
FontFace& FontFace::operator=(FontFace&&) noexcept = default;
FontFace::~FontFace() = default;

Expected<FontFace, SheetFailure> FontFace::open(const std::filesystem::path& font, GlyphSize size) {
    auto state = std::make_unique<State>();
    std::wstring face;
    std::error_code error;
    if (std::filesystem::is_regular_file(font, error)) {
        // A font file: loaded for this process only, then asked for by the
        // family name it gives itself.
        auto bytes = files::read_bytes(font);
        if (!bytes) return unexpected(kCannotOpen);
        const auto family = font_family_name(*bytes);
        if (!family || ::AddFontResourceExW(font.c_str(), FR_PRIVATE, nullptr) == 0) return unexpected(kCannotOpen);
        state->added = font;
        face.assign(family->begin(), family->end());
    } else {
        face = font.wstring();  // an installed font's name, 宋体 say
    }
    if (face.empty() || face.size() >= LF_FACESIZE) return unexpected(kCannotOpen);
    state->dc = ::CreateCompatibleDC(nullptr);
    if (state->dc == nullptr || !state->select(face, size.height, 0)) return unexpected(kCannotOpen);
    if (size.width != size.height) {
        // FreeType's em of W × H pixels: the font's own width scaled by W / H.
        const double natural = state->metrics.tmAveCharWidth;
        const int width = std::max(1, static_cast<int>(std::lround(natural * size.width / size.height)));
        if (!state->select(face, size.height, width)) return unexpected(SheetFailure{SheetFault::size_unavailable});
    }
    return FontFace(std::move(state));
}

double FontFace::ascent() const { return state_->metrics.tmAscent; }
double FontFace::descent() const { return state_->metrics.tmDescent; }

Expected<Glyph, SheetFailure> FontFace::glyph(char32_t character) {
    const SheetFailure missing{SheetFault::missing_glyph, character};
    const WORD index = glyph_index(state_->dc, character);
    if (index == 0) return unexpected(missing);
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GLYPHMETRICS metrics{};
    constexpr UINT kFormat = GGO_BITMAP | GGO_GLYPH_INDEX;
    const DWORD size = ::GetGlyphOutlineW(state_->dc, index, kFormat, &metrics, 0, nullptr, &identity);
    if (size == GDI_ERROR) return unexpected(missing);
    Glyph glyph;
    glyph.advance = metrics.gmCellIncX;
    if (size == 0) return glyph;  // a space: no ink
    std::vector<std::uint8_t> bits(size);
    if (::GetGlyphOutlineW(state_->dc, index, kFormat, &metrics, size, bits.data(), &identity) == GDI_ERROR)
        return unexpected(missing);
    glyph.width = static_cast<int>(metrics.gmBlackBoxX);
    glyph.height = static_cast<int>(metrics.gmBlackBoxY);
    glyph.left = metrics.gmptGlyphOrigin.x;
    glyph.top = metrics.gmptGlyphOrigin.y;
    // Rows of one bit per pixel, each padded to a whole DWORD.
    const std::size_t pitch = (static_cast<std::size_t>(glyph.width) + 31) / 32 * 4;
    if (pitch * static_cast<std::size_t>(glyph.height) > bits.size()) return unexpected(missing);
    glyph.ink.resize(static_cast<std::size_t>(glyph.width) * static_cast<std::size_t>(glyph.height));
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x)
            glyph.ink[static_cast<std::size_t>(y * glyph.width + x)] =
                (bits[static_cast<std::size_t>(y) * pitch + static_cast<std::size_t>(x / 8)] >> (7 - x % 8)) & 1;
    return glyph;
}

}  // namespace quillmere
