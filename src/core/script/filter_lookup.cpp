#include "core/script/filter_lookup.hpp"

#include <algorithm>
#include <map>

#include "core/encoding/code_line.hpp"
#include "core/encoding/hex.hpp"
#include "core/script/entry.hpp"

namespace quillmere {
namespace {

// code -> tag text of the entries left once later lines have replaced
// earlier ones; end and jump codes never equal a token, so only tags stay.
using Slots = std::map<std::int32_t, std::u16string>;

// `code_of(CODE)` gives the slot, or nullopt for a bad entry.
template <class CodeOf>
Expected<Slots, FilterFailure> parse_slots(std::span<const std::u16string> lines, CodeOf code_of) {
    Slots slots;
    auto walked = walk_filter_lines(lines, [&](std::u16string_view text, FilterEntry entry) {
        std::optional<std::int32_t> code = code_of(text);
        if (!code) return false;
        if (entry.kind == ControlKind::tag)
            slots[*code] = std::move(entry.text);
        else
            slots.erase(*code);
        return true;
    });
    if (!walked) return unexpected(walked.error());
    return slots;
}

}  // namespace

CodeRange code_range(std::u16string_view low, std::u16string_view high) {
    const std::int64_t from = std::max<std::int64_t>(leading_number(low), 0);
    const std::int64_t to = std::min<std::int64_t>(leading_number(high), 0xFFFF);
    if (from > to) return CodeRange{1, 0};
    return CodeRange{static_cast<std::int32_t>(from), static_cast<std::int32_t>(to)};
}

Expected<Done, FilterFailure> FilterLookup::add_double_list(std::span<const std::u16string> lines) {
    // The pair the export reads from the same CODE, whatever its length.
    auto slots = parse_slots(lines, [](std::u16string_view text) -> std::optional<std::int32_t> {
        auto pair = double_byte_code(text);
        if (!pair) return std::nullopt;
        return std::int32_t{pair->first} << 8 | pair->second;
    });
    if (!slots) return unexpected(slots.error());
    // The map is ordered, so each list of codes comes out ascending.
    for (auto& [code, tag] : *slots)
        double_[tag].push_back(static_cast<std::uint16_t>(code));
    return Done{};
}

Expected<Done, FilterFailure> FilterLookup::add_single_list(std::span<const std::u16string> lines) {
    auto slots = parse_slots(lines, [](std::u16string_view text) -> std::optional<std::int32_t> {
        auto code = hex2num(text);
        if (!code || *code > kFilterCodeLimit) return std::nullopt;
        return code;
    });
    if (!slots) return unexpected(slots.error());
    for (auto& [code, tag] : *slots)
        if (code <= 0xFF) single_.try_emplace(tag, static_cast<std::uint8_t>(code));
    return Done{};
}

std::optional<std::uint8_t> FilterLookup::single_code(std::u16string_view token) const {
    auto found = single_.find(token);
    if (found == single_.end()) return std::nullopt;
    return found->second;
}

std::optional<std::uint16_t> FilterLookup::double_code(std::u16string_view token, CodeRange range) const {
    auto found = double_.find(token);
    if (found == double_.end()) return std::nullopt;
    return first_in(found->second, range);
}

std::optional<std::uint16_t> FilterLookup::first_in(std::span<const std::uint16_t> codes, CodeRange range) {
    if (range.low > range.high) return std::nullopt;
    auto first = std::lower_bound(codes.begin(), codes.end(), range.low);
    if (first == codes.end() || *first > range.high) return std::nullopt;
    return *first;
}

}  // namespace quillmere
