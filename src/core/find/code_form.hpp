#pragma once
// How a game's text codes stand in the ROM when no table says so yet: one
// byte each, or two bytes in either order. A code is a number; its table key
// is its bytes as they stand in the ROM, as every code table of the tool
// writes them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::find {

enum class ByteOrder { little, big };

struct CodeForm {
    int width = 1;  // bytes per code: 1 or 2
    ByteOrder order = ByteOrder::little;

    std::uint32_t code_count() const { return width == 1 ? 0x100u : 0x10000u; }
};

// The code whose bytes start at `at` (width bytes must be readable there).
inline std::uint32_t code_at(const std::uint8_t* at, CodeForm form) {
    if (form.width == 1) return at[0];
    return form.order == ByteOrder::little ? std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8
                                           : std::uint32_t{at[0]} << 8 | std::uint32_t{at[1]};
}

// The table key of a code below form.code_count(): "41", or two bytes in ROM
// order ("4101" for 0x0141 little-endian), upper-case digits.
std::u16string code_key(std::uint32_t code, CodeForm form);

// Offsets first … last of the ROM, both included.
struct Stretch {
    std::size_t first = 0, last = 0;
};

// Where a search found its query, in address order: the first `keep` of
// them, how many there were in all, and the place numbered `pick` (counting
// from 1; 0 for none), wherever it comes.
struct Hits {
    std::vector<std::size_t> offsets;
    std::size_t total = 0;
    std::optional<std::size_t> picked;

    void add(std::size_t offset, std::size_t keep, std::size_t pick) {
        if (offsets.size() < keep) offsets.push_back(offset);
        if (++total == pick) picked = offset;
    }
};

// A typed query's characters, one code point each (a surrogate pair is one
// character; a lone surrogate stands for itself).
std::u32string code_points(std::u16string_view text);
std::u16string utf16_of(char32_t character);
std::u16string utf16_of(std::u32string_view characters);

// Whether a character would break the one-line output or a table line.
inline bool is_control(char32_t character) { return character < 0x20 || character == 0x7F; }

}  // namespace quillmere::find
