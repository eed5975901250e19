#include "core/script/table_loading.hpp"

#include "core/encoding/code_line.hpp"
#include "core/files/files.hpp"
#include "core/text/lines.hpp"

namespace quillmere {
namespace {

// A file that cannot be read, holds bytes that are not text in its encoding,
// or holds no line is a read error, as in the export.
Expected<TableLines, EmptyValue> table_file_lines(const std::filesystem::path& path, text::Encoding encoding) {
    auto file = files::read_text_file(path, encoding);
    if (!file) return TableLines{{}, true};
    auto lines = text::split_lines(file->text);
    auto loaded = table_lines(lines);
    if (loaded && file->bad_sequences > 0) loaded->read_error = true;
    return loaded;
}

}  // namespace

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

Expected<ReverseTables, Message> load_reverse_tables(RomMode mode, const std::filesystem::path& double_table_path,
                                                     const std::filesystem::path& single_table_path,
                                                     text::Encoding encoding) {
    TableLines double_table, single_table;
    if (uses_double_byte_table(mode)) {
        if (double_table_path.empty()) return unexpected(error_message(u"请先选择一个双字节码表"));
        auto loaded = table_file_lines(double_table_path, encoding);
        if (!loaded) return unexpected(empty_value_message(loaded.error()));
        double_table = std::move(*loaded);
    }
    if (uses_single_byte_table(mode)) {
        if (single_table_path.empty()) return unexpected(error_message(u"请先选择一个单字节码表"));
        auto loaded = table_file_lines(single_table_path, encoding);
        if (!loaded) return unexpected(empty_value_message(loaded.error()));
        single_table = std::move(*loaded);
    }
    if (double_table.read_error || single_table.read_error) return unexpected(error_message(u"码表读取错误"));
    return ReverseTables(double_table.lines, single_table.lines);
}

}  // namespace quillmere
