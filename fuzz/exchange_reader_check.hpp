#pragma once
// What every exchange reader must hold to, whatever it is given: each text
// it names lies in its pool, every line it names is in the file, and the
// units it read, written again by the writer of the same format, read back
// the same.

#include <string_view>

#include "core/exchange/reader.hpp"
#include "core/exchange/writer.hpp"
#include "fuzz_support.hpp"

namespace quillmere::fuzz {

inline void check_exchange_reader(exchange::Format format, std::string_view bytes, const exchange::UnitFile& read) {
    using namespace exchange;
    std::size_t lines = 1;
    for (const char c : bytes) lines += c == '\n' || c == '\r';
    for (std::size_t i = 0; i < read.malformed_lines.size(); ++i) {
        const std::size_t line = read.malformed_lines[i];
        if (line == 0 || line > lines) fail("a malformed line outside the file");
        if (i > 0 && read.malformed_lines[i - 1] >= line) fail("malformed lines out of order or twice");
    }
    const auto inside = [&](Piece piece) { return piece.offset <= read.pool.size() && piece.size <= read.pool.size() - piece.offset; };
    Writer writer(format);
    for (const UnitIn& unit : read.units) {
        if (!inside(unit.key) || !inside(unit.source) || !inside(unit.target)) fail("a text outside the pool");
        if (unit.key.size == 0) fail("a unit without a key");
        if (unit.line == 0 || unit.line > lines) fail("a unit outside the file");
        static_cast<void>(writer.add({read.text(unit.key), u"1", read.text(unit.source), read.text(unit.target), u""}));
    }
    const Output again = writer.finish();
    const UnitFile reread = read_units(format, again.view(), CsvEncoding::utf8);
    if (!reread.malformed_lines.empty()) fail("a written file reads as malformed");
    if (reread.units.size() != read.units.size()) fail("a written file reads as another number of units");
    for (std::size_t i = 0; i < read.units.size(); ++i) {
        const UnitIn &a = read.units[i], &b = reread.units[i];
        if (read.text(a.key) != reread.text(b.key) || read.text(a.target) != reread.text(b.target) ||
            (a.has_source && read.text(a.source) != reread.text(b.source)))
            fail("a text written and read back differs");
    }
}

inline std::string_view chars_of(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace quillmere::fuzz
