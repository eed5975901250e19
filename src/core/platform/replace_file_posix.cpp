#include "core/platform/replace_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <random>
#include <string>
#include <utility>

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

Expected<FileReplacement, FileError> FileReplacement::begin(const fs::path& path, ReplaceHooks hooks) {
    if (path.empty()) return unexpected(FileError::cannot_open);
    const fs::path target = link_target(path);
    if (target.empty() || target.filename().empty()) return unexpected(FileError::cannot_open);

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) return unexpected(FileError::cannot_open);
    if (exists && (!S_ISREG(old.st_mode) || !may_write(target))) return unexpected(FileError::cannot_open);

    FileReplacement replacement;
    replacement.handle_ = create_temporary(target, replacement.temporary_);
    if (replacement.handle_ < 0) return unexpected(FileError::cannot_open);
    replacement.target_ = target;
    replacement.replaces_ = exists;
    replacement.owner_ = old.st_uid;
    replacement.group_ = old.st_gid;
    replacement.mode_ = old.st_mode & 07777;
    replacement.hooks_ = std::move(hooks);
    return replacement;
}

FileReplacement::FileReplacement(FileReplacement&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), target_(std::move(other.target_)), temporary_(std::move(other.temporary_)),
      replaces_(other.replaces_), owner_(other.owner_), group_(other.group_), mode_(other.mode_),
      hooks_(std::move(other.hooks_)), written_(other.written_), failed_(other.failed_) {
    other.temporary_.clear();
}

FileReplacement& FileReplacement::operator=(FileReplacement&& other) noexcept {
    if (this != &other) {
        discard();
        handle_ = std::exchange(other.handle_, -1);
        target_ = std::move(other.target_);
        temporary_ = std::move(other.temporary_);
        other.temporary_.clear();
        replaces_ = other.replaces_;
        owner_ = other.owner_;
        group_ = other.group_;
        mode_ = other.mode_;
        hooks_ = std::move(other.hooks_);
        written_ = other.written_;
        failed_ = other.failed_;
    }
    return *this;
}

FileReplacement::~FileReplacement() { discard(); }

// The temporary file goes, unless it became the target.
void FileReplacement::discard() {
    if (handle_ >= 0) ::close(static_cast<int>(std::exchange(handle_, -1)));
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

Expected<Done, FileError> FileReplacement::write(std::span<const std::uint8_t> bytes) {
    while (!failed_ && !bytes.empty()) {
        std::size_t chunk = bytes.size();
        if (hooks_.fail_after_bytes) {
            // A full disk, as the test asks for it.
            const std::size_t allowed = *hooks_.fail_after_bytes > written_ ? *hooks_.fail_after_bytes - written_ : 0;
            if (allowed == 0) failed_ = true;
            chunk = std::min(chunk, allowed);
        }
        if (failed_) break;
        const ssize_t put = ::write(static_cast<int>(handle_), bytes.data(), chunk);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            failed_ = true;
            break;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(put));
        written_ += static_cast<std::size_t>(put);
    }
    if (failed_ || handle_ < 0) return unexpected(FileError::cannot_write);
    return Done{};
}

Expected<Done, FileError> FileReplacement::commit() {
    if (handle_ < 0) return unexpected(FileError::cannot_write);
    const int fd = static_cast<int>(handle_);
    bool written = !failed_;
    if (written && replaces_) {
        // The owner first: changing it can clear set-id bits that the mode
        // then restores. Only root may give a file away; others keep theirs.
        if (::fchown(fd, owner_, group_) != 0) { /* not permitted: the file stays ours */ }
        written = ::fchmod(fd, static_cast<mode_t>(mode_)) == 0;
    }
    written = written && sync(fd);
    handle_ = -1;
    written = ::close(fd) == 0 && written;
    if (written && hooks_.before_rename) hooks_.before_rename();
    if (!written || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        discard();
        return unexpected(FileError::cannot_write);
    }
    temporary_.clear();
    if (!sync_folder(target_.parent_path())) return unexpected(FileError::cannot_write);
    return Done{};
}

Expected<Done, FileError> replace_file(const fs::path& path, std::span<const std::uint8_t> bytes,
                                       const ReplaceHooks& hooks) {
    auto replacement = FileReplacement::begin(path, hooks);
    if (!replacement) return unexpected(replacement.error());
    if (!replacement->write(bytes)) return unexpected(FileError::cannot_write);
    return replacement->commit();
}

}  // namespace quillmere::platform
