#pragma once
// The ROM image opened for writing in place. It is never created and never
// changes its length.
//
// An import gathers every entry's bytes first and hands them over at once:
// they reach the file together and are synced, or the file keeps the bytes
// it had.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "core/expected.hpp"
#include "core/platform/regular_file.hpp"

namespace quillmere {

// Bytes to put at offsets of the ROM, in order: where two overlap, the later
// one wins, as if they were written one after the other.
class RomPatches {
public:
    void add(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    // Room for patches of about `bytes` bytes in all, added without moving
    // what is already there.
    void reserve(std::size_t bytes);
    // Lays the patches over `image`, in order; each must lie inside it.
    void apply_to(std::span<std::uint8_t> image) const;
    std::size_t count() const { return patches_.size(); }
    bool empty() const { return patches_.empty(); }

private:
    friend class RomFile;
    struct Patch {
        std::uint64_t offset;
        std::size_t begin, length;  // in bytes_
    };
    std::vector<std::uint8_t> bytes_;
    std::vector<Patch> patches_;
    std::uint64_t last_offset_ = 0, last_end_ = 0;
    bool in_order_ = true;  // offsets never fall
    bool disjoint_ = true;  // and each patch starts where the one before ended or later

};

class RomFile {
public:
    // Refused when the path names no regular file or it cannot be opened
    // for reading and writing.
    [[nodiscard]] static Expected<RomFile, platform::FileError> open(const std::filesystem::path& path);

    std::uint64_t size() const { return file_.size(); }

    // Requires every patch to lie inside the file. Writes the bytes they
    // change (bytes a patch leaves as they were are not written), syncs the
    // file and closes it. Fails when a read, write, sync or close failed;
    // the bytes already changed are then put back as far as the file still
    // allows.
    [[nodiscard]] Expected<Done, platform::FileError> write(const RomPatches& patches);

private:
    explicit RomFile(platform::RegularFile file) : file_(std::move(file)) {}
    // Patches in order that no two share a byte, as a script in address
    // order gives them: compared with a view of the file, and written from
    // where they lie, without a copy of the new bytes.
    Expected<Done, platform::FileError> write_disjoint(const RomPatches& patches);
    Expected<Done, platform::FileError> write_any(const RomPatches& patches);

    platform::RegularFile file_;
};

}  // namespace quillmere
