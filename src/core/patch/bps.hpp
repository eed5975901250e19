#pragma once
// BPS patches: "BPS1", the source size, the target size and the metadata,
// commands that build the target from front to back (SourceRead: the
// source's bytes at the same place; TargetRead: bytes in the patch;
// SourceCopy and TargetCopy: bytes from elsewhere in the source, or from
// the part of the target already built), and the CRC32 of source, target
// and patch.

#include <cstdint>
#include <span>

#include "core/expected.hpp"
#include "core/patch/patch_bytes.hpp"
#include "core/patch/patch_types.hpp"

namespace quillmere::patch {

struct BpsHeader {
    std::uint64_t source_size = 0;
    std::uint64_t target_size = 0;
    std::span<const std::uint8_t> metadata;
    std::size_t commands = 0;  // offset of the first command
    std::uint32_t source_crc = 0, target_crc = 0, patch_crc = 0;  // as the patch records them
};

struct BpsCommands {
    std::uint64_t source_reads = 0, target_reads = 0, source_copies = 0, target_copies = 0;
};

// The header and the recorded checksums; a result over `max_result` bytes is
// refused (too_large).
Expected<BpsHeader, PatchFailure> read_bps_header(std::span<const std::uint8_t> patch,
                                                  std::uint64_t max_result = kMaxResultSize);

// Every command checked against the sizes the header gives: no command
// reads outside the source or the built target, or writes past the target's
// end, and the commands fill the target exactly. The first that fails, at
// its offset.
Expected<BpsCommands, PatchFailure> check_bps_commands(std::span<const std::uint8_t> patch, const BpsHeader& header);

// The source with the patch applied. Checked in this order: the patch's
// form, its own checksum, the source's size and checksum, the result's
// checksum. With `ignore_checksums` a checksum that does not match is
// listed instead; a source shorter than the patch reads is refused anyway.
Expected<Applied, PatchFailure> apply_bps(std::span<const std::uint8_t> source, std::span<const std::uint8_t> patch,
                                          const ApplyOptions& options = {});

// A patch that makes `target` from `source`, carrying `metadata` as it is.
// Unchanged stretches are read from the source in place; text found
// elsewhere in the source or earlier in the target is copied from there.
Bytes create_bps(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target,
                 std::span<const std::uint8_t> metadata = {});

}  // namespace quillmere::patch
