#pragma once
// Writes the units of one exchange file, in order, into the file's bytes
// (UTF-8): a PO file with its header entry, a CSV table with its header row
// (RFC 4180), or a ParaTranz JSON array.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/exchange/output.hpp"
#include "core/exchange/unit.hpp"

namespace quillmere::exchange {

class Writer {
public:
    // A CSV file in UTF-8 starts with a byte-order mark, so that a
    // spreadsheet reads it as UTF-8; one in code page 936 has none.
    explicit Writer(Format format, CsvEncoding csv_encoding = CsvEncoding::utf8);

    // Room for the whole file, when its size can be guessed.
    void reserve(std::size_t bytes) { out_.reserve(bytes); }
    // The bytes go on to `file` as they come (see Output::stream_to).
    void stream_to(platform::FileReplacement* file) { out_.stream_to(file); }
    // The unit, or the first character of it that a CSV file in code page
    // 936 cannot hold (the file is then of no use). Units of code page 936
    // bytes that are not all codes of the code page are not written, and
    // undecodable() tells.
    template <class Char>
    std::optional<char32_t> add(const BasicUnitOut<Char>& unit);
    std::optional<char32_t> add(const UnitOut& unit) { return add<char16_t>(unit); }
    bool undecodable() const { return undecodable_; }
    // The whole file (what is left of it, when streamed); the writer is done.
    Output finish();

private:
    template <class Char>
    void put_between(std::string_view before, std::basic_string_view<Char> text, const std::array<std::string_view, 128>& escapes,
                     std::string_view after);
    template <class Char>
    void po_unit(const BasicUnitOut<Char>& unit);
    template <class Char>
    void json_unit(const BasicUnitOut<Char>& unit);
    template <class Char>
    std::optional<char32_t> csv_field(std::basic_string_view<Char> field);

    Format format_;
    CsvEncoding csv_encoding_;
    bool first_ = true;
    bool undecodable_ = false;
    Output out_;
    std::u16string field_;
    std::string gbk_;
};

}  // namespace quillmere::exchange
