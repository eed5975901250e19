#pragma once
// A regular file opened for reading, or for reading and writing in place.
//
// Opening never waits: a FIFO, a device, a socket, a pipe or a directory is
// refused at once instead of blocking on it or reading what is not a file.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "core/expected.hpp"

namespace quillmere::platform {

enum class FileError { cannot_open, cannot_read, cannot_write };

class RegularFile {
public:
    enum class Access { read, read_write };

    // Never creates the file.
    [[nodiscard]] static Expected<RegularFile, FileError> open(const std::filesystem::path& path, Access access = Access::read);

    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    // The size when the file was opened.
    std::uint64_t size() const { return size_; }
    // The system's own handle of the open file: a descriptor on POSIX, a
    // HANDLE on Windows.
    std::intptr_t native_handle() const { return handle_; }

    // Reads the whole file.
    [[nodiscard]] Expected<std::vector<std::uint8_t>, FileError> read_all() const;
    // Reads or writes exactly bytes.size() bytes at the offset.
    [[nodiscard]] Expected<Done, FileError> read_at(std::uint64_t offset, std::span<std::uint8_t> bytes) const;
    [[nodiscard]] Expected<Done, FileError> write_at(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    // Writes the pieces one after the other from the offset, in as few
    // calls as the system allows.
    [[nodiscard]] Expected<Done, FileError> write_pieces_at(std::uint64_t offset,
                                                            std::span<const std::span<const std::uint8_t>> pieces);
    // Waits until what was written is on the disk.
    [[nodiscard]] Expected<Done, FileError> sync();
    // Closes the file; fails when the system reports a failure.
    Expected<Done, FileError> close();

private:
    RegularFile(std::intptr_t handle, std::uint64_t size) : handle_(handle), size_(size) {}

    std::intptr_t handle_ = -1;  // -1: none (and INVALID_HANDLE_VALUE on Windows)
    std::uint64_t size_ = 0;
};

// Whether both paths name one existing file, also through links or under
// another name. False when either names nothing.
bool same_file(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace quillmere::platform
