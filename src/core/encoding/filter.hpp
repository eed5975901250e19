#pragma once
// Filter lists: codes that end a string ("over"), codes followed by parameter
// bytes ("turnN"), and codes shown under a name (tags).

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/encoding/code_line.hpp"
#include "core/expected.hpp"

namespace quillmere {

enum class ControlKind : std::uint8_t { none, end, jump, tag };

struct FilterEntry {
    ControlKind kind = ControlKind::none;
    // Parameter bytes after a jump code; kJumpCountNotANumber when the text
    // after "turn" is not a decimal number (the export fails on meeting it).
    std::int32_t jump_count = 0;
    // What the slot holds: "over", the VALUE as written ("turn2"), or "{VALUE}".
    std::u16string text;

    bool empty() const { return kind == ControlKind::none; }
};

inline constexpr std::int32_t kJumpCountNotANumber = -1;

// Slots 0-255 are the bytes; slot 256 (CODE 100) is accepted and never matches.
struct SingleByteFilter {
    std::vector<FilterEntry> slots = std::vector<FilterEntry>(257);
    const FilterEntry& at(std::uint8_t byte) const { return slots[byte]; }
    const FilterEntry& by_code(std::size_t code) const { return slots[code]; }
    void set(std::size_t code, FilterEntry entry) { slots[code] = std::move(entry); }
    std::span<const FilterEntry> entries() const { return slots; }
};

// Like the double-byte table: 65536 small indexes into the entries defined.
class DoubleByteFilter {
public:
    const FilterEntry& at(std::uint8_t first, std::uint8_t second) const { return entries_[index_[key(first, second)]]; }
    const FilterEntry& by_code(std::size_t code) const { return entries_[index_[code]]; }
    void set(std::size_t code, FilterEntry entry);
    // The entries defined, each once (for walking a filter without its codes).
    std::span<const FilterEntry> entries() const { return std::span(entries_).subspan(1); }

private:
    static std::size_t key(std::uint8_t first, std::uint8_t second) { return std::size_t{first} << 8 | second; }
    std::vector<std::uint32_t> index_ = std::vector<std::uint32_t>(65536, 0);
    std::vector<FilterEntry> entries_ = std::vector<FilterEntry>(1);  // [0] is the empty slot
};

enum class FilterFailure { empty_field, bad_entry };

// The entry a VALUE makes. A "turn" whose count is negative is a bad entry.
Expected<FilterEntry, FilterFailure> filter_entry(std::u16string_view value);

// Walks the lines of a list in order and stops at the first failing line:
// empty lines are skipped, a line without "=" is a bad entry, and
// `store(code, entry)` files every other entry under its CODE text,
// returning false when the CODE cannot be stored (a bad entry).
template <class Store>
Expected<Done, FilterFailure> walk_filter_lines(std::span<const std::u16string> lines, Store store) {
    for (const std::u16string& line : lines) {
        if (line.empty()) continue;
        auto parts = split_code_line(line);
        if (!parts) return unexpected(FilterFailure::bad_entry);
        auto entry = filter_entry(parts->value);
        if (!entry) return unexpected(entry.error());
        if (entry->kind == ControlKind::tag && parts->code.empty()) return unexpected(FilterFailure::empty_field);
        if (!store(parts->code, std::move(*entry))) return unexpected(FilterFailure::bad_entry);
    }
    return Done{};
}

// Parses the lines of a list; stops at the first failing line.
Expected<SingleByteFilter, FilterFailure> readfilter1(std::span<const std::u16string> lines);
Expected<DoubleByteFilter, FilterFailure> readfilter2(std::span<const std::u16string> lines);

}  // namespace quillmere
