#include "core/find/code_form.hpp"

#include "core/encoding/hex.hpp"

namespace quillmere::find {

std::u16string code_key(std::uint32_t code, CodeForm form) {
    std::u16string key;
    if (form.width == 1) {
        append_hex_byte(key, static_cast<std::uint8_t>(code));
        return key;
    }
    const auto high = static_cast<std::uint8_t>(code >> 8);
    const auto low = static_cast<std::uint8_t>(code);
    append_hex_byte(key, form.order == ByteOrder::little ? low : high);
    append_hex_byte(key, form.order == ByteOrder::little ? high : low);
    return key;
}

std::u32string code_points(std::u16string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out += static_cast<char32_t>(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            out += unit;
        }
    }
    return out;
}

std::u16string utf16_of(char32_t character) {
    if (character < 0x10000) return std::u16string(1, static_cast<char16_t>(character));
    const char32_t offset = character - 0x10000;
    return {static_cast<char16_t>(0xD800 + (offset >> 10)), static_cast<char16_t>(0xDC00 + (offset & 0x3FF))};
}

std::u16string utf16_of(std::u32string_view characters) {
    std::u16string out;
    for (char32_t c : characters) out += utf16_of(c);
    return out;
}

}  // namespace quillmere::find
