#pragma once
// What a search without tables looks for, one slot per character of the
// query: a slot's code is free ("*"), or tied to the codes of the other
// slots of its group by their difference in value (a place in a font's
// order, or a number read from a tile viewer). Slots that name characters
// also hold those names to the codes: equal characters have equal codes,
// different characters different codes. A pattern search ties nothing but
// the names.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/expected.hpp"
#include "core/find/sequence.hpp"

namespace quillmere::find {

// The longest query, in characters.
inline constexpr std::size_t kMaxQueryLength = 1024;

struct Slot {
    bool free = true;  // no value: any code (the names still hold)
    std::uint32_t group = 0;
    std::int64_t value = 0;
    char32_t character = 0;  // the character the slot names; 0 for none
};

struct NameChecks {
    // Slot, and the first slot naming the same character: equal codes.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> equal;
    // The first slot of each character named: pairwise different codes.
    std::vector<std::uint32_t> distinct;
};

struct ShapeQuery {
    std::vector<Slot> slots;
    NameChecks names;
};

struct QueryFailure {
    enum class Cause {
        empty,
        too_long,
        control_character,  // `text`: the character
        outside_sequence,   // `text`: the character
        too_few,            // fewer than three characters or values other than "*"
        bad_value,          // `text`: the item as typed
        names_count,        // the names and the values differ in number
        two_values,         // `text`: a character named with two values
        two_names,          // `text`: a value given two characters
        not_in_tables,      // `text`: a character no table value covers
        bad_token,          // `text`: a token in braces that encodes to nothing
    };
    Cause cause = Cause::empty;
    std::u16string text;
    friend bool operator==(const QueryFailure&, const QueryFailure&) = default;
};

// "*" is a free slot; every other character must stand in `sequence`.
[[nodiscard]] Expected<ShapeQuery, QueryFailure> relative_query(std::u16string_view text, const Sequence& sequence);
// Hexadecimal numbers separated by ",", "*" for a free slot; `names`, when
// not empty, gives each number its character ("*" for none), one to one; a
// character given to a "*" takes the code found there.
[[nodiscard]] Expected<ShapeQuery, QueryFailure> values_query(std::u16string_view values, std::u16string_view names);
// Every character other than "*" names its slot.
[[nodiscard]] Expected<ShapeQuery, QueryFailure> pattern_query(std::u16string_view text);

}  // namespace quillmere::find
