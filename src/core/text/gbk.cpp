#include "core/text/gbk.hpp"

#include "core/memory/large_buffer.hpp"
#include "core/text/gbk_tables.hpp"

namespace quillmere::text {
namespace {

// Past this size a buffer is worth advising for huge pages.
constexpr std::size_t kLargeText = std::size_t{1} << 20;

// Room for the bytes of an encoded text, to be cut to what was written.
Bytes output_room(std::size_t room) {
    Bytes bytes;
    bytes.reserve(room);
    if (room >= kLargeText) platform::advise_huge_pages(bytes.data(), room);
    bytes.resize(room);
    return bytes;
}

bool is_high_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The first character of `text` from `at` on that code page 936 cannot
// hold: a character without a code, a lone surrogate, or any character
// beyond the BMP (the code page has none), with the index of its first unit.
EncodeFailure first_unencodable(std::u16string_view text, std::size_t at) {
    for (; at < text.size(); ++at) {
        const char16_t c = text[at];
        if (is_high_surrogate(c) && at + 1 < text.size() && is_low_surrogate(text[at + 1]))
            return EncodeFailure{at, 0x10000 + ((char32_t{c} - 0xD800) << 10) + (char32_t{text[at + 1]} - 0xDC00)};
        if (gbk_tables::codes[c] == gbk_tables::kNoCode) return EncodeFailure{at, c};
    }
    return EncodeFailure{at, 0};
}

}  // namespace

std::optional<char16_t> decode_gbk_code(std::uint16_t code) {
    if (code <= 0xFF) {
        const char16_t unit = gbk_tables::single[code];
        if (unit == gbk_tables::kNoCharacter) return std::nullopt;
        return unit;
    }
    const unsigned lead = code >> 8, trail = code & 0xFF;
    if (lead < gbk_tables::kFirstLead || lead > gbk_tables::kLastLead || trail < gbk_tables::kFirstTrail ||
        trail > gbk_tables::kLastTrail)
        return std::nullopt;
    const char16_t unit =
        gbk_tables::pairs[(lead - gbk_tables::kFirstLead) * gbk_tables::kTrailCount + (trail - gbk_tables::kFirstTrail)];
    if (unit == gbk_tables::kNoCharacter) return std::nullopt;
    return unit;
}

std::optional<std::uint16_t> encode_gbk_char(char16_t character) {
    const std::uint16_t code = gbk_tables::codes[character];
    if (code == gbk_tables::kNoCode) return std::nullopt;
    return code;
}

// A byte that is a character is one; a lead byte and the byte after it are
// one when the pair is a code. Anything else is one bad sequence, one
// U+FFFD: a lead byte whose next byte makes no code (that byte then starts
// afresh, as every byte is a character or a lead byte), a lead byte at the
// very end, and a byte that is neither. This is how the converter the
// tables come from reads a text, which the tests hold it to.
Decoded decode_gbk(std::span<const std::uint8_t> bytes) {
    Decoded decoded;
    const std::size_t size = bytes.size();
    // Every byte gives at most one UTF-16 unit.
    if (size >= kLargeText) memory::reserve_large(decoded.text, size);
    decoded.text.resize(size);
    char16_t* out = decoded.text.data();
    const std::uint8_t* const in = bytes.data();
    std::size_t bad = 0;
    for (std::size_t i = 0; i < size;) {
        const std::uint8_t byte = in[i];
        char16_t unit = gbk_tables::single[byte];
        ++i;
        if (unit == gbk_tables::kNoCharacter) {
            const auto pair = byte >= gbk_tables::kFirstLead && byte <= gbk_tables::kLastLead && i < size
                                  ? decode_gbk_code(static_cast<std::uint16_t>(byte << 8 | in[i]))
                                  : std::nullopt;
            if (pair) {
                unit = *pair;
                ++i;
            } else {
                unit = u'\uFFFD';
                ++bad;
            }
        }
        *out++ = unit;
    }
    decoded.text.resize(static_cast<std::size_t>(out - decoded.text.data()));
    decoded.bad_sequences = bad;
    return decoded;
}

Expected<Bytes, EncodeFailure> encode_gbk(std::u16string_view text) {
    Bytes bytes = output_room(text.size() * 2);
    std::uint8_t* out = bytes.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint16_t code = gbk_tables::codes[text[i]];
        if (code == gbk_tables::kNoCode) return unexpected(first_unencodable(text, i));
        if (code > 0xFF) *out++ = static_cast<std::uint8_t>(code >> 8);
        *out++ = static_cast<std::uint8_t>(code);
    }
    bytes.resize(static_cast<std::size_t>(out - bytes.data()));
    return bytes;
}

std::optional<Bytes> encode_gbk_round_trip(std::u16string_view text) {
    auto bytes = encode_gbk(text);
    if (!bytes || decode_gbk(*bytes).text != text) return std::nullopt;
    return std::move(*bytes);
}

Expected<Bytes, EncodeFailure> encode(std::u16string_view text, Encoding encoding) {
    return encoding == Encoding::utf8 ? encode_utf8(text) : encode_gbk(text);
}

Decoded decode_text_file(std::span<const std::uint8_t> bytes, Encoding encoding) {
    const bool marked = bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
    if (marked) return decode_utf8(bytes.subspan(3));
    return encoding == Encoding::utf8 ? decode_utf8(bytes) : decode_gbk(bytes);
}

}  // namespace quillmere::text
