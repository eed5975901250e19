#pragma once
// UTF-8, the encoding of every exchange file, written and read one field at
// a time: the writers escape the few ASCII characters their format reserves
// and copy the rest; the readers decode a field and refuse what is not
// well-formed.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillmere::exchange::utf8 {

// Writes one character at `out` (room for 4 bytes) and returns the end.
inline char* put(char* out, char32_t c) {
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (c >> 18));
        *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// The character at text[i], a surrogate pair read as one (i moves to its
// second half). A lone surrogate, which no decoded file holds, reads as
// U+FFFD.
inline char32_t character_at(std::u16string_view text, std::size_t& i) {
    const char32_t c = text[i];
    if (c < 0xD800 || c > 0xDFFF) return c;
    if (c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        ++i;
        return 0x10000 + ((c - 0xD800) << 10) + (text[i] - 0xDC00);
    }
    return 0xFFFD;
}

// How a format writes the ASCII characters it reserves; empty for one
// written as it is. No escape is longer than kMaxBytesPerUnit.
using EscapeTable = std::array<std::string_view, 128>;
inline constexpr std::size_t kMaxBytesPerUnit = 6;

// Writes `text` at `out` (room for kMaxBytesPerUnit bytes per unit of it)
// and returns the end.
inline char* put_escaped(char* out, std::u16string_view text, const EscapeTable& escapes) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0x80) {
            out = put(out, character_at(text, i));
        } else if (const std::string_view escape = escapes[c]; escape.empty()) {
            *out++ = static_cast<char>(c);
        } else {
            out = std::copy(escape.begin(), escape.end(), out);
        }
    }
    return out;
}

inline char* put(char* out, std::u16string_view text) {
    static constexpr EscapeTable kNone{};
    return put_escaped(out, text, kNone);
}

// The character that starts at bytes[i] and how many bytes it takes; 0
// bytes when they are not well-formed UTF-8 (an overlong form, a
// surrogate, a value past U+10FFFF, a sequence cut short).
struct Decoded {
    char32_t character = 0;
    std::size_t size = 0;
};
inline Decoded decode_at(std::string_view bytes, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(bytes[i + k]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) return {lead, 1};
    std::size_t size = 0;
    char32_t c = 0, lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2, c = lead & 0x1F, lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3, c = lead & 0x0F, lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4, c = lead & 0x07, lowest = 0x10000;
    } else {
        return {};
    }
    if (bytes.size() - i < size) return {};
    for (std::size_t k = 1; k < size; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return {};
        c = (c << 6) | (byte(k) & 0x3F);
    }
    if (c < lowest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {};
    return {c, size};
}

// Decodes `bytes` onto the end of `out` (a container of char16_t); false,
// with `out` as it was, when they are not well-formed.
template <class Units>
bool append_decoded(Units& out, std::string_view bytes) {
    // Written through a pointer: no UTF-8 byte gives more than one unit, and
    // four bytes give two.
    const std::size_t old_size = out.size();
    out.resize(old_size + bytes.size());
    char16_t* p = out.data() + old_size;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<std::uint8_t>(bytes[i]);
        if (byte < 0x80) {
            *p++ = byte;
            ++i;
            continue;
        }
        const Decoded decoded = decode_at(bytes, i);
        if (decoded.size == 0) {
            out.resize(old_size);
            return false;
        }
        if (decoded.character < 0x10000) {
            *p++ = static_cast<char16_t>(decoded.character);
        } else {
            const char32_t above = decoded.character - 0x10000;
            *p++ = static_cast<char16_t>(0xD800 + (above >> 10));
            *p++ = static_cast<char16_t>(0xDC00 + (above & 0x3FF));
        }
        i += decoded.size;
    }
    out.resize(static_cast<std::size_t>(p - out.data()));
    return true;
}

// Where the first byte that is not well-formed UTF-8 stands.
std::optional<std::size_t> first_invalid(std::string_view bytes);

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace quillmere::exchange::utf8
