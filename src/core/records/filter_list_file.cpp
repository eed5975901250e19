#include "core/records/filter_list_file.hpp"

#include "core/text/lines.hpp"

namespace quillmere::records {

std::u16string filter_box_text(std::u16string_view file_text) {
    std::u16string box;
    text::for_each_line(file_text, [&](std::u16string_view line) {
        if (line.empty()) return;
        box += line;
        box += text::kLineEnd;
    });
    return box;
}

Expected<FilterListFile, files::FileError> read_filter_list_file(const std::filesystem::path& path,
                                                                 text::Encoding encoding) {
    auto decoded = files::read_text_file(path, encoding);
    if (!decoded) return unexpected(decoded.error());
    return FilterListFile{filter_box_text(decoded->text), decoded->bad_sequences > 0};
}

Expected<Done, files::TextWriteFailure> write_filter_list_file(const std::filesystem::path& path,
                                                              std::u16string_view box_text) {
    std::u16string contents(box_text);
    contents += text::kLineEnd;
    return files::write_text_file(path, contents);
}

}  // namespace quillmere::records
