#pragma once
// The export: stretches of the ROM read through the code tables and the
// filter lists, cut into text runs and written as the export text, as
// characters or as the bytes of the export file.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/encoding/code_table.hpp"
#include "core/encoding/filter.hpp"
#include "core/expected.hpp"
#include "core/export/export_sink.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {

// The filters of the ticked lists; an absent one takes no part.
struct ExportFilters {
    std::optional<SingleByteFilter> single;
    std::optional<DoubleByteFilter> double_byte;
};

// Why an export gave up.
enum class ExportFailed {
    run_too_long,             // a run would cover more than kMaxRunLength bytes
    minimum_not_a_number,     // met when the first run closes
    jump_count_not_a_number,  // met when a jump code with such a count is read
    text_too_long,            // the export text would pass its length limit
    unencodable,              // the file: a record holds a character its encoding cannot
};

// The most characters an export text may hold by default (512 MiB in
// memory). Table values and tags can be of any length, and a ROM can repeat
// their codes many times over; past this the scan gives up instead of
// exhausting memory.
inline constexpr std::size_t kMaxExportTextLength = std::size_t{1} << 28;

// Bytes that no rule reads. Shown, such a byte inside a run is written as
// "{$XX}" and counts one byte of the run, as long as no more than
// `max_in_a_row` of them come in a row and a byte that a rule reads follows
// them inside the stretch; otherwise the run closes at the first of them,
// as it does when they are not shown, and they belong to no run.
struct HexBytes {
    bool shown = false;
    std::int32_t max_in_a_row = 4;
};

// A stretch of the ROM: offsets start … end, both included.
struct ExportStretch {
    std::int32_t start = 0, end = 0;
};

// What an export reads. The ROM ends at its last byte: offsets past it are
// not scanned, and a code that would need a byte past it (the second byte of
// a pair, a jump code's parameters) does not match there. The tables present
// are those of the ROM mode.
struct ExportSource {
    std::span<const std::uint8_t> rom;
    const CodeTables& tables;
    const ExportFilters& filters;
    // The stretches, in address order, no two sharing a byte. A run may end
    // past its stretch (the second byte of a pair, a jump code's
    // parameters): the next stretch then starts after it, so that no two
    // records share a byte. A run still open at a stretch's end is dropped.
    std::span<const ExportStretch> stretches;
    // Instead of the stretches: the run that begins at each of these
    // offsets, in the order given, scanned up to what closes it (the end
    // code, or the byte no rule reads). A run the end of the ROM leaves open
    // gives no record.
    std::optional<std::span<const std::uint32_t>> run_starts;
    // The minimum run length as typed: only longer runs are written.
    std::u16string_view minimum = u"0";
    HexBytes hex_bytes;
    // Each stretch's records, and all of them together, stay within this
    // many characters, or the scan gives up.
    std::size_t max_text_length = kMaxExportTextLength;
};

// The export text as characters: records ADDRESS "," LENGTH "," TEXT
// CR LF CR LF.
[[nodiscard]] Expected<std::u16string, ExportFailed> export_text(const ExportSource& source);

// The export file in `encoding`: the export text and, when it has a record,
// the CR LF that ends the file, handed to `sink` in chunks as the scan goes.
// The result is the number of records; on a failure what the sink was given
// is to be dropped. A record the encoding cannot hold fails the export with
// `unencodable` once the scan has run to its end without failing otherwise.
[[nodiscard]] Expected<std::size_t, ExportFailed> export_file(const ExportSource& source, text::Encoding encoding,
                                                              ExportSink& sink);

// One stretch, start … end, as export text.
[[nodiscard]] Expected<std::u16string, ExportFailed> exportrange(std::span<const std::uint8_t> rom, std::int32_t start,
                                                                 std::int32_t end, const CodeTables& tables,
                                                                 const ExportFilters& filters,
                                                                 std::u16string_view minimum, HexBytes hex_bytes = {},
                                                                 std::size_t max_text_length = kMaxExportTextLength);

}  // namespace quillmere
