#pragma once
// Where the check and the import read the translation script from: the
// file named in Text8, or the translation area (Text10) written through
// "temp.txt" in the data directory and read back.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/expected.hpp"
#include "core/files/files.hpp"
#include "core/text/gbk.hpp"
#include "core/platform/mapped_file.hpp"

namespace quillmere {

inline constexpr const char* kScriptTempFile = "temp.txt";

// The whole script text, or why it cannot be read. Without a data
// directory a previewed text is used as it is.
[[nodiscard]] Expected<std::u16string, files::FileError> open_script(bool preview, const std::filesystem::path& script_file,
                                              std::u16string_view script_text,
                                              const std::optional<std::filesystem::path>& data_dir,
                                              text::Encoding encoding = text::Encoding::gbk);

// The script as read: a code page 936 file keeps its bytes as they are (the
// check and the import read them so), anything else is decoded.
class ScriptSource {
public:
    explicit ScriptSource(std::u16string text) : text_(std::move(text)) {}
    explicit ScriptSource(platform::MappedFile file) : file_(std::move(file)) {}

    bool has_bytes() const { return file_.has_value(); }
    std::string_view bytes() const {
        return {reinterpret_cast<const char*>(file_->bytes().data()), file_->bytes().size()};
    }
    // The decoded text; a file kept as bytes is decoded on the first call.
    std::u16string_view text();
    // The decoded text, handed over.
    std::u16string take_text() &&;

private:
    std::optional<platform::MappedFile> file_;
    std::optional<std::u16string> text_;
};

// As open_script, keeping the bytes of a code page 936 file.
[[nodiscard]] Expected<ScriptSource, files::FileError> open_script_source(bool preview, const std::filesystem::path& script_file,
                                                   std::u16string_view script_text,
                                                   const std::optional<std::filesystem::path>& data_dir,
                                                   text::Encoding encoding = text::Encoding::gbk);

}  // namespace quillmere
