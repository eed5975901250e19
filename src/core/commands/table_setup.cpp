#include "core/commands/table_setup.hpp"

namespace quillmere {
namespace {

using Cause = SetupFailure::Cause;

Expected<TableLines, SetupFailure> read_table(const std::filesystem::path& path, Cause missing,
                                              text::Encoding encoding) {
    if (path.empty()) return unexpected(SetupFailure{missing});
    auto lines = read_table_file(path, encoding);
    if (!lines) return unexpected(SetupFailure{Cause::empty_value, false, std::move(lines.error().code)});
    return std::move(*lines);
}

SetupFailure filter_failure(FilterFailure failure, bool double_byte) {
    return {failure == FilterFailure::empty_field ? Cause::filter_empty_field : Cause::filter_bad_entry, double_byte};
}

Expected<std::optional<std::vector<std::u16string>>, SetupFailure> read_list(const FilterListInput& list,
                                                                             const TableSetup& setup,
                                                                             bool double_byte, bool& untick) {
    auto lines = filter_list_lines(list, setup.data_dir, double_byte ? kDoubleFilterTempFile : kSingleFilterTempFile,
                                   setup.encoding);
    if (!lines) return unexpected(filter_failure(lines.error(), double_byte));
    untick = lines->untick;
    return std::move(lines->lines);
}

// Each list read and parsed by `parse(lines, double_byte)`, the double-byte
// one first; the single-byte list is not read when the double-byte one fails.
template <class Parse>
Expected<Done, SetupFailure> load_lists(const TableSetup& setup, FilterUnticks& untick, Parse parse) {
    for (const bool double_byte : {true, false}) {
        auto lines = read_list(double_byte ? setup.double_filter : setup.single_filter, setup, double_byte,
                               double_byte ? untick.double_filter : untick.single_filter);
        if (!lines) return unexpected(std::move(lines.error()));
        if (!*lines) continue;
        if (auto parsed = parse(**lines, double_byte); !parsed)
            return unexpected(filter_failure(parsed.error(), double_byte));
    }
    return Done{};
}

// A parsed filter into `into`.
template <class Filter>
Expected<Done, FilterFailure> keep(Expected<Filter, FilterFailure> parsed, std::optional<Filter>& into) {
    if (!parsed) return unexpected(parsed.error());
    into = std::move(*parsed);
    return Done{};
}

}  // namespace

Expected<TableFiles, SetupFailure> read_code_tables(const TableSetup& setup) {
    TableFiles files;
    if (uses_double_byte_table(setup.mode)) {
        auto lines = read_table(setup.double_table, Cause::no_double_table, setup.encoding);
        if (!lines) return unexpected(std::move(lines.error()));
        files.double_table = std::move(*lines);
    }
    if (uses_single_byte_table(setup.mode)) {
        auto lines = read_table(setup.single_table, Cause::no_single_table, setup.encoding);
        if (!lines) return unexpected(std::move(lines.error()));
        files.single_table = std::move(*lines);
    }
    return files;
}

Expected<FilterFiles, SetupFailure> read_filter_lists(const TableSetup& setup, FilterUnticks& untick) {
    FilterFiles files;
    auto loaded = load_lists(setup, untick, [&](std::vector<std::u16string>& lines, bool double_byte) {
        (double_byte ? files.double_list : files.single_list) = std::move(lines);
        return Expected<Done, FilterFailure>(Done{});
    });
    if (!loaded) return unexpected(std::move(loaded.error()));
    return files;
}

Expected<ExportTables, SetupFailure> load_export_tables(const TableSetup& setup, FilterUnticks& untick) {
    auto files = read_code_tables(setup);
    if (!files) return unexpected(std::move(files.error()));
    ExportTables loaded;
    bool read_error = false;
    if (files->double_table) {
        auto table = double_byte_table(*files->double_table);
        read_error = read_error || table.read_error;
        loaded.tables.double_byte = std::move(table.table);
    }
    if (files->single_table) {
        auto table = single_byte_table(*files->single_table);
        read_error = read_error || table.read_error;
        loaded.tables.single = std::move(table.table);
    }
    if (read_error) return unexpected(SetupFailure{Cause::unreadable});

    auto parsed = load_lists(setup, untick, [&](const std::vector<std::u16string>& lines, bool double_byte) {
        return double_byte ? keep(readfilter2(lines), loaded.filters.double_byte)
                           : keep(readfilter1(lines), loaded.filters.single);
    });
    if (!parsed) return unexpected(std::move(parsed.error()));
    return loaded;
}

Expected<ScriptTables, SetupFailure> load_script_tables(const TableSetup& setup, FilterUnticks& untick) {
    auto files = read_code_tables(setup);
    if (!files) return unexpected(std::move(files.error()));
    const TableLines none;
    const TableLines& double_lines = files->double_table ? *files->double_table : none;
    const TableLines& single_lines = files->single_table ? *files->single_table : none;
    if (double_lines.read_error || single_lines.read_error) return unexpected(SetupFailure{Cause::unreadable});

    FilterLookup filters;
    auto parsed = load_lists(setup, untick, [&](const std::vector<std::u16string>& lines, bool double_byte) {
        return double_byte ? filters.add_double_list(lines) : filters.add_single_list(lines);
    });
    if (!parsed) return unexpected(std::move(parsed.error()));
    return ScriptTables{ReverseTables(double_lines.lines, single_lines.lines), std::move(filters), setup.hex_bytes};
}

}  // namespace quillmere
