#pragma once
// The export command: the window's (or the command line's) values in, the
// export text or file and the message to show out. One scan serves every
// use: the preview's text, the file's bytes in memory, or the file itself,
// written as the scan goes.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/commands/command_result.hpp"
#include "core/commands/table_setup.hpp"

namespace quillmere {

// A stretch of the ROM as typed: start and end, hexadecimal, both included.
struct TypedRange {
    std::u16string start, end;
};

struct ExportRequest {
    // Text2, Text13, Text12/Check2, Text6/Check3, Option1-3; with hex bytes
    // shown, a byte no rule reads inside a run is kept as "{$XX}".
    TableSetup tables;
    std::filesystem::path rom;  // Text1
    std::u16string start, end;  // Text4, Text5, as typed
    // Several stretches instead of start and end (not empty): each is
    // checked as start and end are, none may share a byte with another, and
    // their records come out in one export text, in address order.
    std::vector<TypedRange> ranges;
    // A pointer list file: when given, the records are the runs its pointers
    // point at instead of the stretch start … end. A run that begins inside
    // another one and ends with it is written as that one's tail
    // (LENGTH "N@OUTER"), so that check and import keep the two together.
    std::filesystem::path pointer_list;
    std::u16string minimum = u"0";  // Text15
    bool preview = false;           // Check4
    std::u16string name;            // Text3
    std::int32_t hex_max = 4;       // more bytes no rule reads in a row end the run
};

struct ExportPayload {
    FilterUnticks untick;
    // The scan gave no record: text9 must be emptied.
    bool clear_preview = false;
    // Preview on: the export text for text9.
    std::optional<std::u16string> text;
    // Preview off: the export file's bytes, to be saved where the user says
    // (write_export_file). `unencodable`: a record the file's encoding cannot
    // hold, which no file will take.
    std::vector<std::uint8_t> file_form;
    bool unencodable = false;
    // export_to_file: the file now holds the export.
    bool written = false;
    // By pointers: the entries of the list marked to skip (null entries).
    std::size_t null_pointers = 0;
};

// Preview on: the text for text9 and "文本已顺利导出". Preview off: the file
// form, and nothing to show yet: the front end asks for the file and hands
// the payload to write_export_file. "导出文本失败" (提示) when the scan fails
// or gives no record; the first failing check's message otherwise.
CommandResult<ExportPayload> run_export(const ExportRequest& request);

// The export, preview off, saved to `path` as the scan goes (into the file
// that replaces it): the same checks and messages, in the same order, as
// run_export and then write_export_file. A scan that fails or gives no
// record leaves `path` as it was.
CommandResult<ExportPayload> export_to_file(const ExportRequest& request, const std::filesystem::path& path);

// Writes the file form of a run_export; "文本已顺利导出" (提示), or the file
// name message (错误). A path that names the ROM the text was exported from
// is refused and nothing is written.
CommandResult<> write_export_file(const std::filesystem::path& path, const ExportPayload& export_payload,
                                  const std::filesystem::path& rom);

}  // namespace quillmere
