#include "core/commands/filter_lists.hpp"

#include "core/files/files.hpp"
#include "core/records/filter_list_file.hpp"
#include "core/text/gbk.hpp"
#include "core/text/lines.hpp"

namespace quillmere {

Expected<FilterListInput, files::FileError> filter_list_from_file(const std::filesystem::path& path,
                                                                  text::Encoding encoding) {
    auto file = records::read_filter_list_file(path, encoding);
    if (!file) return unexpected(file.error());
    return FilterListInput{std::move(file->text), true, file->bad_bytes};
}

Expected<FilterListLines, FilterFailure> filter_list_lines(const FilterListInput& list,
                                                  const std::optional<std::filesystem::path>& data_dir,
                                                  const char* temp_file_name, text::Encoding encoding) {
    FilterListLines result;
    result.untick = list.text.empty();
    if (result.untick || !list.ticked) return result;
    if (list.bad_bytes) return unexpected(FilterFailure::bad_entry);
    if (!data_dir) {
        // As the temporary file would give it back: a character the
        // encoding cannot hold could not have been written there.
        if (!text::encode(list.text, encoding)) return unexpected(FilterFailure::bad_entry);
        result.lines = text::split_lines(list.text);
        return result;
    }
    const std::filesystem::path temp = *data_dir / temp_file_name;
    std::u16string contents = list.text;
    contents += text::kLineEnd;
    if (!files::write_text_file(temp, contents, encoding)) return unexpected(FilterFailure::bad_entry);
    auto lines = files::read_text_lines(temp, encoding);
    if (!lines) return unexpected(FilterFailure::bad_entry);
    result.lines = std::move(*lines);
    return result;
}

}  // namespace quillmere
