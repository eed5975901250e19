#include "core/encoding/markers.hpp"

#include <algorithm>

#include "core/encoding/hex.hpp"

namespace quillmere {
namespace {

constexpr char16_t kDigits[] = u"0123456789ABCDEF";

char16_t* write_hex(char16_t* out, std::span<const std::uint8_t> bytes) {
    for (std::uint8_t byte : bytes) {
        *out++ = kDigits[byte >> 4];
        *out++ = kDigits[byte & 0x0F];
    }
    return out;
}

char16_t* write_simple_marker(char16_t* out, std::u16string_view word, std::span<const std::uint8_t> code) {
    *out++ = u'{';
    out = std::copy(word.begin(), word.end(), out);
    out = write_hex(out, code);
    *out++ = u'}';
    return out;
}

// A marker of `length` characters, written by `write`.
template <class Write>
std::u16string written(std::size_t length, Write write) {
    std::u16string out(length, u'\0');
    write(out.data());
    return out;
}

}  // namespace

std::size_t end_marker_length(std::size_t code_bytes) { return 1 + kEndWord.size() + 2 * code_bytes + 1; }

std::size_t jump_marker_length(std::size_t code_bytes, std::size_t parameter_bytes) {
    return 1 + kJumpWord.size() + 2 * code_bytes + 1 + 2 * parameter_bytes + 1;
}

char16_t* write_end_marker(char16_t* out, std::span<const std::uint8_t> code) {
    return write_simple_marker(out, kEndWord, code);
}

char16_t* write_jump_marker(char16_t* out, std::span<const std::uint8_t> code,
                            std::span<const std::uint8_t> parameters) {
    *out++ = u'{';
    out = std::copy(kJumpWord.begin(), kJumpWord.end(), out);
    out = write_hex(out, code);
    *out++ = kFullWidthColon;
    out = write_hex(out, parameters);
    *out++ = u'}';
    return out;
}

std::u16string end_marker(std::span<const std::uint8_t> code) {
    return written(end_marker_length(code.size()), [&](char16_t* at) { write_end_marker(at, code); });
}

std::u16string jump_marker(std::span<const std::uint8_t> code, std::span<const std::uint8_t> parameters) {
    return written(jump_marker_length(code.size(), parameters.size()),
                   [&](char16_t* at) { write_jump_marker(at, code, parameters); });
}

std::u16string fill_marker(std::span<const std::uint8_t> code) {
    return written(end_marker_length(code.size()), [&](char16_t* at) { write_simple_marker(at, kFillWord, code); });
}

std::u16string tag_text(std::u16string_view value) {
    std::u16string out;
    out.reserve(value.size() + 2);
    out += u'{';
    out += value;
    out += u'}';
    return out;
}

char16_t* write_hex_byte_marker(char16_t* out, std::uint8_t byte) {
    *out++ = u'{';
    *out++ = u'$';
    *out++ = kDigits[byte >> 4];
    *out++ = kDigits[byte & 0x0F];
    *out++ = u'}';
    return out;
}

std::u16string hex_byte_marker(std::uint8_t byte) {
    std::u16string out(kHexByteMarkerLength, u' ');
    write_hex_byte_marker(out.data(), byte);
    return out;
}

std::optional<std::uint8_t> read_hex_byte_marker(std::u16string_view token) {
    if (token.size() != kHexByteMarkerLength || token[0] != u'{' || token[1] != u'$' || token[4] != u'}')
        return std::nullopt;
    const int high = hex_digit_value(token[2]);
    const int low = hex_digit_value(token[3]);
    if (high < 0 || low < 0) return std::nullopt;
    return static_cast<std::uint8_t>(high * 16 + low);
}

}  // namespace quillmere
