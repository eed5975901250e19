#pragma once
// The one way the tool replaces a file: the new content goes to a temporary
// file in the same folder, is synced, takes the permission bits of the file
// it replaces and is renamed over it; then the folder is synced. Whatever
// happens meanwhile (a full disk, a kill, a power cut), the file holds its
// old content or the whole new one. On Windows the temporary file is
// written through and flushed, and ReplaceFileW puts it in place (keeping
// the old file's attributes and security), or MoveFileExW with write-through
// where there was no file.

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

// A file replaced by content written in pieces: begin() makes the temporary
// file beside the target (the target as replace_file finds and checks it),
// write() appends to it, commit() puts it in the target's place exactly as
// replace_file does. Until commit() succeeds the target is as it was; a
// replacement dropped without commit() (or whose commit failed) removes its
// temporary file.
class FileReplacement {
public:
    static Expected<FileReplacement, FileError> begin(const std::filesystem::path& path, ReplaceHooks hooks = {});

    FileReplacement(FileReplacement&& other) noexcept;
    FileReplacement& operator=(FileReplacement&& other) noexcept;
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    ~FileReplacement();

    // After a failed write every later write and the commit fail too.
    Expected<Done, FileError> write(std::span<const std::uint8_t> bytes);
    Expected<Done, FileError> commit();
    // Removes the temporary file now; the target stays as it was.
    void discard();

private:
    FileReplacement() = default;

    std::intptr_t handle_ = -1;  // of the temporary file: a descriptor on POSIX, a HANDLE on Windows
    std::filesystem::path target_, temporary_;
    bool replaces_ = false;  // the target exists: its owner and mode carry over
    unsigned owner_ = 0, group_ = 0, mode_ = 0;
    ReplaceHooks hooks_;
    std::size_t written_ = 0;
    bool failed_ = false;
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
