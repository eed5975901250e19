#pragma once
// The export scan: a stretch of the ROM, read through the code tables and the
// filter lists, cut into text runs and written as the export text.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/encoding/code_table.hpp"
#include "core/encoding/filter.hpp"
#include "core/expected.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {

// The filters of the ticked lists; an absent one takes no part.
struct ExportFilters {
    std::optional<SingleByteFilter> single;
    std::optional<DoubleByteFilter> double_byte;
};

// Why a scan gave up; every cause is reported to the user alike.
enum class ExportFailed {
    run_too_long,             // a run would cover more than kMaxRunLength bytes
    minimum_not_a_number,     // met when the first run closes
    jump_count_not_a_number,  // met when a jump code with such a count is read
    text_too_long,            // the export text would pass its length limit
    unencodable,              // bytes only: a piece the encoding cannot hold; nothing was handed on
};

// The most characters an export text may hold by default (512 MiB in memory). Table
// values and tags can be of any length, and a ROM can repeat their codes
// many times over; past this the scan gives up instead of exhausting memory.
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

// Scans the offsets start … end (both included) of `rom`. The ROM ends at its
// last byte: offsets past it are not scanned, and a code that would need a
// byte past it (the second byte of a pair, a jump code's parameters) does not
// match there. A run still open when the scan ends is dropped. The tables
// present are those of the ROM mode. The scan gives up before the text would
// hold more than `max_text_length` characters.
Expected<std::u16string, ExportFailed> exportrange(std::span<const std::uint8_t> rom, std::int32_t start,
                                                   std::int32_t end, const CodeTables& tables,
                                                   const ExportFilters& filters, std::u16string_view minimum,
                                                   std::size_t max_text_length = kMaxExportTextLength);
Expected<std::u16string, ExportFailed> exportrange(std::span<const std::uint8_t> rom, std::int32_t start,
                                                   std::int32_t end, const CodeTables& tables,
                                                   const ExportFilters& filters, std::u16string_view minimum,
                                                   HexBytes hex_bytes);

// A stretch of the ROM: offsets start … end, both included.
struct ExportStretch {
    std::int32_t start = 0, end = 0;
};

// The records of several stretches, in the order given (address order, no
// two sharing a byte), in one export text. A run may end past its stretch
// (the second byte of a pair, a jump code's parameters): the next stretch
// then starts after it, so that no two records share a byte. Each stretch's
// records, and all of them together, stay within the text length limit.
Expected<std::u16string, ExportFailed> exportranges(std::span<const std::uint8_t> rom,
                                                    std::span<const ExportStretch> stretches,
                                                    const CodeTables& tables, const ExportFilters& filters,
                                                    std::u16string_view minimum, HexBytes hex_bytes = {});

// The record of the run that begins at each of `starts` (offsets inside the
// ROM), in the order given: the scan of a start ends where its run closes,
// after the end code that closes it or before the byte no rule reads. A run
// no longer than the minimum, or one the end of the ROM leaves open, gives
// no record.
Expected<std::u16string, ExportFailed> exportruns(std::span<const std::uint8_t> rom,
                                                  std::span<const std::uint32_t> starts, const CodeTables& tables,
                                                  const ExportFilters& filters, std::u16string_view minimum,
                                                  HexBytes hex_bytes = {});

// The same export text, written as bytes in `encoding` instead of held as
// characters: every table value, tag and marker word is encoded once, before
// the scan, and the records are handed to `write` in chunks of about
// kExportChunkBytes as the scan goes. The result is the number of records;
// on a failure the chunks handed on so far are to be dropped. When a piece
// the scan could write cannot be encoded, nothing is handed on and the
// failure is `unencodable`.
inline constexpr std::size_t kExportChunkBytes = std::size_t{1} << 20;
using ExportChunkWriter = std::function<void(std::span<const std::uint8_t>)>;

Expected<std::size_t, ExportFailed> exportranges_bytes(std::span<const std::uint8_t> rom,
                                                       std::span<const ExportStretch> stretches,
                                                       const CodeTables& tables, const ExportFilters& filters,
                                                       std::u16string_view minimum, HexBytes hex_bytes,
                                                       text::Encoding encoding, const ExportChunkWriter& write);
Expected<std::size_t, ExportFailed> exportruns_bytes(std::span<const std::uint8_t> rom,
                                                     std::span<const std::uint32_t> starts, const CodeTables& tables,
                                                     const ExportFilters& filters, std::u16string_view minimum,
                                                     HexBytes hex_bytes, text::Encoding encoding,
                                                     const ExportChunkWriter& write);

}  // namespace quillmere
