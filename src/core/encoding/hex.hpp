#pragma once
// Hexadecimal text: addresses typed by the user, codes in tables, filter
// lists and translation scripts.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillmere {

// The value of one or more hexadecimal digits and nothing else, between 0 and
// 7FFFFFFF; anything else (empty, blanks, signs, prefixes, larger values) is
// invalid.
std::optional<std::int32_t> hex2num(std::u16string_view text);
// The same of text held as bytes, one character each: a byte of 80 or above
// is no digit, as no character it is part of is.
std::optional<std::int32_t> hex2num(std::string_view text);

// The value of one hexadecimal digit, or -1.
int hex_digit_value(char16_t c);
// The same of each byte, by table: for the readers that see every byte of
// a script.
inline constexpr std::array<std::int8_t, 256> kHexByteValues = [] {
    std::array<std::int8_t, 256> values{};
    for (int byte = 0; byte < 256; ++byte)
        values[static_cast<std::size_t>(byte)] = static_cast<std::int8_t>(
            byte >= '0' && byte <= '9'   ? byte - '0'
            : byte >= 'A' && byte <= 'F' ? byte - 'A' + 10
            : byte >= 'a' && byte <= 'f' ? byte - 'a' + 10
                                         : -1);
    return values;
}();

inline bool is_hex_digit(char16_t c) { return hex_digit_value(c) >= 0; }
bool is_all_hex(std::u16string_view text);  // true for the empty text

// Appends the byte as exactly two upper-case hexadecimal digits.
void append_hex_byte(std::u16string& out, std::uint8_t byte);
// Upper-case hexadecimal without leading zeros ("0" for 0).
std::u16string to_hex(std::uint32_t value);

}  // namespace quillmere
