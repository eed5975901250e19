#include "core/import/script_source.hpp"

#include "core/text/files.hpp"
#include "core/text/lines.hpp"

namespace quillmere {

Expected<std::u16string, Message> open_script(bool preview, const std::filesystem::path& script_file,
                                              std::u16string_view script_text,
                                              const std::optional<std::filesystem::path>& data_dir,
                                              text::Encoding encoding) {
    const Message cannot_read = error_message(u"译文读取失败");
    if (preview && !data_dir) return std::u16string(script_text);
    std::filesystem::path path = script_file;
    if (preview) {
        path = *data_dir / kScriptTempFile;
        std::u16string contents(script_text);
        contents += text::kLineEnd;
        if (!text::write_text_file(path, contents, encoding)) return unexpected(cannot_read);
    }
    auto file = text::read_text_file(path, encoding);
    if (!file) return unexpected(cannot_read);
    return std::move(file->text);
}

}  // namespace quillmere
