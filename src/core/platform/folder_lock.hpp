#pragma once
// A lock on a folder held for as long as the object lives: one program at a
// time keeps its files there. The system drops the lock when its holder
// ends, however it ends, so a crashed holder leaves nothing to clean up.

#include <filesystem>

#include "core/expected.hpp"

namespace quillmere::platform {

enum class LockFailure {
    held_elsewhere,  // another holder has it
    unavailable,     // the folder cannot be opened or locked at all
};

class FolderLock {
public:
    // Takes the lock without waiting. Creates and changes no file.
    static Expected<FolderLock, LockFailure> acquire(const std::filesystem::path& folder);

    FolderLock(FolderLock&& other) noexcept;
    FolderLock& operator=(FolderLock&& other) noexcept;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();

private:
    explicit FolderLock(int fd) : fd_(fd) {}
    void release();

    int fd_ = -1;
};

}  // namespace quillmere::platform
