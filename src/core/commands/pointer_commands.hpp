#pragma once
// The pointer list commands: listing a table of pointers, and finding the
// pointers to the records of a script. Plain values in, the list and the
// message to show out.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/commands/command_result.hpp"
#include "core/expected.hpp"
#include "core/pointers/pointer_list.hpp"

namespace quillmere {

// Fields as typed: addresses, the base and values hexadecimal, counts
// decimal; the map as a list writes it (empty: linear).
struct PointerTableRequest {
    std::filesystem::path rom;
    std::u16string at, count, size, order, base, map;
    std::u16string stride;  // empty: the pointer size, 1 for a split table
    // A split table: the high bytes' table (size and order then follow from
    // the tables, when left empty) and the bank bytes' table.
    std::u16string split_high, split_bank;
    // A pointer holding this value is listed as an entry to skip; "none":
    // no value is.
    std::u16string null_value = u"0";
};

struct PointerScanRequest {
    std::filesystem::path rom;
    std::filesystem::path script;
    std::u16string size, order, base, map;
    std::u16string align = u"1";
    std::u16string min_run = u"3";      // pointers in a row that make a table
    std::u16string max_stride = u"16";  // the longest step between a table's pointers
    bool tables_only = false;           // list the tables' pointers only
};

struct PointerList {
    std::optional<std::u16string> list;      // the list (CR LF lines), on success
    std::vector<std::u16string> warnings;  // one line each, for the error stream
};

CommandResult<PointerList> run_pointer_table(const PointerTableRequest& request);
CommandResult<PointerList> run_pointer_scan(const PointerScanRequest& request);

// Writes a list in code page 936; "指针表已写入" (提示) or "指针表写入失败" (错误).
CommandResult<> write_pointer_list_file(const std::filesystem::path& path, std::u16string_view list);

// Reads and parses a pointer list file, for the commands that take one:
// "指针表读取失败", or "指针表第N行填写错误" for the first bad line.
[[nodiscard]] Expected<std::vector<Pointer>, Message> read_pointer_list(const std::filesystem::path& path);

}  // namespace quillmere
