#include <utility>

#include "core/platform/folder_lock.hpp"
#include "core/platform/windows_api.hpp"

namespace quillmere::platform {

Expected<FolderLock, LockFailure> FolderLock::acquire(const std::filesystem::path& folder) {
    const std::filesystem::path lock_file = (folder.empty() ? std::filesystem::path(L".") : folder) / kLockFileName;
    // Everyone may open the lock file, so that the second holder gets as far
    // as the lock; the file goes when the last handle to it closes, which
    // the system does for a holder that ends without closing it.
    const HANDLE file = ::CreateFileW(lock_file.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // Once one of its handles has closed, the file is marked for deletion
        // and cannot be opened again until the holder lets go: it is held.
        // A folder where it cannot be made at all cannot be locked.
        const bool pending = ::GetLastError() == ERROR_ACCESS_DENIED &&
                             (::GetFileAttributesW(lock_file.c_str()) != INVALID_FILE_ATTRIBUTES ||
                              ::GetLastError() == ERROR_ACCESS_DENIED);
        return unexpected(pending ? LockFailure::held_elsewhere : LockFailure::unavailable);
    }
    FolderLock lock(windows::value_of(file));
    OVERLAPPED whole{};
    if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole) == 0) {
        return unexpected(::GetLastError() == ERROR_LOCK_VIOLATION ? LockFailure::held_elsewhere
                                                                   : LockFailure::unavailable);
    }
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
    // Closing the last handle ends the lock and removes the file.
    if (windows::is_open(handle_)) ::CloseHandle(windows::handle_of(std::exchange(handle_, -1)));
}

}  // namespace quillmere::platform
