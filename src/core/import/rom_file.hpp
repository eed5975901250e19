#pragma once
// The ROM image opened for writing in place. It is never created and never
// changes its length: the caller keeps every write inside the file.
//
// Writes go through a window of one block that is read from the file when
// first touched and written back when another block is needed or on
// flush(), so a script of many small entries costs few system calls.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace quillmere {

class RomFile {
public:
    // nullopt when the path names no regular file or it cannot be opened
    // for reading and writing.
    static std::optional<RomFile> open(const std::filesystem::path& path);

    std::uint64_t size() const { return size_; }

    // Requires offset + bytes.size() <= size(). False when the file could
    // not be read or written; what was written before stays written.
    bool write(std::uint64_t offset, std::span<const std::uint8_t> bytes);

    // Puts every pending byte into the file. Also done when the object is
    // destroyed, where a failure can no longer be reported.
    bool flush();

    RomFile(RomFile&&) noexcept = default;
    RomFile& operator=(RomFile&&) = delete;  // would drop pending bytes
    ~RomFile();

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    RomFile(std::FILE* file, std::uint64_t size);
    bool load_block(std::uint64_t index);

    std::unique_ptr<std::FILE, Closer> file_;
    std::uint64_t size_ = 0;
    std::vector<std::uint8_t> block_;
    std::optional<std::uint64_t> block_index_;
    std::size_t dirty_begin_ = 0, dirty_end_ = 0;  // changed part of the block
};

}  // namespace quillmere
