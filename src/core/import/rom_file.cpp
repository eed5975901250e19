#include "core/import/rom_file.hpp"

#include <algorithm>
#include <cstring>

namespace quillmere {
namespace {

// Patches closer than this share one read and one write: the bytes between
// them are written back as they were, which costs less than a system call.
constexpr std::uint64_t kJoinGap = 4096;

// A stretch of the file that patches change: its old bytes, kept to put
// back, and its new ones.
struct Stretch {
    std::uint64_t offset = 0, end = 0;
    std::vector<std::uint8_t> old_bytes, new_bytes;
};

}  // namespace

void RomPatches::add(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    patches_.push_back({offset, bytes_.size(), bytes.size()});
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

std::optional<RomFile> RomFile::open(const std::filesystem::path& path) {
    auto file = platform::RegularFile::open(path, platform::RegularFile::Access::read_write);
    if (!file) return std::nullopt;
    return RomFile(std::move(*file));
}

bool RomFile::write(const RomPatches& patches) {
    // The stretches: the patches' ranges in file order, joined where they
    // overlap or lie close.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges;
    for (const auto& patch : patches.patches_)
        if (patch.length != 0) ranges.emplace_back(patch.offset, patch.offset + patch.length);
    std::sort(ranges.begin(), ranges.end());
    std::vector<Stretch> stretches;
    for (const auto& [begin, end] : ranges) {
        if (!stretches.empty() && begin <= stretches.back().end + kJoinGap) {
            stretches.back().end = std::max(stretches.back().end, end);
        } else {
            stretches.push_back({begin, end, {}, {}});
        }
    }
    for (Stretch& stretch : stretches) {
        stretch.old_bytes.resize(static_cast<std::size_t>(stretch.end - stretch.offset));
        if (!file_.read_at(stretch.offset, stretch.old_bytes)) return false;
        stretch.new_bytes = stretch.old_bytes;
    }
    // The patches in their own order, each into the stretch that holds it.
    for (const auto& patch : patches.patches_) {
        if (patch.length == 0) continue;
        auto holder = std::upper_bound(stretches.begin(), stretches.end(), patch.offset,
                                       [](std::uint64_t offset, const Stretch& s) { return offset < s.offset; });
        Stretch& stretch = *std::prev(holder);
        std::memcpy(stretch.new_bytes.data() + (patch.offset - stretch.offset), patches.bytes_.data() + patch.begin,
                    patch.length);
    }

    std::size_t written = 0;
    bool ok = true;
    for (; written < stretches.size() && ok; ++written)
        ok = file_.write_at(stretches[written].offset, stretches[written].new_bytes);
    ok = ok && file_.sync();
    if (!ok) {
        // Every stretch touched, the failing one included, gets its old
        // bytes back.
        for (std::size_t i = 0; i < written; ++i) file_.write_at(stretches[i].offset, stretches[i].old_bytes);
        file_.sync();
    }
    return file_.close() && ok;
}

}  // namespace quillmere
