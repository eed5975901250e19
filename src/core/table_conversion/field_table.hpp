#pragma once
// Converting a code table of the field's common convention (one file of
// characters, end codes, line breaks and control codes) into the tool's four
// files: the single-byte and double-byte tables and filter lists.
//
//   XX=text, XXXX=text   a character (one or two bytes)
//   /XX, /XX=label       an end code                -> XX=over
//   *XX, *XX=label       a line break               -> XX=换行, or XX=label
//   $XX=label,N          a code with N parameter bytes -> XX=turnN
//   #..., blank, @id, -name   comments and headers, dropped
//
// Keys are hexadecimal, one or two bytes; the first "=" ends the key.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/expected.hpp"
#include "core/table_conversion/table_source.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::table_conversion {

enum class Refusal {
    undecodable,      // bytes that are not text in the file's encoding
    table_switch,     // "!": switching to another table
    bit_entry,        // "%": an entry of bits, not bytes
    second_table_id,  // a second "@" line: two tables in one file
    no_separator,     // an entry without "="
    bad_key,          // a key that is empty or not hexadecimal
    odd_key,          // a key of an odd number of digits
    long_key,         // a key of three or more bytes
    empty_value,      // an entry without text
    bad_count,        // a "$" line without ",N" (N decimal, at most 65535)
    bad_label,        // a line break label that would not read back as a tag
    unencodable,      // a character code page 936 cannot hold
    no_entries,       // nothing to convert
};

struct ConvertFailure {
    Refusal cause = Refusal::no_entries;
    std::size_t line = 0;    // 1-based; 0 for no_entries
    char32_t character = 0;  // unencodable only
    bool utf8 = false;       // undecodable: the encoding the file was read in
    friend bool operator==(const ConvertFailure&, const ConvertFailure&) = default;
};

// A name that the tool's filter lists cannot keep ("/" and "$" lines).
struct DroppedLabel {
    std::size_t line = 0;
    std::u16string entry;  // the filter line written for the code
    std::u16string label;
    friend bool operator==(const DroppedLabel&, const DroppedLabel&) = default;
};

// The four files as lines (without line ends), in the order of the source.
struct ConvertedTable {
    std::vector<std::u16string> table1, table2, filter1, filter2;
    std::size_t comments = 0, blanks = 0, headers = 0;  // lines dropped
    std::vector<DroppedLabel> labels;
    bool utf8 = false;  // the source was read as UTF-8
};

// `output`: the encoding the four files will be written in. In code page 936
// a character it cannot hold is refused; in UTF-8 every character is kept.
Expected<ConvertedTable, ConvertFailure> convert_lines(std::span<const SourceLine> lines,
                                                       text::Encoding output = text::Encoding::gbk);
Expected<ConvertedTable, ConvertFailure> convert_table(std::span<const std::uint8_t> bytes, SourceEncoding encoding,
                                                       text::Encoding output = text::Encoding::gbk);

// A file's contents: every line followed by CR LF.
std::u16string file_text(std::span<const std::u16string> lines);

}  // namespace quillmere::table_conversion
