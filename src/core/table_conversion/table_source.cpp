#include "core/table_conversion/table_source.hpp"

#include <algorithm>

#include "core/text/gbk.hpp"

namespace quillmere::table_conversion {
namespace {

using Bytes = std::span<const std::uint8_t>;

bool starts_with_mark(Bytes bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
}

bool is_line_end(std::uint32_t c) { return c == '\r' || c == '\n'; }

// Calls on_line(number, first, size) for each line of `units`; a line ends at
// CR LF, LF or CR, and the last line needs no line end. Neither CR nor LF can
// be part of a longer code in UTF-8 or code page 936, so bytes and decoded
// text split alike.
template <class Unit, class OnLine>
void for_each_line(std::span<const Unit> units, OnLine&& on_line) {
    std::size_t number = 0, start = 0;
    while (start < units.size()) {
        std::size_t end = start;
        while (end < units.size() && !is_line_end(units[end])) ++end;
        on_line(++number, start, end - start);
        if (end < units.size() && units[end] == '\r' && end + 1 < units.size() && units[end + 1] == '\n') ++end;
        start = end + 1;
    }
}

text::Decoded decode(Bytes bytes, bool utf8) { return utf8 ? text::decode_utf8(bytes) : text::decode_gbk(bytes); }

bool has_high_byte(Bytes bytes) {
    return std::any_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b >= 0x80; });
}

}  // namespace

Expected<SourceText, Undecodable> read_table_source(Bytes bytes, SourceEncoding encoding) {
    bool utf8 = encoding == SourceEncoding::utf8;
    if (starts_with_mark(bytes)) {
        bytes = bytes.subspan(3);
        utf8 = true;
    }
    text::Decoded decoded = decode(bytes, utf8);
    if (encoding == SourceEncoding::automatic && !utf8 && has_high_byte(bytes)) {
        text::Decoded as_utf8 = text::decode_utf8(bytes);
        if (as_utf8.bad_sequences == 0) {
            decoded = std::move(as_utf8);
            utf8 = true;
        }
    }
    if (decoded.bad_sequences > 0) {
        // Find the line: decode line by line, only now that one is bad.
        Undecodable failure{0, utf8};
        for_each_line(bytes, [&](std::size_t number, std::size_t first, std::size_t size) {
            if (failure.line == 0 && decode(bytes.subspan(first, size), utf8).bad_sequences > 0) failure.line = number;
        });
        if (failure.line == 0) failure.line = 1;  // not expected: the whole text failed, no line alone did
        return unexpected(failure);
    }
    SourceText source{utf8, {}};
    const std::u16string& text = decoded.text;
    for_each_line(std::span<const char16_t>(text), [&](std::size_t number, std::size_t first, std::size_t size) {
        source.lines.push_back({number, text.substr(first, size)});
    });
    return source;
}

}  // namespace quillmere::table_conversion
