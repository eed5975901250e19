#include "core/patch/ups.hpp"

#include <algorithm>
#include <cstring>

#include "core/patch/checksums.hpp"

namespace quillmere::patch {
namespace {

constexpr std::uint8_t kMagic[] = {'U', 'P', 'S', '1'};
constexpr std::size_t kFooter = 12;

// Walks the hunks: visit(at, bytes) for each run of XOR bytes at target
// offset `at`. A run may reach past the target's end (a writer that pads a
// shorter target with zeros): those bytes are read and dropped.
template <class Visit>
Expected<std::uint64_t, PatchFailure> walk(std::span<const std::uint8_t> patch, const UpsHeader& header,
                                           Visit&& visit) {
    PatchCursor cursor(patch, patch.size() - kFooter);
    static_cast<void>(cursor.take(header.hunks));
    std::uint64_t hunks = 0;
    std::uint64_t at = 0;
    const std::span<const std::uint8_t> body = patch.first(patch.size() - kFooter);
    while (!cursor.at_end()) {
        const std::size_t hunk = cursor.offset();
        auto skip = cursor.number();
        if (!skip) return unexpected(skip.error());
        const std::uint64_t limit = std::max(header.source_size, header.target_size);
        if (*skip > limit || at > limit - *skip) return unexpected(damaged_at(hunk));
        at += *skip;
        const std::size_t first = cursor.offset();
        const auto end = std::find(body.begin() + static_cast<std::ptrdiff_t>(first), body.end(), std::uint8_t{0});
        if (end == body.end()) return unexpected(damaged_at(body.size()));
        const std::size_t length = static_cast<std::size_t>(end - body.begin()) - first;
        if (length > limit || at > limit - length) return unexpected(damaged_at(hunk));
        visit(at, body.subspan(first, length));
        static_cast<void>(cursor.take(length + 1));
        // The 00 that ends the run stands for one unchanged byte.
        at += length + 1;
        ++hunks;
    }
    return hunks;
}

bool let_through(PatchFailure failure, const ApplyOptions& options, std::vector<PatchFailure>& ignored) {
    if (!options.ignore_checksums) return false;
    ignored.push_back(failure);
    return true;
}

}  // namespace

Expected<UpsHeader, PatchFailure> read_ups_header(std::span<const std::uint8_t> patch, std::uint64_t max_result) {
    if (patch.size() < sizeof kMagic || !std::equal(std::begin(kMagic), std::end(kMagic), patch.begin()))
        return unexpected(PatchFailure{PatchFault::unknown_format});
    PatchCursor cursor(patch);
    static_cast<void>(cursor.take(sizeof kMagic));
    UpsHeader header;
    auto source_size = cursor.number();
    if (!source_size) return unexpected(source_size.error());
    auto target_size = cursor.number();
    if (!target_size) return unexpected(target_size.error());
    if (cursor.left() < kFooter) return unexpected(damaged_at(patch.size()));
    if (*target_size > max_result)
        return unexpected(PatchFailure{PatchFault::too_large, 0, max_result, *target_size});
    header.source_size = *source_size;
    header.target_size = *target_size;
    header.hunks = cursor.offset();
    const std::size_t footer = patch.size() - kFooter;
    header.source_crc = le32_at(patch, footer);
    header.target_crc = le32_at(patch, footer + 4);
    header.patch_crc = le32_at(patch, footer + 8);
    return header;
}

Expected<std::uint64_t, PatchFailure> check_ups_hunks(std::span<const std::uint8_t> patch, const UpsHeader& header) {
    return walk(patch, header, [](std::uint64_t, std::span<const std::uint8_t>) {});
}

Expected<Applied, PatchFailure> apply_ups(std::span<const std::uint8_t> source, std::span<const std::uint8_t> patch,
                                          const ApplyOptions& options) {
    auto header = read_ups_header(patch, options.max_result);
    if (!header) return unexpected(header.error());
    if (auto checked = check_ups_hunks(patch, *header); !checked) return unexpected(checked.error());

    Applied applied;
    const std::uint32_t patch_crc = crc32(patch.first(patch.size() - 4));
    if (patch_crc != header->patch_crc &&
        !let_through({PatchFault::patch_checksum, 0, header->patch_crc, patch_crc}, options, applied.ignored))
        return unexpected(PatchFailure{PatchFault::patch_checksum, 0, header->patch_crc, patch_crc});
    const std::uint32_t source_crc = crc32(source);
    if (source.size() != header->source_size || source_crc != header->source_crc) {
        const PatchFailure failure{PatchFault::source_checksum, 0, header->source_crc, source_crc};
        if (!let_through(failure, options, applied.ignored)) return unexpected(failure);
    }

    // The target starts as the source, cut or padded with zeros; bytes the
    // source lacks XOR with 0.
    const auto size = static_cast<std::size_t>(header->target_size);
    applied.bytes = memory::unset_large_buffer(size);
    const std::size_t kept = std::min(size, source.size());
    if (kept > 0) std::memcpy(applied.bytes.data(), source.data(), kept);
    std::fill(applied.bytes.begin() + static_cast<std::ptrdiff_t>(kept), applied.bytes.end(), std::uint8_t{0});
    static_cast<void>(walk(patch, *header, [&](std::uint64_t at, std::span<const std::uint8_t> bytes) {
        for (std::size_t i = 0; i < bytes.size() && at + i < size; ++i) applied.bytes[at + i] ^= bytes[i];
    }));
    const std::uint32_t target_crc = crc32(applied.bytes);
    if (target_crc != header->target_crc) {
        const PatchFailure failure{PatchFault::target_checksum, 0, header->target_crc, target_crc};
        if (!let_through(failure, options, applied.ignored)) return unexpected(failure);
    }
    return applied;
}

}  // namespace quillmere::patch
