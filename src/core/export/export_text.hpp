#pragma once
// The export text: one record per text run,
// ADDRESS "," LENGTH "," TEXT CR LF CR LF, with nothing around the records.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillmere {

// A run covers at most this many ROM bytes.
inline constexpr std::int32_t kMaxRunLength = 32767;

inline constexpr std::u16string_view kRecordEnd = u"\r\n\r\n";

// Appends one record: ADDRESS in upper-case hexadecimal without leading zeros
// ("0" for offset 0), LENGTH in decimal.
void append_record(std::u16string& out, std::uint32_t address, std::int32_t length, std::u16string_view text);

// The record's ADDRESS "," LENGTH "," written so that it ends at `end`;
// returns where it begins (at most kRecordHeaderSize characters before). A
// record that is the tail of another one (it begins inside it and ends with
// it) has the other's address after its length: LENGTH "@" OUTER.
inline constexpr std::size_t kRecordHeaderSize = 30;
char16_t* write_record_header(char16_t* end, std::uint32_t address, std::int32_t length,
                              std::optional<std::uint32_t> tail_of = std::nullopt);

// The minimum run length as typed: decimal digits with an optional sign and
// optional blanks around them. nullopt when it is not such a number. Values
// beyond what a run can reach are clamped, since they compare the same.
std::optional<std::int32_t> read_minimum_run_length(std::u16string_view text);

}  // namespace quillmere
