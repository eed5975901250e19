#pragma once
// What a hit of a search without tables tells: the codes its characters
// have there, the text around it read through those codes, and the code
// table they make.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/find/code_form.hpp"
#include "core/find/sequence.hpp"
#include "core/find/shape_query.hpp"

namespace quillmere::find {

struct DerivedMap {
    CodeForm form;
    // What the query names, each once and in the query's order, with its
    // code: a character, or a number ("[1F]") that no character names.
    struct Entry {
        std::u16string label;
        std::uint32_t code = 0;
    };
    std::vector<Entry> entries;
    // Code -> character: the query's characters, then (for a relative
    // search) the rest of each group the hit anchors; a code keeps the first
    // character given to it. In table key order.
    std::vector<std::pair<std::uint32_t, char32_t>> characters;
    // Codes of numbers that no character names.
    std::vector<std::uint32_t> unnamed;
};

// The map of the hit at `offset`; with `fill`, each group of that order
// that a slot of the query anchors is filled in from its offset (a found
// b=42 gives a=41 to z=5A), leaving out codes beyond the code size.
DerivedMap derived_map(std::span<const std::uint8_t> rom, std::size_t offset, const ShapeQuery& query, CodeForm form,
                       const Sequence* fill);

// "字=HEX" for each entry, separated by spaces.
std::u16string map_text(const DerivedMap& map);

// `count` codes from `offset` on (fewer where the ROM ends) read through the
// map: "." for a code it does not know, "#" for the code of an unnamed
// number.
std::u16string preview(std::span<const std::uint8_t> rom, std::size_t offset, const DerivedMap& map,
                       std::size_t count = 32);

// The map's characters as a code table: "KEY=字" lines with CR LF, in key
// order; empty when no character was named.
std::u16string table_text(const DerivedMap& map);

// A character as a preview shows it: "." for one that would break the line.
void append_shown(std::u16string& out, std::u16string_view text);

}  // namespace quillmere::find
