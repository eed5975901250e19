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

bool is_the_rom(const std::filesystem::path& out, const std::filesystem::path& rom) {
    return platform::same_file(out, rom);
}

}  // namespace quillmere
