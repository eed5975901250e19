#include "core/encoding/filter.hpp"

#include <algorithm>
#include <limits>

#include "core/encoding/code_line.hpp"
#include "core/encoding/decimal.hpp"
#include "core/encoding/markers.hpp"

namespace quillmere {
namespace {

constexpr std::u16string_view kOver = u"over";
constexpr std::u16string_view kTurn = u"turn";

bool all_digits(std::u16string_view text) {
    if (text.empty()) return false;
    for (char16_t c : text)
        if (c < u'0' || c > u'9') return false;
    return true;
}

// Decimal digits, capped well above any count a run can hold.
std::int32_t decimal_count(std::u16string_view digits) {
    constexpr std::int64_t kCap = std::numeric_limits<std::int32_t>::max() / 2;
    return static_cast<std::int32_t>(std::min(read_decimal_prefix(digits).value, kCap));
}

// Shared walk: `index_of(code)` gives the slot or nullopt.
template <class Filter, class IndexOf>
Expected<Filter, FilterFailure> parse_filter(std::span<const std::u16string> lines, IndexOf index_of) {
    Filter filter;
    auto walked = walk_filter_lines(lines, [&](std::u16string_view code, FilterEntry entry) {
        auto index = index_of(code);
        if (!index) return false;
        filter.set(*index, std::move(entry));
        return true;
    });
    if (!walked) return unexpected(walked.error());
    return filter;
}

}  // namespace

void DoubleByteFilter::set(std::size_t code, FilterEntry entry) {
    std::uint32_t& slot = index_[code];
    if (slot == 0) {
        slot = static_cast<std::uint32_t>(entries_.size());
        entries_.push_back(std::move(entry));
    } else {
        entries_[slot] = std::move(entry);
    }
}

Expected<FilterEntry, FilterFailure> filter_entry(std::u16string_view value) {
    FilterEntry entry;
    if (value == kOver) {
        entry.kind = ControlKind::end;
        entry.text = kOver;
    } else if (value.starts_with(kTurn)) {
        std::u16string_view count = value.substr(kTurn.size());
        entry.kind = ControlKind::jump;
        entry.text = value;
        if (count.empty()) {
            entry.jump_count = 0;
        } else if (all_digits(count)) {
            entry.jump_count = decimal_count(count);
        } else if (count.size() > 1 && count[0] == u'-' && all_digits(count.substr(1))) {
            if (decimal_count(count.substr(1)) != 0) return unexpected(FilterFailure::bad_entry);
            entry.jump_count = 0;
        } else {
            entry.jump_count = kJumpCountNotANumber;
        }
    } else {
        if (value.empty()) return unexpected(FilterFailure::empty_field);
        entry.kind = ControlKind::tag;
        entry.text = tag_text(value);
    }
    return entry;
}

Expected<SingleByteFilter, FilterFailure> readfilter1(std::span<const std::u16string> lines) {
    return parse_filter<SingleByteFilter>(lines, [](std::u16string_view code) -> std::optional<std::size_t> {
        auto value = single_byte_code(code);
        if (!value || *value > 0x100) return std::nullopt;
        return static_cast<std::size_t>(*value);
    });
}

Expected<DoubleByteFilter, FilterFailure> readfilter2(std::span<const std::u16string> lines) {
    return parse_filter<DoubleByteFilter>(lines, [](std::u16string_view code) -> std::optional<std::size_t> {
        auto pair = double_byte_code(code);
        if (!pair) return std::nullopt;
        return static_cast<std::size_t>(pair->first) << 8 | pair->second;
    });
}

}  // namespace quillmere
