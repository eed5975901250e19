#pragma once
// Reading the code table files for the check and the import. Keys are kept
// as written; they are read as codes only when a text needs them.

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "core/encoding/code_table.hpp"
#include "core/expected.hpp"
#include "core/script/reverse_tables.hpp"
#include "core/message.hpp"
#include "core/encoding/rom_mode.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {

struct TableLines {
    std::vector<TableLine> lines;
    bool read_error = false;  // a line without "=", or a file without lines
};

// Stops at the first line whose value is empty.
Expected<TableLines, EmptyValue> table_lines(std::span<const std::u16string> file_lines);

// The double-byte table first, then the single-byte table, each only when
// the mode uses it: "请先选择一个双字节码表", "码表里" + key + "行出现空字符",
// "请先选择一个单字节码表"; a read error of either, seen only after both
// were read, gives "码表读取错误".
Expected<ReverseTables, Message> load_reverse_tables(RomMode mode, const std::filesystem::path& double_table_path,
                                                     const std::filesystem::path& single_table_path,
                                                     text::Encoding encoding = text::Encoding::gbk);

}  // namespace quillmere
