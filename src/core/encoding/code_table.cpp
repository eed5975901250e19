#include "core/encoding/code_table.hpp"

#include "core/encoding/code_line.hpp"
#include "core/files/files.hpp"
#include "core/text/lines.hpp"

namespace quillmere {
namespace {

// `code_of(key)` gives the slot of a key, or nullopt when it is no code.
template <class Table, class Store>
LoadedTable<Table> table_of(const TableLines& lines, Store store) {
    LoadedTable<Table> loaded{Table{}, lines.read_error};
    for (const TableLine& line : lines.lines)
        if (!store(loaded.table, line.key, line.value)) loaded.read_error = true;
    return loaded;
}

template <class Table, class Build>
Expected<LoadedTable<Table>, EmptyValue> parse_with(Expected<TableLines, EmptyValue> lines, Build build) {
    if (!lines) return unexpected(std::move(lines.error()));
    return build(*lines);
}

}  // namespace

void DoubleByteTable::set(std::uint8_t first, std::uint8_t second, std::u16string_view value) {
    std::uint32_t& slot = index_[key(first, second)];
    if (slot == 0) {
        slot = static_cast<std::uint32_t>(values_.size());
        values_.emplace_back(value);
    } else {
        values_[slot] = value;
    }
}

Expected<TableLines, EmptyValue> table_lines(std::span<const std::u16string> file_lines) {
    TableLines loaded;
    TableWalk walk = walk_table_lines(file_lines, [&](std::u16string_view code, std::u16string_view value) {
        loaded.lines.push_back({std::u16string(code), std::u16string(value)});
        return true;
    });
    if (walk.empty_value) return unexpected(EmptyValue{std::move(*walk.empty_value)});
    loaded.read_error = walk.read_error;
    return loaded;
}

Expected<TableLines, EmptyValue> read_table_file(const std::filesystem::path& path, text::Encoding encoding) {
    auto file = files::read_text_file(path, encoding);
    if (!file) return TableLines{{}, true};
    auto lines = table_lines(text::split_lines(file->text));
    if (lines && file->bad_sequences > 0) lines->read_error = true;
    return lines;
}

LoadedTable<SingleByteTable> single_byte_table(const TableLines& lines) {
    return table_of<SingleByteTable>(lines, [](SingleByteTable& table, std::u16string_view code,
                                               std::u16string_view value) {
        auto byte = single_byte_code(code);
        if (!byte || *byte > 0xFF) return false;
        table.slots[static_cast<std::size_t>(*byte)] = value;
        return true;
    });
}

LoadedTable<DoubleByteTable> double_byte_table(const TableLines& lines) {
    return table_of<DoubleByteTable>(lines, [](DoubleByteTable& table, std::u16string_view code,
                                               std::u16string_view value) {
        auto pair = double_byte_code(code);
        if (!pair) return false;
        table.set(pair->first, pair->second, value);
        return true;
    });
}

Expected<LoadedTable<SingleByteTable>, EmptyValue> parse_table1(std::span<const std::u16string> lines) {
    return parse_with<SingleByteTable>(table_lines(lines), single_byte_table);
}

Expected<LoadedTable<DoubleByteTable>, EmptyValue> parse_table2(std::span<const std::u16string> lines) {
    return parse_with<DoubleByteTable>(table_lines(lines), double_byte_table);
}

Expected<LoadedTable<SingleByteTable>, EmptyValue> loadtlb1(const std::filesystem::path& path,
                                                           text::Encoding encoding) {
    return parse_with<SingleByteTable>(read_table_file(path, encoding), single_byte_table);
}

Expected<LoadedTable<DoubleByteTable>, EmptyValue> loadtlb2(const std::filesystem::path& path,
                                                           text::Encoding encoding) {
    return parse_with<DoubleByteTable>(read_table_file(path, encoding), double_byte_table);
}

}  // namespace quillmere
