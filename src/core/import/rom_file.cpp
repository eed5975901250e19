#include "core/import/rom_file.hpp"

#include <algorithm>
#include <cstring>

#include "core/memory/large_buffer.hpp"
#include "core/platform/mapped_file.hpp"

namespace quillmere {
namespace {

// Changes closer than this share one write: the bytes between them are
// written back as they were, which costs less than a system call.
constexpr std::uint64_t kJoinGap = 4096;

struct Range {
    std::uint64_t begin, end;
};

// Sorted ranges joined where they overlap or lie within kJoinGap; unsorted
// ones are sorted first (a script in address order never needs it).
std::vector<Range> joined(std::vector<Range> ranges, bool sorted) {
    if (!sorted) std::sort(ranges.begin(), ranges.end(), [](Range a, Range b) { return a.begin < b.begin; });
    std::vector<Range> out;
    for (const Range& range : ranges) {
        if (!out.empty() && range.begin <= out.back().end + kJoinGap) {
            out.back().end = std::max(out.back().end, range.end);
        } else {
            out.push_back(range);
        }
    }
    return out;
}

// The first of the sorted, disjoint ranges that ends after `offset`.
std::vector<Range>::const_iterator first_ending_after(const std::vector<Range>& ranges, std::uint64_t offset) {
    return std::partition_point(ranges.begin(), ranges.end(), [&](const Range& r) { return r.end <= offset; });
}

}  // namespace

void RomPatches::add(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    patches_.push_back({offset, bytes_.size(), bytes.size()});
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    in_order_ = in_order_ && offset >= last_offset_;
    disjoint_ = disjoint_ && offset >= last_end_;
    last_offset_ = offset;
    last_end_ = std::max(last_end_, offset + bytes.size());
}

void RomPatches::reserve(std::size_t bytes) {
    memory::reserve_large(bytes_, bytes);
    // A script's entry takes a few dozen bytes; more patches grow the list.
    memory::reserve_large(patches_, bytes / 32);
}

void RomPatches::apply_to(std::span<std::uint8_t> image) const {
    for (const Patch& patch : patches_)
        if (patch.length != 0)
            std::memcpy(image.data() + patch.offset, bytes_.data() + patch.begin, patch.length);
}

Expected<RomFile, platform::FileError> RomFile::open(const std::filesystem::path& path) {
    auto file = platform::RegularFile::open(path, platform::RegularFile::Access::read_write);
    if (!file) return unexpected(file.error());
    return RomFile(std::move(*file));
}

Expected<Done, platform::FileError> RomFile::write(const RomPatches& patches) {
    return patches.disjoint_ ? write_disjoint(patches) : write_any(patches);
}

Expected<Done, platform::FileError> RomFile::write_disjoint(const RomPatches& patches) {
    auto written = [&]() -> Expected<Done, platform::FileError> {
        auto view = platform::MappedFile::view(file_);
        if (!view) return unexpected(view.error());
        const std::uint8_t* const old = view->bytes().data();
        const std::uint8_t* const patch_bytes = patches.bytes_.data();
        const auto& list = patches.patches_;

        // The changed part of each patch (from its first to its last byte
        // that differs), joined into writes where they lie within kJoinGap.
        struct Write {
            std::uint64_t begin, end;
            std::size_t first, last;  // the patches it covers, both included
        };
        std::vector<Write> writes;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const auto& patch = list[i];
            const std::uint8_t* now = patch_bytes + patch.begin;
            const std::uint8_t* before = old + patch.offset;
            std::size_t first = 0, last = patch.length;
            while (first < last && now[first] == before[first]) ++first;
            if (first == last) continue;
            while (now[last - 1] == before[last - 1]) --last;
            const std::uint64_t begin = patch.offset + first, end = patch.offset + last;
            if (!writes.empty() && begin <= writes.back().end + kJoinGap) {
                writes.back().end = end;
                writes.back().last = i;
            } else {
                writes.push_back({begin, end, i, i});
            }
        }
        if (writes.empty()) return Done{};

        // The old bytes of every write, to put back if a write fails; the
        // bytes between patches are written from here too.
        std::size_t total = 0;
        for (const Write& w : writes) total += static_cast<std::size_t>(w.end - w.begin);
        memory::ByteBuffer kept = memory::unset_large_buffer(total);
        std::vector<std::size_t> kept_at(writes.size());
        for (std::size_t i = 0, at = 0; i < writes.size(); ++i) {
            kept_at[i] = at;
            const auto size = static_cast<std::size_t>(writes[i].end - writes[i].begin);
            std::memcpy(kept.data() + at, old + writes[i].begin, size);
            at += size;
        }

        std::vector<std::span<const std::uint8_t>> pieces;
        std::size_t done = 0;
        Expected<Done, platform::FileError> ok = Done{};
        for (; done < writes.size() && ok; ++done) {
            const Write& w = writes[done];
            pieces.clear();
            std::uint64_t at = w.begin;
            for (std::size_t i = w.first; i <= w.last; ++i) {
                const auto& patch = list[i];
                const std::uint64_t from = std::max(at, patch.offset), to = std::min(w.end, patch.offset + patch.length);
                if (from >= to) continue;
                if (from > at)
                    pieces.emplace_back(kept.data() + kept_at[done] + (at - w.begin), static_cast<std::size_t>(from - at));
                pieces.emplace_back(patch_bytes + patch.begin + (from - patch.offset), static_cast<std::size_t>(to - from));
                at = to;
            }
            ok = file_.write_pieces_at(w.begin, pieces);
        }
        if (ok) ok = file_.sync();
        if (!ok) {
            // Every write made, the failing one included, gets its old bytes
            // back, as far as the file still allows.
            for (std::size_t i = 0; i < done; ++i)
                static_cast<void>(file_.write_at(
                    writes[i].begin, std::span<const std::uint8_t>(kept.data() + kept_at[i],
                                                                   static_cast<std::size_t>(writes[i].end - writes[i].begin))));
            static_cast<void>(file_.sync());
        }
        return ok;
    }();
    auto closed = file_.close();
    if (!written) return written;
    return closed;
}

