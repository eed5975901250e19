#include <algorithm>
#include <limits>
#include <utility>

#include "core/platform/regular_file.hpp"
#include "core/platform/windows_api.hpp"

namespace quillmere::platform {
namespace {

using windows::handle_of;
using windows::kLargestPiece;

OVERLAPPED at_offset(std::uint64_t offset) {
    OVERLAPPED place{};
    place.Offset = static_cast<DWORD>(offset);
    place.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return place;
}

// A file on a disk, not a directory: pipes, consoles and devices answer
// GetFileType otherwise.
bool is_regular(HANDLE file) {
    if (::GetFileType(file) != FILE_TYPE_DISK) return false;
    BY_HANDLE_FILE_INFORMATION information{};
    return ::GetFileInformationByHandle(file, &information) != 0 &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

Expected<RegularFile, FileError> RegularFile::open(const std::filesystem::path& path, Access access) {
    if (path.empty()) return unexpected(FileError::cannot_open);
    // Others may read, write, rename and delete the file meanwhile, as on
    // POSIX. A directory cannot be opened this way at all; a named pipe
    // without a server fails at once instead of waiting for one.
    const DWORD rights = access == Access::read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const HANDLE file = ::CreateFileW(path.c_str(), rights, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return unexpected(FileError::cannot_open);
    RegularFile opened(windows::value_of(file), 0);
    LARGE_INTEGER size{};
    if (!is_regular(file) || ::GetFileSizeEx(file, &size) == 0 || size.QuadPart < 0)
        return unexpected(FileError::cannot_open);
    opened.size_ = static_cast<std::uint64_t>(size.QuadPart);
    return opened;
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
    if (!windows::is_open(handle_)) return Done{};
    if (::CloseHandle(handle_of(std::exchange(handle_, -1))) == 0) return unexpected(FileError::cannot_write);
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
        OVERLAPPED place = at_offset(have);
        DWORD got = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - have, kLargestPiece));
        if (::ReadFile(handle_of(handle_), bytes.data() + have, wanted, &got, &place) == 0) {
            if (::GetLastError() == ERROR_HANDLE_EOF) break;
            return unexpected(FileError::cannot_read);
        }
        if (got == 0) break;
        have += got;
    }
    bytes.resize(have);
    return bytes;
}

Expected<Done, FileError> RegularFile::read_at(std::uint64_t offset, std::span<std::uint8_t> bytes) const {
    while (!bytes.empty()) {
        OVERLAPPED place = at_offset(offset);
        DWORD got = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kLargestPiece));
        if (::ReadFile(handle_of(handle_), bytes.data(), wanted, &got, &place) == 0 || got == 0)
            return unexpected(FileError::cannot_read);
        offset += got;
        bytes = bytes.subspan(got);
    }
    return Done{};
}

Expected<Done, FileError> RegularFile::write_at(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        OVERLAPPED place = at_offset(offset);
        DWORD put = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kLargestPiece));
        if (::WriteFile(handle_of(handle_), bytes.data(), wanted, &put, &place) == 0 || put == 0)
            return unexpected(FileError::cannot_write);
        offset += put;
        bytes = bytes.subspan(put);
    }
    return Done{};
}

Expected<Done, FileError> RegularFile::write_pieces_at(std::uint64_t offset,
                                                       std::span<const std::span<const std::uint8_t>> pieces) {
    // One write each: the pieces of one write lie side by side in the file.
    for (const std::span<const std::uint8_t> piece : pieces) {
        if (auto written = write_at(offset, piece); !written) return written;
        offset += piece.size();
    }
    return Done{};
}

Expected<Done, FileError> RegularFile::sync() {
    if (::FlushFileBuffers(handle_of(handle_)) == 0) return unexpected(FileError::cannot_write);
    return Done{};
}

bool same_file(const std::filesystem::path& a, const std::filesystem::path& b) {
    if (a.empty() || b.empty()) return false;
    // Asking a file's identity needs no access to its content, and works for
    // folders too.
    const auto identity = [](const std::filesystem::path& path, BY_HANDLE_FILE_INFORMATION& information) {
        const HANDLE file = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        const bool known = ::GetFileInformationByHandle(file, &information) != 0;
        ::CloseHandle(file);
        return known;
    };
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    if (!identity(a, first) || !identity(b, second)) return false;
    return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

}  // namespace quillmere::platform
