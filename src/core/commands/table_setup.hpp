#pragma once
// The tables a command reads, set up once for every command: the code
// tables of the ROM mode and the ticked filter lists, as the window's
// controls or the command line give them. One loader reads them in the
// order every command shares and builds what the command needs.

#include <filesystem>
#include <optional>

#include "core/commands/filter_lists.hpp"
#include "core/encoding/code_table.hpp"
#include "core/encoding/filter.hpp"
#include "core/encoding/rom_mode.hpp"
#include "core/expected.hpp"
#include "core/export/exportrange.hpp"
#include "core/script/text_codes.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {

struct TableSetup {
    RomMode mode = RomMode::double_byte;  // Option1-3
    std::filesystem::path double_table;   // Text2
    std::filesystem::path single_table;   // Text13
    FilterListInput double_filter;        // Text12, Check2
    FilterListInput single_filter;        // Text6, Check3
    // Of the code tables, the filter lists, the script, the export file and
    // the temporary files.
    text::Encoding encoding = text::Encoding::gbk;
    // The export keeps bytes no rule reads inside runs as "{$XX}"; the check
    // and the import read "{$XX}" back as the byte, where no filter list
    // names the token.
    bool hex_bytes = false;
    // The window's data directory: the ticked filter lists (and a previewed
    // script) pass through its temporary files. Without one (the command
    // line) the texts are used as they are.
    std::optional<std::filesystem::path> data_dir;
};

// Why the tables could not be set up.
struct SetupFailure {
    enum class Cause {
        no_double_table,  // the mode needs the double-byte table and no path is given
        no_single_table,
        empty_value,      // `code`: the CODE of the line whose VALUE is empty
        unreadable,       // a table could not be read, or holds a line that is no entry
        filter_empty_field,
        filter_bad_entry,
    };
    SetupFailure(Cause why, bool double_list = false, std::u16string empty_code = {})
        : cause(why), double_byte(double_list), code(std::move(empty_code)) {}

    Cause cause;
    bool double_byte;  // the filter list concerned
    std::u16string code;
    friend bool operator==(const SetupFailure&, const SetupFailure&) = default;
};

// Which boxes the command unticks: an empty list takes no part.
struct FilterUnticks {
    bool double_filter = false;  // Check2
    bool single_filter = false;  // Check3
};

// The lines of the code tables the mode uses; a table it does not use is
// absent. Read errors are left to whoever builds the tables.
struct TableFiles {
    std::optional<TableLines> double_table, single_table;
};
// The lines of the ticked filter lists; a list that takes no part is absent.
struct FilterFiles {
    std::optional<std::vector<std::u16string>> double_list, single_list;
};

// The double-byte table, then the single-byte table, each only when the
// mode uses it: a missing path, then a line with an empty value.
[[nodiscard]] Expected<TableFiles, SetupFailure> read_code_tables(const TableSetup& setup);
// The double-byte list, then the single-byte list; `untick` is set for each
// empty list, also when a later step fails.
[[nodiscard]] Expected<FilterFiles, SetupFailure> read_filter_lists(const TableSetup& setup, FilterUnticks& untick);

// What the export scans with.
struct ExportTables {
    CodeTables tables;
    ExportFilters filters;
};

// The code tables (a read error of either, seen only after both were read,
// fails), then the filter lists.
[[nodiscard]] Expected<ExportTables, SetupFailure> load_export_tables(const TableSetup& setup, FilterUnticks& untick);
[[nodiscard]] Expected<ScriptTables, SetupFailure> load_script_tables(const TableSetup& setup, FilterUnticks& untick);

}  // namespace quillmere
