#pragma once
// Code page 936 bytes of a script read as they stand: a character at a time,
// written as UTF-8 straight from the bytes, without decoding the whole
// script first.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/exchange/utf8.hpp"
#include "core/text/gbk_tables.hpp"

namespace quillmere::exchange::gbk {

struct Char {
    char16_t character = 0;
    std::size_t size = 0;  // 0: the bytes are no code of the code page
};

inline Char char_at(std::string_view bytes, std::size_t i) {
    namespace tables = text::gbk_tables;
    const auto lead = static_cast<std::uint8_t>(bytes[i]);
    if (const char16_t single = tables::single[lead]; single != tables::kNoCharacter) return {single, 1};
    if (i + 1 == bytes.size() || lead < tables::kFirstLead || lead > tables::kLastLead) return {};
    const auto trail = static_cast<std::uint8_t>(bytes[i + 1]);
    if (trail < tables::kFirstTrail || trail > tables::kLastTrail) return {};
    const char16_t pair = tables::pairs[(lead - tables::kFirstLead) * tables::kTrailCount + (trail - tables::kFirstTrail)];
    if (pair == tables::kNoCharacter) return {};
    return {pair, 2};
}

// Writes the bytes as UTF-8 at `out` (room for kMaxBytesPerUnit bytes per
// byte of them), escaped as `escapes` says; the end, or nullptr when they
// are not all codes of the code page.
inline char* put_escaped(char* out, std::string_view bytes, const utf8::EscapeTable& escapes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<std::uint8_t>(bytes[i]);
        if (byte < 0x80) {  // the code page's ASCII half is ASCII
            if (const std::string_view escape = escapes[byte]; escape.empty()) {
                *out++ = static_cast<char>(byte);
            } else {
                out = std::copy(escape.begin(), escape.end(), out);
            }
            ++i;
            continue;
        }
        const Char c = char_at(bytes, i);
        if (c.size == 0) return nullptr;
        out = utf8::put(out, c.character);
        i += c.size;
    }
    return out;
}

// Whether the bytes are all codes of the code page.
inline bool well_formed(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const Char c = char_at(bytes, i);
        if (c.size == 0) return false;
        i += c.size;
    }
    return true;
}

}  // namespace quillmere::exchange::gbk
