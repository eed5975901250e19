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
#include "core/message.hpp"
#include "core/encoding/rom_mode.hpp"
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

// From the lines of a table file (an empty span is a file without lines).
Expected<LoadedTable<SingleByteTable>, EmptyValue> parse_table1(std::span<const std::u16string> lines);
Expected<LoadedTable<DoubleByteTable>, EmptyValue> parse_table2(std::span<const std::u16string> lines);

// From a file; a file that cannot be read, holds no line or holds bytes that
// are not text in its encoding sets the read error.
Expected<LoadedTable<SingleByteTable>, EmptyValue> loadtlb1(const std::filesystem::path& path,
                                                           text::Encoding encoding = text::Encoding::gbk);
Expected<LoadedTable<DoubleByteTable>, EmptyValue> loadtlb2(const std::filesystem::path& path,
                                                           text::Encoding encoding = text::Encoding::gbk);

struct CodeTables {
    std::optional<SingleByteTable> single;
    std::optional<DoubleByteTable> double_byte;
};

// The tables the ROM mode needs, in the order and with the messages the
// commands share: the double-byte table first, then the single-byte table,
// then the read errors of both.
Expected<CodeTables, Message> load_code_tables(RomMode mode, const std::filesystem::path& double_table_path,
                                               const std::filesystem::path& single_table_path,
                                               text::Encoding encoding = text::Encoding::gbk);

Message empty_value_message(const EmptyValue& failure);  // "码表里" + CODE + "行出现空字符"

}  // namespace quillmere
