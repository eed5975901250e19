#include "core/script/entry.hpp"

#include <limits>

namespace quillmere {

namespace {

// The leading numeric part of a text: blanks, an optional sign, then the
// decimal digits (leading zeros dropped).
struct LeadingDigits {
    bool negative = false;
    std::u16string_view digits;
};

LeadingDigits leading_digits(std::u16string_view text) {
    const DecimalPrefix number = read_decimal_prefix(text);
    LeadingDigits found{number.negative, number.digits};
    while (!found.digits.empty() && found.digits.front() == u'0') found.digits.remove_prefix(1);
    return found;
}

// digits + value, both written in decimal, exactly.
std::u16string decimal_sum(std::u16string_view digits, std::uint64_t value) {
    std::u16string sum;
    std::size_t i = digits.size();
    unsigned carry = 0;
    while (i > 0 || value > 0 || carry > 0) {
        unsigned digit = carry + static_cast<unsigned>(value % 10);
        if (i > 0) digit += static_cast<unsigned>(digits[--i] - u'0');
        value /= 10;
        sum.push_back(static_cast<char16_t>(u'0' + digit % 10));
        carry = digit / 10;
    }
    if (sum.empty()) sum = u"0";
    return std::u16string(sum.rbegin(), sum.rend());
}

}  // namespace

std::int64_t leading_number(std::u16string_view text) { return read_decimal_prefix(text).value; }

std::optional<std::u16string> length_excess(std::u16string_view original_length, std::size_t count) {
    // The excess is stated exactly, however many digits the length has.
    const LeadingDigits original = leading_digits(original_length);
    if (original.negative && !original.digits.empty()) return decimal_sum(original.digits, count);
    std::uint64_t value = 0;
    for (char16_t c : original.digits) {
        const auto digit = static_cast<unsigned>(c - u'0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return std::nullopt;  // above any count
        value = value * 10 + digit;
    }
    if (count <= value) return std::nullopt;
    return decimal_sum(u"", count - value);
}

}  // namespace quillmere
