#pragma once
// A lock on a folder held for as long as the object lives: one program at a
// time keeps its files there. The system drops the lock when its holder
// ends, however it ends, so a crashed holder leaves nothing to clean up.
// On POSIX the folder itself carries the lock. Windows cannot lock a
// folder: a hidden file in it, kLockFileName, carries the lock there, and
// goes when the last program holding it open lets go.

#include <cstdint>
#include <filesystem>

#include "core/expected.hpp"

namespace quillmere::platform {

enum class LockFailure {
    held_elsewhere,  // another holder has it
    unavailable,     // the folder cannot be opened or locked at all
};

inline constexpr const char* kLockFileName = ".quillmere.lock";

class FolderLock {
public:
    // Takes the lock without waiting. Changes no file of the folder (and
    // creates none but the lock file on Windows).
    static Expected<FolderLock, LockFailure> acquire(const std::filesystem::path& folder);

    FolderLock(FolderLock&& other) noexcept;
    FolderLock& operator=(FolderLock&& other) noexcept;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();

private:
    explicit FolderLock(std::intptr_t handle) : handle_(handle) {}
    void release();

    std::intptr_t handle_ = -1;  // a descriptor on POSIX, a HANDLE on Windows
};

}  // namespace quillmere::platform
