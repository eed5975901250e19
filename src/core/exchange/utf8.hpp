#pragma once
// UTF-8, the encoding of every exchange file, written and read one field at
// a time: the writers escape the few ASCII characters their format reserves
// and copy the rest; the readers decode a field and refuse what is not
// well-formed.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillmere::exchange::utf8 {

inline void append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        const char bytes[] = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        out.append(bytes, 2);
    } else if (c < 0x10000) {
        const char bytes[] = {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                              static_cast<char>(0x80 | (c & 0x3F))};
        out.append(bytes, 3);
    } else {
        const char bytes[] = {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
                              static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        out.append(bytes, 4);
    }
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

// Appends `text` as UTF-8; `escape(c, out)` is asked about every ASCII
// character and returns true when it wrote it (escaped) itself.
template <class Escape>
void append_escaped(std::string& out, std::u16string_view text, Escape&& escape) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x80) {
            if (!escape(c, out)) out += static_cast<char>(c);
        } else {
            append(out, character_at(text, i));
        }
    }
}

inline void append(std::string& out, std::u16string_view text) {
    append_escaped(out, text, [](char16_t, std::string&) { return false; });
}

// The character that starts at bytes[i] and how many bytes it takes; 0
// bytes when they are not well-formed UTF-8 (an overlong form, a
// surrogate, a value past U+10FFFF, a sequence cut short).
struct Decoded {
    char32_t character = 0;
    std::size_t size = 0;
};
Decoded decode_at(std::string_view bytes, std::size_t i);

// Decodes `bytes` onto the end of `out`; false, with `out` as it was, when
// they are not well-formed.
bool append_decoded(std::u16string& out, std::string_view bytes);

// Where the first byte that is not well-formed UTF-8 stands.
std::optional<std::size_t> first_invalid(std::string_view bytes);

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace quillmere::exchange::utf8
