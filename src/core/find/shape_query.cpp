#include "core/find/shape_query.hpp"

#include <unordered_map>

#include "core/encoding/hex.hpp"
#include "core/find/code_form.hpp"

namespace quillmere::find {
namespace {

using Cause = QueryFailure::Cause;

QueryFailure failure(Cause cause, std::u16string text = {}) { return {cause, std::move(text)}; }

// The characters of a typed query, refused when empty, too long or holding
// a control character (which no output line or table line can carry).
Expected<std::u32string, QueryFailure> characters_of(std::u16string_view text) {
    std::u32string characters = code_points(text);
    if (characters.empty()) return unexpected(failure(Cause::empty));
    if (characters.size() > kMaxQueryLength) return unexpected(failure(Cause::too_long));
    for (char32_t c : characters)
        if (is_control(c)) return unexpected(failure(Cause::control_character, utf16_of(c)));
    return characters;
}

NameChecks name_checks(const std::vector<Slot>& slots) {
    NameChecks names;
    std::unordered_map<char32_t, std::uint32_t> first;
    for (std::uint32_t i = 0; i < slots.size(); ++i) {
        if (slots[i].character == 0) continue;
        auto [at, fresh] = first.try_emplace(slots[i].character, i);
        if (fresh)
            names.distinct.push_back(i);
        else
            names.equal.emplace_back(i, at->second);
    }
    return names;
}

std::size_t tied_slots(const std::vector<Slot>& slots) {
    std::size_t tied = 0;
    for (const Slot& slot : slots) tied += slot.free ? 0 : 1;
    return tied;
}

std::u16string_view trimmed(std::u16string_view item) {
    while (!item.empty() && item.front() == u' ') item.remove_prefix(1);
    while (!item.empty() && item.back() == u' ') item.remove_suffix(1);
    return item;
}

}  // namespace

Expected<ShapeQuery, QueryFailure> relative_query(std::u16string_view text, const Sequence& sequence) {
    auto characters = characters_of(text);
    if (!characters) return unexpected(std::move(characters.error()));
    ShapeQuery query;
    for (char32_t c : *characters) {
        if (c == U'*') {
            query.slots.push_back({});
            continue;
        }
        const auto place = sequence.place_of(c);
        if (!place) return unexpected(failure(Cause::outside_sequence, utf16_of(c)));
        query.slots.push_back({false, place->group, place->index, c});
    }
    if (tied_slots(query.slots) < 3) return unexpected(failure(Cause::too_few));
    query.names = name_checks(query.slots);
    return query;
}

Expected<ShapeQuery, QueryFailure> values_query(std::u16string_view values, std::u16string_view names) {
    if (trimmed(values).empty()) return unexpected(failure(Cause::empty));
    ShapeQuery query;
    std::size_t start = 0;
    while (start <= values.size()) {
        std::size_t comma = values.find(u',', start);
        if (comma == std::u16string_view::npos) comma = values.size();
        const std::u16string_view item = trimmed(values.substr(start, comma - start));
        if (query.slots.size() >= kMaxQueryLength) return unexpected(failure(Cause::too_long));
        if (item == u"*") {
            query.slots.push_back({});
        } else {
            const auto value = hex2num(item);
            if (!value) return unexpected(failure(Cause::bad_value, std::u16string(item)));
            query.slots.push_back({false, 0, *value, 0});
        }
        start = comma + 1;
    }
    if (tied_slots(query.slots) < 3) return unexpected(failure(Cause::too_few));
    if (!names.empty()) {
        auto characters = characters_of(names);
        if (!characters) return unexpected(std::move(characters.error()));
        if (characters->size() != query.slots.size()) return unexpected(failure(Cause::names_count));
        std::unordered_map<char32_t, std::int64_t> value_of;
        std::unordered_map<std::int64_t, char32_t> name_of;
        for (std::size_t i = 0; i < query.slots.size(); ++i) {
            const char32_t c = (*characters)[i];
            Slot& slot = query.slots[i];
            if (c == U'*') continue;
            slot.character = c;
            if (slot.free) continue;
            if (auto [at, fresh] = value_of.try_emplace(c, slot.value); !fresh && at->second != slot.value)
                return unexpected(failure(Cause::two_values, utf16_of(c)));
            if (auto [at, fresh] = name_of.try_emplace(slot.value, c); !fresh && at->second != c)
                return unexpected(failure(Cause::two_names, to_hex(static_cast<std::uint32_t>(slot.value))));
        }
    }
    query.names = name_checks(query.slots);
    return query;
}

Expected<ShapeQuery, QueryFailure> pattern_query(std::u16string_view text) {
    auto characters = characters_of(text);
    if (!characters) return unexpected(std::move(characters.error()));
    ShapeQuery query;
    for (char32_t c : *characters) query.slots.push_back({true, 0, 0, c == U'*' ? 0 : c});
    query.names = name_checks(query.slots);
    if (query.names.distinct.empty()) return unexpected(failure(Cause::empty));
    return query;
}

}  // namespace quillmere::find
