#include "core/export/export_text.hpp"

#include <algorithm>

#include "core/encoding/decimal.hpp"

namespace quillmere {
namespace {

// Digits are written backwards, ending just before `end`; returns the first.
char16_t* hex_digits(char16_t* end, std::uint32_t value) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    do {
        *--end = kDigits[value & 0x0F];
        value >>= 4;
    } while (value != 0);
    return end;
}

char16_t* decimal_digits(char16_t* end, std::uint32_t value) {
    do {
        *--end = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    return end;
}

}  // namespace

char16_t* write_record_header(char16_t* end, std::uint32_t address, std::int32_t length,
                              std::optional<std::uint32_t> tail_of) {
    // At most 8 + 1 + 10 + 1 + 8 + 1 characters.
    char16_t* begin = end;
    *--begin = u',';
    if (tail_of) {
        begin = hex_digits(begin, *tail_of);
        *--begin = u'@';
    }
    begin = decimal_digits(begin, static_cast<std::uint32_t>(length < 0 ? 0 : length));
    *--begin = u',';
    return hex_digits(begin, address);
}

void append_record(std::u16string& out, std::uint32_t address, std::int32_t length, std::u16string_view text) {
    char16_t header[kRecordHeaderSize];
    char16_t* const end = header + kRecordHeaderSize;
    out.append(write_record_header(end, address, length), end);
    out += text;
    out += kRecordEnd;
}

std::optional<std::int32_t> read_minimum_run_length(std::u16string_view text) {
    const DecimalPrefix number = read_decimal_prefix(text);
    if (number.digits.empty()) return std::nullopt;
    for (char16_t c : number.rest)
        if (!is_blank(c)) return std::nullopt;
    // Anything from the longest run on up drops every run alike.
    constexpr std::int64_t kCap = kMaxRunLength + 1;
    return static_cast<std::int32_t>(std::clamp(number.value, -kCap, kCap));
}

}  // namespace quillmere
