#include "core/platform/mapped_file.hpp"

#include <sys/mman.h>

#include <utility>

namespace quillmere::platform {

Expected<MappedFile, FileError> MappedFile::open(const std::filesystem::path& path) {
    auto file = RegularFile::open(path);
    if (!file) return unexpected(file.error());
    return view(*file);
}

Expected<MappedFile, FileError> MappedFile::view(const RegularFile& file) {
    const auto size = static_cast<std::size_t>(file.size());
    if (size == 0) return MappedFile(nullptr, 0, false);
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, static_cast<int>(file.native_handle()), 0);
    if (data == MAP_FAILED) return unexpected(FileError::cannot_read);
    ::madvise(data, size, MADV_SEQUENTIAL);
    return MappedFile(static_cast<const std::uint8_t*>(data), size, true);
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, false)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapped_ = std::exchange(other.mapped_, false);
    }
    return *this;
}

MappedFile::~MappedFile() { release(); }

void MappedFile::release() {
    if (mapped_) ::munmap(const_cast<std::uint8_t*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
    mapped_ = false;
}

}  // namespace quillmere::platform
