#pragma once
// Where the check and the import read the translation script from: the
// file named in Text8, or the translation area (Text10) written through
// "temp.txt" in the data directory and read back.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/expected.hpp"
#include "core/message.hpp"

namespace quillmere {

inline constexpr const char* kScriptTempFile = "temp.txt";

// The whole script text; "译文读取失败" when it cannot be read. Without a
// data directory a previewed text is used as it is.
Expected<std::u16string, Message> open_script(bool preview, const std::filesystem::path& script_file,
                                              std::u16string_view script_text,
                                              const std::optional<std::filesystem::path>& data_dir);

// The lines of a script one at a time, without copying: a line ends at
// CR LF or at a lone CR, as everywhere in the tool.
class ScriptLines {
public:
    explicit ScriptLines(std::u16string_view text) : text_(text) {}

    std::optional<std::u16string_view> next() {
        if (position_ >= text_.size()) return std::nullopt;
        const std::size_t cr = text_.find(u'\r', position_);
        const std::size_t end = cr == std::u16string_view::npos ? text_.size() : cr;
        const std::u16string_view line = text_.substr(position_, end - position_);
        position_ = end + 1;
        if (position_ < text_.size() && text_[position_] == u'\n') ++position_;
        return line;
    }

private:
    std::u16string_view text_;
    std::size_t position_ = 0;
};

}  // namespace quillmere
