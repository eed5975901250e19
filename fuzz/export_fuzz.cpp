// The export scan over an arbitrary ROM, arbitrary code tables and filter
// lists, and arbitrary bounds. The input is a 6-byte header followed by five
// parts split at FF: double-byte table, single-byte table, double-byte
// filter list, single-byte filter list, ROM (the ROM comes last, so it may
// hold FF itself).
//
// Header: [0] mode (low two bits), which filter lists are ticked (bits 2
// and 3), whether unread bytes are shown (bit 4) and how many in a row (bits
// 5 to 7); [1..2] start; [3..4] length of the stretch; [5] the minimum run
// length and whether the end is pushed out to 7FFFFFFF.

#include <algorithm>
#include <array>
#include <set>
#include <string_view>
#include <vector>

#include "core/encoding/code_table.hpp"
#include "core/encoding/filter.hpp"
#include "core/encoding/hex.hpp"
#include "core/encoding/markers.hpp"
#include "core/encoding/rom_mode.hpp"
#include "core/export/export_text.hpp"
#include "core/export/exportrange.hpp"
#include "core/script/text_codes.hpp"
#include "core/text/gbk.hpp"
#include "fuzz_support.hpp"

namespace {

using namespace quillmere;

constexpr std::size_t kHeaderSize = 6;

constexpr std::array<std::u16string_view, 8> kMinimums = {u"0", u"1", u"-1", u"2", u"abc", u" 3 ", u"", u"99999999999"};

struct Parsed {
    std::uint32_t address = 0;
    std::int32_t length = 0;
    std::u16string_view text;
};

// ADDRESS "," LENGTH "," TEXT: upper-case hex and decimal without leading
// zeros, TEXT without CR.
Parsed parse_record(std::u16string_view record) {
    const std::size_t first = record.find(u',');
    if (first == std::u16string_view::npos) fuzz::fail("record without its first comma");
    const std::size_t second = record.find(u',', first + 1);
    if (second == std::u16string_view::npos) fuzz::fail("record without its second comma");
    const std::u16string_view address = record.substr(0, first);
    const std::u16string_view length = record.substr(first + 1, second - first - 1);
    Parsed parsed;
    parsed.text = record.substr(second + 1);
    auto value = hex2num(address);
    if (!value || to_hex(static_cast<std::uint32_t>(*value)) != address) fuzz::fail("address not in its form");
    parsed.address = static_cast<std::uint32_t>(*value);
    if (length.empty() || length.size() > 5 || (length.size() > 1 && length[0] == u'0'))
        fuzz::fail("length not in its form");
    for (char16_t c : length) {
        if (c < u'0' || c > u'9') fuzz::fail("length not decimal");
        parsed.length = parsed.length * 10 + (c - u'0');
    }
    if (parsed.length > kMaxRunLength) fuzz::fail("run longer than a run may be");
    if (parsed.text.find(u'\r') != std::u16string_view::npos) fuzz::fail("text holds a CR");
    return parsed;
}

// The ROM bytes an end marker at the end of `text` names, if there is one.
std::u16string_view trailing_end_marker_digits(std::u16string_view text) {
    if (text.empty() || text.back() != u'}') return {};
    const std::size_t open = text.rfind(u'{');
    if (open == std::u16string_view::npos) return {};
    std::u16string_view inside = text.substr(open + 1, text.size() - open - 2);
    if (!inside.starts_with(kEndWord)) return {};
    return inside.substr(kEndWord.size());
}

// Whether the script the export wrote must import back to the very bytes it
// came from: every table value one character that no other value repeats,
// every tag named once, nothing in a value or tag that the script reader
// would take for the edge of a token or a marker, and filter codes of at
// most four digits (longer ones the check and the import read differently,
// and say so).
bool faithful(const std::vector<std::vector<std::u16string>>& table_files,
              const std::vector<std::vector<std::u16string>>& filter_files) {
    std::set<std::u16string> values, tags;
    for (const auto& lines : table_files) {
        auto loaded = table_lines(lines);
        if (!loaded || loaded->read_error) return false;
        for (const TableLine& line : loaded->lines) {
            if (line.value.size() != 1 || line.value == u"{" || line.value == u"}") return false;
            if (!values.insert(line.value).second) return false;
        }
    }
    for (const auto& lines : filter_files) {
        for (const std::u16string& line : lines) {
            if (line.empty()) continue;
            const std::size_t equals = line.find(u'=');
            if (equals == std::u16string::npos || equals > 4) return false;
            const std::u16string_view value = std::u16string_view(line).substr(equals + 1);
            if (value == u"over" || value.starts_with(u"turn")) continue;
            if (value.find_first_of(u"{}") != std::u16string_view::npos || value.starts_with(kEndWord) ||
                value.starts_with(kJumpWord) || !tags.insert(std::u16string(value)).second)
                return false;
        }
    }
    return true;
}

// The tables and filter lists as the check and the import hold them.
std::optional<ScriptTables> script_tables(const std::vector<std::u16string>* double_table,
                                          const std::vector<std::u16string>* single_table,
                                          const std::vector<std::u16string>* double_filter,
                                          const std::vector<std::u16string>* single_filter) {
    std::vector<TableLine> double_lines, single_lines;
    if (double_table) double_lines = table_lines(*double_table)->lines;
    if (single_table) single_lines = table_lines(*single_table)->lines;
    ScriptTables tables{ReverseTables(double_lines, single_lines), {}};
    if (double_filter && !tables.filters.add_double_list(*double_filter)) return std::nullopt;
    if (single_filter && !tables.filters.add_single_list(*single_filter)) return std::nullopt;
    return tables;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kHeaderSize) return 0;
    const std::uint8_t* header = data;
    auto parts = fuzz::parts(fuzz::bytes(data + kHeaderSize, size - kHeaderSize), 5);
    const std::span<const std::uint8_t> rom = parts[4];
    std::array<std::vector<std::u16string>, 4> lines;
    for (std::size_t i = 0; i < lines.size(); ++i) lines[i] = fuzz::lines_of(parts[i]);
    const auto& [double_table_lines, single_table_lines, double_filter_lines, single_filter_lines] = lines;

