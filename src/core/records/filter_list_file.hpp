#pragma once
// The filter list files ("glq.dat", "glq2.dat"): a box's text kept between
// runs.

#include <filesystem>
#include <string>
#include <string_view>

#include "core/expected.hpp"
#include "core/files/files.hpp"

namespace quillmere::records {

// The box text a file's text gives: its non-empty lines (a line ends at CR LF
// or a lone CR), each followed by CR LF.
std::u16string filter_box_text(std::u16string_view file_text);

// A filter list file as a box shows it: `text` is the box text;
// `bad_bytes` tells that the file holds bytes its encoding does not define
// (U+FFFD in the text), which no box could have held.
struct FilterListFile {
    std::u16string text;
    bool bad_bytes = false;
};

// The one rule for reading a filter list file, for the window and the
// command line alike. Missing or unreadable file: the error.
[[nodiscard]] Expected<FilterListFile, files::FileError> read_filter_list_file(
    const std::filesystem::path& path, text::Encoding encoding = text::Encoding::gbk);

// The box text followed by CR LF, in code page 936. Nothing is written when a
// character cannot be encoded, so the file keeps its earlier content.
[[nodiscard]] Expected<Done, files::TextWriteFailure> write_filter_list_file(const std::filesystem::path& path,
                                                              std::u16string_view box_text);

}  // namespace quillmere::records
