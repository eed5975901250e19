#pragma once
// What the patch readers and writers refuse, with the data a message needs.

#include <cstdint>
#include <vector>

#include "core/memory/large_buffer.hpp"

namespace quillmere::patch {

enum class PatchFormat { ips, bps, ups };

enum class PatchFault {
    unknown_format,   // no IPS, BPS or UPS header
    damaged,          // malformed or cut short at `offset` of the patch
    source_checksum,  // the ROM's CRC32 is `actual`, the patch expects `expected`
    target_checksum,  // the result's CRC32 is `actual`, the patch expects `expected`
    patch_checksum,   // the patch's own CRC32 is `actual`, it records `expected`
    source_too_short, // the patch reads past the ROM's end: it expects `expected` bytes, the ROM has `actual`
    too_large,        // the result would be `actual` bytes, more than `expected` allows
    too_large_for_ips,  // IPS offsets have three bytes: `actual` bytes cannot be reached
};

struct PatchFailure {
    PatchFault fault = PatchFault::damaged;
    std::uint64_t offset = 0;
    std::uint64_t expected = 0;
    std::uint64_t actual = 0;

    friend bool operator==(const PatchFailure&, const PatchFailure&) = default;
};

inline PatchFailure damaged_at(std::uint64_t offset) { return {PatchFault::damaged, offset, 0, 0}; }

// The largest result a patch may produce: a patch of a few bytes can ask
// for any size, and a ROM is far smaller.
inline constexpr std::uint64_t kMaxResultSize = std::uint64_t{1} << 30;

struct ApplyOptions {
    // Checksums that do not match are listed instead of refusing the patch.
    bool ignore_checksums = false;
    std::uint64_t max_result = kMaxResultSize;
};

// A patch applied: the result, and the checksum failures let through.
struct Applied {
    memory::ByteBuffer bytes;
    std::vector<PatchFailure> ignored;
};

}  // namespace quillmere::patch
