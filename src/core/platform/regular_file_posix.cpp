#include "core/platform/regular_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <limits>
#include <utility>

namespace quillmere::platform {
namespace {

int descriptor_of(std::intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

Expected<RegularFile, FileError> RegularFile::open(const std::filesystem::path& path, Access access) {
    if (path.empty()) return unexpected(FileError::cannot_open);
    // O_NONBLOCK so that opening a FIFO without a writer returns at once;
    // it is cleared again once the file is known to be a regular file.
    const int mode = access == Access::read ? O_RDONLY : O_RDWR;
    const int fd = ::open(path.c_str(), mode | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return unexpected(FileError::cannot_open);
    RegularFile file(fd, 0);
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return unexpected(FileError::cannot_open);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return unexpected(FileError::cannot_open);
    file.size_ = static_cast<std::uint64_t>(status.st_size);
    return file;
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), size_(std::exchange(other.size_, 0)) {}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept {
    if (this != &other) {
        static_cast<void>(close());
        handle_ = std::exchange(other.handle_, -1);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

RegularFile::~RegularFile() { static_cast<void>(close()); }

Expected<Done, FileError> RegularFile::close() {
    if (handle_ < 0) return Done{};
    // After close() fails the descriptor is gone all the same; retrying
    // could close another file's.
    if (::close(static_cast<int>(std::exchange(handle_, -1))) != 0) return unexpected(FileError::cannot_write);
    return Done{};
}

Expected<std::vector<std::uint8_t>, FileError> RegularFile::read_all() const {
    std::vector<std::uint8_t> bytes;
    if (size_ > std::numeric_limits<std::size_t>::max() / 2) return unexpected(FileError::cannot_read);
    bytes.resize(static_cast<std::size_t>(size_));
    std::size_t have = 0;
    // The file may have grown or shrunk since it was opened: read to its end.
    for (;;) {
        if (have == bytes.size()) bytes.resize(bytes.size() + (std::size_t{1} << 16));
        const ssize_t got = ::pread(descriptor_of(handle_), bytes.data() + have, bytes.size() - have, static_cast<off_t>(have));
        if (got < 0) {
            if (errno == EINTR) continue;
            return unexpected(FileError::cannot_read);
        }
        if (got == 0) break;
        have += static_cast<std::size_t>(got);
    }
    bytes.resize(have);
    return bytes;
}

Expected<Done, FileError> RegularFile::read_at(std::uint64_t offset, std::span<std::uint8_t> bytes) const {
    while (!bytes.empty()) {
        const ssize_t got = ::pread(descriptor_of(handle_), bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return unexpected(FileError::cannot_read);
        offset += static_cast<std::uint64_t>(got);
        bytes = bytes.subspan(static_cast<std::size_t>(got));
    }
    return Done{};
}

Expected<Done, FileError> RegularFile::write_at(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t put = ::pwrite(descriptor_of(handle_), bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return unexpected(FileError::cannot_write);
        offset += static_cast<std::uint64_t>(put);
        bytes = bytes.subspan(static_cast<std::size_t>(put));
    }
    return Done{};
}

Expected<Done, FileError> RegularFile::write_pieces_at(std::uint64_t offset,
                                                       std::span<const std::span<const std::uint8_t>> pieces) {
    constexpr std::size_t kBatch = IOV_MAX < 1024 ? IOV_MAX : 1024;
    iovec batch[kBatch];
    std::size_t next = 0;       // the first piece not yet in a batch
    std::size_t skipped = 0;    // bytes of that piece already written
    while (next < pieces.size()) {
        std::size_t count = 0;
        for (std::size_t i = next; i < pieces.size() && count < kBatch; ++i) {
            const std::size_t from = i == next ? skipped : 0;
            if (pieces[i].size() == from) continue;
            batch[count++] = {const_cast<std::uint8_t*>(pieces[i].data() + from), pieces[i].size() - from};
        }
        if (count == 0) break;
        const ssize_t put = ::pwritev(descriptor_of(handle_), batch, static_cast<int>(count), static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return unexpected(FileError::cannot_write);
        offset += static_cast<std::uint64_t>(put);
        // Move past what was written, which may end inside a piece.
        auto left = static_cast<std::size_t>(put);
        while (next < pieces.size() && left >= pieces[next].size() - skipped) {
            left -= pieces[next].size() - skipped;
            skipped = 0;
            ++next;
        }
        skipped += left;
    }
    return Done{};
}

Expected<Done, FileError> RegularFile::sync() {
    for (;;) {
        if (::fsync(descriptor_of(handle_)) == 0) return Done{};
        if (errno != EINTR) return unexpected(FileError::cannot_write);
    }
}

bool same_file(const std::filesystem::path& a, const std::filesystem::path& b) {
    if (a.empty() || b.empty()) return false;
    struct stat first {}, second {};
    if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace quillmere::platform
