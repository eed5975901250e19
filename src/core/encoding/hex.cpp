#include "core/encoding/hex.hpp"

#include <array>
#include <type_traits>

namespace quillmere {

int hex_digit_value(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

bool is_all_hex(std::u16string_view text) {
    for (char16_t c : text)
        if (!is_hex_digit(c)) return false;
    return true;
}

namespace {

template <class Char>
std::optional<std::int32_t> hex_value(std::basic_string_view<Char> text) {
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (Char c : text) {
        int digit = hex_digit_value(static_cast<char16_t>(static_cast<std::make_unsigned_t<Char>>(c)));
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(digit);
        if (value > 0x7FFFFFFF) return std::nullopt;  // leading zeros never get here
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::optional<std::int32_t> hex2num(std::u16string_view text) { return hex_value(text); }
std::optional<std::int32_t> hex2num(std::string_view text) {
    // Addresses of every entry of a script pass here: the usual eight
    // digits or fewer by table, without a bound check each.
    if (text.empty() || text.size() > 8) return hex_value(text);
    std::uint32_t value = 0;
    for (char c : text) {
        const int digit = kHexByteValues[static_cast<std::uint8_t>(c)];
        if (digit < 0) return std::nullopt;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    if (value > 0x7FFFFFFF) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

void append_hex_byte(std::u16string& out, std::uint8_t byte) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    const char16_t digits[2] = {kDigits[byte >> 4], kDigits[byte & 0x0F]};
    out.append(digits, 2);
}

std::u16string to_hex(std::uint32_t value) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    char16_t buffer[8];
    int n = 0;
    do {
        buffer[n++] = kDigits[value & 0x0F];
        value >>= 4;
    } while (value != 0);
    std::u16string out;
    out.reserve(static_cast<std::size_t>(n));
    while (n > 0) out += buffer[--n];
    return out;
}

}  // namespace quillmere
