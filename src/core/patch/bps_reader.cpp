#include <algorithm>
#include <cstring>

#include "core/patch/bps.hpp"
#include "core/patch/checksums.hpp"

namespace quillmere::patch {
namespace {

constexpr std::uint8_t kMagic[] = {'B', 'P', 'S', '1'};
constexpr std::size_t kFooter = 12;

enum Action : std::uint8_t { kSourceRead = 0, kTargetRead = 1, kSourceCopy = 2, kTargetCopy = 3 };

// Moves a relative offset by a signed step read from the patch; the new
// offset must lie in [0, limit).
bool step(std::uint64_t& offset, std::uint64_t encoded, std::uint64_t limit) {
    const std::uint64_t distance = encoded >> 1;
    if (encoded & 1) {
        if (distance > offset) return false;
        offset -= distance;
    } else {
        if (distance >= limit || offset >= limit - distance) return false;
        offset += distance;
    }
    return offset < limit;
}

// Walks the commands, each checked before `visit` sees it:
//   visit.read(at, from, length)    source bytes [from, from + length) to `at`
//   visit.literal(at, bytes)        patch bytes to `at`
//   visit.copy(at, from, length)    target bytes from `from` (< at) to `at`, byte by byte
template <class Visit>
Expected<BpsCommands, PatchFailure> walk(std::span<const std::uint8_t> patch, const BpsHeader& header,
                                         Visit&& visit) {
    BpsCommands counts;
    PatchCursor cursor(patch, patch.size() - kFooter);
    static_cast<void>(cursor.take(header.commands));
    std::uint64_t out = 0, source_at = 0, target_at = 0;
    while (!cursor.at_end()) {
        const std::size_t at = cursor.offset();
        auto data = cursor.number();
        if (!data) return unexpected(data.error());
        const std::uint64_t length = (*data >> 2) + 1;
        if (length > header.target_size - out) return unexpected(damaged_at(at));
        switch (static_cast<Action>(*data & 3)) {
        case kSourceRead:
            if (out >= header.source_size || length > header.source_size - out) return unexpected(damaged_at(at));
            visit.read(out, out, length);
            ++counts.source_reads;
            break;
        case kTargetRead: {
            auto bytes = cursor.take(length);
            if (!bytes) return unexpected(bytes.error());
            visit.literal(out, *bytes);
            ++counts.target_reads;
            break;
        }
        case kSourceCopy: {
            auto distance = cursor.number();
            if (!distance) return unexpected(distance.error());
            if (!step(source_at, *distance, header.source_size) || length > header.source_size - source_at)
                return unexpected(damaged_at(at));
            visit.read(out, source_at, length);
            source_at += length;
            ++counts.source_copies;
            break;
        }
        case kTargetCopy: {
            auto distance = cursor.number();
            if (!distance) return unexpected(distance.error());
            // Only bytes already built can be copied.
            if (!step(target_at, *distance, out)) return unexpected(damaged_at(at));
            visit.copy(out, target_at, length);
            target_at += length;
            ++counts.target_copies;
            break;
        }
        }
        out += length;
    }
    if (out != header.target_size) return unexpected(damaged_at(cursor.offset()));
    return counts;
}

struct CheckOnly {
    void read(std::uint64_t, std::uint64_t, std::uint64_t) {}
    void literal(std::uint64_t, std::span<const std::uint8_t>) {}
    void copy(std::uint64_t, std::uint64_t, std::uint64_t) {}
};

struct Build {
    const std::uint8_t* source;
    std::uint8_t* target;

