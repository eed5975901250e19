#include "core/commands/script_reading.hpp"

#include "core/files/files.hpp"

namespace quillmere::script_reading {

Expected<Prepared, Message> prepare(const CheckRequest& request, FilterUnticks& untick) {
    if (!request.preview && request.script_file.empty()) return unexpected(messages::choose_script());
    auto tables = load_script_tables(request.tables, untick);
    if (!tables) return unexpected(messages::setup_failure(tables.error()));
    auto script = open_script_source(request.preview, request.script_file, request.script_text,
                                     request.tables.data_dir, request.tables.encoding);
    if (!script) return unexpected(messages::script_unreadable());
    return Prepared{std::move(*tables), std::move(*script)};
}

Expected<std::optional<CodeWidths>, Message> load_widths(const BoxLimitInput& input, const ReverseTables& tables) {
    if (!input.max_width) return std::optional<CodeWidths>{};
    auto lines = files::read_text_lines(input.widths_file);
    if (!lines) return unexpected(messages::widths_unreadable());
    auto widths = CodeWidths::parse(*lines, input.default_width, tables);
    if (!widths) return unexpected(messages::widths_failure(widths.error()));
    return std::optional<CodeWidths>(std::move(*widths));
}

}  // namespace quillmere::script_reading
