#include "core/encoding/decimal.hpp"

namespace quillmere {

DecimalPrefix read_decimal_prefix(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && is_blank(text[i])) ++i;
    DecimalPrefix number;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) number.negative = text[i++] == u'-';
    const std::size_t first = i;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const int digit = text[i] - u'0';
        if (number.value > (kTooLarge - digit) / 10)
            number.value = kTooLarge;
        else if (number.value < kTooLarge)
            number.value = number.value * 10 + digit;
    }
    number.digits = text.substr(first, i - first);
    number.rest = text.substr(i);
    if (number.negative) number.value = -number.value;
    return number;
}

}  // namespace quillmere
