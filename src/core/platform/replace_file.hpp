#pragma once
// The one way the tool replaces a file: the new content goes to a temporary
// file in the same folder, is synced, takes the permission bits of the file
// it replaces and is renamed over it; then the folder is synced. Whatever
// happens meanwhile (a full disk, a kill, a power cut), the file holds its
// old content or the whole new one.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>

#include "core/expected.hpp"
#include "core/platform/regular_file.hpp"

namespace quillmere::platform {

// Seams for tests: the failures and the moment a test cannot bring about
// for real.
struct ReplaceHooks {
    // The temporary file accepts this many bytes, then a write fails as on
    // a full disk.
    std::optional<std::size_t> fail_after_bytes;
    // Runs after the temporary file is complete and synced, before the
    // rename.
    std::function<void()> before_rename;
};

// Creates or replaces `path` with exactly `bytes`.
// - A symbolic link stays a link: the file it leads to is replaced.
// - A file that exists must be a regular file the caller may write; a
//   directory, FIFO, device or read-only file is refused untouched.
// - A new file gets the permissions a newly created file gets; a replaced
//   one keeps its permission bits (and, where allowed, its owner).
// - On failure the temporary file is removed and `path` is as it was.
Expected<Done, FileError> replace_file(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                                       const ReplaceHooks& hooks = {});

}  // namespace quillmere::platform
