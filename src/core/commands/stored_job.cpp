#include "core/commands/stored_job.hpp"

#include <algorithm>
#include <system_error>

#include "core/records/session.hpp"
#include "core/records/settings_file.hpp"

namespace quillmere {
namespace {

std::optional<Message> missing_data_dir(const std::filesystem::path& data_dir) {
    std::error_code error;
    if (std::filesystem::is_directory(data_dir, error)) return std::nullopt;
    return error_message(u"数据文件夹不存在：" + data_dir.u16string());
}

}  // namespace

Expected<std::vector<TypedRange>, Message> stored_ranges(const std::filesystem::path& data_dir,
                                                         std::span<const std::u16string> names) {
    if (auto missing = missing_data_dir(data_dir)) return unexpected(std::move(*missing));
    auto records = records::load_records(records::settings_file_path(data_dir));
    if (!records) return unexpected(error_message(u"记录文件读取失败"));
    std::vector<TypedRange> ranges;
    for (const std::u16string& name : names) {
        auto found = std::find_if(records->begin(), records->end(),
                                  [&](const records::Record& record) { return record.name == name; });
        if (found == records->end()) return unexpected(error_message(u"找不到记录：" + name));
        ranges.push_back({found->start, found->end});
    }
    return ranges;
}

Expected<StoredFilterLists, Message> stored_filter_lists(const std::filesystem::path& data_dir) {
    if (auto missing = missing_data_dir(data_dir)) return unexpected(std::move(*missing));
    records::StartupState state = records::start_up(data_dir);
    return StoredFilterLists{{std::move(state.single_filter_text), true}, {std::move(state.double_filter_text), true}};
}

}  // namespace quillmere
