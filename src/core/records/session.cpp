#include "core/records/session.hpp"

#include "core/records/filter_list_file.hpp"
#include "core/records/settings_file.hpp"

namespace quillmere::records {

std::filesystem::path settings_file_path(const std::filesystem::path& data_dir) {
    return data_dir / std::filesystem::path(kSettingsFileName);
}

StartupState start_up(const std::filesystem::path& data_dir) {
    // Each part on its own: a file that cannot be read leaves only its part
    // empty, and start-up never reports anything.
    StartupState state;
    if (auto records = load_records(settings_file_path(data_dir))) state.records = std::move(*records);
    if (auto file = read_filter_list_file(data_dir / kSingleFilterFileName)) state.single_filter_text = std::move(file->text);
    if (auto file = read_filter_list_file(data_dir / kDoubleFilterFileName)) state.double_filter_text = std::move(file->text);
    return state;
}

Expected<Done, files::FileError> shut_down(const std::filesystem::path& data_dir, std::u16string_view single_filter_text,
                                 std::u16string_view double_filter_text) {
    // Both writes are attempted; one failing must not cost the other list.
    bool single_saved = write_filter_list_file(data_dir / kSingleFilterFileName, single_filter_text).has_value();
    bool double_saved = write_filter_list_file(data_dir / kDoubleFilterFileName, double_filter_text).has_value();
    if (single_saved && double_saved) return Done{};
    return unexpected(files::FileError::cannot_write);
}

}  // namespace quillmere::records
