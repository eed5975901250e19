#include "core/commands/translation_text.hpp"

#include "core/files/files.hpp"
#include "core/text/lines.hpp"

namespace quillmere {

std::optional<std::u16string> load_translation_text(const std::filesystem::path& path) {
    auto decoded = files::read_text_file(path);
    if (!decoded) return std::nullopt;
    std::u16string area;
    area.reserve(decoded->text.size() + decoded->text.size() / 16);
    text::for_each_line(decoded->text, [&](std::u16string_view line) {
        area += line;
        area += text::kLineEnd;
    });
    return area;
}

Message translation_loaded_message() { return notice_message(u"译文读取成功"); }

}  // namespace quillmere
