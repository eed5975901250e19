#include "core/commands/save_source_text.hpp"

#include "core/commands/output_file.hpp"
#include "core/files/files.hpp"
#include "core/text/lines.hpp"

namespace quillmere {
namespace {

std::u16string character_text(char32_t character) {
    std::u16string text;
    if (character > 0xFFFF) {
        character -= 0x10000;
        text += static_cast<char16_t>(0xD800 + (character >> 10));
        text += static_cast<char16_t>(0xDC00 + (character & 0x3FF));
    } else {
        text += static_cast<char16_t>(character);
    }
    return text;
}

}  // namespace

std::optional<Message> check_source_text_name(std::u16string_view name) {
    if (name.empty()) return error_message(u"请先输入名称");
    return std::nullopt;
}

Message save_source_text(const std::filesystem::path& path, std::u16string_view source_text,
                         const std::filesystem::path& rom) {
    if (auto refusal = refuse_output_over_rom(path, rom)) return *refusal;
    std::u16string contents(source_text);
    contents += text::kLineEnd;
    auto written = files::write_text_file(path, contents);
    if (written) return notice_message(u"保存文本成功");
    if (written.error().kind == files::TextWriteFailure::Kind::unencodable)
        return error_message(u"文本中有无法保存为GBK的字符[" + character_text(written.error().character) + u"]");
    return error_message(u" 文件名不能包括以下字符：\\/:*?<>\"|");
}

}  // namespace quillmere
