#pragma once
// The find command: where a word stands in a ROM whose code table does not
// exist yet (by the differences of its codes, by numbers read in a tile
// viewer, by the pattern of its characters) or through the tables there are,
// one line per place; and, on request, the code table a place makes.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "core/commands/command_result.hpp"
#include "core/commands/table_setup.hpp"
#include "core/find/code_form.hpp"

namespace quillmere {

enum class FindMode {
    relative,  // codes that differ as the characters' places in an order differ
    values,    // codes that differ as the numbers differ
    pattern,   // equal characters equal codes, different ones different codes
    text,      // the text encoded through the tables
};

struct FindRequest {
    FindMode mode = FindMode::relative;
    std::filesystem::path rom;
    // "START-END", hexadecimal, both included: a place must lie wholly
    // inside it. Empty: the whole ROM.
    std::u16string range;
    // The codes' width and byte order; the text search takes its codes from
    // the tables instead.
    find::CodeForm form;
    std::size_t max = 100;  // places listed
    // relative, pattern, text: the query ("*" any code, except for text);
    // values: the characters the numbers stand for, one each, or empty.
    std::u16string text;
    // relative: "latin", "hiragana", "katakana", or a file holding the
    // font's characters in its order.
    std::u16string sequence = u"latin";
    std::u16string values;  // values: "1F,08,*,0D"
    TableSetup tables;      // text
    // The code table of place `hit` (counting from 1) to write; empty path:
    // none.
    std::filesystem::path make_table;
    std::size_t hit = 0;
};

struct FindPayload {
    // ADDRESS TAB MAP TAB PREVIEW, in address order.
    std::vector<std::u16string> lines;
    std::size_t total = 0;
};

// The places and "共找到N处" (with how many were not listed, and the table
// written); a refusal writes nothing.
CommandResult<FindPayload> run_find(const FindRequest& request);

}  // namespace quillmere
