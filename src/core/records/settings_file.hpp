#pragma once
// The settings file: one line per record, "name","start","end" CR LF, in code
// page 936.

#include <filesystem>
#include <string>
#include <string_view>

#include "core/expected.hpp"
#include "core/records/records.hpp"
#include "core/files/files.hpp"

namespace quillmere::records {

// The whole file as text: every record quoted, nothing escaped, no blanks.
std::u16string settings_file_text(const RecordList& records);

// Reads records from the text of a settings file, the program's own or
// written by hand:
// - fields are separated by commas or line ends (CR LF, CR or LF), and a
//   record takes its three fields in sequence whatever the line breaks;
// - a field that begins with a double quote holds what lies up to the next
//   double quote; a quote left open ends at the line end, so that one stray
//   quote cannot swallow the records after it; anything between the closing
//   quote and the next separator is ignored;
// - an unquoted field runs to the next comma or line end;
// - blanks (space, tab) around fields are ignored; blanks inside quotes are
//   kept;
// - empty lines between records, or where a field would start after a line
//   end, are skipped;
// - a record whose name begins with ";" is a comment and is dropped;
// - a text that ends in the middle of a record keeps that record, its missing
//   fields empty, so that nothing typed by hand vanishes unseen.
RecordList parse_settings_text(std::u16string_view text);

// Missing or unreadable file: the error; undecodable bytes become U+FFFD.
Expected<RecordList, files::FileError> load_records(const std::filesystem::path& settings_file);

// Creates or replaces the file. Nothing is written when a character cannot be
// encoded, so the file keeps its earlier content.
Expected<Done, files::TextWriteFailure> save_records(const std::filesystem::path& settings_file,
                                                    const RecordList& records);

}  // namespace quillmere::records
