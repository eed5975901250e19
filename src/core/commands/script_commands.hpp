#pragma once
// The check and the import: the window's (or the command line's) values in,
// the one message to show out.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/commands/command_result.hpp"
#include "core/commands/entry_moves.hpp"
#include "core/commands/table_setup.hpp"

namespace quillmere {

// The limits of the game's text boxes that the check holds each entry to;
// nothing set, nothing checked.
struct BoxLimitInput {
    std::u16string line_break;  // the tag, as written inside "{}", that starts a new line
    std::u16string page_break;  // the tag that starts a new box
    std::optional<std::int64_t> max_chars;  // characters per line; tags and markers count 0
    std::optional<std::int64_t> max_lines;  // lines per box
    std::optional<std::int64_t> max_width;  // pixels per line, by the widths file
    std::filesystem::path widths_file;      // CODE=PIXELS lines
    std::optional<std::int64_t> default_width;  // for every code the file does not name
};

struct CheckRequest {
    // Text2, Text13, Text12/Check2, Text6/Check3, Option1-3; with hex bytes,
    // "{$XX}" reads as the byte XX where no filter list names the token. The
    // data directory is where a previewed script passes through "temp.txt".
    TableSetup tables;
    bool preview = false;               // Check4
    std::filesystem::path script_file;  // Text8
    std::u16string script_text;         // text10
    std::u16string range_low = u"0";    // Text16
    std::u16string range_high = u"65535";  // Text17
    // Check only.
    BoxLimitInput limits;
    // Check only: go on past a failing entry and report every one of them.
    bool all_entries = false;
    // Text1. The import writes it; the check reads it only to follow the
    // pointers of a relocation.
    std::filesystem::path rom;
    // With a pointer list, an entry longer than its original length moves
    // into the free blocks and its pointers follow it.
    std::optional<RelocationInput> relocation;
};

struct ImportRequest : CheckRequest {
    std::u16string fill;  // Text14
    // When set, the result goes to this file and the ROM is only read.
    std::filesystem::path out;
};

struct ScriptPayload {
    FilterUnticks untick;
    // Import: the entries (non-empty script lines) that were written; all
    // of them on success, none after any failure. Always 0 for the check.
    std::size_t entries_written = 0;
    // Check with `all_entries`: the message of each failing entry, in script
    // order; the result's message then sums them up.
    std::vector<Message> entry_failures;
    // With a relocation: one line per moved entry, in script order, then
    // one per shared tail whose pointers follow it.
    std::vector<std::u16string> moves;
    // With a relocation: the entries of the pointer list marked to skip.
    std::size_t null_pointers = 0;
};

CommandResult<ScriptPayload> run_check(const CheckRequest& request);
CommandResult<ScriptPayload> run_import(const ImportRequest& request);

}  // namespace quillmere
