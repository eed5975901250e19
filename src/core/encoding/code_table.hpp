#pragma once
// Code tables as the export reads them: byte code -> text.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <string>
#include <vector>

#include "core/expected.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {

// An empty slot means the code has no mapping.
struct SingleByteTable {
    std::array<std::u16string, 256> slots;
    const std::u16string& at(std::uint8_t byte) const { return slots[byte]; }
};

// 65536 slots held as small indexes into the values defined, so that a table
// is cheap to build and drop on every command.
class DoubleByteTable {
public:
    const std::u16string& at(std::uint8_t first, std::uint8_t second) const { return values_[index_[key(first, second)]]; }
    // A later value for the same code replaces the earlier one.
    void set(std::uint8_t first, std::uint8_t second, std::u16string_view value);

private:
    static std::size_t key(std::uint8_t first, std::uint8_t second) { return std::size_t{first} << 8 | second; }
    std::vector<std::uint32_t> index_ = std::vector<std::uint32_t>(65536, 0);
    std::vector<std::u16string> values_ = std::vector<std::u16string>(1);  // [0] is the empty slot
};

template <class Table>
struct LoadedTable {
    Table table;
    bool read_error = false;  // some line could not be stored, or the file could not be read
};

// A line whose VALUE is empty stops the load; CODE is kept exactly as written.
struct EmptyValue {
    std::u16string code;
    friend bool operator==(const EmptyValue&, const EmptyValue&) = default;
};

// One non-empty line of a code table file, split at its first "=": the key
// as written (read as a code only when a table needs it) and the value.
struct TableLine {
    std::u16string key;
    std::u16string value;  // never empty
};

struct TableLines {
    std::vector<TableLine> lines;
    // A line without "=", a file without lines, or a file that cannot be
    // read or holds bytes that are not text in its encoding.
    bool read_error = false;
};

// The lines of a table file (an empty span is a file without lines); stops at
// the first line whose value is empty.
[[nodiscard]] Expected<TableLines, EmptyValue> table_lines(std::span<const std::u16string> file_lines);
[[nodiscard]] Expected<TableLines, EmptyValue> read_table_file(const std::filesystem::path& path,
                                                               text::Encoding encoding = text::Encoding::gbk);

// The tables the export reads, from the lines of their files; a key that is
// no code of its table is a read error too.
LoadedTable<SingleByteTable> single_byte_table(const TableLines& lines);
LoadedTable<DoubleByteTable> double_byte_table(const TableLines& lines);

// From the lines of a table file.
[[nodiscard]] Expected<LoadedTable<SingleByteTable>, EmptyValue> parse_table1(std::span<const std::u16string> lines);
[[nodiscard]] Expected<LoadedTable<DoubleByteTable>, EmptyValue> parse_table2(std::span<const std::u16string> lines);

// From a file.
[[nodiscard]] Expected<LoadedTable<SingleByteTable>, EmptyValue> loadtlb1(const std::filesystem::path& path,
                                                                         text::Encoding encoding = text::Encoding::gbk);
[[nodiscard]] Expected<LoadedTable<DoubleByteTable>, EmptyValue> loadtlb2(const std::filesystem::path& path,
                                                                         text::Encoding encoding = text::Encoding::gbk);

// The tables of the ROM mode; a table the mode does not use is absent.
struct CodeTables {
    std::optional<SingleByteTable> single;
    std::optional<DoubleByteTable> double_byte;
};

}  // namespace quillmere
