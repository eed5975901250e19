#pragma once
// The line format shared by code tables and filter lists: CODE "=" VALUE,
// split at the first "=", nothing trimmed.

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

namespace quillmere {

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

}  // namespace quillmere
