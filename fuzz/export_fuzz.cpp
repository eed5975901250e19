// The export scan over an arbitrary ROM, arbitrary code tables and filter
// lists, and arbitrary bounds. The input is a 6-byte header followed by five
// parts split at FF: double-byte table, single-byte table, double-byte
// filter list, single-byte filter list, ROM (the ROM comes last, so it may
// hold FF itself).
//
// Header: [0] mode (low two bits) and which filter lists are ticked (bits 2
// and 3); [1..2] start; [3..4] length of the stretch; [5] the minimum run
// length and whether the end is pushed out to 7FFFFFFF.

#include <algorithm>
#include <array>
#include <string_view>

#include "core/encoding/code_table.hpp"
#include "core/encoding/filter.hpp"
#include "core/encoding/hex.hpp"
#include "core/encoding/markers.hpp"
#include "core/export/export_text.hpp"
#include "core/export/exportrange.hpp"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kHeaderSize) return 0;
    const std::uint8_t* header = data;
    auto parts = fuzz::parts(fuzz::bytes(data + kHeaderSize, size - kHeaderSize), 5);
    const std::span<const std::uint8_t> rom = parts[4];

    const auto mode = static_cast<RomMode>(std::min(header[0] & 3, 2));
    CodeTables tables;
    if (uses_double_byte_table(mode)) {
        auto lines = fuzz::lines_of(parts[0]);
        auto table = parse_table2(lines);
        if (!table) return 0;
        tables.double_byte = std::move(table->table);
    }
    if (uses_single_byte_table(mode)) {
        auto lines = fuzz::lines_of(parts[1]);
        auto table = parse_table1(lines);
        if (!table) return 0;
        tables.single = std::move(table->table);
    }
    ExportFilters filters;
    std::int64_t longest_jump = 0;
    if (header[0] & 4) {
        auto lines = fuzz::lines_of(parts[2]);
        auto filter = readfilter2(lines);
        if (!filter) return 0;
        for (const FilterEntry& entry : filter->entries())
            if (entry.kind == ControlKind::jump) longest_jump = std::max<std::int64_t>(longest_jump, entry.jump_count);
        filters.double_byte = std::move(*filter);
    }
    if (header[0] & 8) {
        auto lines = fuzz::lines_of(parts[3]);
        auto filter = readfilter1(lines);
        if (!filter) return 0;
        for (const FilterEntry& entry : filter->entries())
            if (entry.kind == ControlKind::jump) longest_jump = std::max<std::int64_t>(longest_jump, entry.jump_count);
        filters.single = std::move(*filter);
    }

    const std::int32_t start = header[1] << 8 | header[2];
    const std::int32_t end = (header[5] & 0x80) ? 0x7FFFFFFF : start + (header[3] << 8 | header[4]);
    const std::u16string_view minimum = kMinimums[header[5] & 7];

    auto result = exportrange(rom, start, end, tables, filters, minimum);
    const auto least = read_minimum_run_length(minimum);
    if (!least) {
        // It is read when the first run closes; a scan that closes none passes.
        if (result && !result->empty()) fuzz::fail("records despite a minimum that is no number");
        return 0;
    }
    if (!result) return 0;
    bool marker_words = false;
    for (std::size_t i = 0; i < 4; ++i)
        if (fuzz::text_of(parts[i]).find(kEndWord) != std::u16string::npos) marker_words = true;

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
        if (record.address > end) fuzz::fail("record starts after the end address");
        if (record_end > static_cast<std::int64_t>(rom.size())) fuzz::fail("record reaches past the file");
        if (record_end > furthest) fuzz::fail("record reaches past the stretch and its last code");
        if (record.length <= *least) fuzz::fail("record not above the minimum run length");
        if (record.length == 0 && !record.text.empty()) fuzz::fail("text in a record of no bytes");
        // An end marker closes its record and names the bytes it stands on.
        const std::u16string_view digits = trailing_end_marker_digits(record.text);
        if (!digits.empty() && (digits.size() == 2 || digits.size() == 4)) {
            const std::size_t count = digits.size() / 2;
            if (static_cast<std::size_t>(record.length) < count) fuzz::fail("end marker longer than its record");
            std::u16string expected;
            for (std::size_t i = 0; i < count; ++i)
                append_hex_byte(expected, rom[record_end - static_cast<std::int64_t>(count) + static_cast<std::int64_t>(i)]);
            // A table value or a tag may read like a marker; then it proves nothing.
            if (expected != digits && !marker_words) fuzz::fail("end marker names other bytes");
        }
        previous_end = record_end;
    }
    return 0;
}