    const auto mode = static_cast<RomMode>(std::min(header[0] & 3, 2));
    const bool double_filter_ticked = (header[0] & 4) != 0;
    const bool single_filter_ticked = (header[0] & 8) != 0;
    CodeTables tables;
    bool read_error = false;
    if (uses_double_byte_table(mode)) {
        auto table = parse_table2(double_table_lines);
        if (!table) return 0;
        read_error = read_error || table->read_error;
        tables.double_byte = std::move(table->table);
    }
    if (uses_single_byte_table(mode)) {
        auto table = parse_table1(single_table_lines);
        if (!table) return 0;
        read_error = read_error || table->read_error;
        tables.single = std::move(table->table);
    }
    ExportFilters filters;
    std::int64_t longest_jump = 0;
    auto note_jumps = [&](const auto& filter) {
        for (const FilterEntry& entry : filter.entries())
            if (entry.kind == ControlKind::jump) longest_jump = std::max<std::int64_t>(longest_jump, entry.jump_count);
    };
    if (double_filter_ticked) {
        auto filter = readfilter2(double_filter_lines);
        if (!filter) return 0;
        note_jumps(*filter);
        filters.double_byte = std::move(*filter);
    }
    if (single_filter_ticked) {
        auto filter = readfilter1(single_filter_lines);
        if (!filter) return 0;
        note_jumps(*filter);
        filters.single = std::move(*filter);
    }

    const std::int32_t start = header[1] << 8 | header[2];
    const std::int32_t end = (header[5] & 0x80) ? 0x7FFFFFFF : start + (header[3] << 8 | header[4]);
    const std::u16string_view minimum = kMinimums[header[5] & 7];

    // Unread bytes shown as "{$XX}" inside runs, up to a few in a row.
    const HexBytes hex{(header[0] & 0x10) != 0, (header[0] >> 5) & 7};
    auto result = exportrange(rom, start, end, tables, filters, minimum, hex);

