#pragma once
// Giving each character a double-byte code: the characters the game's table
// already holds keep their codes, the others take free codes upward from a
// start code, in a chosen order.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/charset/used_characters.hpp"
#include "core/encoding/code_table.hpp"
#include "core/encoding/filter.hpp"
#include "core/expected.hpp"

namespace quillmere {

// Which new character gets the lower code.
enum class CharacterOrder {
    appearance,  // first use in the script first
    frequency,   // most used first; ties by first use
    gbk,         // by the character's own code page 936 bytes
};

// Codes first × 256 + second, both ends included.
struct CodeSpan {
    std::uint16_t first = 0;
    std::uint16_t last = 0;
};

struct ByteSpan {
    std::uint8_t first = 0;
    std::uint8_t last = 0xFF;
};

struct CodeRules {
    std::uint16_t start = 0;
    std::vector<CodeSpan> skip;
    std::vector<ByteSpan> trail;  // second bytes a new code may have; empty: any

    bool trail_allows(std::uint8_t second) const;
};

// The game's double-byte table, read as the export reads it (a later line
// for a code replaces the earlier one).
struct OldTable {
    struct Kept {
        char32_t character = 0;
        std::uint16_t code = 0;
    };
    // One-character values, each character under the first line that still
    // holds it; a value of several characters is no font glyph to keep.
    std::vector<Kept> characters;
    std::vector<std::uint16_t> codes;  // every code a line names, ascending, once each
    bool read_error = false;          // a line without "=" or with a code that is not hexadecimal, or no line
};

Expected<OldTable, EmptyValue> old_table(std::span<const std::u16string> lines);

// Every code the double-byte filter list names (end, jump and tag codes),
// each CODE read as the pair the export and the check read from it.
Expected<std::vector<std::uint16_t>, FilterFailure> filter_codes(std::span<const std::u16string> lines);

struct TableEntry {
    std::uint16_t code = 0;
    char32_t character = 0;
    bool kept = false;  // the code comes from the game's table
};

struct NewTable {
    std::vector<TableEntry> entries;  // ascending codes
    std::size_t kept = 0;
    std::size_t added = 0;
    std::size_t unused_old = 0;  // characters of the game's table the script no longer uses
};

struct CodesExhausted {
    std::size_t missing = 0;  // characters left without a code
};

// `reserved` are further codes no new character may take (the filter's).
Expected<NewTable, CodesExhausted> assign_codes(std::span<const UsedCharacter> characters, CharacterOrder order,
                                                const OldTable& old, std::span<const std::uint16_t> reserved,
                                                const CodeRules& rules);

// The cells of a font sheet: every code from the start code up to the last
// code of the table whose second byte the trail allows, holding the
// character of that code or nothing.
std::vector<std::optional<char32_t>> sheet_cells(const NewTable& table, const CodeRules& rules);
// The code of each of those cells, in the same order.
std::vector<std::uint32_t> sheet_codes(const NewTable& table, const CodeRules& rules);

// "CODE=字" lines, CR LF, four upper-case digits, in code order.
std::u16string table_text(const NewTable& table);
// The added characters in code order, as one line.
std::u16string added_characters_line(const NewTable& table);

}  // namespace quillmere
