#include "core/commands/text_area.hpp"

#include "core/commands/messages.hpp"
#include "core/commands/output_file.hpp"
#include "core/files/files.hpp"
#include "core/text/lines.hpp"

namespace quillmere {
namespace {

std::u16string character_text(char32_t character) {
    if (character <= 0xFFFF) return std::u16string(1, static_cast<char16_t>(character));
    character -= 0x10000;
    return {static_cast<char16_t>(0xD800 + (character >> 10)), static_cast<char16_t>(0xDC00 + (character & 0x3FF))};
}

}  // namespace

CommandResult<> check_source_text_name(std::u16string_view name) {
    if (name.empty()) return {messages::enter_name()};
    return {no_message()};
}

CommandResult<> save_source_text(const std::filesystem::path& path, std::u16string_view source_text,
                                 const std::filesystem::path& rom) {
    if (is_the_rom(path, rom)) return {messages::output_over_rom()};
    std::u16string contents(source_text);
    contents += text::kLineEnd;
    auto written = files::write_text_file(path, contents);
    if (written) return {messages::text_saved()};
    if (written.error().kind == files::TextWriteFailure::Kind::unencodable)
        return {messages::unsavable_character(character_text(written.error().character))};
    return {messages::bad_file_name()};
}

CommandResult<std::optional<std::u16string>> load_translation(const std::filesystem::path& path) {
    auto decoded = files::read_text_file(path);
    if (!decoded) return {no_message(), std::nullopt};
    std::u16string area;
    area.reserve(decoded->text.size() + decoded->text.size() / 16);
    text::for_each_line(decoded->text, [&](std::u16string_view line) {
        area += line;
        area += text::kLineEnd;
    });
    return {messages::translation_loaded(), std::move(area)};
}

}  // namespace quillmere
