#pragma once
// A patch of any of the three formats, told apart by its first bytes.

#include <cstdint>
#include <optional>
#include <span>

#include "core/expected.hpp"
#include "core/patch/bps.hpp"
#include "core/patch/ips.hpp"
#include "core/patch/patch_types.hpp"

namespace quillmere::patch {

std::optional<PatchFormat> format_of(std::span<const std::uint8_t> patch);

// The source with the patch applied, whatever its format (unknown_format
// when it is none of them). IPS carries no checksums to check.
Expected<Applied, PatchFailure> apply_patch(std::span<const std::uint8_t> source, std::span<const std::uint8_t> patch,
                                            const ApplyOptions& options = {});

// What a patch says about itself, read through to its end.
struct PatchInfo {
    PatchFormat format = PatchFormat::ips;
    // BPS and UPS.
    std::uint64_t source_size = 0, target_size = 0;
    std::uint32_t source_crc = 0, target_crc = 0;
    std::uint32_t recorded_patch_crc = 0, patch_crc = 0;  // as recorded, and as the patch's bytes give it
    std::span<const std::uint8_t> metadata;             // BPS; part of the patch's bytes
    BpsCommands commands;                                // BPS
    std::uint64_t hunks = 0;                             // UPS
    // IPS.
    IpsSummary ips;
};

Expected<PatchInfo, PatchFailure> describe_patch(std::span<const std::uint8_t> patch);

}  // namespace quillmere::patch
