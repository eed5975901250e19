#include "core/export/exportrange.hpp"

#include <array>

#include "core/export/scan.hpp"
#include "core/export/scan_outputs.hpp"

namespace quillmere {
namespace {

using namespace export_scan;

// A scan of the kind the bytes no rule reads call for, handed to `body`.
// Showing them is a separate instance of the scan, so that the usual one
// pays nothing for it.
template <class Output, class Encoder, class Body>
auto with_scan(const ExportSource& source, Encoder encode, Output& output, Body body) {
    const std::optional<std::int32_t> least = read_minimum_run_length(source.minimum);
    const HexBytes hex = source.hex_bytes;
    if (hex.shown && hex.max_in_a_row > 0) {
        Scan<true, Output> scan(source.rom, source.tables, source.filters, least, source.max_text_length,
                                hex.max_in_a_row, encode, output);
        return body(scan);
    }
    Scan<false, Output> scan(source.rom, source.tables, source.filters, least, source.max_text_length, 0, encode,
                             output);
    return body(scan);
}

// The stretches, or the runs from their starts.
template <class TheScan>
bool walk(const ExportSource& source, TheScan& scan) {
    return source.run_starts ? scan.first_runs(*source.run_starts) : scan.stretches(source.stretches);
}

constexpr std::array<std::uint8_t, 2> kFileEnd{0x0D, 0x0A};

// The file through `output`, or nullopt when a piece cannot be encoded
// before the scan; `unencodable()` tells whether a record could not be
// written in the file's encoding.
template <class Output, class Encoder, class Unencodable>
std::optional<Expected<std::size_t, ExportFailed>> file_through(const ExportSource& source, Encoder encode,
                                                                Output& output, ExportSink& sink,
                                                                Unencodable unencodable) {
    using Result = std::optional<Expected<std::size_t, ExportFailed>>;
    return with_scan(source, encode, output, [&](auto& scan) -> Result {
        if (!scan.encodable()) return std::nullopt;
        if (!walk(source, scan)) return unexpected(scan.failure());
        output.flush();
        if (unencodable()) return unexpected(ExportFailed::unencodable);
        if (scan.records() > 0) sink.write(kFileEnd);
        return scan.records();
    });
}

}  // namespace

Expected<std::u16string, ExportFailed> export_text(const ExportSource& source) {
    TextOutput output;
    return with_scan(source, TextEncoder{}, output, [&](auto& scan) -> Expected<std::u16string, ExportFailed> {
        if (!walk(source, scan)) return unexpected(scan.failure());
        return output.take();
    });
}

Expected<std::size_t, ExportFailed> export_file(const ExportSource& source, text::Encoding encoding,
                                                ExportSink& sink) {
    // Every piece encoded once before the scan, when each can be; otherwise
    // the records are encoded one by one as they close.
    ByteOutput bytes(sink);
    if (auto written = file_through(source, ByteEncoder(encoding), bytes, sink, [] { return false; }))
        return std::move(*written);
    EncodingOutput records(sink, encoding);
    return *file_through(source, TextEncoder{}, records, sink, [&] { return records.unencodable(); });
}

Expected<std::u16string, ExportFailed> exportrange(std::span<const std::uint8_t> rom, std::int32_t start,
                                                   std::int32_t end, const CodeTables& tables,
                                                   const ExportFilters& filters, std::u16string_view minimum,
                                                   HexBytes hex_bytes, std::size_t max_text_length) {
    const ExportStretch stretch{start, end};
    return export_text({rom, tables, filters, std::span(&stretch, 1), std::nullopt, minimum, hex_bytes, max_text_length});
}

}  // namespace quillmere
