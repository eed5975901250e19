#pragma once
// Decimal numbers as they are typed into boxes and scripts: blanks, an
// optional sign, decimal digits.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillmere {

// Far beyond any byte count or length, so arithmetic on a number held here
// cannot overflow.
inline constexpr std::int64_t kTooLarge = std::int64_t{1} << 60;

struct DecimalPrefix {
    std::int64_t value = 0;      // held at ±kTooLarge when larger in size; 0 without digits
    bool negative = false;       // a "-" stood before the digits
    std::u16string_view digits;  // the digits as written, leading zeros included
    std::u16string_view rest;    // what follows the digits
};

// Skips blanks (space, tab), reads an optional "+" or "-" and the decimal
// digits right after it.
DecimalPrefix read_decimal_prefix(std::u16string_view text);

inline bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace quillmere
