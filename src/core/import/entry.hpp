#pragma once
// One line of a translation script: ADDRESS "," LENGTH "," TEXT.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/encoding/decimal.hpp"
#include "core/expected.hpp"

namespace quillmere {

struct ScriptEntry {
    std::u16string_view address;          // text before the first comma
    std::u16string_view original_length;  // text between the first two commas
    std::u16string_view text;             // everything after the second comma
};

// A line with fewer than two commas. `address` is the text before the first
// comma when there is one.
struct SplitFailure {
    std::optional<std::u16string_view> address;
};

Expected<ScriptEntry, SplitFailure> splitentry(std::u16string_view line);

// The leading numeric part of a text: blanks, an optional sign, decimal
// digits; no digits gives 0. A number too large in size is held at
// ±kTooLarge.
std::int64_t leading_number(std::u16string_view text);

// The bytes by which `count` exceeds the original length (read as
// leading_number does, but never capped), as decimal digits, when it does.
std::optional<std::u16string> length_excess(std::u16string_view original_length, std::size_t count);

}  // namespace quillmere
