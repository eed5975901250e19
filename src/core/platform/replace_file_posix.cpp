#include "core/platform/replace_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>

namespace quillmere::platform {
namespace {

namespace fs = std::filesystem;

// Follows symbolic links to the path of the file they lead to, which need
// not exist yet. Empty when the links loop or cannot be read.
fs::path link_target(fs::path path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
        std::string target(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 256) + 1, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<std::size_t>(length) >= target.size()) return {};
        target.resize(static_cast<std::size_t>(length));
        const fs::path next(target);
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return {};
}

// Creates a new file beside `target`, readable and writable as the umask
// allows, named so that it is seen for what it is if a kill leaves it.
int create_temporary(const fs::path& target, fs::path& temporary) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = ".";
        name += target.filename().string();
        name += '.';
        name += std::to_string(random());
        name += ".tmp";
        temporary = target.parent_path() / name;
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// A file the user may not write (read-only) keeps its content, even though
// the folder would let it be replaced. Opening it for writing asks exactly
// that, and changes nothing.
bool may_write(const fs::path& target) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool write_all(int fd, std::span<const std::uint8_t> bytes, const ReplaceHooks& hooks) {
    std::size_t allowed = hooks.fail_after_bytes.value_or(bytes.size());
    while (!bytes.empty()) {
        if (allowed == 0) return false;
        const std::size_t chunk = std::min(bytes.size(), allowed);
        const ssize_t put = ::write(fd, bytes.data(), chunk);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        bytes = bytes.subspan(static_cast<std::size_t>(put));
        allowed -= static_cast<std::size_t>(put);
    }
    return true;
}

bool sync(int fd) {
    for (;;) {
        if (::fsync(fd) == 0) return true;
        if (errno != EINTR) return false;
    }
}

// A rename is only lasting once the folder that holds it is synced. Some
// file systems cannot sync a folder; they say so with EINVAL.
bool sync_folder(const fs::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = sync(fd) || errno == EINVAL;
    ::close(fd);
    return synced;
}

}  // namespace

Expected<Done, FileError> replace_file(const fs::path& path, std::span<const std::uint8_t> bytes,
                                       const ReplaceHooks& hooks) {
    if (path.empty()) return unexpected(FileError::cannot_open);
    const fs::path target = link_target(path);
    if (target.empty() || target.filename().empty()) return unexpected(FileError::cannot_open);

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) return unexpected(FileError::cannot_open);
    if (exists && (!S_ISREG(old.st_mode) || !may_write(target))) return unexpected(FileError::cannot_open);

    fs::path temporary;
    const int fd = create_temporary(target, temporary);
    if (fd < 0) return unexpected(FileError::cannot_open);

    bool written = write_all(fd, bytes, hooks);
    if (written && exists) {
        // The owner first: changing it can clear set-id bits that the mode
        // then restores. Only root may give a file away; others keep theirs.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) { /* not permitted: the file stays ours */ }
        written = ::fchmod(fd, old.st_mode & 07777) == 0;
    }
    written = written && sync(fd);
    written = ::close(fd) == 0 && written;
    if (written && hooks.before_rename) hooks.before_rename();
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return unexpected(FileError::cannot_write);
    }
    if (!sync_folder(target.parent_path())) return unexpected(FileError::cannot_write);
    return Done{};
}

}  // namespace quillmere::platform
