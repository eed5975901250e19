#include "core/commands/script_reading.hpp"

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

}  // namespace quillmere::script_reading