    void read(std::uint64_t at, std::uint64_t from, std::uint64_t length) {
        std::memcpy(target + at, source + from, length);
    }
    void literal(std::uint64_t at, std::span<const std::uint8_t> bytes) {
        std::memcpy(target + at, bytes.data(), bytes.size());
    }
    // Overlapping copies repeat what they have just written, a distance at a time.
    void copy(std::uint64_t at, std::uint64_t from, std::uint64_t length) {
        const std::uint64_t distance = at - from;
        while (length > 0) {
            const std::uint64_t piece = std::min(distance, length);
            std::memcpy(target + at, target + from, piece);
            at += piece;
            from += piece;
            length -= piece;
        }
    }
};

// A checksum that does not match: refused, or listed when told to let it pass.
bool let_through(PatchFailure failure, const ApplyOptions& options, std::vector<PatchFailure>& ignored) {
    if (!options.ignore_checksums) return false;
    ignored.push_back(failure);
    return true;
}

}  // namespace

Expected<BpsHeader, PatchFailure> read_bps_header(std::span<const std::uint8_t> patch, std::uint64_t max_result) {
    if (patch.size() < sizeof kMagic || !std::equal(std::begin(kMagic), std::end(kMagic), patch.begin()))
        return unexpected(PatchFailure{PatchFault::unknown_format});
    PatchCursor cursor(patch);
    static_cast<void>(cursor.take(sizeof kMagic));
    BpsHeader header;
    auto source_size = cursor.number();
    if (!source_size) return unexpected(source_size.error());
    auto target_size = cursor.number();
    if (!target_size) return unexpected(target_size.error());
    auto metadata_size = cursor.number();
    if (!metadata_size) return unexpected(metadata_size.error());
    auto metadata = cursor.take(*metadata_size);
    if (!metadata) return unexpected(metadata.error());
    if (cursor.left() < kFooter) return unexpected(damaged_at(patch.size()));
    if (*target_size > max_result)
        return unexpected(PatchFailure{PatchFault::too_large, 0, max_result, *target_size});
    header.source_size = *source_size;
    header.target_size = *target_size;
    header.metadata = *metadata;
    header.commands = cursor.offset();
    const std::size_t footer = patch.size() - kFooter;
    header.source_crc = le32_at(patch, footer);
    header.target_crc = le32_at(patch, footer + 4);
    header.patch_crc = le32_at(patch, footer + 8);
    return header;
}

Expected<BpsCommands, PatchFailure> check_bps_commands(std::span<const std::uint8_t> patch, const BpsHeader& header) {
    return walk(patch, header, CheckOnly{});
}

Expected<Applied, PatchFailure> apply_bps(std::span<const std::uint8_t> source, std::span<const std::uint8_t> patch,
                                          const ApplyOptions& options) {
    auto header = read_bps_header(patch, options.max_result);
    if (!header) return unexpected(header.error());
    if (auto checked = check_bps_commands(patch, *header); !checked) return unexpected(checked.error());

    Applied applied;
    const std::uint32_t patch_crc = crc32(patch.first(patch.size() - 4));
    if (patch_crc != header->patch_crc &&
        !let_through({PatchFault::patch_checksum, 0, header->patch_crc, patch_crc}, options, applied.ignored))
        return unexpected(PatchFailure{PatchFault::patch_checksum, 0, header->patch_crc, patch_crc});
    const std::uint32_t source_crc = crc32(source);
    if (source.size() != header->source_size || source_crc != header->source_crc) {
        const PatchFailure failure{PatchFault::source_checksum, 0, header->source_crc, source_crc};
        if (!let_through(failure, options, applied.ignored)) return unexpected(failure);
        if (source.size() < header->source_size)
            return unexpected(PatchFailure{PatchFault::source_too_short, 0, header->source_size, source.size()});
    }

    applied.bytes = memory::unset_large_buffer(static_cast<std::size_t>(header->target_size));
    static_cast<void>(walk(patch, *header, Build{source.data(), applied.bytes.data()}));
    const std::uint32_t target_crc = crc32(applied.bytes);
    if (target_crc != header->target_crc) {
        const PatchFailure failure{PatchFault::target_checksum, 0, header->target_crc, target_crc};
        if (!let_through(failure, options, applied.ignored)) return unexpected(failure);
    }
    return applied;
}

}  // namespace quillmere::patch
