#pragma once
// UPS patches, which older translations use: "UPS1", the source and target
// sizes, hunks of (unchanged bytes to skip, bytes XORed with the source up
// to a 00), and the CRC32 of source, target and patch. Read only.

#include <cstdint>
#include <span>

#include "core/expected.hpp"
#include "core/patch/patch_bytes.hpp"
#include "core/patch/patch_types.hpp"

namespace quillmere::patch {

struct UpsHeader {
    std::uint64_t source_size = 0;
    std::uint64_t target_size = 0;
    std::size_t hunks = 0;  // offset of the first hunk
    std::uint32_t source_crc = 0, target_crc = 0, patch_crc = 0;
};

Expected<UpsHeader, PatchFailure> read_ups_header(std::span<const std::uint8_t> patch,
                                                  std::uint64_t max_result = kMaxResultSize);

// The number of hunks, every one read to its end; the first damage, at its offset.
Expected<std::uint64_t, PatchFailure> check_ups_hunks(std::span<const std::uint8_t> patch, const UpsHeader& header);

// Checked in the order apply_bps checks.
Expected<Applied, PatchFailure> apply_ups(std::span<const std::uint8_t> source, std::span<const std::uint8_t> patch,
                                          const ApplyOptions& options = {});

}  // namespace quillmere::patch
