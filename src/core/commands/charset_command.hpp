#pragma once
// The charset command: a translation script in, a new double-byte code table
// out (with, on request, the added characters as one line and a font sheet),
// and the one message to show.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/charset/code_assignment.hpp"
#include "core/commands/cancel_check.hpp"
#include "core/commands/command_result.hpp"
#include "core/commands/table_setup.hpp"

namespace quillmere {

struct FontSheetRequest {
    std::filesystem::path file;  // the PNG to write
    std::filesystem::path font;
    std::u16string glyph;        // "W×H" (or "WxH"), pixels
    int columns = 16;
};

struct CharsetRequest {
    std::filesystem::path script;
    // The job's tables, as the check takes them: with mode single or both
    // the single-byte table takes part (text it covers needs no code); the
    // codes of the double-byte filter list are never given to a character.
    // The double-byte table and the single-byte list do not change the new
    // table. The encoding is that of the script, the tables and the files
    // written: in UTF-8 the table may hold characters code page 936 cannot.
    TableSetup tables;
    std::filesystem::path keep;            // the game's double-byte table; empty: none
    std::u16string start_code;             // hexadecimal, up to FFFF
    std::vector<std::u16string> skip;      // "START-END", hexadecimal codes
    std::vector<std::u16string> trail;     // "START-END", hexadecimal second bytes
    CharacterOrder order = CharacterOrder::appearance;
    std::filesystem::path out;             // the new table
    std::filesystem::path chars;           // the added characters; empty: not written
    std::optional<FontSheetRequest> sheet;
    CancelCheck cancelled{};  // asked before the first file is written
};

// What a front end shows beside the message, after a success.
struct CharsetPayload {
    std::u16string table;  // the new table's text, as written
    // With a sheet: each cell's code and character (none for an empty
    // cell), left to right and top to bottom, `columns` a row, each cell
    // `cell_width` × `cell_height` pixels.
    std::vector<std::uint32_t> cell_codes;
    std::vector<std::optional<char32_t>> cell_characters;
    int columns = 0, cell_width = 0, cell_height = 0;
};

// Writes nothing unless every output could be made, and refuses outputs
// that would replace an input file or each other. Success is the notice
// "共N字，沿用K字，新增M字" (with a game's table, followed by how many of its
// characters the script no longer uses).
CommandResult<CharsetPayload> run_charset(const CharsetRequest& request);

}  // namespace quillmere
