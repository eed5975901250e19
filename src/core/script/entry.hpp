#pragma once
// One line of a translation script: ADDRESS "," LENGTH "," TEXT.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/encoding/decimal.hpp"
#include "core/expected.hpp"
#include "core/text/lines.hpp"

namespace quillmere {

// Also read from code page 936 bytes as they stand: "," is never part of a
// two-byte code.
template <class Char>
struct BasicScriptEntry {
    std::basic_string_view<Char> address;          // text before the first comma
    std::basic_string_view<Char> original_length;  // text between the first two commas
    std::basic_string_view<Char> text;             // everything after the second comma
};
using ScriptEntry = BasicScriptEntry<char16_t>;

// A line with fewer than two commas. `address` is the text before the first
// comma when there is one.
template <class Char>
struct BasicSplitFailure {
    std::optional<std::basic_string_view<Char>> address;
};
using SplitFailure = BasicSplitFailure<char16_t>;

template <class Char>
Expected<BasicScriptEntry<Char>, BasicSplitFailure<Char>> split_entry(std::basic_string_view<Char> line) {
    using View = std::basic_string_view<Char>;
    const std::size_t first = line.find(Char(','));
    if (first == View::npos) return unexpected(BasicSplitFailure<Char>{});
    const View address = line.substr(0, first);
    const std::size_t second = line.find(Char(','), first + 1);
    if (second == View::npos) return unexpected(BasicSplitFailure<Char>{address});
    return BasicScriptEntry<Char>{address, line.substr(first + 1, second - first - 1), line.substr(second + 1)};
}

inline Expected<ScriptEntry, SplitFailure> splitentry(std::u16string_view line) { return split_entry(line); }

// Walks the entries of a script: every line that is not empty, split into
// its fields, in order. `on_entry(entry)` takes each entry; a line that
// cannot be split goes to `on_unsplit(address)`, named by the text before
// its first comma or, without one, by the address of the entry before it.
// Either returns false to end the walk.
template <class Char, class OnEntry, class OnUnsplit>
void for_each_entry(std::basic_string_view<Char> script, OnEntry&& on_entry, OnUnsplit&& on_unsplit) {
    std::basic_string_view<Char> previous_address;
    text::BasicLineReader<Char> lines(script);
    while (auto line = lines.next()) {
        if (line->empty()) continue;
        auto fields = split_entry(*line);
        if (!fields) {
            if (!on_unsplit(fields.error().address.value_or(previous_address))) return;
            continue;
        }
        previous_address = fields->address;
        if (!on_entry(*fields)) return;
    }
}

// The leading numeric part of a text: blanks, an optional sign, decimal
// digits; no digits gives 0. A number too large in size is held at
// ±kTooLarge.
std::int64_t leading_number(std::u16string_view text);

// The bytes by which `count` exceeds the original length (read as
// leading_number does, but never capped), as decimal digits, when it does.
std::optional<std::u16string> length_excess(std::u16string_view original_length, std::size_t count);

// The original length as nearly every script writes it: 1 to 18 decimal
// digits and nothing else. nullopt for any other form, which the readers
// above take; where both apply they agree.
template <class Char>
std::optional<std::uint64_t> plain_length(std::basic_string_view<Char> field) {
    if (field.empty() || field.size() > 18) return std::nullopt;
    std::uint64_t value = 0;
    for (Char c : field) {
        if (c < Char('0') || c > Char('9')) return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - Char('0'));
    }
    return value;
}


}  // namespace quillmere
