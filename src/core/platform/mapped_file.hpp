#pragma once
// A file read through a read-only memory mapping: a whole ROM or script is
// available at once without copying it through a buffer.

#include <cstdint>
#include <filesystem>
#include <span>

#include "core/expected.hpp"
#include "core/platform/regular_file.hpp"

namespace quillmere::platform {

class MappedFile {
public:
    [[nodiscard]] static Expected<MappedFile, FileError> open(const std::filesystem::path& path);
    // A view of a file opened already, as it is now.
    [[nodiscard]] static Expected<MappedFile, FileError> view(const RegularFile& file);

    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    std::span<const std::uint8_t> bytes() const { return {data_, size_}; }

private:
    MappedFile(const std::uint8_t* data, std::size_t size, bool mapped) : data_(data), size_(size), mapped_(mapped) {}
    void release();

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    bool mapped_ = false;
};

}  // namespace quillmere::platform
