#include "core/commands/output_file.hpp"

#include "core/platform/regular_file.hpp"

namespace quillmere {

std::optional<Message> refuse_output_over_rom(const std::filesystem::path& out, const std::filesystem::path& rom) {
    if (platform::same_file(out, rom)) return error_message(u"不能把文本写入正在读取的ROM文件");
    return std::nullopt;
}

}  // namespace quillmere
