#include "core/commands/stored_job.hpp"

#include <algorithm>
#include <system_error>

#include "core/commands/messages.hpp"
#include "core/records/session.hpp"
#include "core/records/settings_file.hpp"

namespace quillmere {
namespace {

Expected<Done, Message> data_dir_exists(const std::filesystem::path& data_dir) {
    std::error_code error;
    if (std::filesystem::is_directory(data_dir, error)) return Done{};
    return unexpected(messages::no_data_dir(data_dir));
}

// A file that is not there is an empty list.
FilterListInput stored_list(const std::filesystem::path& path) {
    auto list = filter_list_from_file(path);
    return list ? std::move(*list) : FilterListInput{u"", true};
}

}  // namespace

Expected<std::vector<TypedRange>, Message> stored_ranges(const std::filesystem::path& data_dir,
                                                         std::span<const std::u16string> names) {
    if (auto exists = data_dir_exists(data_dir); !exists) return unexpected(std::move(exists.error()));
    auto records = records::load_records(records::settings_file_path(data_dir));
    if (!records) return unexpected(messages::records_unreadable());
    std::vector<TypedRange> ranges;
    for (const std::u16string& name : names) {
        auto found = std::find_if(records->begin(), records->end(),
                                  [&](const records::Record& record) { return record.name == name; });
        if (found == records->end()) return unexpected(messages::no_such_record(name));
        ranges.push_back({found->start, found->end});
    }
    return ranges;
}

Expected<StoredFilterLists, Message> stored_filter_lists(const std::filesystem::path& data_dir) {
    if (auto exists = data_dir_exists(data_dir); !exists) return unexpected(std::move(exists.error()));
    return StoredFilterLists{stored_list(data_dir / records::kSingleFilterFileName),
                             stored_list(data_dir / records::kDoubleFilterFileName)};
}

}  // namespace quillmere
