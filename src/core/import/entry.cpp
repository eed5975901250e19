#include "core/import/entry.hpp"

namespace quillmere {

Expected<ScriptEntry, SplitFailure> splitentry(std::u16string_view line) {
    const std::size_t first = line.find(u',');
    if (first == std::u16string_view::npos) return unexpected(SplitFailure{});
    const std::u16string_view address = line.substr(0, first);
    const std::size_t second = line.find(u',', first + 1);
    if (second == std::u16string_view::npos) return unexpected(SplitFailure{address});
    return ScriptEntry{address, line.substr(first + 1, second - first - 1), line.substr(second + 1)};
}

std::int64_t leading_number(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const int digit = text[i] - u'0';
        if (value > (kTooLarge - digit) / 10) {
            value = kTooLarge;
            break;
        }
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

std::optional<std::int64_t> length_excess(std::u16string_view original_length, std::size_t count) {
    // A text field holds fewer than kTooLarge characters, so count fits.
    const std::int64_t needed = static_cast<std::int64_t>(count);
    const std::int64_t original = leading_number(original_length);
    if (needed > original) return needed - original;
    return std::nullopt;
}

}  // namespace quillmere
