#include <type_traits>

#include "core/memory/large_buffer.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::text {
namespace {

constexpr std::size_t kLargeText = std::size_t{1} << 20;

template <class Out>
Out put_utf8(char32_t c, Out out) {
    using Unit = std::remove_reference_t<decltype(*out)>;
    if (c < 0x80) {
        *out++ = static_cast<Unit>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<Unit>(0xC0 | (c >> 6));
        *out++ = static_cast<Unit>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<Unit>(0xE0 | (c >> 12));
        *out++ = static_cast<Unit>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<Unit>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<Unit>(0xF0 | (c >> 18));
        *out++ = static_cast<Unit>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<Unit>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<Unit>(0x80 | (c & 0x3F));
    }
    return out;
}

bool is_high_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

// Well-formed UTF-8 as the standard defines it (no overlong forms, no
// surrogates, nothing past U+10FFFF). An ill-formed stretch becomes one
// U+FFFD for each maximal part of a sequence that could still have been
// well-formed, and counts as one bad sequence: a byte that starts no
// sequence is one; a sequence cut short (by a byte that cannot come next,
// or by the end) is one for all its bytes so far, and the byte that cut it
// starts afresh.
Decoded decode_utf8(std::span<const std::uint8_t> bytes) {
    Decoded decoded;
    const std::size_t size = bytes.size();
    // Four bytes give two UTF-16 units, anything shorter one at most.
    if (size >= kLargeText) memory::reserve_large(decoded.text, size);
    decoded.text.resize(size);
    char16_t* out = decoded.text.data();
    const std::uint8_t* const in = bytes.data();
    std::size_t bad = 0;
    for (std::size_t i = 0; i < size;) {
        const std::uint8_t first = in[i++];
        if (first < 0x80) {
            *out++ = first;
            continue;
        }
        // How many bytes follow, and the range the second must lie in.
        unsigned follow = 0;
        std::uint8_t low = 0x80, high = 0xBF;
        char32_t c = 0;
        if (first >= 0xC2 && first <= 0xDF) {
            follow = 1;
            c = first & 0x1F;
        } else if (first >= 0xE0 && first <= 0xEF) {
            follow = 2;
            c = first & 0x0F;
            if (first == 0xE0) low = 0xA0;   // no overlong forms
            if (first == 0xED) high = 0x9F;  // no surrogates
        } else if (first >= 0xF0 && first <= 0xF4) {
            follow = 3;
            c = first & 0x07;
            if (first == 0xF0) low = 0x90;   // no overlong forms
            if (first == 0xF4) high = 0x8F;  // nothing past U+10FFFF
        } else {
            *out++ = u'\uFFFD';
            ++bad;
            continue;
        }
        bool whole = true;
        for (unsigned k = 0; k < follow; ++k) {
            if (i == size || in[i] < low || in[i] > high) {
                whole = false;
                break;
            }
            c = c << 6 | (in[i++] & 0x3F);
            low = 0x80;
            high = 0xBF;
        }
        if (!whole) {
            *out++ = u'\uFFFD';
            ++bad;
        } else if (c >= 0x10000) {
            *out++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            *out++ = static_cast<char16_t>(c);
        }
    }
    decoded.text.resize(static_cast<std::size_t>(out - decoded.text.data()));
    decoded.bad_sequences = bad;
    return decoded;
}

Expected<Bytes, EncodeFailure> encode_utf8(std::u16string_view text) {
    Bytes bytes;
    const std::size_t room = text.size() * 3;
    bytes.reserve(room);
    if (room >= kLargeText) platform::advise_huge_pages(bytes.data(), room);
    bytes.resize(room);
    std::uint8_t* out = bytes.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (!is_high_surrogate(c) || i + 1 == text.size() || !is_low_surrogate(text[i + 1]))
                return unexpected(EncodeFailure{i, c});
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t{text[++i]} - 0xDC00);
        }
        out = put_utf8(c, out);
    }
    bytes.resize(static_cast<std::size_t>(out - bytes.data()));
    return bytes;
}

std::string to_utf8(std::u16string_view text) {
    std::string out(text.size() * 3, '\0');
    char* at = out.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (is_high_surrogate(c) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t{text[++i]} - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        at = put_utf8(c, at);
    }
    out.resize(static_cast<std::size_t>(at - out.data()));
    return out;
}

std::u16string from_utf8(std::string_view text) {
    return decode_utf8(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())).text;
}

}  // namespace quillmere::text
