#pragma once
// Writes the units of one exchange file, in order, into the file's bytes
// (UTF-8): a PO file with its header entry, a CSV table with its header row
// (RFC 4180), or a ParaTranz JSON array.

#include <optional>
#include <string>

#include "core/exchange/unit.hpp"

namespace quillmere::exchange {

class Writer {
public:
    // A CSV file in UTF-8 starts with a byte-order mark, so that a
    // spreadsheet reads it as UTF-8; one in code page 936 has none.
    Writer(Format format, CsvEncoding csv_encoding = CsvEncoding::utf8);

    // Room for the whole file, when its size can be guessed.
    void reserve(std::size_t bytes) { bytes_.reserve(bytes); }
    // The unit, or the first character of it that a CSV file in code page
    // 936 cannot hold (the file is then of no use).
    std::optional<char32_t> add(const UnitOut& unit);
    // The whole file; the writer is done.
    std::string finish();

private:
    Format format_;
    CsvEncoding csv_encoding_;
    bool first_ = true;
    std::u16string field_;
    std::string bytes_;
};

}  // namespace quillmere::exchange
