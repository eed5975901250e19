#pragma once
// The line format shared by code tables and filter lists: CODE "=" VALUE,
// split at the first "=", nothing trimmed.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace quillmere {

// What walking the lines of a code table file found.
struct TableWalk {
    bool read_error = false;               // a line could not be stored, or there was no line
    std::optional<std::u16string> empty_value;  // the CODE of the first line whose VALUE is empty
};

struct CodeLine {
    std::u16string_view code;
    std::u16string_view value;
};

// nullopt when the line holds no "=".
std::optional<CodeLine> split_code_line(std::u16string_view line);

// A single-byte CODE: its hexadecimal value (0 to 7FFFFFFF), or nullopt.
std::optional<std::int32_t> single_byte_code(std::u16string_view code);

// A double-byte CODE as (first byte, second byte): three digits are read with
// a "0" in front, one or two digits are the pair 00 XY, and a longer CODE
// gives its first two and its last two digits. nullopt when the CODE is empty
// or not hexadecimal.
std::optional<std::pair<std::uint8_t, std::uint8_t>> double_byte_code(std::u16string_view code);

// Walks the lines of a code table file in order: empty lines are skipped, a
// line without "=" is a read error, a line with an empty VALUE stops the
// walk. `store(code, value)` files every other line and returns false when
// it cannot be stored (a read error; the walk goes on).
template <class Store>
TableWalk walk_table_lines(std::span<const std::u16string> lines, Store store) {
    TableWalk walk;
    if (lines.empty()) walk.read_error = true;
    for (const std::u16string& line : lines) {
        if (line.empty()) continue;
        auto parts = split_code_line(line);
        if (!parts) {
            walk.read_error = true;
            continue;
        }
        if (parts->value.empty()) {
            walk.empty_value = std::u16string(parts->code);
            return walk;
        }
        if (!store(parts->code, parts->value)) walk.read_error = true;
    }
    return walk;
}

}  // namespace quillmere
