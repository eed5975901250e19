#include <utility>

#include "core/platform/mapped_file.hpp"
#include "core/platform/windows_api.hpp"

namespace quillmere::platform {

Expected<MappedFile, FileError> MappedFile::open(const std::filesystem::path& path) {
    auto file = RegularFile::open(path);
    if (!file) return unexpected(file.error());
    return view(*file);
}

Expected<MappedFile, FileError> MappedFile::view(const RegularFile& file) {
    const std::uint64_t size = file.size();
    if (size == 0) return MappedFile(nullptr, 0, false);
    if (size > SIZE_MAX) return unexpected(FileError::cannot_read);
    // The view keeps the mapping (and the file) open; neither handle is
    // needed once it exists.
    const HANDLE mapping =
        ::CreateFileMappingW(windows::handle_of(file.native_handle()), nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping == nullptr) return unexpected(FileError::cannot_read);
    void* data = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(size));
    ::CloseHandle(mapping);
    if (data == nullptr) return unexpected(FileError::cannot_read);
    return MappedFile(static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size), true);
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
    if (mapped_) ::UnmapViewOfFile(data_);
    data_ = nullptr;
    size_ = 0;
    mapped_ = false;
}

}  // namespace quillmere::platform
