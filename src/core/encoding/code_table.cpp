#include "core/encoding/code_table.hpp"

#include "core/encoding/code_line.hpp"
#include "core/files/files.hpp"
#include "core/text/lines.hpp"

namespace quillmere {
namespace {

// Shared walk over the lines: `store(code, value)` returns false when the
// line cannot be stored.
template <class Table, class Store>
Expected<LoadedTable<Table>, EmptyValue> parse_table(std::span<const std::u16string> lines, Store store) {
    LoadedTable<Table> loaded;
    TableWalk walk = walk_table_lines(
        lines, [&](std::u16string_view code, std::u16string_view value) { return store(loaded.table, code, value); });
    if (walk.empty_value) return unexpected(EmptyValue{std::move(*walk.empty_value)});
    loaded.read_error = walk.read_error;
    return loaded;
}

template <class Table, class Parse>
Expected<LoadedTable<Table>, EmptyValue> load_table_file(const std::filesystem::path& path, text::Encoding encoding,
                                                         Parse parse) {
    auto file = files::read_text_file(path, encoding);
    if (!file) return LoadedTable<Table>{Table{}, true};
    auto lines = text::split_lines(file->text);
    auto loaded = parse(std::span<const std::u16string>(lines));
    if (loaded && file->bad_sequences > 0) loaded->read_error = true;
    return loaded;
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

Expected<LoadedTable<SingleByteTable>, EmptyValue> parse_table1(std::span<const std::u16string> lines) {
    return parse_table<SingleByteTable>(lines, [](SingleByteTable& table, std::u16string_view code,
                                                  std::u16string_view value) {
        auto byte = single_byte_code(code);
        if (!byte || *byte > 0xFF) return false;
        table.slots[static_cast<std::size_t>(*byte)] = value;
        return true;
    });
}

Expected<LoadedTable<DoubleByteTable>, EmptyValue> parse_table2(std::span<const std::u16string> lines) {
    return parse_table<DoubleByteTable>(lines, [](DoubleByteTable& table, std::u16string_view code,
                                                  std::u16string_view value) {
        auto pair = double_byte_code(code);
        if (!pair) return false;
        table.set(pair->first, pair->second, value);
        return true;
    });
}

Expected<LoadedTable<SingleByteTable>, EmptyValue> loadtlb1(const std::filesystem::path& path,
                                                           text::Encoding encoding) {
    return load_table_file<SingleByteTable>(path, encoding, parse_table1);
}

Expected<LoadedTable<DoubleByteTable>, EmptyValue> loadtlb2(const std::filesystem::path& path,
                                                           text::Encoding encoding) {
    return load_table_file<DoubleByteTable>(path, encoding, parse_table2);
}

Message empty_value_message(const EmptyValue& failure) {
    return error_message(u"码表里" + failure.code + u"行出现空字符");
}

Expected<CodeTables, Message> load_code_tables(RomMode mode, const std::filesystem::path& double_table_path,
                                               const std::filesystem::path& single_table_path,
                                               text::Encoding encoding) {
    CodeTables tables;
    bool read_error = false;
    if (uses_double_byte_table(mode)) {
        if (double_table_path.empty()) return unexpected(error_message(u"请先选择一个双字节码表"));
        auto loaded = loadtlb2(double_table_path, encoding);
        if (!loaded) return unexpected(empty_value_message(loaded.error()));
        read_error = read_error || loaded->read_error;
        tables.double_byte = std::move(loaded->table);
    }
    if (uses_single_byte_table(mode)) {
        if (single_table_path.empty()) return unexpected(error_message(u"请先选择一个单字节码表"));
        auto loaded = loadtlb1(single_table_path, encoding);
        if (!loaded) return unexpected(empty_value_message(loaded.error()));
        read_error = read_error || loaded->read_error;
        tables.single = std::move(loaded->table);
    }
    if (read_error) return unexpected(error_message(u"码表读取错误"));
    return tables;
}

}  // namespace quillmere
