#include "core/commands/records_commands.hpp"

#include "core/commands/messages.hpp"
#include "core/records/session.hpp"

namespace quillmere {
namespace {

CommandResult<RecordsPayload> result_of(records::Change change) {
    Message message = change.refusal ? messages::record_refusal(*change.refusal) : no_message();
    return {std::move(message), {std::move(change.records), change.changed}};
}

}  // namespace

CommandResult<RecordsPayload> run_add_record(const RecordList& list, const Record& typed,
                                             const std::filesystem::path& data_dir) {
    return result_of(records::add_record(list, typed, records::settings_file_path(data_dir)));
}

CommandResult<RecordsPayload> run_delete_record(const RecordList& list, std::optional<std::size_t> selection,
                                                bool confirmed, const std::filesystem::path& data_dir) {
    return result_of(records::delete_record(list, selection, confirmed, records::settings_file_path(data_dir)));
}

CommandResult<RecordsPayload> run_modify_record(const RecordList& list, std::optional<std::size_t> selection,
                                                const Record& typed, bool confirmed,
                                                const std::filesystem::path& data_dir) {
    return result_of(
        records::modify_record(list, selection, typed, confirmed, records::settings_file_path(data_dir)));
}

const Record& selected_record(const RecordList& list, std::size_t index) { return records::select_record(list, index); }

StartUp run_start_up(const std::filesystem::path& data_dir) {
    records::StartupState state = records::start_up(data_dir);
    return {std::move(state.records), std::move(state.single_filter_text), std::move(state.double_filter_text)};
}

CommandResult<> run_shut_down(const std::filesystem::path& data_dir, std::u16string_view single_filter_text,
                              std::u16string_view double_filter_text) {
    if (!records::shut_down(data_dir, single_filter_text, double_filter_text)) return {messages::filter_lists_not_saved()};
    return {no_message()};
}

}  // namespace quillmere
