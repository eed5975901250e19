#include "core/script/script_source.hpp"

#include "core/files/files.hpp"
#include "core/text/lines.hpp"

namespace quillmere {

namespace {

// The file a previewed text passes through, or the script file.
Expected<std::filesystem::path, files::FileError> script_path(bool preview, const std::filesystem::path& script_file,
                                                     std::u16string_view script_text,
                                                     const std::filesystem::path& data_dir, text::Encoding encoding) {
    if (!preview) return script_file;
    const std::filesystem::path path = data_dir / kScriptTempFile;
    std::u16string contents(script_text);
    contents += text::kLineEnd;
    if (!files::write_text_file(path, contents, encoding)) return unexpected(files::FileError::cannot_write);
    return path;
}

bool starts_with_byte_order_mark(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
}

}  // namespace

std::u16string_view ScriptSource::text() {
    if (!text_) text_ = text::decode_text_file(file_->bytes()).text;
    return *text_;
}

std::u16string ScriptSource::take_text() && {
    text();
    return std::move(*text_);
}

Expected<ScriptSource, files::FileError> open_script_source(bool preview, const std::filesystem::path& script_file,
                                                   std::u16string_view script_text,
                                                   const std::optional<std::filesystem::path>& data_dir,
                                                   text::Encoding encoding) {
    if (preview && !data_dir) return ScriptSource(std::u16string(script_text));
    auto path = script_path(preview, script_file, script_text, data_dir.value_or(""), encoding);
    if (!path) return unexpected(std::move(path.error()));
    auto file = platform::MappedFile::open(*path);
    if (!file) return unexpected(file.error());
    if (encoding == text::Encoding::gbk && !starts_with_byte_order_mark(file->bytes()))
        return ScriptSource(std::move(*file));
    return ScriptSource(text::decode_text_file(file->bytes(), encoding).text);
}

Expected<std::u16string, files::FileError> open_script(bool preview, const std::filesystem::path& script_file,
                                              std::u16string_view script_text,
                                              const std::optional<std::filesystem::path>& data_dir,
                                              text::Encoding encoding) {
    auto source = open_script_source(preview, script_file, script_text, data_dir, encoding);
    if (!source) return unexpected(std::move(source.error()));
    return std::move(*source).take_text();
}

}  // namespace quillmere
