#pragma once
// One window per data directory: the window holds the directory while it
// runs, so that two windows never overwrite each other's records and
// filter lists.

#include <filesystem>
#include <optional>

#include "core/commands/message.hpp"
#include "core/expected.hpp"
#include "core/platform/folder_lock.hpp"

namespace quillmere {

// The lock, held until the value is dropped; nullopt when the directory
// cannot be locked at all (it is missing, say), which leaves its files to
// fail as they would. When another window holds it: "数据目录正被另一个窗口
// 使用：" and the directory's path (错误).
[[nodiscard]] Expected<std::optional<platform::FolderLock>, Message> lock_data_dir(
    const std::filesystem::path& data_dir);

}  // namespace quillmere
