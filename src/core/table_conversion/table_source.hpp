#pragma once
// Reading a code table written for other tools: UTF-8 or code page 936,
// lines ended by CR LF, LF or CR.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/expected.hpp"

namespace quillmere::table_conversion {

// automatic: UTF-8 when the file starts with the UTF-8 byte-order mark, or
// is valid UTF-8 and holds a byte above 7F; code page 936 otherwise.
enum class SourceEncoding { automatic, utf8, gbk };

struct SourceLine {
    std::size_t number = 0;  // 1-based
    std::u16string text;     // without its line end
};

struct SourceText {
    bool utf8 = false;  // the encoding the file was read in
    std::vector<SourceLine> lines;
};

// The first line holding bytes that are not text in the file's encoding.
struct Undecodable {
    std::size_t line = 0;
    bool utf8 = false;
    friend bool operator==(const Undecodable&, const Undecodable&) = default;
};

Expected<SourceText, Undecodable> read_table_source(std::span<const std::uint8_t> bytes, SourceEncoding encoding);

}  // namespace quillmere::table_conversion
