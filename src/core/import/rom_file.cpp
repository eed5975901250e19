#include "core/import/rom_file.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <system_error>

namespace quillmere {
namespace {

constexpr std::uint64_t kBlockSize = std::uint64_t{1} << 16;

bool seek(std::FILE* file, std::uint64_t offset) {
    return offset <= static_cast<std::uint64_t>(std::numeric_limits<long>::max()) &&
           std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
}

}  // namespace

std::optional<RomFile> RomFile::open(const std::filesystem::path& path) {
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    const std::uint64_t size = std::filesystem::file_size(path, ec);
    if (ec) return std::nullopt;
    // "r+b" opens for reading and writing and never creates the file.
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    if (!file) return std::nullopt;
    return RomFile(file, size);
}

RomFile::RomFile(std::FILE* file, std::uint64_t size) : file_(file), size_(size) {}

RomFile::~RomFile() {
    if (file_) flush();
}

bool RomFile::load_block(std::uint64_t index) {
    if (block_index_ == index) return true;
    if (!flush()) return false;
    const std::uint64_t start = index * kBlockSize;
    const auto length = static_cast<std::size_t>(std::min(kBlockSize, size_ - start));
    block_.resize(length);
    block_index_.reset();
    if (!seek(file_.get(), start) || std::fread(block_.data(), 1, length, file_.get()) != length) return false;
    block_index_ = index;
    return true;
}

bool RomFile::write(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const std::uint64_t index = offset / kBlockSize;
        if (!load_block(index)) return false;
        const auto at = static_cast<std::size_t>(offset - index * kBlockSize);
        const std::size_t length = std::min(bytes.size(), block_.size() - at);
        std::memcpy(block_.data() + at, bytes.data(), length);
        if (dirty_begin_ == dirty_end_) {
            dirty_begin_ = at;
            dirty_end_ = at + length;
        } else {
            dirty_begin_ = std::min(dirty_begin_, at);
            dirty_end_ = std::max(dirty_end_, at + length);
        }
        offset += length;
        bytes = bytes.subspan(length);
    }
    return true;
}

bool RomFile::flush() {
    if (!block_index_ || dirty_begin_ == dirty_end_) return true;
    const std::size_t begin = dirty_begin_, length = dirty_end_ - dirty_begin_;
    dirty_begin_ = dirty_end_ = 0;
    return seek(file_.get(), *block_index_ * kBlockSize + begin) &&
           std::fwrite(block_.data() + begin, 1, length, file_.get()) == length && std::fflush(file_.get()) == 0;
}

}  // namespace quillmere
