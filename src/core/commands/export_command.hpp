#pragma once
// The export command: the window's (or the command line's) values in, the
// export text and the message to show out.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/commands/filter_lists.hpp"
#include "core/expected.hpp"
#include "core/message.hpp"
#include "core/encoding/rom_mode.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {

// A stretch of the ROM as typed: start and end, hexadecimal, both included.
struct TypedRange {
    std::u16string start, end;
};

struct ExportRequest {
    std::filesystem::path rom;                    // Text1
    std::u16string start, end;                    // Text4, Text5, as typed
    // Several stretches instead of start and end (not empty): each is
    // checked as start and end are, none may share a byte with another, and
    // their records come out in one export text, in address order.
    std::vector<TypedRange> ranges;
    // A pointer list file: when given, the records are the runs its pointers
    // point at instead of the stretch start … end.
    std::filesystem::path pointer_list;
    RomMode mode = RomMode::double_byte;          // Option1-3
    std::filesystem::path double_table;           // Text2
    std::filesystem::path single_table;           // Text13
    FilterListInput double_filter;                // Text12, Check2
    FilterListInput single_filter;                // Text6, Check3
    std::u16string minimum = u"0";                // Text15
    bool preview = false;                         // Check4
    std::u16string name;                          // Text3
    // Where the ticked filter lists pass through "temp2.txt"/"temp3.txt";
    // without one (the command line) the list texts are parsed directly.
    std::optional<std::filesystem::path> data_dir;
    // The tables, the filter lists' temporary files and the export file.
    text::Encoding encoding = text::Encoding::gbk;
    // Bytes no rule reads, kept inside runs as "{$XX}" (see HexBytes).
    bool hex_bytes = false;
    std::int32_t hex_max = 4;
};

struct ExportOutcome {
    // Shown when set. Absent only when the export text is ready and must now
    // be saved to a file the user names (preview off).
    std::optional<Message> message;
    bool untick_double_filter = false;  // Check2
    bool untick_single_filter = false;  // Check3
    // The records, on success: for text9 (preview) or for the file.
    std::optional<std::u16string> export_text;
    // The scan gave no record: text9 must be emptied.
    bool clear_preview = false;
    // export_to_file: the file now holds the export.
    bool written = false;
};

ExportOutcome run_export(const ExportRequest& request);

// The export, preview off, saved to `path`: the same checks and messages as
// run_export and then write_export_file, in the same order, and the same
// file, but the scan writes the file's bytes straight into the replacing
// file (see platform::FileReplacement) instead of holding the export text.
// The message is always set; `export_text` never is. A scan that fails or
// gives no record leaves `path` as it was.
ExportOutcome export_to_file(const ExportRequest& request, const std::filesystem::path& path);

// The export, preview off, as the bytes of its file form (for a stream,
// which cannot take back what it was given): on success the message is
// absent and `bytes` holds the file; otherwise the message says why (as
// run_export, then export_file_bytes, would) and `bytes` is empty.
ExportOutcome export_file_form(const ExportRequest& request, std::vector<std::uint8_t>& bytes);

// The file form in its encoding, or the file name message (错误) when a
// character cannot be written.
Expected<std::vector<std::uint8_t>, Message> export_file_bytes(std::u16string_view export_text,
                                                               text::Encoding encoding = text::Encoding::gbk);

// Writes the file form; "文本已顺利导出" (提示), or the file name message (错误).
// A path that names the ROM the text was exported from is refused and
// nothing is written.
Message write_export_file(const std::filesystem::path& path, std::u16string_view export_text,
                          const std::filesystem::path& rom, text::Encoding encoding = text::Encoding::gbk);

}  // namespace quillmere
