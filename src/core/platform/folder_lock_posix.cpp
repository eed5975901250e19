#include "core/platform/folder_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace quillmere::platform {

Expected<FolderLock, LockFailure> FolderLock::acquire(const std::filesystem::path& folder) {
    // The folder itself carries the lock, so no lock file is left behind.
    // flock() locks belong to the open folder: they end with the process
    // that holds it.
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return unexpected(LockFailure::unavailable);
    FolderLock lock(fd);
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) return unexpected(errno == EWOULDBLOCK ? LockFailure::held_elsewhere : LockFailure::unavailable);
    return lock;
}

FolderLock::FolderLock(FolderLock&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
    if (this != &other) {
        release();
        handle_ = std::exchange(other.handle_, -1);
    }
    return *this;
}

FolderLock::~FolderLock() { release(); }

void FolderLock::release() {
    if (handle_ >= 0) ::close(static_cast<int>(std::exchange(handle_, -1)));
}

}  // namespace quillmere::platform
