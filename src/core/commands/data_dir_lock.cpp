#include "core/commands/data_dir_lock.hpp"

#include <system_error>

#include "core/commands/messages.hpp"

namespace quillmere {

Expected<std::optional<platform::FolderLock>, Message> lock_data_dir(const std::filesystem::path& data_dir) {
    auto lock = platform::FolderLock::acquire(data_dir);
    if (lock) return std::optional<platform::FolderLock>(std::move(*lock));
    if (lock.error() == platform::LockFailure::unavailable) return std::optional<platform::FolderLock>();
    std::error_code ec;
    std::filesystem::path shown = std::filesystem::absolute(data_dir, ec);
    if (ec) shown = data_dir;
    return unexpected(messages::data_dir_in_use(shown.lexically_normal()));
}

}  // namespace quillmere
