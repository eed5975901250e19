#include "core/commands/output_file.hpp"

#include <system_error>

#include "core/platform/regular_file.hpp"

namespace quillmere {

bool names_one_file(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error)) return true;
    const std::filesystem::path full_a = std::filesystem::weakly_canonical(a, error);
    if (error) return false;
    const std::filesystem::path full_b = std::filesystem::weakly_canonical(b, error);
    return !error && full_a == full_b;
}

std::optional<Message> refuse_output_over_rom(const std::filesystem::path& out, const std::filesystem::path& rom) {
    if (platform::same_file(out, rom)) return error_message(u"不能把文本写入正在读取的ROM文件");
    return std::nullopt;
}

}  // namespace quillmere
