#pragma once
// The characters of a translation script that need a double-byte code: the
// text fields walked the way the check walks them, tokens in braces left
// out, and text the single-byte table covers passed over.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/expected.hpp"
#include "core/script/reverse_tables.hpp"

namespace quillmere {

struct UsedCharacter {
    char32_t character = 0;
    std::size_t count = 0;  // uses in the script
};

// An entry that cannot be walked: a line with fewer than two commas, or a
// "{" without its "}". `address` names the entry as the check names it.
struct UnreadableEntry {
    std::u16string address;
    friend bool operator==(const UnreadableEntry&, const UnreadableEntry&) = default;
};

// In order of first use. `single_table` holds only the single-byte lines
// (empty when the ROM mode has no single-byte table); at every place its
// longest value that fits wins, as in the import, so what it covers never
// needs a double-byte code.
Expected<std::vector<UsedCharacter>, UnreadableEntry> used_characters(std::u16string_view script,
                                                                      const ReverseTables& single_table);

// The first character (in the order given) that code page 936 cannot hold.
std::optional<char32_t> first_unencodable(std::span<const UsedCharacter> characters);

// One character as UTF-16: one unit, or a surrogate pair.
std::u16string utf16_of(char32_t character);

}  // namespace quillmere