    // Written as the file's bytes, the export is its text encoded with the
    // CR LF that ends the file, or fails where the text fails; a text the
    // encoding cannot hold fails as unencodable, once the scan has run. One
    // encoding per input (by the ROM's size), to keep the harness quick.
    for (const text::Encoding encoding : {rom.size() % 2 ? text::Encoding::utf8 : text::Encoding::gbk}) {
        struct Gathered final : ExportSink {
            std::vector<std::uint8_t> bytes;
            void write(std::span<const std::uint8_t> chunk) override { bytes.insert(bytes.end(), chunk.begin(), chunk.end()); }
        } sink;
        const ExportStretch stretch{start, end};
        const auto written = export_file({rom, tables, filters, std::span(&stretch, 1), std::nullopt, minimum, hex},
                                         encoding, sink);
        if (!result) {
            if (written || written.error() == ExportFailed::unencodable) fuzz::fail("bytes and text disagree on failing");
            continue;
        }
        auto encoded = text::encode(*result, encoding);
        if (!encoded) {
            if (written || written.error() != ExportFailed::unencodable) fuzz::fail("a text that cannot be encoded was written");
            continue;
        }
        if (!written) fuzz::fail("bytes fail where the text does not");
        if (!result->empty()) encoded->insert(encoded->end(), {0x0D, 0x0A});
        if (*encoded != sink.bytes) fuzz::fail("bytes differ from the encoded text");
        if ((*written == 0) != result->empty()) fuzz::fail("record count disagrees with the text");
    }
    const auto least = read_minimum_run_length(minimum);
    if (!least) {
        // It is read when the first run closes; a scan that closes none passes.
        if (result && !result->empty()) fuzz::fail("records despite a minimum that is no number");
        return 0;
    }
    if (!result) return 0;
    bool marker_words = false;
    for (const auto& file : lines)
        for (const std::u16string& line : file)
            if (line.find(kEndWord) != std::u16string::npos) marker_words = true;

    // Where the commands would take the export, the script it gives must
    // import back to the same bytes.
    std::vector<std::vector<std::u16string>> table_files, filter_files;
    if (tables.double_byte) table_files.push_back(double_table_lines);
    if (tables.single) table_files.push_back(single_table_lines);
    if (filters.double_byte) filter_files.push_back(double_filter_lines);
    if (filters.single) filter_files.push_back(single_filter_lines);
    std::optional<ScriptTables> reverse;
    // A tag that reads like a shown byte would be taken for it.
    bool dollar_tags = false;
    for (const auto& file : filter_files)
        for (const std::u16string& line : file)
            if (line.find(u'$') != std::u16string::npos) dollar_tags = true;
    if (!read_error && faithful(table_files, filter_files) && !(hex.shown && dollar_tags)) {
        reverse = script_tables(tables.double_byte ? &double_table_lines : nullptr,
                                tables.single ? &single_table_lines : nullptr,
                                filters.double_byte ? &double_filter_lines : nullptr,
                                filters.single ? &single_filter_lines : nullptr);
        if (!reverse) fuzz::fail("a filter list the export took is refused by the import");
        reverse->hex_bytes = hex.shown;
    }

    // The records, in order, none past the file and none outside the stretch
    // but for the trailing bytes of its last code (a pair's second byte, a
    // jump code's parameters).
    const std::u16string_view text = *result;
    const std::int64_t furthest = static_cast<std::int64_t>(end) + 2 + longest_jump;
    std::int64_t previous_end = start;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t close = text.find(kRecordEnd, at);
        if (close == std::u16string_view::npos) fuzz::fail("export text ends inside a record");
        const Parsed record = parse_record(text.substr(at, close - at));
        at = close + kRecordEnd.size();
        const std::int64_t record_end = std::int64_t{record.address} + record.length;
        if (record.address < previous_end) fuzz::fail("records overlap or go backwards");
        if (std::int64_t{record.address} > end) fuzz::fail("record starts after the end address");
        if (record_end > static_cast<std::int64_t>(rom.size())) fuzz::fail("record reaches past the file");
        if (record_end > furthest) fuzz::fail("record reaches past the stretch and its last code");
        if (record.length <= *least) fuzz::fail("record not above the minimum run length");
        if (record.length == 0 && !record.text.empty()) fuzz::fail("text in a record of no bytes");
        const auto bytes = rom.subspan(record.address, static_cast<std::size_t>(record.length));
        // An end marker closes its record and names the bytes it stands on.
        const std::u16string_view digits = trailing_end_marker_digits(record.text);
        if ((digits.size() == 2 || digits.size() == 4) && !marker_words) {
            const std::size_t count = digits.size() / 2;
            if (bytes.size() < count) fuzz::fail("end marker longer than its record");
            std::u16string expected;
            for (std::uint8_t byte : bytes.last(count)) append_hex_byte(expected, byte);
            if (expected != digits) fuzz::fail("end marker names other bytes");
        }
        if (reverse) {
            const CodeRange all{0, 0xFFFF};
            auto count = textlen(record.text, *reverse, all);
            if (!count || *count != bytes.size()) fuzz::fail("an exported record does not measure its length");
            auto encoded = text2code(record.text, *reverse, all);
            if (!encoded || !std::equal(encoded->begin(), encoded->end(), bytes.begin(), bytes.end()))
                fuzz::fail("an exported record does not encode to its bytes");
        }
        previous_end = record_end;
    }
    return 0;
}