Expected<Done, platform::FileError> RomFile::write_any(const RomPatches& patches) {
    const auto& list = patches.patches_;
    const std::uint8_t* const patch_bytes = patches.bytes_.data();

    // The old bytes of every stretch the patches touch, read once: they are
    // compared with the new ones, and put back if a write fails.
    std::vector<Range> ranges;
    memory::reserve_large(ranges, list.size());
    for (const auto& patch : list)
        if (patch.length != 0) ranges.push_back({patch.offset, patch.offset + patch.length});
    const std::vector<Range> stretches = joined(std::move(ranges), patches.in_order_);
    std::vector<std::size_t> stretch_at(stretches.size());  // where each stretch starts in old_bytes
    std::size_t total = 0;
    for (std::size_t i = 0; i < stretches.size(); ++i) {
        stretch_at[i] = total;
        total += static_cast<std::size_t>(stretches[i].end - stretches[i].begin);
    }
    memory::ByteBuffer old_bytes = memory::unset_large_buffer(total);
    for (std::size_t i = 0; i < stretches.size(); ++i) {
        const std::span<std::uint8_t> into(old_bytes.data() + stretch_at[i],
                                           static_cast<std::size_t>(stretches[i].end - stretches[i].begin));
        if (auto read = file_.read_at(stretches[i].begin, into); !read) {
            static_cast<void>(file_.close());
            return read;
        }
    }
    auto old_at = [&](std::vector<Range>::const_iterator stretch, std::uint64_t offset) {
        const auto i = static_cast<std::size_t>(stretch - stretches.begin());
        return old_bytes.data() + stretch_at[i] + (offset - stretch->begin);
    };

    // Only bytes that change are written. A patch's changed part runs from
    // its first to its last byte that differs from the old one; every byte
    // that ends up different lies in the changed part of the last patch
    // that covers it.
    std::vector<Range> changed;
    memory::reserve_large(changed, list.size());
    bool changed_in_order = true;
    for (const auto& patch : list) {
        if (patch.length == 0) continue;
        const std::uint8_t* old = old_at(first_ending_after(stretches, patch.offset), patch.offset);
        const std::uint8_t* now = patch_bytes + patch.begin;
        std::size_t first = 0, last = patch.length;
        while (first < last && now[first] == old[first]) ++first;
        if (first == last) continue;
        while (now[last - 1] == old[last - 1]) --last;
        const Range range{patch.offset + first, patch.offset + last};
        changed_in_order = changed_in_order && (changed.empty() || range.begin >= changed.back().begin);
        changed.push_back(range);
    }
    // Changes within kJoinGap lie in one stretch, so each write's old bytes
    // are at hand.
    const std::vector<Range> writes = joined(std::move(changed), changed_in_order);

    // The new bytes of each write: the old ones with every patch that
    // reaches into it laid over them in the patches' order.
    std::vector<std::size_t> write_at(writes.size());
    total = 0;
    for (std::size_t i = 0; i < writes.size(); ++i) {
        write_at[i] = total;
        total += static_cast<std::size_t>(writes[i].end - writes[i].begin);
    }
    memory::ByteBuffer new_bytes = memory::unset_large_buffer(total);
    for (std::size_t i = 0; i < writes.size(); ++i)
        std::memcpy(new_bytes.data() + write_at[i], old_at(first_ending_after(stretches, writes[i].begin), writes[i].begin),
                    static_cast<std::size_t>(writes[i].end - writes[i].begin));
    if (!writes.empty()) {
        for (const auto& patch : list) {
            const std::uint64_t end = patch.offset + patch.length;
            for (auto w = first_ending_after(writes, patch.offset); w != writes.end() && w->begin < end; ++w) {
                const std::uint64_t from = std::max(patch.offset, w->begin), to = std::min(end, w->end);
                const auto i = static_cast<std::size_t>(w - writes.begin());
                std::memcpy(new_bytes.data() + write_at[i] + (from - w->begin),
                            patch_bytes + patch.begin + (from - patch.offset), static_cast<std::size_t>(to - from));
            }
        }
    }

    std::size_t written = 0;
    Expected<Done, platform::FileError> ok = Done{};
    for (; written < writes.size() && ok; ++written)
        ok = file_.write_at(writes[written].begin,
                            std::span<const std::uint8_t>(new_bytes.data() + write_at[written],
                                                          static_cast<std::size_t>(writes[written].end -
                                                                                   writes[written].begin)));
    if (ok) ok = file_.sync();
    if (!ok) {
        // Every write made, the failing one included, gets its old bytes
        // back, as far as the file still allows.
        for (std::size_t i = 0; i < written; ++i)
            static_cast<void>(file_.write_at(
                writes[i].begin,
                std::span<const std::uint8_t>(old_at(first_ending_after(stretches, writes[i].begin), writes[i].begin),
                                              static_cast<std::size_t>(writes[i].end - writes[i].begin))));
        static_cast<void>(file_.sync());
    }
    auto closed = file_.close();
    if (!ok) return ok;
    return closed;
}

}  // namespace quillmere
